// Demos of the gallery: the windows of the program put together from the skin
// images and the skinned controls, at the places the geometry tables give.

#include "demos.h"

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <thread>
#include <vector>

#include "core/config/file_store.h"
#include "core/device/messages.h"
#include "core/macros/macro_editing.h"
#include "core/keys/key_index.h"
#include "core/keys/key_picture_map.h"
#include "core/config/config_image.h"
#include "core/lighting/effect_page_models.h"
#include "core/device/pacer.h"
#include "core/keys/key_assignment.h"
#include "core/keys/key_codes.h"
#include "core/macros/macro_library.h"
#include "core/macros/macro_record.h"
#include "core/util/bytes.h"
#include "core/lighting/lighting_key_map.h"
#include "core/localization/language_strings.h"
#include "core/localization/languages.h"
#include "gallery.h"
#include "gui/app/gui_notices.h"
#include "gui/app/info_dlg.h"
#include "gui/keys/main_set_dlg.h"
#include "gui/keys/setting_dlg.h"
#include "gui/app/progress_dlg.h"
#include "gui/macros/macro_dlg.h"
#include "gui/lighting/dlg_led_main.h"
#include "gui/lighting/effect_pages.h"
#include "gui/lighting/palette_dlg.h"
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

// The configuration the gallery's lighting windows edit.
ConfigImage& galleryImage() {
  static std::unique_ptr<ConfigImage> image = [] {
    auto i = makeConfigImage();
    initialiseDefaults(*i);
    resetPerKeyLighting(*i);
    restoreLedCodesFromMap(*i);
    return i;
  }();
  return *image;
}

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
    // The base page's texts are language texts: the English ones unless some
    // language was loaded already.
    auto& strings = localization::languageStrings();
    if (strings.text(localization::StringKey::str_mute).empty())
      strings.LoadLanguageFile(localization::languageFilePath(
          programFolder().toStdString(), *localization::languageById(localization::kLanguageEnglish)));
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

// The macro library the gallery's macro page works on: in memory, with two
// recorded macros so the page has something to show.
struct GalleryMacros {
  std::unique_ptr<ConfigImage> image = makeConfigImage();
  MemoryFileStore files;
  GuiNotices notices;
  FakePacer pauses;  // saving into memory needs no pauses
  std::unique_ptr<macros::MacroLibrary> library;

  GalleryMacros() {
    using namespace macros;
    files.addFolder("/gallery");
    files.put("/gallery/Macro.cfg", std::vector<uint8_t>(kMacroFileSize, 0));
    library = std::make_unique<MacroLibrary>(*image, files, "/gallery/Macro.cfg", notices, TextSource{}, pauses);
    const EventList dash{{kItemPress, 0x57}, {kItemDelay, 40}, {kItemPress, 0xA0}, {kItemDelay, 120},
                         {kItemRelease, 0xA0}, {kItemDelay, 15}, {kItemRelease, 0x57}};
    const EventList burst{{kItemPress, 1}, {kItemDelay, 30}, {kItemRelease, 1}, {kItemDelay, 60},
                          {kItemPress, 1}, {kItemDelay, 30}, {kItemRelease, 1}, {kItemDelay, 60},
                          {kItemPress, 0x52}, {kItemDelay, 20}, {kItemRelease, 0x52}};
    library->StoreMacro(buildTransferBlock(dash, 1, makeMacroId(kCustomCategory, 0x101), u"Sprint dash"));
    library->StoreMacro(buildTransferBlock(burst, 3, makeMacroId(kCustomCategory, 0x102), u"Burst and reload"));
  }
};

GalleryMacros& galleryMacros() {
  static GalleryMacros m;
  return m;
}


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
    if (overlay_) {
      overlay_->setVisible(tab == 1);
      overlay_->raise();
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

  // The real macro page's game menu, as its game button opens it.
  void openGame() {
    if (macroPage_) emit macroPage_->gameButton()->clicked();
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
    // The real lighting page over the gallery's own configuration; its
    // effect pages open as they do in the program (nothing is sent: the
    // gallery has no main window to send through).
    auto* page = new CDlgLedMain(frame_, galleryImage());
    page->move(skin::main_frame::kPageOrigin.x, skin::main_frame::kPageOrigin.y);
    auto* overlay = new QLabel(frame_);
    overlay->setPixmap(QPixmap::fromImage(loadImageFile(skinPath(skin::kKeyboardOverlay))));
    overlay->setAttribute(Qt::WA_TransparentForMouseEvents);
    overlay->setGeometry(QRect(page->pos(), page->size()));
    QObject::connect(page, &QObject::destroyed, overlay, &QObject::deleteLater);
    overlay_ = overlay;
    pages_[1] = page;
  }

  // The real macro page over a macro library in memory with two macros.
  void buildMacroPage() {
    auto& m = galleryMacros();
    macroPage_ = new CMacroDlg(frame_, *m.library, m.notices, realPacer());
    macroPage_->move(skin::main_frame::kPageOrigin.x, skin::main_frame::kPageOrigin.y);
    macroPage_->SelectEntry(macros::kCustomCategory);
    pages_[2] = macroPage_;
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
  QPointer<QWidget> overlay_;
  QLabel* picture_ = nullptr;
  CMacroDlg* macroPage_ = nullptr;
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

namespace {
// A dialog shown inside the gallery instead of as a window of its own; when
// its buttons close it, the result is noted and the dialog shown again.
QWidget* embedded(QDialog* dialog) {
  dialog->setWindowFlags(Qt::Widget);
  QObject::connect(dialog, &QDialog::finished, dialog, [dialog](int result) {
    MessageLog::note(result == QDialog::Accepted ? QStringLiteral("closed with OK") : QStringLiteral("cancelled"));
    dialog->show();
  });
  return dialog;
}
}  // namespace

QWidget* buildEffectDemo(Effect effect, QWidget* parent) {
  static const int kButtons[6] = {lighting::kButtonAlwaysOn, lighting::kButtonBreathing, lighting::kButtonSeven,
                                  lighting::kButtonSingle,   lighting::kButtonStrength,  lighting::kButtonWave};
  auto page = makeEffectPage(kButtons[int(effect)], {galleryImage(), nullptr, nullptr}, parent);
  return embedded(page.release());
}

// ------------------------------------------------------------------ palette

QWidget* buildPaletteDemo(QWidget* parent) {
  static RecordingNotices notices;
  // The palette as the always-on page opens it, writing back into a page model.
  static lighting::EffectPageModel owner(lighting::kButtonAlwaysOn,
                                         {galleryImage(), notices, TextSource{}, nullptr, nullptr});
  return embedded(new CPaletteDlg(owner.swatchRequest(0), &owner, parent));
}

}  // namespace orlix::gallery
