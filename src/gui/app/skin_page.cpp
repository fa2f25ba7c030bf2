#include "gui/app/skin_page.h"

#include <QPainter>

#include "core/device/message_target.h"
#include "core/device/messages.h"
#include "core/skin/window_geometry.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

SkinPage::SkinPage(const skin::ImageTriple& images, QWidget* parent)
    : MessageWidget<QWidget>(parent),
      paths_{skinPath(images.normal), skinPath(images.over), skinPath(images.down)},
      over_(paths_[1]),
      down_(paths_[2]) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  // The size comes from the bitmap's header; its pixels wait for the first show.
  const QSize size = bitmapFileSize(paths_[0]);
  resize(size.isEmpty() ? QSize(skin::page::kSize.width, skin::page::kSize.height) : size);
}

void SkinPage::ensureSkin() const {
  if (read_) return;
  read_ = true;
  normal_ = loadBitmapFile(paths_[0]);
  if (waiting_.empty()) return;
  // What waits may add more: take the list first.
  std::vector<std::function<void()>> waiting;
  waiting.swap(waiting_);
  for (auto& apply : waiting) apply();
  // The controls keep the pieces of the Over and Down looks they show; the
  // page draws only its Normal image. Asked for again, they are read again.
  over_.release();
  down_.release();
}

const QImage& SkinPage::normalImage() const {
  ensureSkin();
  return normal_;
}
SkinLook SkinPage::normalLook() const { return SkinLook(paths_[0], normalImage()); }
const SkinLook& SkinPage::overLook() const {
  ensureSkin();
  return over_;
}
const SkinLook& SkinPage::downLook() const {
  ensureSkin();
  return down_;
}

void SkinPage::whenSkinned(std::function<void()> apply) {
  if (read_) apply();
  else waiting_.push_back(std::move(apply));
}

void SkinPage::showEvent(QShowEvent* e) {
  ensureSkin();
  MessageWidget<QWidget>::showEvent(e);
}

void SkinPage::postHint(int hint) { postToWindow(QString::fromUtf8(kMainWindowTitle), msg::kHint, 0, hint); }

void SkinPage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QImage& normal = normalImage();
  if (normal.isNull()) p.fillRect(rect(), Qt::black);
  else p.drawImage(0, 0, normal);
}

}  // namespace orlix::gui
