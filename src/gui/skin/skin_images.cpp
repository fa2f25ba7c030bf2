#include "gui/skin/skin_images.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QMutex>
#include <QVector>

#include <vector>

#include "platform/paths.h"

namespace orlix::gui {

namespace {
QMutex& folderMutex() {
  static QMutex m;
  return m;
}
QString& folderOverride() {
  static QString f;
  return f;
}
QString withSlash(QString folder) {
  folder.replace('\\', '/');
  if (!folder.isEmpty() && !folder.endsWith('/')) folder += '/';
  return folder;
}
}  // namespace

QString programFolder() {
  QMutexLocker lock(&folderMutex());
  if (folderOverride().isEmpty())
    folderOverride() = withSlash(QString::fromStdString(platform::programFolder().string()));
  return folderOverride();
}

void setProgramFolder(const QString& folder) {
  QMutexLocker lock(&folderMutex());
  folderOverride() = withSlash(folder);
}

QString skinPath(const QString& relative) {
  QString r = relative;
  r.replace('\\', '/');
  return programFolder() + QStringLiteral("skins/") + r;
}

QImage loadBitmapFile(const QString& path) {
  QImage image;
  if (!image.load(path)) return {};
  return image.convertToFormat(QImage::Format_RGB32);
}

QImage loadImageFile(const QString& path) {
  QImage image;
  if (!image.load(path)) return {};
  return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool loadImageResource(int id, const char* type, QImage* out) {
  QString t = QString::fromLatin1(type).toLower();
  QString path = t == QLatin1String("png") ? QStringLiteral(":/orlix/png/%1.png").arg(id)
                                           : QStringLiteral(":/orlix/bitmap/%1.bmp").arg(id);
  if (!QFile::exists(path)) return false;
  QImage image;
  if (!image.load(path)) return false;
  *out = t == QLatin1String("png") ? image.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                                   : image.convertToFormat(QImage::Format_RGB32);
  return true;
}

QIcon loadIconResource(int id) {
  QIcon icon;
  QString single = QStringLiteral(":/orlix/icon/%1.png").arg(id);
  if (QFile::exists(single)) icon.addFile(single);
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    QString path = QStringLiteral(":/orlix/icon/%1-%2.png").arg(id).arg(size);
    if (QFile::exists(path)) icon.addFile(path, QSize(size, size));
  }
  return icon;
}

void crop(const QImage& source, int left, int top, int right, int bottom, QImage& target) {
  if (source.isNull()) return;
  // Parts outside the source come out black, as a copy from outside a bitmap does.
  target = source.copy(left, top, right - left, bottom - top);
}

namespace {

// Adds runs of pixels for which keep(pixel) holds; rectangles are gathered in
// batches and joined into the result every 2000 rectangles.
template <class Keep>
QRegion regionOfRuns(const QImage& image, Keep keep) {
  constexpr int kBatch = 2000;
  QRegion result;
  QVector<QRect> batch;
  batch.reserve(kBatch);
  auto flush = [&] {
    if (batch.isEmpty()) return;
    QRegion part;
    part.setRects(batch.constData(), int(batch.size()));
    result = result.united(part);
    batch.clear();
  };
  const QImage img = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < img.height(); ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    int x = 0;
    while (x < img.width()) {
      while (x < img.width() && !keep(row[x])) ++x;
      int start = x;
      while (x < img.width() && keep(row[x])) ++x;
      if (x > start) {
        batch.append(QRect(start, y, x - start, 1));
        if (batch.size() == kBatch) flush();
      }
    }
  }
  flush();
  return result;
}

}  // namespace

QRegion regionFromBitmap(const QImage& bitmap) {
  // Key-coloured: blue 253, green 0, red 255.
  return regionOfRuns(bitmap, [](QRgb p) { return (p & 0xFFFFFF) != (kKeyColour & 0xFFFFFF); });
}

QRegion regionWithoutColour(const QImage& image, QRgb key) {
  return regionOfRuns(image, [key](QRgb p) { return (p & 0xFFFFFF) != (key & 0xFFFFFF); });
}

QRegion regionFromAlpha(const QImage& image, int threshold) {
  return regionOfRuns(image, [threshold](QRgb p) { return qAlpha(p) >= threshold; });
}

namespace {
// Arial's metrics are what the windows' text boxes were measured with; the
// desktop's sans-serif (and its fallbacks for Chinese) stand in otherwise.
QFont sansSerif() {
  QFont f;
  f.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
  f.setStyleHint(QFont::SansSerif);
  return f;
}
}  // namespace

QFont gdiFont(int height, int weight) {
  QFont f = sansSerif();
  // A cell height of 14 holds an em of about 11 pixels.
  f.setPixelSize(std::max(6, (height * 4 + 2) / 5));
  f.setWeight(QFont::Weight(std::clamp(weight, 100, 900)));
  return f;
}

QFont pointFont(qreal points, int weight) {
  QFont f = sansSerif();
  f.setPointSizeF(points);
  f.setWeight(QFont::Weight(std::clamp(weight, 100, 900)));
  return f;
}

}  // namespace orlix::gui
