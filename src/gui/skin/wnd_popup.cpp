#include "gui/skin/wnd_popup.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "core/device/messages.h"
#include "core/skin/skin_files.h"
#include "core/skin/window_geometry.h"
#include "gui/app/message_widget.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

// ------------------------------------------------------------------ window

CWndPopup::CWndPopup(QWidget* owner)
    : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint), owner_(owner) {
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_DeleteOnClose);
  setMouseTracking(true);
}

MessageTarget* CWndPopup::ownerTarget() const { return ownerTarget_ ? ownerTarget_ : targetOf(owner_); }

void CWndPopup::create(QWidget* owner, int x, int y) {
  if (owner) owner_ = owner;
  QImage frame;
  if (loadImageResource(skin::resource::kPopupFrame, "PNG", &frame)) frame_ = frame;
  buildItems();
  move(x, y);
  // Without a compositor the transparent corners would come out black: the
  // window takes the frame's shape as well.
  QImage shape(size(), QImage::Format_ARGB32_Premultiplied);
  shape.fill(Qt::transparent);
  {
    QPainter p(&shape);
    paintFrame(p);
  }
  if (!frame_.isNull()) setMask(regionFromAlpha(shape));
  show();
  activateWindow();
}

void CWndPopup::paintFrame(QPainter& p) {
  if (frame_.isNull()) {
    p.fillRect(rect(), QColor(0xee, 0xf1, 0xf4));
    return;
  }
  const int c = skin::popup_frame::kCorner;
  const int fw = frame_.width(), fh = frame_.height();
  const int w = width(), h = height();
  const int midW = std::max(1, fw - 2 * c), midH = std::max(1, fh - 2 * c);
  const int cw = std::min(c, w / 2), ch = std::min(c, h / 2);
  // Corners unscaled.
  p.drawImage(QRect(0, 0, cw, ch), frame_, QRect(0, 0, cw, ch));
  p.drawImage(QRect(w - cw, 0, cw, ch), frame_, QRect(fw - cw, 0, cw, ch));
  p.drawImage(QRect(0, h - ch, cw, ch), frame_, QRect(0, fh - ch, cw, ch));
  p.drawImage(QRect(w - cw, h - ch, cw, ch), frame_, QRect(fw - cw, fh - ch, cw, ch));
  // Edges and centre stretched.
  if (w > 2 * cw) {
    p.drawImage(QRect(cw, 0, w - 2 * cw, ch), frame_, QRect(c, 0, midW, ch));
    p.drawImage(QRect(cw, h - ch, w - 2 * cw, ch), frame_, QRect(c, fh - ch, midW, ch));
  }
  if (h > 2 * ch) {
    p.drawImage(QRect(0, ch, cw, h - 2 * ch), frame_, QRect(0, c, cw, midH));
    p.drawImage(QRect(w - cw, ch, cw, h - 2 * ch), frame_, QRect(fw - cw, c, cw, midH));
  }
  if (w > 2 * cw && h > 2 * ch) p.drawImage(QRect(cw, ch, w - 2 * cw, h - 2 * ch), frame_, QRect(c, c, midW, midH));
}

void CWndPopup::notifyOwner(intptr_t value) {
  if (MessageTarget* t = ownerTarget()) t->post(msg::kLanguageChoice, 0, value);
}

void CWndPopup::closeEvent(QCloseEvent* e) {
  if (!closed_) {
    closed_ = true;
    notifyOwner(0);
  }
  QWidget::closeEvent(e);
}

void CWndPopup::hideEvent(QHideEvent* e) {
  // Hidden by other means than close(): it is closed all the same.
  if (!closed_) {
    closed_ = true;
    notifyOwner(0);
  }
  QWidget::hideEvent(e);
}

void CWndPopup::changeEvent(QEvent* e) {
  if (e->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow() && QApplication::activePopupWidget() != this)
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
  QWidget::changeEvent(e);
}

// ------------------------------------------------------------------ menu

CMenuEx::CMenuEx(QWidget* owner) : CWndPopup(owner) {}

void CMenuEx::addItem(intptr_t value, const QString& text, const QImage& icon) {
  Record r;
  r.value = value;
  r.text = text;
  r.icon = icon;
  records_.push_back(r);
}

void CMenuEx::addSeparator() {
  Record r;
  r.separator = true;
  records_.push_back(r);
}

void CMenuEx::buildItems() {
  fillItems();
  int y = kTop;
  for (Record& r : records_) {
    int h = r.separator ? kSeparatorHeight : kItemHeight;
    r.rect = QRect(kItemLeft, y, kItemRight - kItemLeft, h);
    y += h;
  }
  resize(kWidth, y + 3);
}

int CMenuEx::recordAt(const QPoint& p) const {
  for (int i = 0; i < int(records_.size()); ++i)
    if (!records_[size_t(i)].separator && records_[size_t(i)].rect.contains(p)) return i;
  return -1;
}

void CMenuEx::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.fillRect(rect(), Qt::transparent);
  p.setCompositionMode(QPainter::CompositionMode_SourceOver);
  paintFrame(p);
  QFont f = gdiFont(12, 400);
  p.setFont(f);
  for (int i = 0; i < int(records_.size()); ++i) {
    const Record& r = records_[size_t(i)];
    if (r.separator) {
      p.setPen(QColor(0xb4, 0xbc, 0xc2));
      p.drawLine(32, r.rect.top() + 2, 110, r.rect.top() + 2);
      continue;
    }
    bool lit = i == hovered_;
    if (lit) p.fillRect(r.rect, fromColorRef(0xD19300));
    if (!r.icon.isNull()) {
      QSize s = r.icon.size();
      QPoint at(r.rect.left() + (kIconColumn - s.width()) / 2, r.rect.top() + (r.rect.height() - s.height()) / 2);
      p.drawImage(at, r.icon);
    }
    p.setPen(lit ? fromColorRef(0xF5F5F5) : fromColorRef(0x050505));
    QRect tr = r.rect.adjusted(kIconColumn + 4, 0, -2, 0);
    p.drawText(tr, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               QFontMetrics(f).elidedText(r.text, Qt::ElideRight, tr.width()));
  }
}

void CMenuEx::mouseMoveEvent(QMouseEvent* e) {
  int i = recordAt(e->position().toPoint());
  if (i != hovered_) {
    hovered_ = i;
    update();
  }
}

void CMenuEx::leaveEvent(QEvent*) {
  if (hovered_ < 0) return;
  hovered_ = -1;
  update();
}

void CMenuEx::mousePressEvent(QMouseEvent* e) {
  if (!rect().contains(e->position().toPoint())) {
    close();
    return;
  }
  int i = recordAt(e->position().toPoint());
  if (i >= 0 && i == hovered_) notifyOwner(records_[size_t(i)].value);
}

void CMenuEx::keyPressEvent(QKeyEvent* e) {
  auto step = [&](int dir) {
    int n = int(records_.size());
    for (int k = 1; k <= n; ++k) {
      int i = ((hovered_ < 0 ? (dir > 0 ? -1 : 0) : hovered_) + dir * k + n * 2) % n;
      if (!records_[size_t(i)].separator) {
        hovered_ = i;
        update();
        return;
      }
    }
  };
  switch (e->key()) {
    case Qt::Key_Down: step(1); break;
    case Qt::Key_Up: step(-1); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (hovered_ >= 0) notifyOwner(records_[size_t(hovered_)].value);
      break;
    case Qt::Key_Escape: close(); break;
    default: QWidget::keyPressEvent(e);
  }
}

}  // namespace orlix::gui
