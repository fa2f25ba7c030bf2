#include "gui/skin/png_slider.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "core/device/messages.h"
#include "gui/skin/shaped_window.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

// ------------------------------------------------------------------ thumb

CPngHSlider::CPngHSlider(QWidget* bar) : QWidget(bar) {
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CPngHSlider::create(const QString& imagePath, int id, int trackLeft, int trackRight, int bottom) {
  image_ = loadImageFile(imagePath);
  id_ = id;
  trackLeft_ = trackLeft;
  trackRight_ = trackRight;
  bottom_ = bottom;
  resize(image_.size());
  if (!image_.isNull()) {
    // The shape: every pixel but those of the top-left pixel's colour, the
    // picture laid over black.
    QImage flat(image_.size(), QImage::Format_RGB32);
    flat.fill(Qt::black);
    QPainter p(&flat);
    p.drawImage(0, 0, image_);
    p.end();
    setMask(regionWithoutColour(flat, flat.pixel(0, 0)));
    // Where the mask is not drawn by (Wayland) that colour is transparent.
    image_ = keyedImage(image_, flat.pixel(0, 0));
  }
  show();
}

void CPngHSlider::setRange(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
  lower_ = minimum;
  upper_ = maximum;
}

void CPngHSlider::setLimits(int lower, int upper) {
  lower_ = lower;
  upper_ = upper;
}

int CPngHSlider::thumbLeftOf(int v) const {
  int span = maximum_ - minimum_;
  if (span <= 0) return trackLeft_;
  return trackLeft_ + (trackRight_ - trackLeft_ - thumbWidth()) * (v - minimum_) / span;
}

int CPngHSlider::valueAtThumbLeft(int left) const {
  int room = trackRight_ - thumbWidth() - trackLeft_;
  if (room <= 0) return minimum_;
  int v = minimum_ + (maximum_ - minimum_) * (left - trackLeft_) / room;
  return std::clamp(v, std::min(minimum_, maximum_), std::max(minimum_, maximum_));
}

void CPngHSlider::setValue(int v) {
  if (v < minimum_ || v > maximum_) v = minimum_;
  value_ = v;
  move(thumbLeftOf(v), topAligned_ ? top_ : bottom_ - height());
}

void CPngHSlider::setTopAligned(bool on, int top) {
  topAligned_ = on;
  top_ = top;
  setValue(value_);
}

void CPngHSlider::paintEvent(QPaintEvent*) {
  if (image_.isNull()) return;
  QPainter p(this);
  p.drawImage(0, 0, image_);
}

void CPngHSlider::notify() {
  if (MessageTarget* bar = targetOf(parentWidget())) bar->post(msg::kSliderPos, uintptr_t(value_), id_);
}

void CPngHSlider::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !enabled_) {
    e->ignore();
    return;
  }
  pressX_ = int(e->position().x());
  dragging_ = true;
}

void CPngHSlider::mouseMoveEvent(QMouseEvent* e) {
  if (!dragging_ || !enabled_) return;
  int x = int(e->position().x());
  if ((value_ == upper_ && x > pressX_) || (value_ == lower_ && x < pressX_)) return;
  int left = std::clamp(pos().x() + (x - pressX_), trackLeft_, std::max(trackLeft_, trackRight_ - thumbWidth()));
  int v = valueAtThumbLeft(left);
  v = std::clamp(v, lower_, upper_);
  setValue(v);
  notify();
}

void CPngHSlider::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) {
    e->ignore();
    return;
  }
  // The thumb already stands at the value the drag set and reported; the value
  // is kept as it is rather than recomputed from the pixel position, which
  // could round it down below what the owner was told.
  dragging_ = false;
}

// ------------------------------------------------------------------ bar

CPngHSliderBar::CPngHSliderBar(QWidget* owner) : MessageWidget<QWidget>(owner), thumb_(new CPngHSlider(this)) {
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CPngHSliderBar::init(const QString& thumbPath, const QRect& rectInOwner, QWidget* owner, int id) {
  if (owner && owner != parentWidget()) setParent(owner);
  id_ = id;
  setGeometry(rectInOwner);
  show();
  thumb_->create(thumbPath, id, 0, width(), height());
  thumb_->setValue(0);
  thumb_->setDragEnabled(true);
}

void CPngHSliderBar::setBackground(const QImage& image) {
  background_ = image;
  update();
}

void CPngHSliderBar::setRange(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
  thumb_->setRange(minimum, maximum);
}

void CPngHSliderBar::enable(bool on) {
  disabled_ = !on;
  thumb_->setDragEnabled(on);
}

MessageTarget* CPngHSliderBar::notifyTarget() const { return notify_ ? notify_ : targetOf(parentWidget()); }

int CPngHSliderBar::valueAtClick(int x) const {
  // The last pixel of the track is the maximum, the first the minimum.
  int span = width() - 1;
  if (span <= 0) return minimum_;
  int v = minimum_ + (maximum_ - minimum_) * x / span;
  return std::clamp(v, std::min(minimum_, maximum_), std::max(minimum_, maximum_));
}

intptr_t CPngHSliderBar::onMessage(uint32_t id, uintptr_t wParam, intptr_t) {
  if (id == msg::kSliderPos) {
    if (MessageTarget* t = notifyTarget()) t->post(msg::kSliderPos, wParam, id_);
    return 1;
  }
  return 0;
}

void CPngHSliderBar::paintEvent(QPaintEvent*) {
  if (background_.isNull()) return;
  QPainter p(this);
  p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.drawImage(rect(), background_);
}

void CPngHSliderBar::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || disabled_) {
    e->ignore();
    return;
  }
  int v = valueAtClick(int(e->position().x()));
  thumb_->setValue(v);
  if (MessageTarget* t = notifyTarget()) t->post(msg::kSliderPos, uintptr_t(v), id_);
}

}  // namespace orlix::gui
