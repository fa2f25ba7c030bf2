#pragma once
// The program's icon in the notification area: tooltip, the balloon shown when
// it is added, and the mouse messages (0x46C) it sends to the main window.
// Where the desktop has no notification area nothing is shown and the program
// runs on; a second start then brings the window back.

#include <QObject>
#include <QPointer>

#include "core/device/message_target.h"

class QSystemTrayIcon;

namespace orlix::gui {

inline constexpr const char* kTrayTip = "Ulmora Orlix KEYBOARD Driver";
inline constexpr const char* kBalloonTitle = "Running";
inline constexpr int kBalloonMs = 5000;

class TrayIcon : public QObject {
  Q_OBJECT

 public:
  // owner receives 0x46C (0, mouse message) for double-clicks (515) and
  // right-button releases (517).
  explicit TrayIcon(MessageTarget& owner, QObject* parent = nullptr);
  ~TrayIcon() override;

  // NIM_ADD: shows the icon and its balloon. False when the desktop has no tray.
  bool add();
  // NIM_DELETE.
  void remove();
  bool visible() const;
  static bool available();

 private:
  MessageTarget& owner_;
  QSystemTrayIcon* icon_ = nullptr;
};

}  // namespace orlix::gui
