#include "gui/lighting/dlg_led_main.h"

#include "core/skin/window_geometry.h"

namespace orlix::gui {

CDlgLedMain::CDlgLedMain(QWidget* parent) : SkinPage(skin::kLightingPage, parent) {}

void CDlgLedMain::RefreshPage() {
  ++refreshes_;
  if (onRefresh) onRefresh();
  update();
}

}  // namespace orlix::gui
