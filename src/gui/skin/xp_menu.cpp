#include "gui/skin/xp_menu.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>

#include "gui/skin/skin_images.h"

namespace orlix::gui {

CXPMenu::CXPMenu(QWidget* parent) : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CXPMenu::addItem(int command, int normalIcon, int highlightedIcon, const QString& text) {
  items_.push_back({command, loadIconResource(normalIcon), loadIconResource(highlightedIcon), text});
  resize(kItemWidth, kItemHeight * int(items_.size()));
}

QRect CXPMenu::itemRect(int i) const { return QRect(0, i * kItemHeight, kItemWidth, kItemHeight); }

void CXPMenu::popup(const QPoint& globalPos) {
  chosen_ = 0;
  highlighted_ = -1;
  resize(kItemWidth, kItemHeight * int(items_.size()));
  QPoint at = globalPos;
  if (QScreen* screen = QGuiApplication::screenAt(globalPos)) {
    QRect area = screen->availableGeometry();
    if (at.x() + width() > area.right()) at.rx() -= width();
    if (at.y() + height() > area.bottom()) at.ry() -= height();
  }
  move(at);
  show();
  activateWindow();
}

int CXPMenu::exec(const QPoint& globalPos) {
  QPointer<CXPMenu> self(this);
  QEventLoop loop;
  connect(this, &CXPMenu::triggered, &loop, &QEventLoop::quit);
  popup(globalPos);
  // Closing without a choice ends the loop through hideEvent's triggered(0).
  loop.exec();
  return self ? chosen_ : 0;
}

void CXPMenu::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QFont f = gdiFont(14, 500);
  p.setFont(f);
  for (int i = 0; i < int(items_.size()); ++i) {
    const QRect r = itemRect(i);
    const Item& item = items_[size_t(i)];
    const bool lit = i == highlighted_;
    if (lit) {
      p.fillRect(r, fromColorRef(0xCFB9B1));
      p.setPen(Qt::black);
      p.setBrush(Qt::NoBrush);
      p.drawRect(r.adjusted(0, 0, -1, -1));
    } else {
      p.fillRect(QRect(r.left(), r.top(), kIconColumn, r.height()), fromColorRef(0xD1D8DB));
      p.fillRect(QRect(r.left() + kIconColumn, r.top(), r.width() - kIconColumn, r.height()), fromColorRef(0xD1D8DB));
    }
    const QIcon& icon = lit ? item.highlighted : item.normal;
    if (!icon.isNull())
      icon.paint(&p, QRect(r.left() + (kIconColumn - 16) / 2, r.top() + (r.height() - 16) / 2, 16, 16));
    p.setPen(lit ? fromColorRef(0x913C00) : QColor(Qt::black));
    p.drawText(r.adjusted(8, 0, 0, 0), Qt::AlignCenter | Qt::TextSingleLine, item.text);
  }
}

void CXPMenu::mouseMoveEvent(QMouseEvent* e) {
  int i = e->position().toPoint().y() / kItemHeight;
  if (!rect().contains(e->position().toPoint()) || i >= int(items_.size())) i = -1;
  if (i != highlighted_) {
    highlighted_ = i;
    update();
  }
}

void CXPMenu::leaveEvent(QEvent*) {
  highlighted_ = -1;
  update();
}

void CXPMenu::mouseReleaseEvent(QMouseEvent* e) {
  QPoint pt = e->position().toPoint();
  if (!rect().contains(pt)) {
    close();
    return;
  }
  int i = pt.y() / kItemHeight;
  if (i >= 0 && i < int(items_.size())) choose(i);
}

void CXPMenu::keyPressEvent(QKeyEvent* e) {
  int n = int(items_.size());
  switch (e->key()) {
    case Qt::Key_Down:
      highlighted_ = n ? (highlighted_ + 1) % n : -1;
      update();
      break;
    case Qt::Key_Up:
      highlighted_ = n ? (highlighted_ + n - 1) % n : -1;
      update();
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (highlighted_ >= 0) choose(highlighted_);
      break;
    case Qt::Key_Escape:
      close();
      break;
    default:
      QWidget::keyPressEvent(e);
  }
}

void CXPMenu::choose(int index) {
  chosen_ = items_[size_t(index)].command;
  hide();
}

void CXPMenu::hideEvent(QHideEvent* e) {
  QWidget::hideEvent(e);
  emit triggered(chosen_);
}

}  // namespace orlix::gui
