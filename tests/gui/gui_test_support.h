#pragma once
// Small fixtures shared by the window tests.

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QImage>
#include <QWidget>

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

}  // namespace orlix::gui::test
