#include "gui/app/desktop_notice.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

#include "gui/app/language_flag.h"

namespace orlix::gui {

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
}

bool notifyDesktop(const QString& summary, const QString& body) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || !bus.interface()) return false;
  // A service that is neither running nor startable by the bus would leave the
  // call unanswered: ask first.
  QDBusConnectionInterface* names = bus.interface();
  if (!names->isServiceRegistered(kService).value() && !names->activatableServiceNames().value().contains(kService))
    return false;
  QDBusMessage call = QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/Notifications"),
                                                     kService, QStringLiteral("Notify"));
  call << QStringLiteral("Orlix") << uint(0) << QStringLiteral("input-keyboard") << summary << body
       << QStringList() << QVariantMap() << int(-1);
  return bus.send(call);
}

QString backgroundRunSummary() {
  return byLanguage(QStringLiteral("Orlix 仍在后台运行"), QStringLiteral("Orlix keeps running in the background"));
}

QString backgroundRunBody() {
  return byLanguage(QStringLiteral("键盘设置继续生效。再次启动 Orlix 即可打开窗口。"),
                    QStringLiteral("Your keyboard settings stay in effect. Start Orlix again to bring its window back."));
}

}  // namespace orlix::gui
