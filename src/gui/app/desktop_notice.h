#pragma once
// A one-line message to the person through the desktop's notification
// service (org.freedesktop.Notifications on the session bus), for desktops
// where the program has no tray icon to speak through.

#include <QString>

namespace orlix::gui {

// Sends summary and body as a desktop notification when a notification
// service answers on the session bus; otherwise nothing happens. Never blocks:
// the call is sent and not waited for. True when it was sent.
bool notifyDesktop(const QString& summary, const QString& body);

// What the window says the first time it is closed on a desktop without a
// tray: it runs on, and starting it again brings it back.
QString backgroundRunSummary();
QString backgroundRunBody();

}  // namespace orlix::gui
