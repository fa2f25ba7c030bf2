#pragma once
// Skin images: where they live, the three loaders, cropping a control's piece
// out of a window image, and the shape of a window from a key-coloured bitmap.

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QHash>
#include <QImage>
#include <QRegion>
#include <QString>
#include <QStringList>

#include <memory>

#include "core/geometry/rect.h"

namespace orlix::gui {

// The program folder with a trailing '/': every skin file is found relative to
// it. Defaults to the platform's program folder; tests and tools set their own.
QString programFolder();
void setProgramFolder(const QString& folder);
// programFolder() + "skins/" + relative (backslashes become slashes).
QString skinPath(const QString& relative);

// An uninitialised image; large ones have memory pages of their own, mapped at
// once (written to, such an image is copied as any shared one).
QImage newImage(int width, int height, QImage::Format format);
// A bitmap file (".bmp"), as an opaque image. Empty when the file is missing or
// not a picture: the window then draws nothing for it.
QImage loadBitmapFile(const QString& path);
// The width and height of a bitmap file from its header, without decoding it;
// an invalid size when the file is missing or not a picture.
QSize bitmapFileSize(const QString& path);
// A bitmap file to read ahead: decoded whole (for loadBitmapFile) or not, and
// the keyed pieces to cut from it (for a SkinLook of it).
struct BitmapAhead {
  QString path;
  bool whole = true;
  QList<QRect> pieces = {};
};
// Starts reading these bitmap files, in this order, on a thread of its own, so
// that the first loadBitmapFile of each takes the decoded image (and a
// SkinLook its pieces) instead of reading the file while the program does
// other work. One batch per run. For the image of shaped (a shaped window's),
// the thread also works out its shape and, where the window draws one, its
// keyed look, which regionFromBitmap and keyedImage then take. With
// iconResource, the pictures of that icon are decoded first, for
// loadIconResource. A file not read whole is read only under its pieces.
void prefetchBitmapFiles(const QList<BitmapAhead>& files, const QString& shaped = QString(), int iconResource = 0);
// The keyed look worked out ahead for image, taken once; false when there is none.
bool takePrefetchedKeyed(const QImage& image, QImage* keyed);
// The keyed piece of the bitmap file at path cut ahead, taken once; false when
// there is none.
bool takePrefetchedPiece(const QString& path, const QRect& piece, QImage* keyed);
// Waits for that thread and lets go of the images nobody took.
void dropPrefetchedBitmaps();
// An image file (".png") with its alpha. Empty on failure.
QImage loadImageFile(const QString& path);
// An image built into the program: type "PNG" (:/orlix/png/<id>.png) or
// "BITMAP" (:/orlix/bitmap/<id>.bmp). False when there is no such resource.
bool loadImageResource(int id, const char* type, QImage* out);
// The icon resource id (:/orlix/icon/<id>.png, or every size of <id>-<size>.png).
QIcon loadIconResource(int id);

// Makes target the part left, top, right, bottom (right and bottom exclusive) of
// source. Nothing happens when source is empty; an empty piece gives an empty
// image.
void crop(const QImage& source, int left, int top, int right, int bottom, QImage& target);
inline void crop(const QImage& source, const Rect& r, QImage& target) {
  crop(source, r.left, r.top, r.right, r.bottom, target);
}

// Key colour of shaped windows, RGB(255, 0, 253).
inline constexpr QRgb kKeyColour = 0xFFFF00FD;

// One look of a skin (its Normal, Over or Down image) as controls use it: they
// cut keyed pieces from it. Made from an image, it is that image. Made from a
// bitmap file, the pieces cut ahead at start-up are handed out as they are, and
// the file is read whole only when a piece was not; copies share that image,
// and release lets it go. A look of an Over or Down bitmap whose pieces were
// all cut ahead therefore never decodes the bitmap.
class SkinLook {
 public:
  SkinLook() = default;
  SkinLook(const QImage& image);  // NOLINT(google-explicit-constructor): any image is a look
  // The bitmap at path, and its image when it was read already.
  explicit SkinLook(const QString& path, const QImage& image = QImage());
  // The piece as keyedCopy(image, piece) cuts it with the key colour.
  QImage keyedPiece(const QRect& piece) const;
  // Both are the same file or the same image.
  bool sameAs(const SkinLook& other) const;
  // Lets go of the whole image read for a piece; it is read again when needed.
  void release() const;

 private:
  struct Source {
    QString path;
    QImage image;
    bool read = false;
  };
  std::shared_ptr<Source> source_;
};
// Every pixel of bitmap whose colour is not the key colour, built row by row
// from runs of such pixels.
QRegion regionFromBitmap(const QImage& bitmap);
// Every pixel whose colour differs from key (alpha ignored).
QRegion regionWithoutColour(const QImage& image, QRgb key);
// Every pixel at least threshold opaque: the shape of a per-pixel-alpha window
// where no compositor blends it.
QRegion regionFromAlpha(const QImage& image, int threshold = 128);

// The system's window font by its cell height and weight ("MS Shell Dlg",
// height 14, weight 300 is the default control font); the desktop's sans-serif.
QFont gdiFont(int height, int weight = 300);
// A font by point size (the progress and support texts).
QFont pointFont(qreal points, int weight = 400);
// COLORREF 0x00BBGGRR and ARGB 0xAARRGGBB values as colours.
inline QColor fromColorRef(unsigned v) { return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF); }
inline QColor fromArgb(unsigned v) { return QColor((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF, v >> 24); }
inline QRect toQRect(const Rect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

}  // namespace orlix::gui
