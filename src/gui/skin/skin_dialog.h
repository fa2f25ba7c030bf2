#pragma once
// SkinDialog: the shared set-up of the modal skinned dialogs. It loads the
// dialog's Normal, Down and Over images, takes the shape of the Normal image
// (a translucent top-level whose key-coloured pixels are transparent and
// masked off), sizes itself to the Normal image, centres itself on the
// screen, paints Normal at (0, 0), cuts its buttons out of the three images,
// and gives Enter and Escape their standard meaning (Enter closes as
// accepted, Escape as rejected). A parent makes it a transient window of the
// parent's window, which a desktop that places windows itself goes by.

#include <QDialog>
#include <QImage>
#include <QString>

#include "core/geometry/rect.h"
#include "core/skin/skin_files.h"
#include "gui/app/message_widget.h"

namespace orlix::gui {

class CGDIBitmapBtn;

class SkinDialog : public MessageWidget<QDialog> {
  Q_OBJECT

 public:
  // Three images, paths relative to the skins folder.
  SkinDialog(const skin::ImageTriple& images, QWidget* parent);
  // One picture for every look (the palette).
  SkinDialog(const QString& picture, QWidget* parent);

  // The images as drawn: key-coloured pixels transparent.
  const QImage& normalImage() const { return normal_; }
  const QImage& overImage() const { return over_; }
  const QImage& downImage() const { return down_; }

 protected:
  // A bitmap button at r whose looks are the images' pieces under r.
  CGDIBitmapBtn* addButton(const Rect& r, const QString& text = {});
  void paintEvent(QPaintEvent*) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void setUp(QSize fallback);

  QImage normal_, over_, down_;
};

}  // namespace orlix::gui
