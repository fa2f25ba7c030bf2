#include "gui/keys/panel_pages.h"

#include <QPaintEvent>
#include <QPainter>

#include "core/device/messages.h"
#include "core/localization/language_strings.h"
#include "core/skin/window_geometry.h"
#include "gui/qt_text.h"
#include "gui/skin/gdi_bitmap_btn.h"
#include "gui/skin/list_box_ex.h"
#include "gui/skin/skin_images.h"
#include "gui/skin/skin_scroll.h"

namespace orlix::gui {

namespace {

constexpr unsigned kListBackground = 0x0F0F0F, kListSelectedBackground = 0x252525, kListText = 0x6B5C53,
                   kListSelectedText = 0x969696, kCapturedKeyColour = 0xC39417;

}  // namespace

CListBoxEx* makePanelList(QWidget* page, const Rect& rect, int id, int itemHeight) {
  auto* list = new CListBoxEx(page);
  list->setControlId(id);
  list->setGeometry(toQRect(rect));
  list->setItemHeight(itemHeight);
  list->setBackgroundColour(fromColorRef(kListBackground));
  list->setTextColours(fromColorRef(kListText), fromColorRef(kListSelectedText), fromColorRef(kListSelectedBackground));
  // The scroll frame takes the list's place and becomes its parent, so the
  // list reports to the page explicitly.
  if (auto* target = targetOf(page)) list->setNotifyTarget(target);
  list->show();
  QImage skin;
  loadImageResource(skin::resource::kScrollSkin, "BITMAP", &skin);
  CSkinScrollWnd::attach(list, skin);
  return list;
}

// ------------------------------------------------------------------ combination page

CDlgSingleCombo::CDlgSingleCombo(QWidget* parent, keys::ComboModel& model, keys::KeyboardLayout& layout)
    : SkinPage(skin::kComboPage, parent), model_(model), layout_(layout) {
  setWindowTitle(QStringLiteral("UlmoraOrlixRGBSingleCombDlg"));
  using namespace skin::combo_page;
  const Rect rects[4] = {kCtrl, kAlt, kShift, kWin};
  for (int b = 0; b < 4; ++b) {
    auto* box = new CGDIBitmapBtn(this);
    box->create(QString(), toQRect(rects[b]), this);
    box->setImages(normalLook(), overLook(), downLook(), normalLook(), rects[b]);
    box->setCheckStyle(true);
    QObject::connect(box, &CGDIBitmapBtn::clicked, this, [this, b] {
      model_.toggle(keys::ComboModel::Box(b));
      syncBoxes();
    });
    boxes_[size_t(b)] = box;
  }
  syncBoxes();
}

void CDlgSingleCombo::syncBoxes() {
  for (int b = 0; b < 4; ++b) boxes_[size_t(b)]->setChecked(model_.checked(keys::ComboModel::Box(b)));
}

intptr_t CDlgSingleCombo::onMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) {
  if (id != msg::kHookKey) return 0;
  switch (model_.onKeyEvent(unsigned(wParam), uint32_t(lParam))) {
    case keys::ComboModel::KeyEffect::BoxToggled: syncBoxes(); break;
    case keys::ComboModel::KeyEffect::KeyCaptured: update(toQRect(skin::combo_page::kCaptureArea)); break;
    case keys::ComboModel::KeyEffect::Ignored: break;
  }
  return 1;
}

void CDlgSingleCombo::paintEvent(QPaintEvent* e) {
  SkinPage::paintEvent(e);
  std::u16string name = model_.capturedName(layout_);
  if (name.empty()) return;
  QPainter p(this);
  p.setFont(gdiFont(14, 300));
  p.setPen(fromColorRef(kCapturedKeyColour));
  QRect r = toQRect(skin::combo_page::kCaptureText);
  p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, p.fontMetrics().elidedText(toQString(name), Qt::ElideRight, r.width()));
}

// ------------------------------------------------------------------ Macro set tab

CDlgMacroSet::CDlgMacroSet(QWidget* parent, macros::MacroSetModel& model)
    : SkinPage(skin::kMacroSetTab, parent), model_(model) {
  setWindowTitle(QStringLiteral("UlmoraOrlixRGBMacrosetDlg"));
  games_ = makePanelList(this, skin::macro_set_tab::kGameList, kGameListId, 16);
  macros_ = makePanelList(this, skin::macro_set_tab::kMacroList, kMacroListId, 16);
  auto names = macros::MacroSetModel::gameNames(localization::languageFlag() != 0);
  for (int i = 0; i < int(names.size()); ++i) games_->addItem(0, toQString(names[size_t(i)]), uint32_t(i));
  if (model_.gameIndex() < 0) model_.open();
  games_->setCurrentRow(model_.gameIndex());
  fillMacroList();
}

void CDlgMacroSet::fillMacroList() {
  macros_->clear();
  for (const auto& m : model_.macros()) macros_->addItem(0, toQString(m.name), m.id);
  if (model_.selectedMacro() >= 0) macros_->setCurrentRow(model_.selectedMacro());
}

intptr_t CDlgMacroSet::onMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) {
  if (id != msg::kListSelChange) return 0;
  if (wParam == uintptr_t(kGameListId)) {
    if (model_.chooseGame(int(lParam))) fillMacroList();
  } else if (wParam == uintptr_t(kMacroListId)) {
    model_.selectMacro(int(lParam));
  }
  return 0;
}

void CDlgMacroSet::paintEvent(QPaintEvent* e) {
  SkinPage::paintEvent(e);
  // The tab lists its game again whenever it paints itself, so a macro made
  // meanwhile shows up. A paint that lies only under the two lists comes from
  // the lists redrawing themselves, not from the tab; rebuilding then would
  // undo the user's pick in the macro list.
  QRegion own = e->region() - QRegion(toQRect(skin::macro_set_tab::kGameList)) -
                QRegion(toQRect(skin::macro_set_tab::kMacroList));
  if (own.isEmpty()) return;
  model_.relist();
  fillMacroList();
}

// ------------------------------------------------------------------ base page

CDlgBase::CDlgBase(QWidget* parent, keys::KeySettingModel& model) : SkinPage(skin::kBasePage, parent), model_(model) {
  setWindowTitle(QStringLiteral("UlmoraOrlixRGBBaseDlg"));
  list_ = makePanelList(this, skin::base_page::kList, kListId, 18);
  const auto& strings = localization::languageStrings();
  for (const auto& item : keys::basePageItems()) list_->addItem(0, toQString(strings.text(item.text)), item.code);
}

intptr_t CDlgBase::onMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) {
  if (id == msg::kListSelChange && wParam == uintptr_t(kListId)) model_.selectBaseItem(int(lParam));
  return 0;
}

}  // namespace orlix::gui
