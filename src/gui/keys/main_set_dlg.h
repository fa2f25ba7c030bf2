#pragma once
// The keyboard page of the main window and its side of the main window's hooks.

#include <functional>

#include "gui/app/skin_page.h"

namespace orlix::gui {

// Keyboard page (template 129).
class CMainSetDlg : public SkinPage {
 public:
  explicit CMainSetDlg(QWidget* parent);
  // Redraws every key button from the key table (after a profile switch,
  // a restore of the defaults and the start of an apply).
  void RefreshAllKey();
  int refreshCount() const { return refreshes_; }
  // Called by RefreshAllKey: the key buttons' own refresh.
  std::function<void()> onRefreshAllKeys;

 private:
  int refreshes_ = 0;
};

}  // namespace orlix::gui
