#include "gui/macros/macro_dlg.h"

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

}  // namespace orlix::gui
