#include "gui/skin/skin_dialog.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include "gui/skin/gdi_bitmap_btn.h"
#include "gui/skin/shaped_window.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

namespace {
constexpr QSize kFallbackSize(320, 240);
}

SkinDialog::SkinDialog(const skin::ImageTriple& images, QWidget* parent)
    : MessageWidget<QDialog>(parent, Qt::Dialog | Qt::FramelessWindowHint) {
  normal_ = loadBitmapFile(skinPath(images.normal));
  down_ = loadBitmapFile(skinPath(images.down));
  over_ = loadBitmapFile(skinPath(images.over));
  setUp(kFallbackSize);
}

SkinDialog::SkinDialog(const QString& picture, QWidget* parent)
    : MessageWidget<QDialog>(parent, Qt::Dialog | Qt::FramelessWindowHint) {
  normal_ = loadBitmapFile(skinPath(picture));
  over_ = down_ = normal_;
  setUp(kFallbackSize);
}

void SkinDialog::setUp(QSize fallback) {
  setModal(true);
  // Cut by its skin like the main window; the key colour never shows, and
  // the buttons cut from the images draw none either.
  shapeTopLevel(this, normal_);
  normal_ = keyedImage(normal_);
  down_ = keyedImage(down_);
  over_ = keyedImage(over_);
  QSize size = normal_.isNull() ? fallback : normal_.size();
  setFixedSize(size);
  // Centred with integer halves of the screen's free area, as the pages always were.
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect area = screen->availableGeometry();
    move(area.left() + (area.width() - size.width()) / 2, area.top() + (area.height() - size.height()) / 2);
  }
}

CGDIBitmapBtn* SkinDialog::addButton(const Rect& r, const QString& text) {
  auto* b = new CGDIBitmapBtn(this);
  b->create(text, toQRect(r), this);
  b->setImages(normal_, over_, down_, normal_, r);
  return b;
}

void SkinDialog::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (normal_.isNull()) p.fillRect(rect(), Qt::black);
  else p.drawImage(0, 0, normal_);
}

void SkinDialog::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      accept();
      return;
    case Qt::Key_Escape:
      reject();
      return;
    default:
      MessageWidget<QDialog>::keyPressEvent(e);
  }
}

}  // namespace orlix::gui
