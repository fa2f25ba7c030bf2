#pragma once
// The keyboard page of the main window: a key button for every record of the
// key picture map; a click opens the key setting panel and stores its result.

#include <array>
#include <functional>
#include <memory>

#include "core/app/user_notices.h"
#include "core/config/config_image.h"
#include "core/keys/key_injection.h"
#include "core/keys/key_picture_map.h"
#include "core/keys/keyboard_page_model.h"
#include "core/macros/macro_library.h"
#include "gui/app/skin_page.h"

namespace orlix::gui {

class CGDIBitmapBtn;
class CSettingDlg;

// What the keyboard page works with, from its owner; everything outlives the page.
struct KeyboardPageServices {
  ConfigImage* image = nullptr;
  macros::MacroLibrary* macros = nullptr;
  UserNotices* notices = nullptr;
  keys::KeyInjector* injector = nullptr;      // none: synthetic key events are not sent
  keys::KeyboardLayout* layout = nullptr;     // none: the session's layout
};

// Keyboard page (template 129).
class CMainSetDlg : public SkinPage {
 public:
  // Without an image the page shows its buttons and ignores clicks.
  CMainSetDlg(QWidget* parent, KeyboardPageServices services = {});
  ~CMainSetDlg() override;

  // Redraws every key button from the key table (after a profile switch,
  // a restore of the defaults and the start of an apply).
  void RefreshAllKey();
  // Redraws the button of key index k.
  void RefreshKey(int k);
  int refreshCount() const { return refreshes_; }
  // Called by RefreshAllKey after the key buttons were redrawn.
  std::function<void()> onRefreshAllKeys;

  CGDIBitmapBtn* keyButton(int n) const { return buttons_[size_t(n)]; }
  // The button of record n was clicked: runs the panel for its key.
  void onKeyClicked(int n);

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void refreshButton(int n);
  void refreshButtons();

  KeyboardPageServices services_;
  std::unique_ptr<keys::KeyboardLayout> ownLayout_;
  std::unique_ptr<keys::KeyInjector> noInjection_;
  std::unique_ptr<keys::KeyboardPageModel> model_;
  std::array<CGDIBitmapBtn*, keys::kKeyPictureCount> buttons_{};
  int refreshes_ = 0;
};

}  // namespace orlix::gui
