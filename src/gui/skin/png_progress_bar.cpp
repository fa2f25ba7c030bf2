#include "gui/skin/png_progress_bar.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

#include "core/device/messages.h"
#include "gui/app/message_widget.h"

namespace orlix::gui {

CPngHProgressBar::CPngHProgressBar(QWidget* owner) : QWidget(owner) {
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CPngHProgressBar::create(const QRect& rectInOwner, QWidget* owner) {
  if (owner && owner != parentWidget()) setParent(owner);
  minimum_ = 0;
  maximum_ = 10;
  value_ = 0;
  dragAllowed_ = true;
  setGeometry(rectInOwner);
  show();
}

void CPngHProgressBar::setImages(int x, int y, int width, int height, const QImage& background,
                                 const QImage& fill) {
  background_ = background.isNull() ? QImage() : background.copy(x, y, width, height);
  fill_ = fill.isNull() ? QImage() : fill.copy(x, y, width, height);
  update();
}

void CPngHProgressBar::setRange(int minimum, int maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
  update();
}

void CPngHProgressBar::setValue(int v) {
  value_ = v;
  update();
}

int CPngHProgressBar::fillWidth() const {
  int span = maximum_ - minimum_;
  if (span == 0) return 0;
  return std::clamp((value_ - minimum_) * width() / span, 0, width());
}

void CPngHProgressBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (!background_.isNull()) {
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(rect(), background_);
  }
  int w = fillWidth();
  if (!fill_.isNull() && w > 0) p.drawImage(QPoint(0, 0), fill_, QRect(0, 0, w, fill_.height()));
}

int CPngHProgressBar::valueAt(int x) const {
  if (width() <= 0) return minimum_;
  x = std::max(0, x);
  int v = minimum_ + (maximum_ - minimum_) * x / width();
  return std::clamp(v, std::min(minimum_, maximum_), std::max(minimum_, maximum_));
}

void CPngHProgressBar::mousePressEvent(QMouseEvent* e) {
  if (readOnly_ || e->button() != Qt::LeftButton) {
    e->ignore();
    return;
  }
  if (dragAllowed_) dragging_ = true;
}

void CPngHProgressBar::mouseMoveEvent(QMouseEvent* e) {
  if (readOnly_ || !dragging_) return;
  value_ = valueAt(int(e->position().x()));
  update();
}

void CPngHProgressBar::mouseReleaseEvent(QMouseEvent* e) {
  if (readOnly_ || e->button() != Qt::LeftButton) {
    e->ignore();
    return;
  }
  value_ = valueAt(int(e->position().x()));
  MessageTarget* target = notify_ ? notify_ : targetOf(parentWidget());
  if (target) target->post(msg::kProgressBarValue, uintptr_t(value_), kId);
  dragging_ = false;
  update();
}

void CPngHProgressBar::focusOutEvent(QFocusEvent* e) {
  dragging_ = false;
  QWidget::focusOutEvent(e);
}

}  // namespace orlix::gui
