#include "gui/skin/color_btn.h"
#include "gui/skin/hover_rules.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include "core/device/messages.h"
#include "gui/app/message_widget.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

CColorBtn::CColorBtn(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::NoFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CColorBtn::setColour(const QColor& colour) {
  colour_ = colour;
  update();
}

void CColorBtn::setChecked(bool on) {
  checked_ = on;
  update();
}

void CColorBtn::setBorder(bool on) {
  border_ = on;
  update();
}

void CColorBtn::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QRect all = rect();
  const QRect inner = all.adjusted(2, 2, -2, -2);
  QColor solid = colour_;
  solid.setAlpha(255);
  QColor edge;
  bool drawBorder = true;
  if (checked_ || pressed_) {
    p.fillRect(all, fromArgb(0xFF3F48D3));
    p.fillRect(inner, solid);
    if (checked_) {
      edge = fromArgb(0xFF393839);
      drawBorder = border_;
    } else {
      edge = fromArgb(0xFFD31814);
    }
  } else {
    p.fillRect(all, solid);
    edge = hovered_ ? fromArgb(0xFFE8BE1C) : fromArgb(0xFF313439);
  }
  if (drawBorder && width() > 0 && height() > 0) {
    int r = width() - 1, b = height() - 1;
    p.setPen(edge);
    p.drawLine(0, 0, 0, b);  // left
    p.drawLine(0, b, r, b);  // bottom
    p.drawLine(r, b, r, 0);  // right
    p.drawLine(r, 0, 0, 0);  // top
  }
}

void CColorBtn::setHovered(bool on) {
  if (hovered_ == on) return;
  hovered_ = on;
  update();
}

void CColorBtn::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) {
    e->ignore();
    return;
  }
  pressed_ = true;
  update();
}

void CColorBtn::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) {
    e->ignore();
    return;
  }
  bool wasPressed = pressed_;
  pressed_ = false;
  QPoint pt = e->position().toPoint();
  if (!rect().contains(pt)) setHovered(false);
  update();
  MessageTarget* target = notify_ ? notify_ : targetOf(parentWidget());
  if (target) target->post(msg::kLightSelection, uintptr_t(pt.x()), intptr_t(pt.y()));
  if (wasPressed && rect().contains(pt)) emit clicked();
}

void CColorBtn::mouseMoveEvent(QMouseEvent* e) {
  if (auto h = hoverAfterMove(*this, *e, hovered_)) setHovered(*h);
  e->ignore();
}

void CColorBtn::enterEvent(QEnterEvent*) {
  if (hoverOnEnter(hovered_)) setHovered(true);
}

void CColorBtn::leaveEvent(QEvent*) { setHovered(false); }

void CColorBtn::focusOutEvent(QFocusEvent* e) {
  setHovered(false);
  QWidget::focusOutEvent(e);
}

}  // namespace orlix::gui
