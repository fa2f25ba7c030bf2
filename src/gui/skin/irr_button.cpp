#include "gui/skin/irr_button.h"

#include <QMouseEvent>
#include <QPainter>

#include "gui/skin/gdi_bitmap_btn.h"
#include "gui/skin/shaped_window.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

CIrrButton::CIrrButton(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::NoFocus);
  setMouseTracking(true);
  // Not opaque: a skin's key colour in the button shows what is beneath.
}

void CIrrButton::create(const QRegion& regionInParent, QWidget* parent) {
  if (parent && parent != parentWidget()) setParent(parent);
  box_ = regionInParent.boundingRect();
  centre_ = box_.center();
  region_ = regionInParent.translated(-box_.topLeft());
  setGeometry(box_);
  setMask(region_);
  show();
}

namespace {
QRegion regionOf(const skin::Quad& polygon) {
  QPolygon poly;
  for (const auto& pt : polygon) poly << QPoint(pt.x, pt.y);
  return QRegion(poly);
}
}  // namespace

void CIrrButton::create(const skin::Quad& polygon, QWidget* parent) { create(regionOf(polygon), parent); }

QRect CIrrButton::boxOf(const skin::Quad& polygon) { return regionOf(polygon).boundingRect(); }

void CIrrButton::setImages(const SkinLook& normal, const SkinLook& over, const SkinLook& down) {
  // Each look keeps only the part under the button's box, keyed once: a button
  // does not hold its page's whole images.
  normal_ = normal.keyedPiece(box_);
  over_ = over.keyedPiece(box_);
  down_ = down.keyedPiece(box_);
  update();
}

void CIrrButton::setText(const QString& text) {
  text_ = text;
  update();
}

void CIrrButton::setChecked(bool on) {
  checked_ = on;
  if (pressed_) {
    pressed_ = false;
    releaseMouse();
  }
  update();
}

void CIrrButton::setCheckStyle(bool on) {
  checkStyle_ = on;
  update();
}

void CIrrButton::resetHover() {
  hovered_ = false;
  if (pressed_) {
    pressed_ = false;
    releaseMouse();
  }
  update();
}

CIrrButton::Look CIrrButton::currentLook() const {
  if (pressed_ || (checkStyle_ && checked_)) return Look::Down;
  if (!isEnabled() && !checkStyle_) return Look::Disabled;
  if (hovered_) return Look::Over;
  return Look::Normal;
}

void CIrrButton::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Look look = currentLook();
  const QImage& image = look == Look::Down ? down_ : (look == Look::Normal ? normal_ : over_);
  QColor colour = look == Look::Down  ? CGDIBitmapBtn::defaultDownTextColour()
                  : look == Look::Over ? CGDIBitmapBtn::defaultOverTextColour()
                                       : CGDIBitmapBtn::defaultNormalTextColour();
  // The image is in page coordinates: the button shows the part under its box.
  p.setClipRegion(region_);
  if (!image.isNull()) p.drawImage(QPoint(0, 0), image);
  if (!text_.isEmpty()) {
    QFont f = gdiFont(14, 300);
    p.setFont(f);
    p.setPen(colour);
    int len = int(text_.size());
    int x = centre_.x() - (len > 5 ? 3 * len : 6 * len) + 5;
    int y = centre_.y() - 6;
    QFontMetrics fm(f);
    p.drawText(QPoint(x, y + fm.ascent()) - box_.topLeft(), text_);
  }
}

bool CIrrButton::inside(const QPoint& p) const { return rect().contains(p) && region_.contains(p); }

void CIrrButton::trackHover(const QPoint& p) {
  bool in = inside(p);
  if (in == hovered_) return;
  hovered_ = in;
  update();
}

void CIrrButton::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !inside(e->position().toPoint())) {
    e->ignore();
    return;
  }
  pressed_ = true;
  hovered_ = true;
  update();
  emit clicked();
}

void CIrrButton::mouseDoubleClickEvent(QMouseEvent* e) { mousePressEvent(e); }

void CIrrButton::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) {
    e->ignore();
    return;
  }
  pressed_ = false;
  trackHover(e->position().toPoint());
  update();
}

void CIrrButton::mouseMoveEvent(QMouseEvent* e) {
  trackHover(e->position().toPoint());
  e->ignore();
}

void CIrrButton::leaveEvent(QEvent*) {
  if (!hovered_) return;
  hovered_ = false;
  update();
}

void CIrrButton::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange) update();
  QWidget::changeEvent(e);
}

}  // namespace orlix::gui
