// The message layer: posted messages from any thread, sends, titles, timers.

#include <QThread>
#include <QtTest>

#include <atomic>
#include <thread>

#include "gui_test_support.h"

using namespace orlix;
using namespace orlix::gui;
using namespace orlix::gui::test;

namespace {

class Window : public MessageWidget<QWidget> {
 public:
  std::vector<Message> got;
  std::vector<Qt::HANDLE> threads;
  std::vector<int> ticks;

 protected:
  intptr_t onMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) override {
    got.push_back({id, wParam, lParam});
    threads.push_back(QThread::currentThreadId());
    return intptr_t(wParam) * 2;
  }
  void onTimer(int id) override { ticks.push_back(id); }
};

}  // namespace

class TestMessageLayer : public QObject {
  Q_OBJECT

 private slots:
  void postsFromAnotherThreadArriveInOrderOnTheWindowsThread() {
    Window w;
    std::atomic<int> refused{0};
    std::thread worker([&] {
      for (uintptr_t i = 0; i < 50; ++i)
        if (!w.post(0x7EB, i, intptr_t(i) + 1)) ++refused;
    });
    worker.join();
    QCOMPARE(refused.load(), 0);
    QVERIFY(w.got.empty());  // nothing runs before the event loop does
    QTRY_COMPARE(w.got.size(), size_t(50));
    for (size_t i = 0; i < 50; ++i) {
      QCOMPARE(w.got[i], (Message{0x7EB, i, intptr_t(i) + 1}));
      QCOMPARE(w.threads[i], QThread::currentThreadId());
    }
  }

  void sendRunsAtOnceAndAnswers() {
    Window w;
    QCOMPARE(w.send(0x450, 21, 0), intptr_t(42));
    QCOMPARE(w.got.size(), size_t(1));
  }

  void postingToAWindowThatIsGoneFails() {
    std::shared_ptr<Mailbox> mailbox;
    {
      Window w;
      mailbox = w.mailbox();
      QVERIFY(mailbox->post(1, 0, 0));
    }
    QVERIFY(!mailbox->post(1, 0, 0));
    QCoreApplication::processEvents();  // the pending event died with its window
  }

  void findByTitle() {
    const QString title = QStringLiteral("Ulmora Orlix Driver");
    QVERIFY(!windowExists(title));
    QVERIFY(!postToWindow(title, 0x805, 0, 6));
    {
      Window w;
      w.setRegisteredTitle(title);
      QCOMPARE(w.windowTitle(), title);
      QVERIFY(windowExists(title));
      QVERIFY(postToWindow(title, 0x805, 0, 6));
      QTRY_COMPARE(w.got.size(), size_t(1));
      QCOMPARE(w.got[0], (Message{0x805, 0, 6}));
      QCOMPARE(targetOf(&w), static_cast<MessageTarget*>(&w));
    }
    QVERIFY(!windowExists(title));
  }

  void namedTimers() {
    Window w;
    w.setNamedTimer(3, 500);
    QVERIFY(w.isNamedTimerActive(3));
    QCOMPARE(w.namedTimerInterval(3), 500);
    w.setNamedTimer(3, 20);  // the same number restarts with the new period
    QCOMPARE(w.namedTimerInterval(3), 20);
    QTRY_VERIFY(w.ticks.size() >= 2);
    QVERIFY(std::all_of(w.ticks.begin(), w.ticks.end(), [](int id) { return id == 3; }));
    w.killNamedTimer(3);
    QVERIFY(!w.isNamedTimerActive(3));
    size_t n = w.ticks.size();
    QVERIFY(hasNoTimers(&w));  // the Qt timer itself is gone, not only the name
    deliverPosted();
    QCOMPARE(w.ticks.size(), n);
  }
};

QTEST_MAIN(TestMessageLayer)
#include "tst_message_layer.moc"
