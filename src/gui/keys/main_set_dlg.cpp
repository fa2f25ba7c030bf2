#include "gui/keys/main_set_dlg.h"

#include "core/skin/window_geometry.h"

namespace orlix::gui {

CMainSetDlg::CMainSetDlg(QWidget* parent) : SkinPage(skin::kKeyboardPage, parent) {}

void CMainSetDlg::RefreshAllKey() {
  ++refreshes_;
  if (onRefreshAllKeys) onRefreshAllKeys();
  update();
}

}  // namespace orlix::gui
