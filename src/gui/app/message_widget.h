#pragma once
// The message layer every window uses: a window is a MessageTarget whose post()
// turns (message, wParam, lParam) into a posted Qt event, safe from any thread;
// the window handles it in onMessage() on the user-interface thread. Windows may
// register a title so that others find them (the main window's title, for
// example), and have numbered timers like the ones the program's rules name.

#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimerEvent>
#include <QWidget>

#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "core/device/message_target.h"

namespace orlix::gui {

QEvent::Type messageEventType();

class MessageEvent : public QEvent {
 public:
  MessageEvent(uint32_t id, uintptr_t wParam, intptr_t lParam)
      : QEvent(messageEventType()), message{id, wParam, lParam} {}
  Message message;
};

// Posts events to one receiver for as long as it lives; after close() every
// post fails. Shared with threads that may outlive the receiver.
class Mailbox {
 public:
  explicit Mailbox(QObject* receiver) : receiver_(receiver) {}
  bool post(uint32_t id, uintptr_t wParam, intptr_t lParam);
  void close();

 private:
  std::mutex mutex_;
  QObject* receiver_;
};

// Timers by number, as the windows' rules use them: starting a number that runs
// already restarts it with the new period.
class NamedTimers {
 public:
  void start(QObject* owner, int id, int milliseconds);
  void stop(QObject* owner, int id);
  bool isActive(int id) const { return timers_.count(id) != 0; }
  // Period of a running timer, 0 when it does not run.
  int interval(int id) const;
  // The number of the timer behind a Qt timer event, or -1 when it is not ours.
  int idOf(int qtTimerId) const;

 private:
  struct Running {
    int qtId;
    int milliseconds;
  };
  std::map<int, Running> timers_;
};

// Registers a target under a title in the process-wide directory of windows.
void registerTitle(MessageTarget* target, const QString& title);
void unregisterTitle(MessageTarget* target);
// Posts to the window registered under title; false when there is none.
bool postToWindow(const QString& title, uint32_t id, uintptr_t wParam = 0, intptr_t lParam = 0);
bool windowExists(const QString& title);

// The message target behind a widget (a MessageWidget), or nullptr.
MessageTarget* targetOf(QObject* object);

// lParam that names a window, as controls report themselves to their parents.
inline intptr_t handleOf(const QObject* object) { return reinterpret_cast<intptr_t>(object); }

template <class Base>
class MessageWidget : public Base, public MessageTarget {
 public:
  // Base is QWidget or one of its subclasses with the same constructor.
  explicit MessageWidget(QWidget* parent = nullptr, Qt::WindowFlags flags = {})
      : Base(parent, flags), mailbox_(std::make_shared<Mailbox>(this)) {}
  MessageWidget(const MessageWidget&) = delete;
  MessageWidget& operator=(const MessageWidget&) = delete;
  ~MessageWidget() override {
    unregisterTitle(this);
    mailbox_->close();
  }

  // Any thread; never blocks on the receiver.
  bool post(uint32_t id, uintptr_t wParam = 0, intptr_t lParam = 0) override {
    return mailbox_->post(id, wParam, lParam);
  }
  // The handler runs now, on the calling (user-interface) thread.
  intptr_t send(uint32_t id, uintptr_t wParam = 0, intptr_t lParam = 0) { return onMessage(id, wParam, lParam); }
  const std::shared_ptr<Mailbox>& mailbox() const { return mailbox_; }

  // Sets the window title and makes the window findable by it.
  void setRegisteredTitle(const QString& title) {
    this->setWindowTitle(title);
    unregisterTitle(this);
    registerTitle(this, title);
  }

  void setNamedTimer(int id, int milliseconds) { timers_.start(this, id, milliseconds); }
  void killNamedTimer(int id) { timers_.stop(this, id); }
  bool isNamedTimerActive(int id) const { return timers_.isActive(id); }
  int namedTimerInterval(int id) const { return timers_.interval(id); }

 protected:
  // The window's own handling of a message; the result answers a send().
  virtual intptr_t onMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) { return 0; }
  virtual void onTimer(int id) {}

  bool event(QEvent* e) override {
    if (e->type() == messageEventType()) {
      const Message& m = static_cast<MessageEvent*>(e)->message;
      onMessage(m.id, m.wParam, m.lParam);
      return true;
    }
    if (e->type() == QEvent::Timer) {
      int id = timers_.idOf(static_cast<QTimerEvent*>(e)->timerId());
      if (id >= 0) {
        onTimer(id);
        return true;
      }
    }
    return Base::event(e);
  }

 private:
  std::shared_ptr<Mailbox> mailbox_;
  NamedTimers timers_;
};

}  // namespace orlix::gui
