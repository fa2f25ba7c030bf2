#include "gui/app/key_catch.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWindow>

#include "core/device/messages.h"
#include "platform/key_capture.h"

namespace orlix::gui {

namespace keycapture = platform::keycapture;

KeyCatch& KeyCatch::instance() {
  static KeyCatch* hook = new KeyCatch;  // lives as long as the process, as the hook did
  return *hook;
}

void KeyCatch::installhook() {
  if (installed_ || !QCoreApplication::instance()) return;
  QCoreApplication::instance()->installEventFilter(this);
  installed_ = true;
}

void KeyCatch::removehook() {
  if (!installed_) return;
  if (QCoreApplication::instance()) QCoreApplication::instance()->removeEventFilter(this);
  installed_ = false;
}

void KeyCatch::SetHookStatus(int on, int) { on_ = on != 0; }

void KeyCatch::SetReciveWindow(MessageTarget* window) {
  receiver_ = window;
  receiverObject_ = dynamic_cast<QObject*>(window);
  receiverIsObject_ = receiverObject_ != nullptr;
}

MessageTarget* KeyCatch::receiver() const {
  // A destroyed window clears its QPointer; its raw pointer must not be used.
  return receiverIsObject_ && !receiverObject_ ? nullptr : receiver_;
}

bool KeyCatch::eventFilter(QObject* watched, QEvent* event) {
  QEvent::Type type = event->type();
  // Every key event reaches the program's top-level window first and is then
  // passed on to widgets; taking it at the window sees each event once.
  if ((type != QEvent::KeyPress && type != QEvent::KeyRelease) || !watched->isWindowType()) return false;
  MessageTarget* target = receiver();
  if (!on_ || !target) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  bool release = type == QEvent::KeyRelease;
  if (release && key->isAutoRepeat()) return false;
  uint8_t vk = keycapture::vkFromQtKey(key->key(), int(key->modifiers()), key->nativeScanCode());
  if (vk == 0) return false;
  bool altDown = key->modifiers().testFlag(Qt::AltModifier) && vk != 0x12 && vk != 0xA4 && vk != 0xA5;
  uint32_t flags;
  if (key->nativeScanCode() >= 8)
    flags = keycapture::hookFlags(uint16_t(key->nativeScanCode() - 8), release, altDown);
  else
    flags = (release ? keycapture::kFlagRelease : 0) | (altDown ? keycapture::kFlagAltDown : 0);
  target->post(msg::kHookKey, vk, intptr_t(flags));
  return false;
}

}  // namespace orlix::gui
