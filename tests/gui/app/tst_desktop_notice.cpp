// The desktop notification of a desktop without a tray: sent to the session
// bus's notification service when one is there, nothing otherwise. Run on a
// private session bus (dbus-run-session); skipped without one.

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QtTest>

#include "gui/app/desktop_notice.h"

using namespace orlix::gui;

// Stands in for the desktop's notification service on the test's own bus.
class FakeNotifications : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  QStringList received;

 public slots:
  uint Notify(const QString& app, uint replaces, const QString& icon, const QString& summary, const QString& body,
              const QStringList& actions, const QVariantMap& hints, int timeout) {
    Q_UNUSED(replaces);
    Q_UNUSED(icon);
    Q_UNUSED(actions);
    Q_UNUSED(hints);
    received << QStringLiteral("%1|%2|%3|%4").arg(app, summary, body).arg(timeout);
    return 1;
  }
};

class TestDesktopNotice : public QObject {
  Q_OBJECT

 private slots:
  void reachesTheServiceOnlyWhenOneAnswers() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) QSKIP("no session bus here");
    const QString service = QStringLiteral("org.freedesktop.Notifications");
    if (bus.interface()->isServiceRegistered(service).value())
      QSKIP("a real notification service runs on this bus");
    // No service: nothing is sent, and nothing waits for an answer.
    QVERIFY(!notifyDesktop(QStringLiteral("a"), QStringLiteral("b")));

    FakeNotifications fake;
    QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &fake, QDBusConnection::ExportAllSlots));
    QVERIFY(bus.registerService(service));
    QVERIFY(notifyDesktop(backgroundRunSummary(), backgroundRunBody()));
    QTRY_COMPARE(fake.received.size(), 1);
    QCOMPARE(fake.received[0], QStringLiteral("Orlix|Orlix keeps running in the background|Your keyboard settings stay "
                                              "in effect. Start Orlix again to bring its window back.|-1"));
    bus.unregisterService(service);
  }
};

QTEST_MAIN(TestDesktopNotice)
#include "tst_desktop_notice.moc"
