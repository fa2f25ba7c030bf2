#include "gui/skin/skin_images.h"

#include <QColorSpace>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QHash>
#include <QMutex>
#include <QVector>

#include <cstdlib>
#include <future>
#include <memory>
#include <thread>
#include <sys/mman.h>
#include <vector>

#include "gui/skin/shaped_window.h"
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

QImage newImage(int width, int height, QImage::Format format) {
  // Large images get pages of their own, mapped in one call: filling a fresh
  // multi-megabyte buffer page fault by page fault costs more than decoding it.
  constexpr qsizetype kOwnPages = 256 * 1024;
  const qsizetype stride = ((qsizetype(width) * QImage::toPixelFormat(format).bitsPerPixel() + 31) / 32) * 4;
  const qsizetype bytes = stride * height;
  if (width <= 0 || height <= 0 || bytes < kOwnPages || bytes / height != stride) return QImage(width, height, format);
  void* pages = ::mmap(nullptr, size_t(bytes), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
  if (pages == MAP_FAILED) return QImage(width, height, format);
  struct Mapping {
    void* pages;
    size_t bytes;
  };
  auto* mapping = new Mapping{pages, size_t(bytes)};
  return QImage(
      static_cast<uchar*>(pages), width, height, stride, format,
      [](void* m) {
        auto* own = static_cast<Mapping*>(m);
        ::munmap(own->pages, own->bytes);
        delete own;
      },
      mapping);
}

namespace {
uint32_t le32(const uchar* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t le16(const uchar* p) { return uint16_t(p[0] | p[1] << 8); }

// Where the rows of an uncompressed 24-bit bitmap file are.
struct Rgb24Layout {
  int width = 0, rows = 0;
  qint64 offset = 0, stride = 0;
  bool bottomUp = true;
  const uchar* row(const uchar* data, int y) const { return data + offset + stride * (bottomUp ? rows - 1 - y : y); }
};
// The layout of data when it is such a file that size holds whole; false for
// any other kind of file, which the general reader then takes.
bool rgb24Layout(const uchar* data, qint64 size, Rgb24Layout* layout) {
  constexpr qint64 kFileHeader = 14;
  if (size < kFileHeader + 40 || data[0] != 'B' || data[1] != 'M') return false;
  const uchar* info = data + kFileHeader;
  const uint32_t infoSize = le32(info);
  const qint64 offset = le32(data + 10);
  const int32_t width = int32_t(le32(info + 4));
  const int32_t height = int32_t(le32(info + 8));
  if (infoSize < 40 || le16(info + 12) != 1 || le16(info + 14) != 24 || le32(info + 16) != 0) return false;
  if (width <= 0 || height == 0 || height == INT32_MIN || width > 32767 || std::abs(height) > 32767) return false;
  const int rows = std::abs(height);
  const qint64 stride = (qint64(width) * 3 + 3) & ~qint64(3);
  if (offset < kFileHeader + infoSize || offset + stride * rows > size) return false;
  *layout = Rgb24Layout{width, rows, offset, stride, height > 0};
  return true;
}

// The skins' bitmaps are uncompressed 24-bit files: decoded here in one tight
// pass per row, several times faster than the general reader. Null for any
// other kind of file.
QImage decodeRgb24Bitmap(const uchar* data, qint64 size) {
  Rgb24Layout layout;
  if (!rgb24Layout(data, size, &layout)) return {};
  QImage image = newImage(layout.width, layout.rows, QImage::Format_RGB32);
  if (image.isNull()) return {};
  for (int y = 0; y < layout.rows; ++y) {
    const uchar* src = layout.row(data, y);
    QRgb* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < layout.width; ++x, src += 3)
      dst[x] = 0xFF000000u | uint32_t(src[2]) << 16 | uint32_t(src[1]) << 8 | src[0];
  }
  const uchar* info = data + 14;
  const int32_t xPerMetre = int32_t(le32(info + 24)), yPerMetre = int32_t(le32(info + 28));
  if (xPerMetre > 0) image.setDotsPerMeterX(xPerMetre);
  if (yPerMetre > 0) image.setDotsPerMeterY(yPerMetre);
  return image;
}

// The keyed pieces of such a file, read straight from its rows: the same
// pixels keyedCopy cuts from the decoded image, without decoding the rest.
// Empty when data is no such file.
QList<QImage> keyedPiecesOfRgb24Bitmap(const uchar* data, qint64 size, const QList<QRect>& pieces) {
  Rgb24Layout layout;
  if (!rgb24Layout(data, size, &layout)) return {};
  const QRgb key = kKeyColour & 0xFFFFFF;
  const QRect whole(0, 0, layout.width, layout.rows);
  QList<QImage> out;
  out.reserve(pieces.size());
  for (const QRect& piece : pieces) {
    if (piece.isEmpty()) {
      out << QImage();
      continue;
    }
    QImage cut = newImage(piece.width(), piece.height(), QImage::Format_ARGB32_Premultiplied);
    if (cut.isNull()) {
      out << QImage();
      continue;
    }
    cut.fill(Qt::transparent);  // parts outside the bitmap stay transparent
    const QRect inside = piece.intersected(whole);
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
      const uchar* src = layout.row(data, y) + qint64(inside.left()) * 3;
      QRgb* dst = reinterpret_cast<QRgb*>(cut.scanLine(y - piece.top())) + (inside.left() - piece.left());
      for (int x = 0; x < inside.width(); ++x, src += 3) {
        const QRgb rgb = uint32_t(src[2]) << 16 | uint32_t(src[1]) << 8 | src[0];
        dst[x] = rgb == key ? 0 : rgb | 0xFF000000u;
      }
    }
    out << cut;
  }
  return out;
}
}  // namespace

namespace {
// A keyed piece of a bitmap file: its path and the piece.
struct PieceKey {
  QString path;
  int x, y, width, height;
  PieceKey(const QString& p, const QRect& r) : path(p), x(r.x()), y(r.y()), width(r.width()), height(r.height()) {}
  bool operator==(const PieceKey&) const = default;
};
size_t qHash(const PieceKey& k, size_t seed = 0) { return qHashMulti(seed, k.path, k.x, k.y, k.width, k.height); }

// Bitmaps decoded ahead on a thread of their own, each taken once.
struct Prefetch {
  QMutex mutex;
  QHash<QString, std::shared_future<QImage>> images;
  // For the shaped window's image: its shape and keyed look, by the image's cache key.
  QHash<qint64, QRegion> shapes;
  QHash<qint64, QImage> keyed;
  // Keyed pieces cut ahead, by their file and the piece; for a file only cut,
  // not decoded whole, the cutting to wait for.
  QHash<PieceKey, QImage> pieces;
  QHash<QString, std::shared_future<QImage>> cutting;
  std::thread worker;
  ~Prefetch() {
    if (worker.joinable()) worker.join();
  }
};
Prefetch& prefetch() {
  static Prefetch p;
  return p;
}
QImage readBitmapFile(const QString& path);
QList<QImage> readKeyedPieces(const QString& path, const QList<QRect>& pieces);
// What the thread worked out for image, taken out once; false when nothing.
template <class T>
bool takeFor(QHash<qint64, T>& worked, const QImage& image, T* out) {
  Prefetch& p = prefetch();
  QMutexLocker lock(&p.mutex);
  auto it = worked.find(image.cacheKey());
  if (it == worked.end()) return false;
  *out = std::move(*it);
  worked.erase(it);
  return true;
}

// The image decoded ahead for path, taken out once (waiting for it if it is
// not ready yet); null when none was asked for.
QImage takePrefetched(const QString& path) {
  std::shared_future<QImage> ready;
  {
    Prefetch& p = prefetch();
    QMutexLocker lock(&p.mutex);
    if (!p.images.isEmpty()) ready = p.images.take(path);
  }
  return ready.valid() ? ready.get() : QImage();
}

// An icon's picture files: one of any size, then one per size.
constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
QStringList iconFiles(int id) {
  QStringList files{QStringLiteral(":/orlix/icon/%1.png").arg(id)};
  for (int size : kIconSizes) files << QStringLiteral(":/orlix/icon/%1-%2.png").arg(id).arg(size);
  return files;
}
// The size a picture file of iconFiles is for; invalid for the one of any size.
QSize iconFileSize(const QString& path) {
  const qsizetype dash = path.lastIndexOf(u'-');
  if (dash < 0) return {};
  const int size = QStringView(path).mid(dash + 1).chopped(4).toInt();
  return size > 0 ? QSize(size, size) : QSize();
}
}  // namespace

void prefetchBitmapFiles(const QList<BitmapAhead>& files, const QString& shaped, int iconResource) {
  Prefetch& p = prefetch();
  QMutexLocker lock(&p.mutex);
  if (p.worker.joinable()) return;  // one batch at a time
  auto tasks = std::make_shared<std::vector<std::packaged_task<QImage()>>>();
  // The icon's pictures first: the window takes its icon before its bitmaps.
  if (iconResource)
    for (const QString& path : iconFiles(iconResource)) {
      tasks->emplace_back([path] { return QImage(path); });
      p.images.insert(path, tasks->back().get_future().share());
    }
  for (const BitmapAhead& file : files) {
    const QString& path = file.path;
    if (p.images.contains(path) || p.cutting.contains(path)) continue;
    if (!file.whole) {
      tasks->emplace_back([path, rects = file.pieces, &p] {
        const QList<QImage> cut = readKeyedPieces(path, rects);
        QMutexLocker lock(&p.mutex);
        for (qsizetype i = 0; i < cut.size(); ++i) p.pieces.insert(PieceKey(path, rects[i]), cut[i]);
        return QImage();
      });
      p.cutting.insert(path, tasks->back().get_future().share());
      continue;
    }
    tasks->emplace_back([path, shaped, rects = file.pieces, &p] {
      QImage image = readBitmapFile(path);
      if (path == shaped && !image.isNull()) {
        QRegion shape = regionFromBitmap(image);
        // Where the shape alone cuts the key colour away, the window draws the
        // bitmap itself, not a keyed look.
        QImage look;
        if (!shapeCutsKeyAlone(image)) look = keyedCopy(image, image.rect(), kKeyColour);
        QMutexLocker lock(&p.mutex);
        p.shapes.insert(image.cacheKey(), shape);
        if (!look.isNull()) p.keyed.insert(image.cacheKey(), look);
      }
      if (!image.isNull() && !rects.isEmpty()) {
        QHash<PieceKey, QImage> cut;
        for (const QRect& r : rects) cut.insert(PieceKey(path, r), keyedCopy(image, r, kKeyColour));
        QMutexLocker lock(&p.mutex);
        p.pieces.insert(cut);
      }
      return image;
    });
    p.images.insert(path, tasks->back().get_future().share());
  }
  p.worker = std::thread([tasks] {
    for (auto& task : *tasks) task();
  });
}

void dropPrefetchedBitmaps() {
  Prefetch& p = prefetch();
  // Joined without the lock: the thread takes it to leave its results.
  std::thread worker;
  {
    QMutexLocker lock(&p.mutex);
    worker = std::move(p.worker);
  }
  if (worker.joinable()) worker.join();
  QMutexLocker lock(&p.mutex);
  p.images.clear();
  p.shapes.clear();
  p.keyed.clear();
  p.pieces.clear();
  p.cutting.clear();
}

bool takePrefetchedKeyed(const QImage& image, QImage* keyed) { return takeFor(prefetch().keyed, image, keyed); }

bool takePrefetchedPiece(const QString& path, const QRect& piece, QImage* keyed) {
  Prefetch& p = prefetch();
  QMutexLocker lock(&p.mutex);
  if (auto cut = p.cutting.constFind(path); cut != p.cutting.constEnd()) {
    // Still being cut: wait for it, without the lock the thread takes to leave it.
    const std::shared_future<QImage> done = *cut;
    lock.unlock();
    done.wait();
    lock.relock();
  }
  if (p.pieces.isEmpty()) return false;
  auto it = p.pieces.find(PieceKey(path, piece));
  if (it == p.pieces.end()) return false;
  *keyed = std::move(*it);
  p.pieces.erase(it);
  return true;
}

QImage loadBitmapFile(const QString& path) {
  QImage ready = takePrefetched(path);
  if (!ready.isNull()) return ready;
  return readBitmapFile(path);
}

namespace {
QImage readBitmapFile(const QString& path) {
  QFile file(path);
  if (file.open(QIODevice::ReadOnly)) {
    const qint64 size = file.size();
    if (const uchar* mapped = file.map(0, size)) {
      QImage fast = decodeRgb24Bitmap(mapped, size);
      file.unmap(const_cast<uchar*>(mapped));
      if (!fast.isNull()) return fast;
    }
  }
  QImage image;
  if (!image.load(path)) return {};
  return image.convertToFormat(QImage::Format_RGB32);
}

// The keyed pieces of the bitmap at path, in the order asked; a null image for
// an empty piece or a file that cannot be read.
QList<QImage> readKeyedPieces(const QString& path, const QList<QRect>& pieces) {
  if (pieces.isEmpty()) return {};
  QFile file(path);
  if (file.open(QIODevice::ReadOnly)) {
    const qint64 size = file.size();
    if (const uchar* mapped = file.map(0, size)) {
      QList<QImage> cut = keyedPiecesOfRgb24Bitmap(mapped, size, pieces);
      file.unmap(const_cast<uchar*>(mapped));
      if (!cut.isEmpty()) return cut;
    }
  }
  const QImage whole = readBitmapFile(path);
  QList<QImage> cut;
  for (const QRect& r : pieces) cut << keyedCopy(whole, r, kKeyColour);
  return cut;
}
}  // namespace

SkinLook::SkinLook(const QImage& image) : source_(std::make_shared<Source>(Source{QString(), image, true})) {}

SkinLook::SkinLook(const QString& path, const QImage& image)
    : source_(std::make_shared<Source>(Source{path, image, !image.isNull()})) {}

QImage SkinLook::keyedPiece(const QRect& piece) const {
  if (!source_ || piece.isEmpty()) return {};
  Source& s = *source_;
  if (QImage ahead; !s.path.isEmpty() && takePrefetchedPiece(s.path, piece, &ahead)) return ahead;
  if (!s.read) {
    s.image = loadBitmapFile(s.path);
    s.read = true;
  }
  return keyedCopy(s.image, piece, kKeyColour);
}

bool SkinLook::sameAs(const SkinLook& other) const {
  if (!source_ || !other.source_) return !source_ && !other.source_;
  if (source_ == other.source_) return true;
  if (!source_->path.isEmpty() || !other.source_->path.isEmpty()) return source_->path == other.source_->path;
  return source_->image.cacheKey() == other.source_->image.cacheKey();
}

void SkinLook::release() const {
  if (!source_ || source_->path.isEmpty()) return;
  source_->image = QImage();
  source_->read = false;
}

QSize bitmapFileSize(const QString& path) {
  QFile file(path);
  uchar header[26];
  if (file.open(QIODevice::ReadOnly) && file.read(reinterpret_cast<char*>(header), sizeof header) == sizeof header &&
      header[0] == 'B' && header[1] == 'M' && le32(header + 14) >= 40) {
    const int32_t width = int32_t(le32(header + 18)), height = int32_t(le32(header + 22));
    if (width > 0 && height != 0 && height != INT32_MIN) return QSize(width, std::abs(height));
  }
  // Anything else: as the general reader sees it (an invalid size when it cannot read it).
  return QImageReader(path).size();
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
  // The window and the tray show the same icon: its pictures are read once.
  // Let go with the application, while pictures can still be freed.
  static QHash<int, QIcon> icons;
  static const bool clearedAtExit = (qAddPostRoutine([] { icons.clear(); }), true);
  Q_UNUSED(clearedAtExit);
  if (auto it = icons.constFind(id); it != icons.constEnd()) return *it;
  QIcon icon;
  for (const QString& path : iconFiles(id)) {
    const QSize size = iconFileSize(path);
    // A picture decoded ahead is added as it is when it has its file's size.
    QImage ready = takePrefetched(path);
    if (!ready.isNull() && (!size.isValid() || ready.size() == size))
      icon.addPixmap(QPixmap::fromImage(ready));
    else if (QFile::exists(path))
      icon.addFile(path, size);
  }
  icons.insert(id, icon);
  return icon;
}

void crop(const QImage& source, int left, int top, int right, int bottom, QImage& target) {
  if (source.isNull()) return;
  const QRect piece(left, top, right - left, bottom - top);
  // An empty piece is an empty image (QImage::copy would take a null rectangle
  // as the whole source: a full-window copy for every control without a look).
  if (piece.isEmpty()) {
    target = QImage();
    return;
  }
  if (source.rect().contains(piece) && source.depth() == 32) {
    // A view into the source's pixels, keeping the source alive. Writing to
    // either side copies it first, as with any shared image.
    auto* keep = new QImage(source);
    const uchar* bits = keep->constBits() + qsizetype(top) * keep->bytesPerLine() + qsizetype(left) * 4;
    target = QImage(bits, piece.width(), piece.height(), keep->bytesPerLine(), keep->format(),
                    [](void* image) { delete static_cast<QImage*>(image); }, keep);
    // The same metadata as a copy would carry (set only when it differs).
    if (target.dotsPerMeterX() != source.dotsPerMeterX()) target.setDotsPerMeterX(source.dotsPerMeterX());
    if (target.dotsPerMeterY() != source.dotsPerMeterY()) target.setDotsPerMeterY(source.dotsPerMeterY());
    if (target.devicePixelRatio() != source.devicePixelRatio()) target.setDevicePixelRatio(source.devicePixelRatio());
    if (target.colorSpace() != source.colorSpace()) target.setColorSpace(source.colorSpace());
    return;
  }
  // Parts outside the source come out black, as a copy from outside a bitmap does.
  target = source.copy(piece);
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
  // The skins' bitmaps are RGB32, whose pixels read as ARGB32 (opaque) as they
  // stand: only other formats are converted, never a window-sized copy for them.
  const bool asIs = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32;
  const QImage img = asIs ? image : image.convertToFormat(QImage::Format_ARGB32);
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
  if (QRegion worked; takeFor(prefetch().shapes, bitmap, &worked)) return worked;
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
