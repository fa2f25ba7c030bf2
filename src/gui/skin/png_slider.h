#pragma once
// The image slider: CPngHSliderBar is a track drawn from a piece of its owner's
// background, CPngHSlider its draggable thumb shaped like its PNG picture. Values
// reach the owner as message 0x800 (value, slider id).

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include "gui/app/message_widget.h"

namespace orlix::gui {

class CPngHSlider : public QWidget {
  Q_OBJECT

 public:
  explicit CPngHSlider(QWidget* bar);

  // Loads the thumb picture, sizes and shapes the window after it, and sets the
  // track: x from trackLeft to trackRight, the thumb standing on bottom.
  void create(const QString& imagePath, int id, int trackLeft, int trackRight, int bottom);

  void setRange(int minimum, int maximum);
  void setLimits(int lower, int upper);
  int minimum() const { return minimum_; }
  int maximum() const { return maximum_; }
  // Values outside minimum..maximum put the thumb at the minimum.
  void setValue(int v);
  int value() const { return value_; }
  void setTopAligned(bool on, int top);
  void setDragEnabled(bool on) { enabled_ = on; }
  bool dragEnabled() const { return enabled_; }
  bool isDragging() const { return dragging_; }
  int id() const { return id_; }
  int thumbWidth() const { return image_.width(); }

  // Value of a thumb whose left edge stands at left (bar coordinates).
  int valueAtThumbLeft(int left) const;
  // Left edge of the thumb for value v.
  int thumbLeftOf(int v) const;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  void notify();

  QImage image_;
  int id_ = 0;
  int minimum_ = 1, maximum_ = 10, lower_ = 1, upper_ = 10, value_ = 1;
  int trackLeft_ = 0, trackRight_ = 0, top_ = 0, bottom_ = 0;
  bool topAligned_ = false, enabled_ = false, dragging_ = false;
  int pressX_ = 0;
};

class CPngHSliderBar : public MessageWidget<QWidget> {
  Q_OBJECT

 public:
  explicit CPngHSliderBar(QWidget* owner = nullptr);

  // Loads the thumb picture, places the bar at rect (owner coordinates), creates
  // the thumb at the minimum with dragging enabled.
  void init(const QString& thumbPath, const QRect& rectInOwner, QWidget* owner, int id);
  // The part of the owner's background under the bar; drawn scaled to the bar.
  void setBackground(const QImage& image);
  // Range of bar and thumb; the thumb's limits become the range.
  void setRange(int minimum, int maximum);
  void setLimits(int lower, int upper) { thumb_->setLimits(lower, upper); }
  void enable(bool on);
  bool isDisabled() const { return disabled_; }
  void setValue(int v) { thumb_->setValue(v); }
  int value() const { return thumb_->value(); }
  int id() const { return id_; }
  CPngHSlider* thumb() const { return thumb_; }
  void setNotifyTarget(MessageTarget* target) { notify_ = target; }

  // Value of a click at x (bar coordinates) on the track.
  int valueAtClick(int x) const;

 protected:
  intptr_t onMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) override;
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;

 private:
  MessageTarget* notifyTarget() const;

  CPngHSlider* thumb_;
  QImage background_;
  int id_ = 0, minimum_ = 0, maximum_ = 10;
  bool disabled_ = false;
  MessageTarget* notify_ = nullptr;
};

}  // namespace orlix::gui
