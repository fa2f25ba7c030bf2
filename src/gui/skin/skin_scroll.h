#pragma once
// Skinned scroll bars: CSkinScrollWnd puts a scrollable control (a list box)
// under two CSkinScrollBar drawn from a 9 x 3 cell skin bitmap. The bars keep
// the control's own scroll information and pass the user's scrolling back to it.

#include <QAbstractScrollArea>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include "gui/app/message_widget.h"

namespace orlix::gui {

// Scroll information as the window system keeps it: the bar covers min..max,
// page items are visible, pos is the first visible one.
struct ScrollInfo {
  int min = 0, max = 0, page = 0, pos = 0, trackPos = 0;
  bool operator==(const ScrollInfo&) const = default;
};

class CSkinScrollBar : public MessageWidget<QWidget> {
  Q_OBJECT

 public:
  static constexpr int kFirstTimer = 200, kRepeatTimer = 100;
  static constexpr int kFirstDelay = 500, kRepeatPeriod = 100;

  CSkinScrollBar(Qt::Orientation orientation, const QImage& skin, QWidget* frame);

  Qt::Orientation orientation() const { return orientation_; }
  int thickness() const { return thickness_; }
  void setInfo(const ScrollInfo& info);
  ScrollInfo info() const { return info_; }
  // Enabled when the information can scroll: max - min at least the page.
  bool canScroll() const;

  enum Part { kNone, kFirstArrow, kSecondArrow, kTrackBefore, kTrackAfter, kThumb };
  QRect partRect(Part part) const;
  Part partAt(const QPoint& p) const;
  Part pressedPart() const { return pressed_; }

 signals:
  // A scroll request (the low word of WM_VSCROLL / WM_HSCROLL and the position).
  void scrollRequested(int code, int pos);

 protected:
  void onTimer(int id) override;
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void leaveEvent(QEvent* e) override;

 private:
  int length() const;
  int arrowLength() const;
  int thumbLength() const;
  int thumbStart() const;
  void sendCode(Part part);
  void stopRepeat();
  void drawCell(QPainter& p, int column, int row, const QRect& target) const;

  Qt::Orientation orientation_;
  QImage skin_;
  int thickness_ = 0, cell_ = 0;
  ScrollInfo info_;
  Part hovered_ = kNone, pressed_ = kNone;
  int dragOffset_ = 0;
};

class CSkinScrollWnd : public MessageWidget<QWidget> {
  Q_OBJECT

 public:
  static constexpr int kLimitId = 200, kHorizontalId = 100, kVerticalId = 101;
  static constexpr int kSyncTimer = 1, kSyncPeriod = 500;

  // Puts control under skinned scroll bars drawn from skin (bitmap resource 131
  // for every list of the program). The frame takes the control's place in its
  // parent; the control becomes a child of the frame's clip window.
  static CSkinScrollWnd* attach(QAbstractScrollArea* control, const QImage& skin);

  CSkinScrollBar* verticalBar() const { return vbar_; }
  CSkinScrollBar* horizontalBar() const { return hbar_; }
  QWidget* limitWindow() const { return limit_; }
  QAbstractScrollArea* control() const { return control_; }
  // Copies the control's scroll information to the bars when it changed.
  void syncScrollInfo();

 protected:
  intptr_t onMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) override;
  void onTimer(int id) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;

 private:
  CSkinScrollWnd(QAbstractScrollArea* control, const QImage& skin);
  void layoutBars();

  QPointer<QAbstractScrollArea> control_;
  QWidget* limit_;
  CSkinScrollBar* hbar_;
  CSkinScrollBar* vbar_;
  bool wantVertical_ = true, wantHorizontal_ = false;
};

}  // namespace orlix::gui
