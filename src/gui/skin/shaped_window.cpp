#include "gui/skin/shaped_window.h"

#include <QCache>
#include <QGuiApplication>
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
  QImage out;
  if (id.key != (kKeyColour & 0xFFFFFF) || !takePrefetchedKeyed(image, &out)) out = keyedCopy(image, image.rect(), key);
  const int cost = std::max<qsizetype>(1, out.sizeInBytes() / 1024);
  keyedCache().insert(id, new QImage(out), cost);
  // A keyed image has no key colour left: keying it again gives itself, not
  // another copy of the same pixels.
  keyedCache().insert(KeyedKey{out.cacheKey(), id.key}, new QImage(out), 1);
  return out;
}

QImage keyedCopy(const QImage& image, const QRect& piece, QRgb key) {
  if (image.isNull() || piece.isEmpty()) return {};
  key &= 0xFFFFFF;
  QImage out = newImage(piece.width(), piece.height(), QImage::Format_ARGB32_Premultiplied);
  if (out.isNull()) return {};
  out.fill(Qt::transparent);  // parts outside the image stay transparent
  const QRect inside = piece.intersected(image.rect());
  if (inside.isEmpty()) return out;
  const int dx = inside.left() - piece.left(), dy = inside.top() - piece.top();
  if (image.format() == QImage::Format_RGB32) {
    // The skins' bitmaps: opaque, so every kept pixel is its own premultiplied value.
    for (int y = 0; y < inside.height(); ++y) {
      const QRgb* src = reinterpret_cast<const QRgb*>(image.constScanLine(inside.top() + y)) + inside.left();
      QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(dy + y)) + dx;
      for (int x = 0; x < inside.width(); ++x) dst[x] = (src[x] & 0xFFFFFF) == key ? 0 : (src[x] | 0xFF000000u);
    }
    return out;
  }
  const QImage plain = image.copy(inside).convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < plain.height(); ++y) {
    const QRgb* src = reinterpret_cast<const QRgb*>(plain.constScanLine(y));
    QRgb* dst = reinterpret_cast<QRgb*>(out.scanLine(dy + y)) + dx;
    for (int x = 0; x < plain.width(); ++x) dst[x] = (src[x] & 0xFFFFFF) == key ? 0 : qPremultiply(src[x]);
  }
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

bool shapeCutsKeyAlone(const QImage& skin) {
  // A window with per-pixel alpha is blended by the X server through an
  // offscreen copy of the whole window when no compositor takes it, at every
  // map and change: tens of milliseconds for the main window. Where the shape
  // hides every key-coloured pixel and the rest is opaque, it shows the same.
  return !skin.isNull() && !skin.hasAlphaChannel() && QGuiApplication::platformName() == QLatin1String("xcb");
}

void shapeTopLevel(QWidget* window, const QImage& skin) {
  if (shapeCutsKeyAlone(skin)) {
    window->setAttribute(Qt::WA_OpaquePaintEvent, false);
    window->setMask(regionFromBitmap(skin));
    return;
  }
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
