#pragma once
// CColorBtn: a colour swatch (the light buttons and colour fields of the
// lighting pages). A left button release posts 0x450 (x, y) to its parent.

#include <QColor>
#include <QWidget>

#include "core/device/message_target.h"

namespace orlix::gui {

class CColorBtn : public QWidget {
  Q_OBJECT

 public:
  explicit CColorBtn(QWidget* parent = nullptr);

  void setColour(const QColor& colour);
  QColor colour() const { return colour_; }
  void setChecked(bool on);
  bool isChecked() const { return checked_; }
  void setBorder(bool on);
  void setNotifyTarget(MessageTarget* target) { notify_ = target; }

  bool isHovered() const { return hovered_; }
  bool isPressed() const { return pressed_; }

 signals:
  void clicked();

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  void setHovered(bool on);

  QColor colour_{Qt::white};
  bool checked_ = false, hovered_ = false, pressed_ = false, border_ = false;
  MessageTarget* notify_ = nullptr;
};

}  // namespace orlix::gui
