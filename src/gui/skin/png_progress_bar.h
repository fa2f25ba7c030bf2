#pragma once
// CPngHProgressBar: a background picture filled from the left with a fill
// picture in proportion to the value. It can be dragged; a drag reports 0x450
// (value, 777) to the owner when released.

#include <QImage>
#include <QRect>
#include <QWidget>

#include "core/device/message_target.h"

namespace orlix::gui {

class CPngHProgressBar : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kId = 777;

  explicit CPngHProgressBar(QWidget* owner = nullptr);

  void create(const QRect& rectInOwner, QWidget* owner);
  // Both pictures become their part x, y, width, height of the sources; an empty
  // fill source leaves no fill picture.
  void setImages(int x, int y, int width, int height, const QImage& background, const QImage& fill);
  void setRange(int minimum, int maximum);
  int minimum() const { return minimum_; }
  int maximum() const { return maximum_; }
  void setValue(int v);
  int value() const { return value_; }
  void setReadOnly(bool on) { readOnly_ = on; }
  void setDragAllowed(bool on) { dragAllowed_ = on; }
  bool isDragging() const { return dragging_; }
  void setNotifyTarget(MessageTarget* target) { notify_ = target; }

  // Width of the filled part for the current value.
  int fillWidth() const;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  int valueAt(int x) const;

  QImage background_, fill_;
  int minimum_ = 0, maximum_ = 10, value_ = 0;
  bool dragAllowed_ = true, readOnly_ = false, dragging_ = false;
  MessageTarget* notify_ = nullptr;
};

}  // namespace orlix::gui
