#pragma once
// How the windows tell the user things: the skinned info dialog for Show info
// and its timed form, a standard message box for the captioned messages.

#include <QPointer>
#include <QWidget>

#include "core/app/user_notices.h"

namespace orlix::gui {

class GuiNotices : public UserNotices {
 public:
  // Dialogs are owned by parent (may be null).
  explicit GuiNotices(QWidget* parent = nullptr) : parent_(parent) {}
  // The window the dialogs belong to from now on: they open as its transient
  // windows, which a Wayland compositor places by it.
  void setOwner(QWidget* parent) { parent_ = parent; }

  NoticeResult showInfo(const std::u16string& text, bool twoButtons = false) override;
  NoticeResult messageBox(const std::u16string& text, const std::u16string& caption, bool okCancel = false) override;
  // The timed info dialog counts down from five seconds whatever seconds says.
  void showTimedInfo(const std::u16string& text, int seconds) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace orlix::gui
