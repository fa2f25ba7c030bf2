#include "gui/macros/macro_dlg.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include "core/device/messages.h"
#include "core/localization/language_strings.h"
#include "core/skin/skin_files.h"
#include "core/skin/window_geometry.h"
#include "gui/app/key_catch.h"
#include "gui/qt_text.h"
#include "gui/skin/gdi_bitmap_btn.h"
#include "gui/skin/list_box_ex.h"
#include "gui/skin/menu_skin.h"
#include "gui/skin/skin_edit.h"
#include "gui/skin/skin_images.h"
#include "gui/skin/skin_scroll.h"

namespace orlix::gui {

namespace mp = skin::macro_page;
using macros::LoopOption;

namespace {
// Status text numbers the page's controls show on the hint line.
constexpr int kHintNewMacro = 33, kHintDeleteMacro = 34, kHintInsert = 35, kHintDeleteEvent = 36, kHintChange = 37,
              kHintRecord = 38, kHintDelay = 39, kHintLoopCount = 40, kHintKeyOption = 41, kHintDelayOption = 42,
              kHintLeft = 43, kHintMiddle = 44, kHintRight = 45, kNoHint = 0;
constexpr int kListItemHeight = 18;
constexpr int kMenuItemHeight = 24;
constexpr const char* kHintProperty = "orlixHint";
constexpr uint32_t kMouseVk[3] = {macros::kMouseLeftVk, macros::kMouseMiddleVk, macros::kMouseRightVk};


TextSource languageTexts() {
  return TextSource{[](std::string_view key) -> std::u16string {
                      auto k = localization::stringKeyFromName(key);
                      return k ? localization::str(*k) : std::u16string();
                    },
                    [] { return localization::languageFlag() != 0; }};
}

bool isKeptKey(int key) {
  return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape || key == Qt::Key_Space ||
         key == Qt::Key_F1;
}

void setShown(QWidget* w, bool on) {
  if (w->isVisibleTo(w->parentWidget()) != on) w->setVisible(on);
}
}  // namespace

CMacroDlg::CMacroDlg(QWidget* parent, macros::MacroLibrary& library, UserNotices& notices, Pacer& clock)
    : SkinPage(skin::kMacroPage, parent) {
  macros::MacroPageHooks hooks;
  hooks.setReceiveWindow = [this] { SetReciveWindow(this); };
  hooks.setHookStatus = [](int on) { SetHookStatus(on, 0); };
  hooks.debugOutput = [](std::string_view line) { qDebug("%.*s", int(line.size()), line.data()); };
  model_ = std::make_unique<macros::MacroPageModel>(macros::MacroPageServices{library, notices, clock, languageTexts()},
                                                    std::move(hooks));
  installEventFilter(this);

  record_ = makeButton(mp::kRecord, kHintRecord);
  game_ = makeButton(mp::kGame, kNoHint);
  QObject::connect(record_, &CGDIBitmapBtn::clicked, this, [this] { click([this] { model_->recordButton(); }); });
  QObject::connect(game_, &CGDIBitmapBtn::clicked, this, [this] { click([this] { openGameMenu(); }); });

  QImage scrollSkin;
  loadImageResource(skin::resource::kScrollSkin, "BITMAP", &scrollSkin);
  auto makeList = [&](const Rect& r, int id) {
    auto* list = new CListBoxEx(this);
    list->setControlId(id);
    list->setNotifyTarget(this);
    list->setGeometry(toQRect(r));
    list->setItemHeight(kListItemHeight);
    list->setBackgroundColour(fromColorRef(0x0F0F0F));
    list->setTextColours(fromColorRef(0x6B5C53).lighter(150), fromColorRef(0x969696).lighter(140),
                         fromColorRef(0x252525));
    list->show();
    watch(list, kNoHint);
    CSkinScrollWnd::attach(list, scrollSkin);
    return list;
  };
  macroList_ = makeList(mp::kMacroList, kMacroListId);
  macroList_->setEditingEnabled(true);
  eventList_ = makeList(mp::kEventList, kEventListId);

  newMacro_ = makeButton(mp::kNewMacro, kHintNewMacro);
  deleteMacro_ = makeButton(mp::kDeleteMacro, kHintDeleteMacro);
  insert_ = makeButton(mp::kInsert, kHintInsert);
  deleteEvent_ = makeButton(mp::kDeleteEvent, kHintDeleteEvent);
  change_ = makeButton(mp::kChange, kHintChange);
  QObject::connect(newMacro_, &CGDIBitmapBtn::clicked, this, [this] {
    int at = -1;
    click([&] { at = model_->newMacro(); });
    if (at >= 0) macroList_->beginEdit(at);
  });
  QObject::connect(deleteMacro_, &CGDIBitmapBtn::clicked, this, [this] { click([this] { model_->deleteMacro(); }); });
  QObject::connect(insert_, &CGDIBitmapBtn::clicked, this, [this] { click([this] { model_->insertButton(); }); });
  QObject::connect(deleteEvent_, &CGDIBitmapBtn::clicked, this,
                   [this] { click([this] { model_->deleteEventButton(); }); });
  QObject::connect(change_, &CGDIBitmapBtn::clicked, this, [this] { click([this] { model_->changeButton(); }); });

  delayToggle_ = makeButton(mp::kDelayToggle, kHintDelay, true);
  QObject::connect(delayToggle_, &CGDIBitmapBtn::clicked, this,
                   [this] { click([this] { model_->setDelayToggle(!model_->delayToggle()); }); });
  const Rect loopRects[3] = {mp::kLoopCountOption, mp::kLoopHeldOption, mp::kLoopToggleOption};
  for (int i = 0; i < 3; ++i) {
    loopOptions_[size_t(i)] = makeButton(loopRects[i], kNoHint, true);
    QObject::connect(loopOptions_[size_t(i)], &CGDIBitmapBtn::clicked, this,
                     [this, i] { click([this, i] { model_->chooseLoopOption(LoopOption(i + 1)); }); });
  }
  loopCount_ = makeEdit(mp::kLoopCountBox, QStringLiteral("1"), int(macros::kLoopCountDigits), true, kHintLoopCount);
  QObject::connect(loopCount_, &QLineEdit::textEdited, this, [this](const QString& text) {
    if (model_->closeGameMenu()) DestroyMenuEx(this);
    model_->loopCountEdited(toU16String(text));
    sync();
  });

  const Rect mouseRects[3] = {mp::kMouseLeft, mp::kMouseMiddle, mp::kMouseRight};
  const int mouseHints[3] = {kHintLeft, kHintMiddle, kHintRight};
  for (int i = 0; i < 3; ++i) {
    auto* b = makeButton(mouseRects[i], mouseHints[i]);
    b->setReportMouseButtons(true);
    b->setNotifyTarget(this);
    mouse_[size_t(i)] = b;
  }

  keyOption_ = makeButton(mp::kKeyOption, kHintKeyOption, true);
  keyBox_ = makeEdit(mp::kKeyBox, QStringLiteral("A"), 1, false, kNoHint);
  keyOk_ = makeButton(mp::kKeyOk, kNoHint);
  delayOption_ = makeButton(mp::kDelayOption, kHintDelayOption, true);
  delayBox_ = makeEdit(mp::kDelayBox, QStringLiteral("7"), int(macros::kDelayDigits), true, kNoHint);
  delayOk_ = makeButton(mp::kDelayOk, kNoHint);
  QObject::connect(keyOption_, &CGDIBitmapBtn::clicked, this, [this] { click([this] { model_->keyOption(); }); });
  QObject::connect(delayOption_, &CGDIBitmapBtn::clicked, this, [this] { click([this] { model_->delayOption(); }); });
  QObject::connect(keyOk_, &CGDIBitmapBtn::clicked, this, [this] { click([this] { model_->okButton(); }); });
  QObject::connect(delayOk_, &CGDIBitmapBtn::clicked, this, [this] { click([this] { model_->okButton(); }); });
  QObject::connect(delayBox_, &QLineEdit::textEdited, this,
                   [this](const QString& text) { model_->setDelayBoxText(toU16String(text)); });
  for (QWidget* w : {static_cast<QWidget*>(keyOption_), static_cast<QWidget*>(keyBox_), static_cast<QWidget*>(keyOk_),
                     static_cast<QWidget*>(delayOption_), static_cast<QWidget*>(delayBox_),
                     static_cast<QWidget*>(delayOk_)})
    w->hide();
  sync();
}

CMacroDlg::~CMacroDlg() {
  DestroyMenuEx(this);
  model_->closePage();
  if (KeyCatch::instance().receiver() == this) SetReciveWindow(nullptr);
}

CGDIBitmapBtn* CMacroDlg::makeButton(const Rect& r, int hint, bool check) {
  auto* b = new CGDIBitmapBtn(this);
  b->create(QString(), toQRect(r), this);
  whenSkinned([this, b, r] { b->setImages(normalLook(), overLook(), downLook(), normalLook(), r); });
  if (check) b->setCheckStyle(true);
  watch(b, hint);
  return b;
}

CSkinEdit* CMacroDlg::makeEdit(const Rect& r, const QString& text, int maxLength, bool digits, int hint) {
  auto* e = new CSkinEdit(this);
  e->create(text, toQRect(r), maxLength, digits);
  watch(e, hint);
  return e;
}

void CMacroDlg::watch(QWidget* control, int hint) {
  control->setProperty(kHintProperty, hint);
  control->installEventFilter(this);
}

template <typename F>
void CMacroDlg::click(F&& action) {
  if (model_->closeGameMenu()) DestroyMenuEx(this);
  takeEventSelection();
  action();
  sync();
}

void CMacroDlg::takeEventSelection() {
  int row = eventList_->currentRow();
  model_->selectEvent(row >= 0 ? std::optional<size_t>(size_t(row)) : std::nullopt);
}

void CMacroDlg::SelectEntry(int entry) {
  selectedEntry_ = entry;
  model_->showCategory(entry);
  sync();
}

bool CMacroDlg::HasPopupMenu() const { return openMenuEx(const_cast<CMacroDlg*>(this)) != nullptr; }

void CMacroDlg::ClosePopupMenu() {
  DestroyMenuEx(this);
  model_->closeGameMenu();
}

void CMacroDlg::RefreshLanguage() {
  model_->refreshLanguage();
  sync();
}

void CMacroDlg::ReloadList() {
  model_->libraryChanged();
  sync();
}

void CMacroDlg::openGameMenu() {
  if (!model_->gameButton()) return;
  std::vector<MenuExItem> items;
  for (const auto& [category, name] : model_->gameMenuItems())
    items.push_back(makeMenuExItem(kMenuExTopLevel, uint32_t(category), toQString(name)));
  std::array<QString, 8> images;
  for (size_t i = 0; i < images.size(); ++i) images[i] = skinPath(QString(skin::kMenuFolder) + skin::kMenuImages[i]);
  QPoint at = game_->mapToGlobal(QPoint(1, game_->height() + 1));
  if (!CreateMenuEx(this, kMenuItemHeight, at, QColor(83, 97, 103), QColor(255, 255, 255), QColor(21, 140, 185),
                    images, items.data(), int(items.size()))) {
    model_->closeGameMenu();
    return;
  }
  // The menu also closes by itself (a click elsewhere, Escape): the page then
  // no longer has one open.
  if (QWidget* menu = openMenuEx(this))
    QObject::connect(menu, &QObject::destroyed, this, [this] { model_->closeGameMenu(); });
}

intptr_t CMacroDlg::onMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) {
  switch (id) {
    case msg::kHookKey:
      takeEventSelection();
      model_->hookedEvent(uint32_t(wParam), uint32_t(lParam));
      sync();
      return 0;
    case msg::kButtonNotify:
      for (size_t i = 0; i < mouse_.size(); ++i) {
        if (lParam != handleOf(mouse_[i])) continue;
        if (model_->closeGameMenu()) DestroyMenuEx(this);
        if (auto e = model_->mouseButton(kMouseVk[i], uint32_t(wParam))) post(msg::kHookKey, e->first, intptr_t(e->second));
      }
      return 0;
    case msg::kListSelChange:
      if (wParam == uintptr_t(kMacroListId)) click([&] { model_->selectMacro(int(lParam)); });
      return 0;
    case msg::kListEdit:
      if (wParam == uintptr_t(kMacroListId) && lParam >= 0 && lParam < macroList_->count())
        click([&] { model_->renameMacro(int(lParam), toU16String(macroList_->itemText(int(lParam)))); });
      return 0;
    case msg::kMenuChoice:
      DestroyMenuEx(this);
      model_->gameChosen(int(lParam));
      sync();
      return 0;
    default:
      return 0;
  }
}

bool CMacroDlg::eventFilter(QObject* watched, QEvent* event) {
  QEvent::Type type = event->type();
  if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) && isKeptKey(static_cast<QKeyEvent*>(event)->key()))
    return true;  // the page keeps Enter, Escape, Space and F1 from itself and its controls
  if (type == QEvent::Enter) {
    int hint = watched->property(kHintProperty).toInt();
    if (hint != kNoHint) postHint(hint);
  }
  if (type == QEvent::MouseButtonPress && watched != this && model_->closeGameMenu()) DestroyMenuEx(this);
  return SkinPage::eventFilter(watched, event);
}

void CMacroDlg::mousePressEvent(QMouseEvent* e) {
  if (model_->closeGameMenu()) DestroyMenuEx(this);
  SkinPage::mousePressEvent(e);
}

void CMacroDlg::closeEvent(QCloseEvent* e) {
  model_->closePage();
  SkinPage::closeEvent(e);
}

void CMacroDlg::sync() {
  if (syncing_) return;
  syncing_ = true;
  const auto& m = *model_;

  if (m.macroListRevision() != shownMacroRevision_) {
    shownMacroRevision_ = m.macroListRevision();
    if (!macroList_->isEditing()) {
      macroList_->clear();
      for (const auto& item : m.macros()) macroList_->addItem(0, toQString(item.name), item.id);
    }
  }
  if (!macroList_->isEditing() && macroList_->currentRow() != m.macroSelection())
    macroList_->setCurrentRow(m.macroSelection());

  if (m.eventListRevision() != shownEventRevision_) {
    shownEventRevision_ = m.eventListRevision();
    const auto& events = m.events();
    // While recording the list only grows: add the new items instead of building it again.
    bool grows = events.size() >= shownEvents_.size() && std::equal(shownEvents_.begin(), shownEvents_.end(), events.begin());
    if (!grows) {
      eventList_->clear();
      shownEvents_.clear();
    }
    for (size_t i = shownEvents_.size(); i < events.size(); ++i)
      eventList_->addItem(events[i].kind, toQString(macros::eventItemText(events[i])), events[i].value);
    shownEvents_ = events;
    auto sel = m.eventSelection();
    eventList_->setCurrentRow(sel ? int(*sel) : -1);
    if (sel) eventList_->scrollToItem(eventList_->item(int(*sel)));
  }

  record_->setText(toQString(m.recordCaption()));
  game_->setText(toQString(m.gameCaption()));
  for (auto* b : {newMacro_, deleteMacro_, insert_, deleteEvent_, change_}) b->setEnabled(m.editButtonsEnabled());
  delayToggle_->setChecked(m.delayToggle());
  for (int i = 0; i < 3; ++i) loopOptions_[size_t(i)]->setChecked(int(m.loopOption()) == i + 1);
  if (loopCount_->text() != toQString(m.loopCountText())) loopCount_->setText(toQString(m.loopCountText()));

  const auto& p = m.panel();
  setShown(keyOption_, p.visible && p.keyOptionShown);
  setShown(delayOption_, p.visible && p.delayOptionShown);
  keyOption_->setChecked(p.keyOptionChecked);
  delayOption_->setChecked(p.delayOptionChecked);
  setShown(keyBox_, p.visible && p.keyBoxShown);
  setShown(keyOk_, p.visible && p.keyBoxShown);
  setShown(delayBox_, p.visible && p.delayBoxShown);
  setShown(delayOk_, p.visible && p.delayBoxShown);
  if (keyBox_->text() != toQString(p.keyBoxText)) keyBox_->setText(toQString(p.keyBoxText));
  if (delayBox_->text() != toQString(p.delayBoxText)) delayBox_->setText(toQString(p.delayBoxText));
  bool delayShown = p.visible && p.delayBoxShown;
  if (delayShown && p.focusDelayBox && !delayBoxWasShown_) delayBox_->setFocus(Qt::OtherFocusReason);
  delayBoxWasShown_ = delayShown;
  syncing_ = false;
}

}  // namespace orlix::gui
