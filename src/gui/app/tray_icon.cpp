#include "gui/app/tray_icon.h"

#include <QSystemTrayIcon>

#include "core/app/main_window_core.h"
#include "core/device/messages.h"
#include "core/skin/skin_files.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

TrayIcon::TrayIcon(MessageTarget& owner, QObject* parent) : QObject(parent), owner_(owner) {}

TrayIcon::~TrayIcon() { remove(); }

bool TrayIcon::available() { return QSystemTrayIcon::isSystemTrayAvailable(); }

bool TrayIcon::add() {
  if (!icon_) {
    icon_ = new QSystemTrayIcon(loadIconResource(skin::resource::kProgramIcon), this);
    icon_->setToolTip(QString::fromLatin1(kTrayTip));
    connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
      if (why == QSystemTrayIcon::DoubleClick) owner_.post(msg::kTrayNotify, 0, app::kTrayDoubleClick);
      else if (why == QSystemTrayIcon::Context) owner_.post(msg::kTrayNotify, 0, app::kTrayRightUp);
    });
  }
  if (!available()) return false;
  icon_->show();
  icon_->showMessage(QString::fromLatin1(kBalloonTitle), QString::fromLatin1(kTrayTip),
                     QSystemTrayIcon::Information, kBalloonMs);
  return true;
}

void TrayIcon::remove() {
  if (icon_) icon_->hide();
}

bool TrayIcon::visible() const { return icon_ && icon_->isVisible(); }

}  // namespace orlix::gui
