#include "gui/app/message_widget.h"

#include <QCoreApplication>

namespace orlix::gui {

QEvent::Type messageEventType() {
  static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
  return type;
}

bool Mailbox::post(uint32_t id, uintptr_t wParam, intptr_t lParam) {
  std::lock_guard lock(mutex_);
  if (!receiver_) return false;
  // postEvent is thread-safe; holding the lock keeps the receiver alive meanwhile.
  QCoreApplication::postEvent(receiver_, new MessageEvent(id, wParam, lParam));
  return true;
}

void Mailbox::close() {
  std::lock_guard lock(mutex_);
  receiver_ = nullptr;
}

void NamedTimers::start(QObject* owner, int id, int milliseconds) {
  stop(owner, id);
  int qtId = owner->startTimer(milliseconds, Qt::PreciseTimer);
  if (qtId != 0) timers_[id] = {qtId, milliseconds};
}

void NamedTimers::stop(QObject* owner, int id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  owner->killTimer(it->second.qtId);
  timers_.erase(it);
}

int NamedTimers::interval(int id) const {
  auto it = timers_.find(id);
  return it == timers_.end() ? 0 : it->second.milliseconds;
}

int NamedTimers::idOf(int qtTimerId) const {
  for (const auto& [id, running] : timers_)
    if (running.qtId == qtTimerId) return id;
  return -1;
}

void registerTitle(MessageTarget* target, const QString& title) {
  windows::registerTarget(title.toStdString(), target);
}

void unregisterTitle(MessageTarget* target) { windows::unregisterTarget(target); }

bool postToWindow(const QString& title, uint32_t id, uintptr_t wParam, intptr_t lParam) {
  return windows::postTo(title.toStdString(), id, wParam, lParam);
}

bool windowExists(const QString& title) { return windows::exists(title.toStdString()); }

MessageTarget* targetOf(QObject* object) { return dynamic_cast<MessageTarget*>(object); }

}  // namespace orlix::gui
