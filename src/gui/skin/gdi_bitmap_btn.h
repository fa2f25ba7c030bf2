#pragma once
// CGDIBitmapBtn: the general skinned button. Its looks are pieces of a window's
// Normal, Over and Down images; it may carry a text, act as a check box or tab,
// and report mouse presses to its parent.

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <optional>

#include "core/device/message_target.h"
#include "core/geometry/rect.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

class CGDIBitmapBtn : public QWidget {
  Q_OBJECT

 public:
  explicit CGDIBitmapBtn(QWidget* parent = nullptr);

  // Places the button at rect (parent coordinates) with its text, visible.
  void create(const QString& text, const QRect& rect, QWidget* parent);
  // Cuts the button's four looks out of window images at rect.
  void setImages(const SkinLook& normal, const SkinLook& over, const SkinLook& down, const SkinLook& disabled,
                 const Rect& rect);
  void setSecondImages(const QImage& normal, const QImage& down, const Rect& rect);
  void setUseSecondNormal(bool on);
  void setUseSecondDown(bool on);

  void setText(const QString& text);
  QString text() const { return text_; }
  void setChecked(bool on);
  bool isChecked() const { return checked_; }
  void setCheckStyle(bool on);
  bool checkStyle() const { return checkStyle_; }
  void setToggleOnClick(bool on) { toggleOnClick_ = on; }
  void setHoverEnabled(bool on);
  void setTextRect(std::optional<QRect> rect);
  void setTextColours(QColor normal, QColor over, QColor down);
  void setLargeFont(bool on);
  // Posts message 0x70D (WM_LBUTTONDOWN / WM_LBUTTONUP, this button) to the
  // notify target on left button presses and releases.
  void setReportMouseButtons(bool on) { reportMouseButtons_ = on; }
  // Who receives the button's messages; the parent window when not set.
  void setNotifyTarget(MessageTarget* target) { notify_ = target; }
  // Creates the tooltip on first use and sets its text (empty: no tooltip shown).
  void setTooltip(const QString& text);

  bool isHovered() const { return hovered_; }
  bool isPressed() const { return pressed_; }

  // What a paint would show now.
  enum class Look { Normal, SecondNormal, Over, Down, SecondDown, Disabled };
  Look currentLook() const;
  QColor currentTextColour() const;
  const QImage& imageOf(Look look) const;

  static QColor defaultNormalTextColour();
  static QColor defaultOverTextColour();
  static QColor defaultDownTextColour();
  static QColor disabledTextColour();

 signals:
  void clicked();

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void enterEvent(QEnterEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  MessageTarget* notifyTarget() const;
  void setHovered(bool on);

  QString text_;
  QImage normal_, over_, down_, disabled_, secondNormal_, secondDown_;
  bool useSecondNormal_ = false, useSecondDown_ = false;
  bool checkStyle_ = false, checked_ = false, toggleOnClick_ = false;
  bool hoverEnabled_ = true, hovered_ = false, pressed_ = false;
  std::optional<QRect> textRect_;
  QColor normalText_, overText_, downText_;
  bool largeFont_ = false;
  bool reportMouseButtons_ = false;
  MessageTarget* notify_ = nullptr;
};

}  // namespace orlix::gui
