#include "gui/app/pages.h"

#include <QPainter>

#include "core/localization/language_strings.h"
#include "core/localization/language_switch.h"
#include "core/skin/window_geometry.h"
#include "gui/skin/gdi_bitmap_btn.h"
#include "gui/skin/menu_skin.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

namespace {
QString qs(std::u16string_view s) { return QString::fromUtf16(s.data(), qsizetype(s.size())); }
}  // namespace

CMainSetDlg::CMainSetDlg(QWidget* parent) : SkinPage(skin::kKeyboardPage, parent) {}

void CMainSetDlg::RefreshAllKey() {
  ++refreshes_;
  if (onRefreshAllKeys) onRefreshAllKeys();
  update();
}

CDlgLedMain::CDlgLedMain(QWidget* parent) : SkinPage(skin::kLightingPage, parent) {}

void CDlgLedMain::RefreshPage() {
  ++refreshes_;
  if (onRefresh) onRefresh();
  update();
}

CMacroDlg::CMacroDlg(QWidget* parent) : SkinPage(skin::kMacroPage, parent) {
  namespace mp = skin::macro_page;
  record_ = new CGDIBitmapBtn(this);
  record_->create(qs(localization::str(localization::StringKey::str_macro_start)), toQRect(mp::kRecord), this);
  record_->setImages(normalImage(), overImage(), downImage(), normalImage(), mp::kRecord);
  game_ = new CGDIBitmapBtn(this);
  game_->create(qs(localization::customGameText()), toQRect(mp::kGame), this);
  game_->setImages(normalImage(), overImage(), downImage(), normalImage(), mp::kGame);
}

void CMacroDlg::SelectEntry(int entry) { selectedEntry_ = entry; }

bool CMacroDlg::HasPopupMenu() const { return openMenuEx(const_cast<CMacroDlg*>(this)) != nullptr; }

void CMacroDlg::ClosePopupMenu() { DestroyMenuEx(this); }

void CMacroDlg::RefreshLanguage() {
  record_->setText(qs(localization::str(localization::StringKey::str_macro_start)));
  if (!gameChosen_) game_->setText(qs(localization::customGameText()));
}

CDlgNotSee::CDlgNotSee(QWidget* parent) : QWidget(parent) {
  picture_ = loadImageFile(skinPath(skin::kKeyboardOverlay));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_TranslucentBackground);
  resize(skin::page::kSize.width, skin::page::kSize.height);
}

void CDlgNotSee::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (!picture_.isNull()) p.drawImage(0, 0, picture_);
}

}  // namespace orlix::gui
