#pragma once
// The keyboard hook library of the program: while delivery is on, every key
// press and release the program sees is posted to the receiving window as
// message 0x40A (virtual-key code, key flags; bit 0x80 set for a release).
// A held key repeats its presses; the releases of the desktop's auto-repeat
// are dropped. The hook watches the whole application, so capture works in
// whatever window of the program has the focus.

#include <QObject>
#include <QPointer>

#include <atomic>

#include "core/device/message_target.h"

namespace orlix::gui {

class KeyCatch : public QObject {
  Q_OBJECT

 public:
  static KeyCatch& instance();

  // The library's entry points.
  void installhook();
  void removehook();
  void SetHookStatus(int on, int reserved);
  // Later key events go to window. A window that is a QObject is forgotten
  // when it is destroyed, so no event reaches a window that is gone.
  void SetReciveWindow(MessageTarget* window);

  bool installed() const { return installed_; }
  bool delivering() const { return on_; }
  MessageTarget* receiver() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  KeyCatch() = default;
  bool installed_ = false;
  bool on_ = false;
  MessageTarget* receiver_ = nullptr;
  QPointer<QObject> receiverObject_;  // receiver_ as a QObject, when it is one
  bool receiverIsObject_ = false;
};

// The four entry points as the program looks them up; each is skipped when
// missing (never here, as the library is part of the program).
inline void installhook() { KeyCatch::instance().installhook(); }
inline void removehook() { KeyCatch::instance().removehook(); }
inline void SetHookStatus(int on, int reserved) { KeyCatch::instance().SetHookStatus(on, reserved); }
inline void SetReciveWindow(MessageTarget* window) { KeyCatch::instance().SetReciveWindow(window); }

}  // namespace orlix::gui
