#pragma once
// The lighting page of the main window and its side of the main window's hooks.

#include <functional>

#include "gui/app/skin_page.h"

namespace orlix::gui {

// Lighting page (template 145).
class CDlgLedMain : public SkinPage {
 public:
  explicit CDlgLedMain(QWidget* parent);
  // Redraws the light buttons and the effect buttons from the LED state.
  void RefreshPage();
  int refreshCount() const { return refreshes_; }
  std::function<void()> onRefresh;

 private:
  int refreshes_ = 0;
};

}  // namespace orlix::gui
