#include "gui/skin/gdi_bitmap_btn.h"
#include "gui/skin/hover_rules.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

#include "core/device/messages.h"
#include "gui/app/message_widget.h"
#include "gui/skin/shaped_window.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

QColor CGDIBitmapBtn::defaultNormalTextColour() { return fromColorRef(0xC8BDBD); }
QColor CGDIBitmapBtn::defaultOverTextColour() { return fromColorRef(0xFFFFFF); }
QColor CGDIBitmapBtn::defaultDownTextColour() { return fromColorRef(0x051D26); }
QColor CGDIBitmapBtn::disabledTextColour() { return fromColorRef(0x272A26); }

CGDIBitmapBtn::CGDIBitmapBtn(QWidget* parent)
    : QWidget(parent),
      normalText_(defaultNormalTextColour()),
      overText_(defaultOverTextColour()),
      downText_(defaultDownTextColour()) {
  setFocusPolicy(Qt::NoFocus);
  setMouseTracking(true);
  // Not opaque: a skin's key colour in the button shows what is beneath.
}

void CGDIBitmapBtn::create(const QString& text, const QRect& rect, QWidget* parent) {
  if (parent && parent != parentWidget()) setParent(parent);
  text_ = text;
  setGeometry(rect);
  show();
}

void CGDIBitmapBtn::setImages(const SkinLook& normal, const SkinLook& over, const SkinLook& down,
                              const SkinLook& disabled, const Rect& rect) {
  // Each look is the keyed piece under the button, an image of its own: the
  // button does not keep its window's whole images alive.
  const QRect piece = toQRect(rect);
  normal_ = normal.keyedPiece(piece);
  over_ = over.keyedPiece(piece);
  down_ = down.keyedPiece(piece);
  disabled_ = disabled.sameAs(normal) ? normal_ : disabled.keyedPiece(piece);
  update();
}

void CGDIBitmapBtn::setSecondImages(const QImage& normal, const QImage& down, const Rect& rect) {
  secondNormal_ = keyedCopy(normal, toQRect(rect));
  secondDown_ = keyedCopy(down, toQRect(rect));
  update();
}

void CGDIBitmapBtn::setUseSecondNormal(bool on) {
  useSecondNormal_ = on;
  update();
}

void CGDIBitmapBtn::setUseSecondDown(bool on) {
  useSecondDown_ = on;
  update();
}

void CGDIBitmapBtn::setText(const QString& text) {
  text_ = text;
  update();
}

void CGDIBitmapBtn::setChecked(bool on) {
  if (checked_ == on) return;
  checked_ = on;
  update();
}

void CGDIBitmapBtn::setCheckStyle(bool on) {
  checkStyle_ = on;
  update();
}

void CGDIBitmapBtn::setHoverEnabled(bool on) {
  hoverEnabled_ = on;
  update();
}

void CGDIBitmapBtn::setTextRect(std::optional<QRect> rect) {
  textRect_ = rect;
  update();
}

void CGDIBitmapBtn::setTextColours(QColor normal, QColor over, QColor down) {
  normalText_ = normal;
  overText_ = over;
  downText_ = down;
  update();
}

void CGDIBitmapBtn::setLargeFont(bool on) {
  largeFont_ = on;
  update();
}

void CGDIBitmapBtn::setTooltip(const QString& text) { setToolTip(text); }

MessageTarget* CGDIBitmapBtn::notifyTarget() const { return notify_ ? notify_ : targetOf(parentWidget()); }

CGDIBitmapBtn::Look CGDIBitmapBtn::currentLook() const {
  bool disabled = !isEnabled();
  if (checkStyle_ && checked_) {
    if (disabled) return Look::Disabled;
    return useSecondDown_ ? Look::SecondDown : Look::Down;
  }
  if (!checkStyle_ && pressed_) return useSecondDown_ ? Look::SecondDown : Look::Down;
  if (hovered_ && hoverEnabled_) return Look::Over;
  if (disabled) return Look::Disabled;
  return useSecondNormal_ ? Look::SecondNormal : Look::Normal;
}

QColor CGDIBitmapBtn::currentTextColour() const {
  switch (currentLook()) {
    case Look::Down:
    case Look::SecondDown:
      return downText_;
    case Look::Over:
      return overText_;
    case Look::Disabled:
      return disabledTextColour();
    default:
      return normalText_;
  }
}

const QImage& CGDIBitmapBtn::imageOf(Look look) const {
  switch (look) {
    case Look::SecondNormal:
      return secondNormal_;
    case Look::Over:
      return over_;
    case Look::Down:
      return down_;
    case Look::SecondDown:
      return secondDown_;
    case Look::Disabled:
      return disabled_;
    default:
      return normal_;
  }
}

void CGDIBitmapBtn::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QImage& image = imageOf(currentLook());
  if (!image.isNull()) p.drawImage(0, 0, image);
  if (text_.isEmpty()) return;
  QFont f = gdiFont(largeFont_ ? 20 : 14, 300);
  p.setFont(f);
  QColor colour = currentTextColour();
  p.setPen(colour);
  QFontMetrics fm(f);
  QRect r;
  if (textRect_) {
    r = textRect_->adjusted(5, 0, -5, 0);
    if (colour == downText_) r.translate(1, 1);
  } else {
    r = QRect(8, height() / 2 - fm.height() / 2, width() - 13, fm.height());
  }
  QString shown = fm.elidedText(text_, Qt::ElideRight, std::max(0, r.width()));
  p.drawText(r, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, shown);
}

void CGDIBitmapBtn::setHovered(bool on) {
  // A disabled button never sees the pointer.
  if (on && !isEnabled()) return;
  if (hovered_ == on) return;
  hovered_ = on;
  update();
}

void CGDIBitmapBtn::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) {
    e->ignore();
    return;
  }
  QWidget* owner = window();
  if (owner && !owner->isActiveWindow()) owner->activateWindow();
  if (toggleOnClick_) {
    checked_ = !checked_;
    update();
  }
  if (reportMouseButtons_)
    if (MessageTarget* t = notifyTarget()) t->post(msg::kButtonNotify, msg::kLeftButtonDown, handleOf(this));
  pressed_ = true;
  update();
}

void CGDIBitmapBtn::mouseDoubleClickEvent(QMouseEvent* e) { mousePressEvent(e); }

void CGDIBitmapBtn::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) {
    e->ignore();
    return;
  }
  if (reportMouseButtons_)
    if (MessageTarget* t = notifyTarget()) t->post(msg::kButtonNotify, msg::kLeftButtonUp, handleOf(this));
  bool wasPressed = pressed_;
  pressed_ = false;
  if (!rect().contains(e->position().toPoint())) setHovered(false);
  update();
  if (wasPressed && rect().contains(e->position().toPoint())) emit clicked();
}

void CGDIBitmapBtn::mouseMoveEvent(QMouseEvent* e) {
  if (auto h = hoverAfterMove(*this, *e, hovered_)) setHovered(*h);
  // The parent sees the move too, in its own coordinates, as if the button were
  // not there (status hints follow the pointer).
  e->ignore();
}

void CGDIBitmapBtn::enterEvent(QEnterEvent*) {
  if (hoverOnEnter(hovered_)) setHovered(true);
}

void CGDIBitmapBtn::leaveEvent(QEvent*) { setHovered(false); }

void CGDIBitmapBtn::focusOutEvent(QFocusEvent* e) {
  setHovered(false);
  QWidget::focusOutEvent(e);
}

void CGDIBitmapBtn::changeEvent(QEvent* e) {
  if (e->type() == QEvent::EnabledChange || e->type() == QEvent::ActivationChange) {
    if ((e->type() == QEvent::ActivationChange && !isActiveWindow()) || !isEnabled()) setHovered(false);
    update();
  }
  QWidget::changeEvent(e);
}

}  // namespace orlix::gui
