#pragma once
// CIrrButton: a button of any shape, given as a region in its parent, drawn from
// the parent's full-size Normal, Over and Down images through that region. It
// acts on the press, not on the release.

#include <QImage>
#include <QPolygon>
#include <QRegion>
#include <QString>
#include <QWidget>

#include "core/skin/window_geometry.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

class CIrrButton : public QWidget {
  Q_OBJECT

 public:
  explicit CIrrButton(QWidget* parent = nullptr);

  // Takes the region (parent coordinates), places the button at its bounding box
  // and gives the button the region's shape.
  void create(const QRegion& regionInParent, QWidget* parent);
  void create(const skin::Quad& polygon, QWidget* parent);
  // The box a button made from polygon takes in its parent.
  static QRect boxOf(const skin::Quad& polygon);
  // Full-size images of the parent, given after create(): the button keeps the
  // part under its box. The disabled look is the over image.
  void setImages(const SkinLook& normal, const SkinLook& over, const SkinLook& down);
  void setText(const QString& text);
  QString text() const { return text_; }
  void setChecked(bool on);
  bool isChecked() const { return checked_; }
  void setCheckStyle(bool on);
  // Drops the hover state and ends a press in progress (redrawn).
  void resetHover();

  QRegion windowRegion() const { return region_; }
  QRect regionBox() const { return box_; }
  QPoint regionCentre() const { return centre_; }
  bool isHovered() const { return hovered_; }
  bool isPressed() const { return pressed_; }

  enum class Look { Normal, Over, Down, Disabled };
  Look currentLook() const;

 signals:
  // On the press inside the region.
  void clicked();

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void leaveEvent(QEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  bool inside(const QPoint& p) const;
  void trackHover(const QPoint& p);

  QRegion region_;
  QRect box_;
  QPoint centre_;
  QImage normal_, over_, down_;
  QString text_;
  bool checkStyle_ = false, checked_ = false, hovered_ = false, pressed_ = false;
};

}  // namespace orlix::gui
