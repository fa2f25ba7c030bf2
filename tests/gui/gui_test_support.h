#pragma once
// Small fixtures shared by the window tests.

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>

#include <vector>

#include "gui/app/message_widget.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui::test {

// A parent window that records every message it handles.
class Recorder : public MessageWidget<QWidget> {
 public:
  explicit Recorder(QWidget* parent = nullptr) : MessageWidget<QWidget>(parent) { resize(400, 300); }
  std::vector<Message> got;
  std::vector<Message> of(uint32_t id) const {
    std::vector<Message> out;
    for (const Message& m : got)
      if (m.id == id) out.push_back(m);
    return out;
  }

 protected:
  intptr_t onMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) override {
    got.push_back({id, wParam, lParam});
    return 0;
  }
};

// Delivers every posted message and what their handlers post in turn (to a
// depth no window here reaches), so that a test can tell nothing was posted
// without waiting for a time to pass.
inline void deliverPosted() {
  for (int i = 0; i < 16; ++i) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
}

// True when no Qt timer of object is registered: nothing of it fires later.
inline bool hasNoTimers(QObject* object) {
  auto* dispatcher = QAbstractEventDispatcher::instance(object->thread());
  return dispatcher && dispatcher->registeredTimers(object).isEmpty();
}

// An image whose every pixel differs from its neighbours, so that a shifted or
// scaled copy never equals the original.
inline QImage patternImage(int w, int h, int seed = 0) {
  QImage img(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb((x * 7 + seed) & 0xFF, (y * 5 + seed * 3) & 0xFF, (x ^ y) & 0xFF));
  return img;
}

inline QImage solidImage(int w, int h, QColor c) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(c);
  return img;
}

// Area of a region in pixels.
inline int areaOf(const QRegion& r) {
  int a = 0;
  for (const QRect& rect : r) a += rect.width() * rect.height();
  return a;
}

// A program folder like base, whose named skin images (paths relative to the
// skins folder) have their top-left corner, a square of kCut pixels, cut off
// with the key colour as a shaped skin's are. Everything else links to base.
class CutCornerSkins {
 public:
  static constexpr int kCut = 6;

  CutCornerSkins(const QString& base, const QStringList& cut) {
    const QDir from(base), to(dir_.path());
    for (const QString& entry : from.entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
      if (entry != QLatin1String("skins")) QFile::link(from.filePath(entry), to.filePath(entry));
    const QDir skins(from.filePath(QStringLiteral("skins")));
    QDirIterator it(skins.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
      const QString relative = skins.relativeFilePath(it.next());
      const QString target = to.filePath(QStringLiteral("skins/") + relative);
      QDir().mkpath(QFileInfo(target).path());
      if (!cut.contains(relative)) {
        QFile::link(it.filePath(), target);
        continue;
      }
      QImage image(it.filePath());
      for (int y = 0; y < kCut; ++y)
        for (int x = 0; x < kCut; ++x) image.setPixel(x, y, kKeyColour);
      image.save(target);
    }
  }
  QString folder() const { return dir_.path(); }

 private:
  QTemporaryDir dir_;
};

// Empty when w, shown, is a shaped top-level cut at its top-left corner as
// CutCornerSkins cuts a skin, and a transient window of owner's window: the
// corner masked off and transparent, and the window opaque skin elsewhere.
inline QString shapedFault(QWidget& w, QWidget* owner) {
  if (!w.testAttribute(Qt::WA_TranslucentBackground)) return QStringLiteral("not translucent");
  const int c = CutCornerSkins::kCut;
  if (w.mask().contains(QPoint(0, 0)) || w.mask().contains(QPoint(c - 1, c - 1)) || !w.mask().contains(QPoint(c, 0)) ||
      !w.mask().contains(QPoint(w.width() - 1, w.height() - 1)))
    return QStringLiteral("mask %1").arg(areaOf(w.mask()));
  QImage shot = w.grab().toImage().convertToFormat(QImage::Format_ARGB32);
  for (QPoint p : {QPoint(0, 0), QPoint(c - 1, c - 1), QPoint(c, 0), QPoint(w.width() - 1, w.height() - 1)}) {
    QRgb px = shot.pixel(p);
    const bool cut = p.x() < c && p.y() < c;
    if (cut ? qAlpha(px) != 0 : (qAlpha(px) != 255 || (px & 0xFFFFFF) == (kKeyColour & 0xFFFFFF)))
      return QStringLiteral("pixel %1,%2 is %3").arg(p.x()).arg(p.y()).arg(px, 8, 16);
  }
  QWindow* transient = w.windowHandle() ? w.windowHandle()->transientParent() : nullptr;
  if (owner && transient != owner->window()->windowHandle()) return QStringLiteral("not transient for its owner");
  return {};
}

}  // namespace orlix::gui::test
