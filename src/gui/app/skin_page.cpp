#include "gui/app/skin_page.h"

#include <QPainter>

#include "core/device/message_target.h"
#include "core/device/messages.h"
#include "core/skin/window_geometry.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

SkinPage::SkinPage(const skin::ImageTriple& images, QWidget* parent) : MessageWidget<QWidget>(parent) {
  normal_ = loadBitmapFile(skinPath(images.normal));
  down_ = loadBitmapFile(skinPath(images.down));
  over_ = loadBitmapFile(skinPath(images.over));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  resize(normal_.isNull() ? QSize(skin::page::kSize.width, skin::page::kSize.height) : normal_.size());
}

void SkinPage::postHint(int hint) { postToWindow(QString::fromUtf8(kMainWindowTitle), msg::kHint, 0, hint); }

void SkinPage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (normal_.isNull()) p.fillRect(rect(), Qt::black);
  else p.drawImage(0, 0, normal_);
}

}  // namespace orlix::gui
