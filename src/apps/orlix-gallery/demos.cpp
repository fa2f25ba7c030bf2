// Demos of the gallery: the windows of the program put together from the skin
// images and the skinned controls, at the places the geometry tables give.

#include "demos.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <thread>
#include <vector>

#include "core/device/messages.h"
#include "core/config/file_store.h"
#include "core/device/pacer.h"
#include "core/keys/key_assignment.h"
#include "core/keys/key_codes.h"
#include "core/macros/macro_library.h"
#include "core/macros/macro_record.h"
#include "core/util/bytes.h"
#include "core/lighting/lighting_key_map.h"
#include "core/localization/languages.h"
#include "gallery.h"
#include "gui/app/gui_notices.h"
#include "gui/app/info_dlg.h"
#include "gui/keys/main_set_dlg.h"
#include "gui/keys/setting_dlg.h"
#include "gui/app/progress_dlg.h"
#include "gui/skin/color_btn.h"
#include "gui/skin/gdi_bitmap_btn.h"
#include "gui/skin/irr_button.h"
#include "gui/skin/list_box_ex.h"
#include "gui/skin/menu_skin.h"
#include "gui/skin/png_slider.h"
#include "gui/skin/skin_images.h"
#include "gui/skin/skin_scroll.h"
#include "gui/skin/wnd_popup.h"
#include "platform/xkb_keyboard_layout.h"

namespace orlix::gallery {

using namespace orlix::gui;
using skin::Quad;

namespace {

QImage scrollSkin() {
  QImage img;
  loadImageResource(skin::resource::kScrollSkin, "BITMAP", &img);
  return img;
}

CGDIBitmapBtn* skinButton(SkinSurface* s, const Rect& r, const QString& text = {}) {
  auto* b = new CGDIBitmapBtn(s);
  b->create(text, toQRect(r), s);
  b->setImages(s->normal(), s->over(), s->down(), s->normal(), r);
  return b;
}

CIrrButton* shapedButton(SkinSurface* s, const Quad& q, const QString& text = {}) {
  auto* b = new CIrrButton(s);
  b->create(q, s);
  b->setImages(s->normal(), s->over(), s->down());
  b->setText(text);
  return b;
}

// A group of check-style buttons of which one is marked at a time.
void markExclusively(const std::vector<CGDIBitmapBtn*>& group, int marked) {
  for (int i = 0; i < int(group.size()); ++i) {
    group[size_t(i)]->setCheckStyle(true);
    group[size_t(i)]->setChecked(i == marked);
    QObject::connect(group[size_t(i)], &CGDIBitmapBtn::clicked, group[size_t(i)], [group, i] {
      for (int k = 0; k < int(group.size()); ++k) group[size_t(k)]->setChecked(k == i);
    });
  }
}

CListBoxEx* skinnedList(QWidget* parent, const Rect& r, int id, int itemHeight) {
  auto* list = new CListBoxEx(parent);
  list->setControlId(id);
  list->setGeometry(toQRect(r));
  list->setItemHeight(itemHeight);
  list->setBackgroundColour(fromColorRef(0x0F0F0F));
  list->setTextColours(fromColorRef(0x6B5C53).lighter(150), fromColorRef(0x969696).lighter(140), fromColorRef(0x252525));
  list->show();
  return list;
}

void attachBars(CListBoxEx* list) { CSkinScrollWnd::attach(list, scrollSkin()); }

QLineEdit* skinnedEdit(QWidget* parent, const Rect& r, const QString& text, int maxLength) {
  auto* e = new QLineEdit(text, parent);
  e->setGeometry(toQRect(r));
  e->setFrame(false);
  e->setMaxLength(maxLength);
  e->setFont(gdiFont(14, 400));
  e->setStyleSheet(QStringLiteral("QLineEdit { background: rgb(15, 15, 15); color: rgb(21, 140, 185); border: none;"
                                   " selection-background-color: rgb(12, 90, 122); selection-color: white; }"));
  return e;
}

// The configuration the gallery's keyboard page and key setting panels work
// on: in memory, with a few keys changed and three macros of category 21.
struct KeyboardData {
  std::unique_ptr<ConfigImage> image = makeConfigImage();
  MemoryFileStore files;
  GuiNotices notices;
  FakePacer pacer;
  macros::MacroLibrary library{*image, files, "/gallery/Macro.cfg", notices, TextSource{}, pacer};
  keys::NullKeyInjector injector;
  std::unique_ptr<keys::KeyboardLayout> layout = platform::XkbKeyboardLayout::fromSession();

  KeyboardData() {
    files.addFolder("/gallery");
    files.put("/gallery/Macro.cfg", std::vector<uint8_t>(macros::kMacroFileSize, 0));
    initialiseDefaults(*image);
    image->keyTable = image->defaultKeyTable;
    const char16_t* names[3] = {u"Rush combo", u"Build order", u"Quick heal"};
    for (int m = 0; m < 3; ++m) {
      auto& r = image->macroLibrary[size_t(m)];
      putU32(r, macros::kRecSize, 108);
      putU32(r, macros::kRecId, macros::makeMacroId(21, uint32_t(m + 1)));
      macros::setRecordName(r, names[m]);
    }
    // W, A, S and D carry "Rush combo", left column key 1 Ctrl + C, F1 mute.
    for (int k : {15, 8, 14, 20})
      keys::storeSettingResult(*image, k, {macros::makeMacroId(21, 1), keys::kCategoryMacro, names[0]}, notices);
    keys::storeSettingResult(*image, 18, {keys::combination(keys::kModCtrl, 0x06), keys::kCategoryCombination, u""},
                             notices);
    keys::storeSettingResult(*image, 11, {keys::consumer(0x00E2), keys::kCategoryBase, u""}, notices);
  }
  KeyboardPageServices services() { return {image.get(), &library, &notices, &injector, layout.get()}; }
};

KeyboardData& keyboardData() {
  static KeyboardData* data = new KeyboardData;  // as long as the gallery runs
  return *data;
}

const char* const kGames[21] = {"Battlefield 3 ",
                                "Star Wars: The Old Republic",
                                "Counter-Strike: Global Offensive",
                                "Elder Scrolls V: Skyrim",
                                "Team Fortress 2",
                                "Batman Arkham City",
                                "Civilization 5 ",
                                "World of Tanks",
                                "Borderlands 2",
                                "Anno 2070",
                                "League of Legends",
                                "Football Manager 2013 (EA)",
                                "Dota 2 ",
                                "Battlefield 4",
                                "World of Warplanes",
                                "Football Manager 2013 (SEGA)",
                                "Minecraft",
                                "Neverwinter",
                                "Path of Exile",
                                "War Thunder",
                                "Customize"};

// The language menu of the main window: the twelve languages with their flags.
class LanguageMenu : public CMenuEx {
 public:
  using CMenuEx::CMenuEx;

 protected:
  void fillItems() override {
    for (const localization::LanguageInfo& lang : localization::languages()) {
      QImage flag;
      loadImageResource(lang.menuPicture, "PNG", &flag);
      addItem(lang.id, QString::fromUtf8(lang.menuText.data(), qsizetype(lang.menuText.size())), flag);
    }
  }
};

}  // namespace

// ------------------------------------------------------------------ main window

class MainFrameDemo : public QWidget {
 public:
  explicit MainFrameDemo(QWidget* parent) : QWidget(parent) {
    frame_ = new SkinSurface(skin::kMainFrame, this);
    frame_->shapeFromImage();
    resize(frame_->size());
    using namespace skin::main_frame;

    skinButton(frame_, kMinimize);
    auto* close = skinButton(frame_, kClose);
    close->setTooltip(QStringLiteral("Close"));
    const char* tabTips[4] = {"Keys", "Lighting", "Macros", "Support"};
    for (int i = 0; i < 4; ++i) {
      tabs_[i] = shapedButton(frame_, kTabs[size_t(i)]);
      tabs_[i]->setCheckStyle(true);
      tabs_[i]->setToolTip(QString::fromLatin1(tabTips[i]));
      QObject::connect(tabs_[i], &CIrrButton::clicked, this, [this, i] { select(i); });
    }
    for (int i = 0; i < 5; ++i) {
      profiles_[i] = shapedButton(frame_, kProfiles[size_t(i)]);
      profiles_[i]->setCheckStyle(true);
      profiles_[i]->setChecked(i == 0);
      QObject::connect(profiles_[i], &CIrrButton::clicked, this, [this, i] {
        for (int k = 0; k < 5; ++k) profiles_[k]->setChecked(k == i);
        MessageLog::note(QStringLiteral("profile %1").arg(i + 1));
      });
    }
    auto* apply = shapedButton(frame_, kApply);
    QObject::connect(apply, &CIrrButton::clicked, this, [this, apply] {
      QTimer::singleShot(0, this, [this, apply] {
        apply->resetHover();
        runApply(this);
      });
    });
    auto* language = skinButton(frame_, kLanguage);
    QObject::connect(language, &CGDIBitmapBtn::clicked, this, [this] { openLanguage(); });
    picture_ = new QLabel(frame_);
    picture_->setGeometry(toQRect(kLanguagePicture));
    setLanguagePicture(159);

    frame_->setMouseTracking(true);
    frame_->mouseMoveHook = [this](QPoint p) { hint(p); };
    frame_->paintHook = [this](QPainter& p) {
      p.setFont(gdiFont(14, 300));
      p.setPen(QColor(0x53, 0x61, 0x67).lighter(170));
      p.drawText(toQRect(kStatusArea).adjusted(26, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap,
                 status_);
    };
    frame_->onMessageHook = [this](uint32_t id, uintptr_t, intptr_t l) {
      if (id == msg::kLanguageChoice && menu_) {
        if (auto lang = localization::languageById(int(l))) setLanguagePicture(lang->buttonPicture);
        menu_->close();
        menu_ = nullptr;
      }
      if (id == msg::kMenuChoice && l >= 1 && l <= 21) {
        DestroyMenuEx(frame_);
        game_->setText(QString::fromLatin1(kGames[l - 1]));
      }
    };

    buildKeyboardPage();
    buildLightingPage();
    buildMacroPage();
    buildSupportPage();
    select(0);
  }

  void select(int tab) {
    for (int i = 0; i < 4; ++i) {
      tabs_[i]->setChecked(i == tab);
      pages_[i]->setVisible(i == tab);
    }
  }

  void openLanguage() {
    if (menu_) menu_->close();
    auto* menu = new LanguageMenu(frame_);
    menu_ = menu;
    QRect button = toQRect(skin::main_frame::kLanguage);
    QPoint at = frame_->mapToGlobal(QPoint(button.left() - 4, button.bottom() + 1 - 287));
    menu->create(frame_, at.x(), at.y());
  }

  void openGame() {
    std::vector<MenuExItem> items;
    for (int c = 1; c <= 21; ++c) items.push_back(makeMenuExItem(kMenuExTopLevel, uint32_t(c), QString::fromLatin1(kGames[c - 1])));
    std::array<QString, 8> images;
    for (size_t i = 0; i < 8; ++i) images[i] = skinPath(QString(skin::kMenuFolder) + skin::kMenuImages[i]);
    QPoint at = game_->mapToGlobal(QPoint(1, game_->height() + 1));
    CreateMenuEx(frame_, 24, at, QColor(83, 97, 103).lighter(190), Qt::white, QColor(21, 140, 185), images,
                 items.data(), int(items.size()));
  }

  static void runApply(QWidget* parent) {
    CProgressDlg dlg(parent);
    // Progress comes from another thread, as the apply worker sends it.
    std::thread worker([] {
      for (int p = 0; p <= 100; p += 4) {
        postToWindow(CProgressDlg::kTitle, msg::kProgress, uintptr_t(p));
        QThread::msleep(60);
      }
      postToWindow(CProgressDlg::kTitle, msg::kClose);
    });
    dlg.exec();
    worker.join();
    MessageLog::note(QStringLiteral("apply finished"));
  }

 private:
  SkinSurface* page(const skin::ImageTriple& files) {
    auto* s = new SkinSurface(files, frame_);
    s->move(skin::main_frame::kPageOrigin.x, skin::main_frame::kPageOrigin.y);
    s->setMouseTracking(true);
    return s;
  }

  void setLanguagePicture(int id) {
    QImage img;
    if (loadImageResource(id, "BITMAP", &img)) picture_->setPixmap(QPixmap::fromImage(img));
  }

  void hint(QPoint p) {
    using namespace skin::main_frame;
    QString text;
    for (int i = 0; i < 5; ++i)
      if (toQRect(skin::boundsOf(kProfiles[size_t(i)])).adjusted(-1, -1, 1, 1).contains(p))
        text = QStringLiteral("Profile %1").arg(i + 1);
    if (toQRect(skin::boundsOf(kApply)).adjusted(-1, -1, 1, 1).contains(p))
      text = QStringLiteral("Write the settings into the keyboard");
    const char* tabs[4] = {"Key settings", "Lighting", "Macro manager", "Support"};
    for (int i = 0; i < 4; ++i)
      if (toQRect(skin::boundsOf(kTabs[size_t(i)])).adjusted(-1, -1, 2, 1).contains(p))
        text = QString::fromLatin1(tabs[i]);
    if (text != status_) {
      status_ = text;
      frame_->update(toQRect(kStatusArea));
    }
  }

  void buildKeyboardPage() {
    auto* page = new CMainSetDlg(frame_, keyboardData().services());
    page->move(skin::main_frame::kPageOrigin.x, skin::main_frame::kPageOrigin.y);
    pages_[0] = page;
  }

  void buildLightingPage() {
    SkinSurface* s = page(skin::kLightingPage);
    pages_[1] = s;
    const auto& map = lighting::lightingKeyMap();
    std::vector<CColorBtn*> lights;
    for (int i = 0; i < lighting::kLightingKeyCount; ++i) {
      auto* c = new CColorBtn(s);
      c->setGeometry(toQRect(map[size_t(i)].rect));
      Rect r = map[size_t(i)].rect;
      c->setColour(QColor::fromHsvF(std::clamp((r.left - 40) / 860.0, 0.0, 0.999) * 0.83, 0.85, 1.0));
      c->setChecked(i >= 64 && i <= 67);
      c->show();
      QObject::connect(c, &CColorBtn::clicked, c, [c] { c->setChecked(!c->isChecked()); });
      lights.push_back(c);
    }
    auto* overlay = new QLabel(s);
    overlay->setPixmap(QPixmap::fromImage(loadImageFile(skinPath(skin::kKeyboardOverlay))));
    overlay->setAttribute(Qt::WA_TransparentForMouseEvents);
    overlay->setGeometry(0, 0, skin::page::kSize.width, skin::page::kSize.height);
    overlay->raise();
    const char* names[6] = {"Seven-colour", "Strength", "Wave", "Breathing", "Single", "Always on"};
    std::vector<CIrrButton*> effects;
    for (int i = 0; i < 6; ++i) effects.push_back(shapedButton(s, skin::lighting_page::kEffectButtons[size_t(i)], QString::fromLatin1(names[i])));
    for (int i = 0; i < 6; ++i) {
      effects[size_t(i)]->setCheckStyle(true);
      effects[size_t(i)]->setChecked(i == 3);
      QObject::connect(effects[size_t(i)], &CIrrButton::clicked, s, [effects, i] {
        for (int k = 0; k < 6; ++k) {
          effects[size_t(k)]->resetHover();
          effects[size_t(k)]->setChecked(k == i);
        }
      });
    }
    auto* all = skinButton(s, skin::lighting_page::kSelectAll);
    all->setCheckStyle(true);
    all->setToggleOnClick(true);
    all->setTooltip(QStringLiteral("Select all keys"));
    QObject::connect(all, &CGDIBitmapBtn::clicked, s, [all, lights] {
      for (int i = 0; i < 112; ++i) lights[size_t(i)]->setChecked(all->isChecked());
    });
    auto* show = skinButton(s, skin::lighting_page::kShowToggle);
    show->setCheckStyle(true);
    show->setToggleOnClick(true);
    show->setChecked(true);
    QObject::connect(show, &CGDIBitmapBtn::clicked, s, [show, lights, map] {
      for (int i = 0; i < lighting::kLightingKeyCount; ++i) {
        Rect r = map[size_t(i)].rect;
        lights[size_t(i)]->setColour(show->isChecked()
                                         ? QColor::fromHsvF(std::clamp((r.left - 40) / 860.0, 0.0, 0.999) * 0.83, 0.85, 1.0)
                                         : QColor(Qt::black));
      }
    });
  }

  void buildMacroPage() {
    using namespace skin::macro_page;
    SkinSurface* s = page(skin::kMacroPage);
    pages_[2] = s;
    auto* record = skinButton(s, kRecord, QStringLiteral("Start recording"));
    record->setCheckStyle(true);
    record->setToggleOnClick(true);
    QObject::connect(record, &CGDIBitmapBtn::clicked, s, [record] {
      record->setText(record->isChecked() ? QStringLiteral("Stop recording") : QStringLiteral("Start recording"));
    });
    game_ = skinButton(s, kGame, QStringLiteral("Customize"));
    QObject::connect(game_, &CGDIBitmapBtn::clicked, s, [this] { openGame(); });

    auto* macros = skinnedList(s, kMacroList, 256, 18);
    macros->setEditingEnabled(true);
    const char* names[] = {"Rush combo", "Build order", "Quick heal", "Reload cancel", "Sprint jump", "Grenade cook",
                           "Weapon swap", "Crafting loop", "Chat: gg wp", "Loot all", "Dodge roll", "Spell rotation",
                           "Buy menu", "Camera reset", "Ping enemy", "Emote wheel", "Map toggle", "Ability 1-2-3",
                           "Farm route", "Macro 20"};
    for (const char* n : names) macros->addItem(0, QString::fromLatin1(n), 0x15000000);
    macros->setCurrentRow(0);
    attachBars(macros);

    auto* events = skinnedList(s, kEventList, 257, 18);
    const char* keys[] = {"Left Ctrl", "A", "S", "D", "Space", "F", "Left Shift", "W", "E", "R", "Q", "Tab"};
    for (const char* k : keys) {
      events->addItem(3, QString::fromLatin1(k), 0x41);
      events->addItem(4, QStringLiteral("%1  ms").arg(40 + int(std::strlen(k)) * 13), 50);
      events->addItem(2, QString::fromLatin1(k), 0x41);
    }
    events->setCurrentRow(1);
    attachBars(events);

    for (Rect r : {kNewMacro, kDeleteMacro, kInsert, kDeleteEvent, kChange}) skinButton(s, r);
    auto* delay = skinButton(s, kDelayToggle);
    delay->setCheckStyle(true);
    delay->setToggleOnClick(true);
    markExclusively({skinButton(s, kLoopCountOption), skinButton(s, kLoopHeldOption), skinButton(s, kLoopToggleOption)}, 0);
    skinnedEdit(s, kLoopCountBox, QStringLiteral("1"), 4);
    for (Rect r : {kMouseLeft, kMouseMiddle, kMouseRight}) {
      auto* b = skinButton(s, r);
      b->setReportMouseButtons(true);
    }
    markExclusively({skinButton(s, kKeyOption), skinButton(s, kDelayOption)}, 0);
    skinnedEdit(s, kKeyBox, QStringLiteral("A"), 1);
    skinnedEdit(s, kDelayBox, QStringLiteral("7"), 4);
    skinButton(s, kKeyOk);
    skinButton(s, kDelayOk);
  }

  void buildSupportPage() {
    using namespace skin::support_page;
    SkinSurface* s = page(skin::kSupportPage);
    pages_[3] = s;
    s->paintHook = [](QPainter& p) {
      QFont f = pointFont(12);
      p.setFont(f);
      p.setPen(QColor(193, 210, 238));
      p.drawText(toQRect(kFirmwareText), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("V %1").arg("1.0.0"));
      p.drawText(toQRect(kDriverText), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("V %1").arg("1.0.0"));
    };
    QObject::connect(skinButton(s, kDriverVersion), &CGDIBitmapBtn::clicked, s,
                     [s] { showInfo(QStringLiteral("Drive is the latest version."), s); });
    QObject::connect(skinButton(s, kFirmwareVersion), &CGDIBitmapBtn::clicked, s,
                     [s] { showInfo(QStringLiteral("Fireware is the latest version."), s); });
    QObject::connect(skinButton(s, kWebSite), &CGDIBitmapBtn::clicked, s,
                     [] { MessageLog::note(QStringLiteral("web site")); });
    QObject::connect(skinButton(s, kRestoreDefaults), &CGDIBitmapBtn::clicked, s, [s] {
      CInfoDlg dlg(s);
      dlg.setTwoButtons(true);
      dlg.setText(QStringLiteral("Do you want to restore the default setting?"));
      MessageLog::note(dlg.exec() == QDialog::Accepted ? QStringLiteral("restore: OK") : QStringLiteral("restore: Cancel"));
    });
    skinButton(s, kImport);
    skinButton(s, kExport);
  }

  SkinSurface* frame_;
  CIrrButton* tabs_[4] = {};
  CIrrButton* profiles_[5] = {};
  QWidget* pages_[4] = {};
  QLabel* picture_ = nullptr;
  CGDIBitmapBtn* game_ = nullptr;
  QPointer<CMenuEx> menu_;
  QString status_;
};

QWidget* buildMainFrameDemo(QWidget* parent) { return new MainFrameDemo(parent); }
void selectTab(QWidget* demo, int tab) { static_cast<MainFrameDemo*>(demo)->select(tab); }
void openLanguageMenu(QWidget* demo) { static_cast<MainFrameDemo*>(demo)->openLanguage(); }
void openGameMenu(QWidget* demo) {
  static_cast<MainFrameDemo*>(demo)->select(2);
  static_cast<MainFrameDemo*>(demo)->openGame();
}

// ------------------------------------------------------------------ key setting panel

QWidget* buildSettingPanelDemo(QWidget* parent, int tab) {
  KeyboardData& data = keyboardData();
  auto* panel = new CSettingDlg(parent, *data.image, data.library, data.injector, *data.layout);
  panel->setWindowFlags(Qt::Widget);  // shown inside the gallery, not as a dialog of its own
  panel->setKeyIndex(8);              // A, which the gallery's profile gives a macro
  panel->initialise();
  const keys::KeySettingModel::Page pages[3] = {keys::KeySettingModel::kComboPage, keys::KeySettingModel::kMacroPage,
                                                keys::KeySettingModel::kBasePage};
  if (tab > 0 && tab < 3) emit panel->tabButton(pages[tab])->clicked();
  return panel;
}

// ------------------------------------------------------------------ effect pages

QWidget* buildEffectDemo(Effect effect, QWidget* parent) {
  using namespace skin::effect_page;
  const skin::ImageTriple* files[6] = {&skin::kAlwaysPage, &skin::kBreathPage,    &skin::kSevenPage,
                                       &skin::kSinglePage, &skin::kStrengthPage, &skin::kWavePage};
  const Buttons* buttons[6] = {&kAlways, &kBreath, &kSeven, &kSingle, &kStrength, &kWave};
  int e = int(effect);
  auto* s = new SkinSurface(*files[e], parent);
  skinButton(s, buttons[e]->ok)->setTooltip(QStringLiteral("OK"));
  skinButton(s, buttons[e]->cancel)->setTooltip(QStringLiteral("Cancel"));
  skinButton(s, buttons[e]->apply)->setTooltip(QStringLiteral("Apply"));
  auto swatch = [s](Rect r, QColor c, bool marked) {
    auto* b = new CColorBtn(s);
    b->setGeometry(toQRect(r));
    b->setColour(c);
    b->setChecked(marked);
    b->setBorder(true);
    b->show();
    return b;
  };
  auto slider = [s](Rect r, int id, int min, int max, int value) {
    auto* bar = new CPngHSliderBar(s);
    bar->init(skinPath(QString::fromLatin1(skin::kSliderThumb)), toQRect(r), s, id);
    bar->setBackground(s->normal().copy(toQRect(r)));
    bar->setRange(min, max);
    bar->setValue(value);
    return bar;
  };
  switch (effect) {
    case Effect::Always:
      swatch(kAlwaysSwatch, QColor(255, 200, 0), false);
      break;
    case Effect::Breath: {
      auto* a = swatch(kBreathSwatches[0], QColor(255, 0, 0), true);
      auto* b = swatch(kBreathSwatches[1], QColor(2, 200, 0), false);
      QObject::connect(a, &CColorBtn::clicked, s, [a, b] { a->setChecked(true), b->setChecked(false); });
      QObject::connect(b, &CColorBtn::clicked, s, [a, b] { b->setChecked(true), a->setChecked(false); });
      slider(kBreathSlider, kBreathSliderId, 3, 30, 3);
      break;
    }
    case Effect::Seven:
      markExclusively({skinButton(s, kSevenOptions[0]), skinButton(s, kSevenOptions[1])}, 0);
      break;
    case Effect::Single: {
      auto* a = swatch(kSingleSwatches[0], QColor(200, 0, 0), true);
      auto* b = swatch(kSingleSwatches[1], QColor(0, 200, 0), false);
      QObject::connect(a, &CColorBtn::clicked, s, [a, b] { a->setChecked(true), b->setChecked(false); });
      QObject::connect(b, &CColorBtn::clicked, s, [a, b] { b->setChecked(true), a->setChecked(false); });
      slider(kSingleSlider, kSingleSliderId, 1, 10, 1);
      break;
    }
    case Effect::Strength: {
      std::vector<CGDIBitmapBtn*> levels;
      for (const Rect& r : kStrengthLevels) levels.push_back(skinButton(s, r));
      markExclusively(levels, 3);
      break;
    }
    case Effect::Wave: {
      std::vector<CGDIBitmapBtn*> directions;
      for (const Rect& r : kWaveDirections) directions.push_back(skinButton(s, r));
      markExclusively(directions, 0);
      slider(kWaveSlider, kWaveSliderId, 1, 30, 8);
      break;
    }
  }
  return s;
}

// ------------------------------------------------------------------ palette

QWidget* buildPaletteDemo(QWidget* parent) {
  using namespace skin::palette;
  auto* s = new SkinSurface(QString::fromLatin1(skin::kPalette), parent);
  auto* preview = new CColorBtn(s);
  preview->setGeometry(toQRect(kPreview));
  preview->setColour(QColor(255, 200, 0));
  preview->show();
  CPngHSliderBar* bars[3];
  const Rect rects[3] = {kRed, kGreen, kBlue};
  const int ids[3] = {kRedId, kGreenId, kBlueId};
  const int start[3] = {255, 200, 0};
  for (int i = 0; i < 3; ++i) {
    bars[i] = new CPngHSliderBar(s);
    bars[i]->init(skinPath(QString::fromLatin1(skin::kSliderThumb)), toQRect(rects[i]), s, ids[i]);
    bars[i]->setBackground(s->normal().copy(toQRect(rects[i])));
    bars[i]->setRange(0, 255);
    bars[i]->setValue(start[i]);
  }
  for (Rect r : {kOk, kCancel}) {
    auto* b = new CGDIBitmapBtn(s);
    b->create(r == kOk ? QStringLiteral("OK") : QStringLiteral("Cancel"), toQRect(r), s);
    b->setImages(s->normal(), s->normal(), s->normal(), s->normal(), r);
    b->setTextColours(Qt::white, QColor(83, 97, 103), Qt::white);
  }
  s->onMessageHook = [preview](uint32_t id, uintptr_t w, intptr_t l) {
    if (id != msg::kSliderPos) return;
    QColor c = preview->colour();
    if (l == kRedId) c.setRed(int(w));
    if (l == kGreenId) c.setGreen(int(w));
    if (l == kBlueId) c.setBlue(int(w));
    preview->setColour(c);
  };
  s->mousePressHook = [s, preview, bars](QPoint p) {
    QRectF wheel(toQRect(kWheel));
    QPointF d = (QPointF(p) + QPointF(0.5, 0.5) - wheel.center());
    double nx = d.x() / (wheel.width() / 2), ny = d.y() / (wheel.height() / 2);
    if (nx * nx + ny * ny > 1.0) return;
    QColor c = s->normal().pixelColor(p);
    preview->setColour(c);
    bars[0]->setValue(c.red());
    bars[1]->setValue(c.green());
    bars[2]->setValue(c.blue());
    MessageLog::note(QStringLiteral("picked %1, %2, %3").arg(c.red()).arg(c.green()).arg(c.blue()));
  };
  return s;
}

}  // namespace orlix::gallery
