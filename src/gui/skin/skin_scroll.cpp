#include "gui/skin/skin_scroll.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

#include "core/device/messages.h"
#include "core/skin/window_geometry.h"

namespace orlix::gui {

namespace sk = skin::scroll_skin;

// ------------------------------------------------------------------ bar

CSkinScrollBar::CSkinScrollBar(Qt::Orientation orientation, const QImage& skin, QWidget* frame)
    : MessageWidget<QWidget>(frame), orientation_(orientation), skin_(skin) {
  thickness_ = skin_.isNull() ? sk::kThickness : skin_.width() / sk::kColumns;
  cell_ = skin_.isNull() ? sk::kThickness : skin_.height() / sk::kRows;
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  if (orientation_ == Qt::Vertical)
    resize(thickness_, height());
  else
    resize(width(), thickness_);
}

bool CSkinScrollBar::canScroll() const { return info_.max >= info_.page; }

void CSkinScrollBar::setInfo(const ScrollInfo& info) {
  info_ = info;
  setEnabled(canScroll());
  if (!canScroll()) stopRepeat();
  update();
}

int CSkinScrollBar::length() const { return orientation_ == Qt::Vertical ? height() : width(); }

int CSkinScrollBar::arrowLength() const { return std::min(thickness_, length() / 2); }

int CSkinScrollBar::thumbLength() const {
  if (!canScroll()) return 0;
  int track = length() - 2 * arrowLength();
  int range = info_.max - info_.min;
  int thumb = info_.page * track / (range + 1);
  if (track > 5) thumb = std::max(thumb, 6);
  return std::clamp(thumb, 0, std::max(0, track));
}

int CSkinScrollBar::thumbStart() const {
  int arrow = arrowLength();
  int track = length() - 2 * arrow;
  int range = info_.max - info_.min;
  int steps = range - info_.page + 1;
  if (steps <= 0) return arrow;
  int pos = pressed_ == kThumb ? info_.trackPos : info_.pos;
  return arrow + (pos - info_.min) * (track - thumbLength()) / steps;
}

QRect CSkinScrollBar::partRect(Part part) const {
  int arrow = arrowLength(), len = length();
  int a = 0, b = 0;
  switch (part) {
    case kFirstArrow:
      a = 0, b = arrow;
      break;
    case kSecondArrow:
      a = len - arrow, b = len;
      break;
    case kThumb:
      if (!canScroll()) return {};
      a = thumbStart(), b = a + thumbLength();
      break;
    case kTrackBefore:
      a = arrow, b = canScroll() ? thumbStart() : len - arrow;
      break;
    case kTrackAfter:
      if (!canScroll()) return {};
      a = thumbStart() + thumbLength(), b = len - arrow;
      break;
    case kNone:
      return {};
  }
  if (b <= a) return {};
  return orientation_ == Qt::Vertical ? QRect(0, a, width(), b - a) : QRect(a, 0, b - a, height());
}

CSkinScrollBar::Part CSkinScrollBar::partAt(const QPoint& p) const {
  for (Part part : {kFirstArrow, kSecondArrow, kThumb, kTrackBefore, kTrackAfter})
    if (partRect(part).contains(p)) return part;
  return kNone;
}

void CSkinScrollBar::drawCell(QPainter& p, int column, int row, const QRect& target) const {
  if (skin_.isNull() || target.isEmpty()) return;
  p.drawImage(target, skin_, QRect(column * thickness_, row * cell_, thickness_, cell_));
}

void CSkinScrollBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(0x0c, 0x0e, 0x11));
  if (skin_.isNull()) return;
  const bool vertical = orientation_ == Qt::Vertical;
  const int base = vertical ? 0 : sk::kHorizontalColumn;
  auto rowOf = [&](Part part) {
    if (!isEnabled()) return int(sk::kNormal);
    if (pressed_ == part) return int(sk::kPressed);
    if (hovered_ == part) return int(sk::kOver);
    return int(sk::kNormal);
  };
  // Track, tiled cell by cell.
  for (Part section : {kTrackBefore, kTrackAfter}) {
    QRect r = partRect(section);
    if (r.isEmpty()) continue;
    int row = rowOf(section);
    p.save();
    p.setClipRect(r);
    int step = vertical ? cell_ : thickness_;
    for (int at = vertical ? r.top() : r.left(); at < (vertical ? r.bottom() + 1 : r.right() + 1); at += step)
      drawCell(p, base + sk::kTrack, row,
               vertical ? QRect(0, at, width(), cell_) : QRect(at, 0, thickness_, height()));
    p.restore();
  }
  // Arrows, one cell each.
  drawCell(p, base + sk::kFirstArrow, rowOf(kFirstArrow), partRect(kFirstArrow));
  drawCell(p, base + sk::kSecondArrow, rowOf(kSecondArrow), partRect(kSecondArrow));
  // Thumb: three-pixel end caps from its cell, the middle tiled.
  QRect thumb = partRect(kThumb);
  if (thumb.isEmpty()) return;
  int row = rowOf(kThumb);
  QRect src((base + sk::kThumb) * thickness_, row * cell_, thickness_, cell_);
  const int cap = 3;
  if (vertical) {
    int mid = cell_ - 2 * cap;
    p.drawImage(QRect(0, thumb.top(), width(), cap), skin_, QRect(src.left(), src.top(), thickness_, cap));
    p.save();
    p.setClipRect(QRect(0, thumb.top() + cap, width(), std::max(0, thumb.height() - 2 * cap)));
    for (int y = thumb.top() + cap; y < thumb.bottom() - cap + 1; y += std::max(1, mid))
      p.drawImage(QRect(0, y, width(), mid), skin_, QRect(src.left(), src.top() + cap, thickness_, mid));
    p.restore();
    p.drawImage(QRect(0, thumb.bottom() - cap + 1, width(), cap), skin_,
                QRect(src.left(), src.bottom() - cap + 1, thickness_, cap));
  } else {
    int mid = thickness_ - 2 * cap;
    p.drawImage(QRect(thumb.left(), 0, cap, height()), skin_, QRect(src.left(), src.top(), cap, cell_));
    p.save();
    p.setClipRect(QRect(thumb.left() + cap, 0, std::max(0, thumb.width() - 2 * cap), height()));
    for (int x = thumb.left() + cap; x < thumb.right() - cap + 1; x += std::max(1, mid))
      p.drawImage(QRect(x, 0, mid, height()), skin_, QRect(src.left() + cap, src.top(), mid, cell_));
    p.restore();
    p.drawImage(QRect(thumb.right() - cap + 1, 0, cap, height()), skin_,
                QRect(src.right() - cap + 1, src.top(), cap, cell_));
  }
}

void CSkinScrollBar::sendCode(Part part) {
  int code = part == kFirstArrow    ? msg::kScrollLineUp
             : part == kSecondArrow ? msg::kScrollLineDown
             : part == kTrackBefore ? msg::kScrollPageUp
                                    : msg::kScrollPageDown;
  uint32_t message = orientation_ == Qt::Vertical ? msg::kVScroll : msg::kHScroll;
  if (auto* frame = dynamic_cast<CSkinScrollWnd*>(parentWidget())) frame->send(message, uintptr_t(code), handleOf(this));
  emit scrollRequested(code, 0);
}

void CSkinScrollBar::stopRepeat() {
  killNamedTimer(kFirstTimer);
  killNamedTimer(kRepeatTimer);
}

void CSkinScrollBar::onTimer(int id) {
  bool repeating = pressed_ == kFirstArrow || pressed_ == kSecondArrow || pressed_ == kTrackBefore ||
                   pressed_ == kTrackAfter;
  if (!repeating) {
    stopRepeat();
    return;
  }
  if (id == kFirstTimer) {
    killNamedTimer(kFirstTimer);
    sendCode(pressed_);
    setNamedTimer(kRepeatTimer, kRepeatPeriod);
  } else if (id == kRepeatTimer) {
    // Paging stops once the thumb has reached the pointer.
    QPoint at = mapFromGlobal(QCursor::pos());
    if ((pressed_ == kTrackBefore || pressed_ == kTrackAfter) && rect().contains(at) && partAt(at) != pressed_) return;
    sendCode(pressed_);
  }
  update();
}

void CSkinScrollBar::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !canScroll()) return;
  QPoint pt = e->position().toPoint();
  Part part = partAt(pt);
  if (part == kNone) return;
  pressed_ = part;
  if (part == kThumb) {
    info_.trackPos = info_.pos;
    dragOffset_ = (orientation_ == Qt::Vertical ? pt.y() : pt.x()) - thumbStart();
  } else {
    sendCode(part);
    setNamedTimer(kFirstTimer, kFirstDelay);
  }
  update();
}

void CSkinScrollBar::mouseMoveEvent(QMouseEvent* e) {
  QPoint pt = e->position().toPoint();
  if (pressed_ == kThumb) {
    int arrow = arrowLength();
    int track = length() - 2 * arrow;
    int thumb = thumbLength();
    int start = std::clamp((orientation_ == Qt::Vertical ? pt.y() : pt.x()) - dragOffset_, arrow,
                           arrow + std::max(0, track - thumb));
    int steps = info_.max - info_.min - info_.page + 1;
    int pos = info_.min;
    if (track - thumb > 0) pos = info_.min + (start - arrow) * steps / (track - thumb);
    pos = std::clamp(pos, info_.min, std::max(info_.min, info_.max - info_.page + 1));
    if (pos != info_.trackPos) {
      info_.trackPos = pos;
      uint32_t message = orientation_ == Qt::Vertical ? msg::kVScroll : msg::kHScroll;
      uintptr_t w = uintptr_t(msg::kScrollThumbTrack) | (uintptr_t(pos & 0xFFFF) << 16);
      if (auto* frame = dynamic_cast<CSkinScrollWnd*>(parentWidget())) frame->send(message, w, handleOf(this));
      emit scrollRequested(msg::kScrollThumbTrack, pos);
      update();
    }
    return;
  }
  Part part = partAt(pt);
  if (part != hovered_) {
    hovered_ = part;
    update();
  }
}

void CSkinScrollBar::mouseReleaseEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  if (pressed_ == kThumb) {
    uint32_t message = orientation_ == Qt::Vertical ? msg::kVScroll : msg::kHScroll;
    int pos = info_.trackPos;
    uintptr_t w = uintptr_t(msg::kScrollThumbPosition) | (uintptr_t(pos & 0xFFFF) << 16);
    pressed_ = kNone;
    if (auto* frame = dynamic_cast<CSkinScrollWnd*>(parentWidget())) frame->send(message, w, handleOf(this));
    emit scrollRequested(msg::kScrollThumbPosition, pos);
  }
  pressed_ = kNone;
  stopRepeat();
  update();
}

void CSkinScrollBar::leaveEvent(QEvent*) {
  hovered_ = kNone;
  update();
}

// ------------------------------------------------------------------ frame

CSkinScrollWnd::CSkinScrollWnd(QAbstractScrollArea* control, const QImage& skin)
    : MessageWidget<QWidget>(control->parentWidget()), control_(control) {
  setObjectName(QStringLiteral("SkinScrollBarFrame"));
  limit_ = new QWidget(this);
  limit_->setObjectName(QStringLiteral("LIMIT"));
  hbar_ = new CSkinScrollBar(Qt::Horizontal, skin, this);
  vbar_ = new CSkinScrollBar(Qt::Vertical, skin, this);
  hbar_->hide();
  vbar_->hide();
}

CSkinScrollWnd* CSkinScrollWnd::attach(QAbstractScrollArea* control, const QImage& skin) {
  if (!control) return nullptr;
  bool visible = !control->isHidden();
  QRect place = control->geometry();
  auto* frame = new CSkinScrollWnd(control, skin);
  frame->wantVertical_ = control->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
  frame->wantHorizontal_ = control->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
  frame->setGeometry(place);
  control->setParent(frame->limit_);
  control->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  control->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  control->move(0, 0);
  control->setVisible(visible);
  frame->setVisible(visible);
  control->installEventFilter(frame);
  // The bars follow the control at once when its range or position changes, and
  // every half second for what changes silently (the page).
  for (QScrollBar* sb : {control->verticalScrollBar(), control->horizontalScrollBar()}) {
    connect(sb, &QScrollBar::rangeChanged, frame, &CSkinScrollWnd::syncScrollInfo);
    connect(sb, &QScrollBar::valueChanged, frame, &CSkinScrollWnd::syncScrollInfo);
  }
  connect(control, &QObject::destroyed, frame, &QObject::deleteLater);
  frame->layoutBars();
  frame->syncScrollInfo();
  // The bars follow the control by polling, but only while they can be seen:
  // a hidden page wakes nobody up.
  if (frame->isVisible()) frame->setNamedTimer(kSyncTimer, kSyncPeriod);
  return frame;
}

void CSkinScrollWnd::showEvent(QShowEvent* e) {
  syncScrollInfo();
  setNamedTimer(kSyncTimer, kSyncPeriod);
  MessageWidget<QWidget>::showEvent(e);
}

void CSkinScrollWnd::hideEvent(QHideEvent* e) {
  killNamedTimer(kSyncTimer);
  MessageWidget<QWidget>::hideEvent(e);
}

void CSkinScrollWnd::syncScrollInfo() {
  if (!control_) return;
  auto infoOf = [](QScrollBar* sb) {
    ScrollInfo i;
    i.min = sb->minimum();
    i.page = sb->pageStep();
    i.max = sb->maximum() + sb->pageStep() - 1;
    i.pos = i.trackPos = sb->value();
    return i;
  };
  for (auto [bar, sb] : {std::pair{vbar_, control_->verticalScrollBar()}, std::pair{hbar_, control_->horizontalScrollBar()}}) {
    ScrollInfo i = infoOf(sb);
    if (bar->pressedPart() == CSkinScrollBar::kThumb) i.trackPos = bar->info().trackPos;
    if (!(bar->info() == i)) bar->setInfo(i);
  }
}

void CSkinScrollWnd::layoutBars() {
  if (!control_) return;
  const int t = vbar_->thickness();
  const bool v = wantVertical_, h = wantHorizontal_;
  const bool left = control_->layoutDirection() == Qt::RightToLeft;
  const int w = width(), ht = height();
  int contentW = w - (v ? t : 0), contentH = ht - (h ? t : 0);
  int contentX = (v && left) ? t : 0;
  if (v) vbar_->setGeometry(left ? 0 : w - t, 0, t, contentH);
  if (h) hbar_->setGeometry(contentX, ht - t, contentW, t);
  vbar_->setVisible(v);
  hbar_->setVisible(h);
  limit_->setGeometry(contentX, 0, std::max(0, contentW), std::max(0, contentH));
  control_->setGeometry(0, 0, limit_->width(), limit_->height());
}

intptr_t CSkinScrollWnd::onMessage(uint32_t id, uintptr_t wParam, intptr_t) {
  if (id == msg::kScrollFrameLayout) {
    layoutBars();
    return 1;
  }
  if ((id == msg::kVScroll || id == msg::kHScroll) && control_) {
    QScrollBar* sb = id == msg::kVScroll ? control_->verticalScrollBar() : control_->horizontalScrollBar();
    int code = int(wParam & 0xFFFF);
    int pos = int((wParam >> 16) & 0xFFFF);
    switch (code) {
      case msg::kScrollLineUp: sb->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
      case msg::kScrollLineDown: sb->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
      case msg::kScrollPageUp: sb->triggerAction(QAbstractSlider::SliderPageStepSub); break;
      case msg::kScrollPageDown: sb->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
      case msg::kScrollThumbTrack:
      case msg::kScrollThumbPosition: sb->setValue(pos); break;
      default: break;
    }
    syncScrollInfo();
    return 1;
  }
  return 0;
}

void CSkinScrollWnd::onTimer(int id) {
  if (id == kSyncTimer) syncScrollInfo();
}

bool CSkinScrollWnd::eventFilter(QObject* watched, QEvent* e) {
  if (watched == control_) {
    switch (e->type()) {
      case QEvent::Resize:
        post(msg::kScrollFrameLayout);
        break;
      case QEvent::Show:
        show();
        break;
      case QEvent::Hide:
        if (!control_->isVisibleTo(limit_)) hide();
        break;
      default:
        break;
    }
  }
  return MessageWidget<QWidget>::eventFilter(watched, e);
}

void CSkinScrollWnd::resizeEvent(QResizeEvent* e) {
  layoutBars();
  MessageWidget<QWidget>::resizeEvent(e);
}

}  // namespace orlix::gui
