#include "gui/skin/shaped_window.h"

#include <QCache>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include "gui/skin/skin_images.h"

namespace orlix::gui {

namespace {
struct KeyedKey {
  qint64 image;
  QRgb key;
  bool operator==(const KeyedKey& o) const { return image == o.image && key == o.key; }
};
size_t qHash(const KeyedKey& k, size_t seed = 0) { return ::qHash(k.image, seed) ^ ::qHash(k.key, seed); }

// Skins are loaded once and drawn often; the cost is in kilobytes.
QCache<KeyedKey, QImage>& keyedCache() {
  static QCache<KeyedKey, QImage> cache(64 * 1024);
  return cache;
}
}  // namespace

QImage keyedImage(const QImage& image, QRgb key) {
  if (image.isNull()) return image;
  const KeyedKey id{image.cacheKey(), key & 0xFFFFFF};
  if (const QImage* hit = keyedCache().object(id)) return *hit;
  QImage out = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < out.height(); ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x)
      if ((row[x] & 0xFFFFFF) == id.key) row[x] = 0;
  }
  out.convertTo(QImage::Format_ARGB32_Premultiplied);
  const int cost = std::max<qsizetype>(1, out.sizeInBytes() / 1024);
  keyedCache().insert(id, new QImage(out), cost);
  return out;
}

QImage keyedImage(const QImage& image) { return keyedImage(image, kKeyColour); }

void shapeTopLevel(QWidget* window, const QRegion& shape) {
  window->setAttribute(Qt::WA_TranslucentBackground);
  // Translucent windows are painted over a cleared backing store: they must
  // not promise to cover every pixel.
  window->setAttribute(Qt::WA_OpaquePaintEvent, false);
  if (!shape.isEmpty()) window->setMask(shape);
}

void shapeTopLevel(QWidget* window, const QImage& skin) {
  shapeTopLevel(window, skin.isNull() ? QRegion() : regionFromBitmap(skin));
}

bool WindowDrag::press(QWidget* window, QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return false;
  QWidget* top = window->window();
  // The desktop moves the window where it can (always on Wayland); on X11
  // without a window manager that can, the window follows the pointer.
  if (QWindow* handle = top->windowHandle(); handle && handle->startSystemMove()) return true;
  active_ = true;
  offset_ = e->globalPosition().toPoint() - top->frameGeometry().topLeft();
  return true;
}

bool WindowDrag::move(QWidget* window, QMouseEvent* e) {
  if (!active_) return false;
  if (!(e->buttons() & Qt::LeftButton)) {
    active_ = false;
    return false;
  }
  window->window()->move(e->globalPosition().toPoint() - offset_);
  return true;
}

void WindowDrag::release(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) active_ = false;
}

}  // namespace orlix::gui
