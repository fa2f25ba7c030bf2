#pragma once
// The gallery: every skinned control and dialog of the program with the real
// skin images, so that people can check their look and behaviour on screen.

#include <QImage>
#include <QLabel>
#include <QStackedWidget>
#include <QString>
#include <QWidget>

#include <functional>

#include "core/skin/skin_files.h"
#include "core/skin/window_geometry.h"
#include "gui/app/message_widget.h"
#include "gui/skin/list_box_ex.h"

namespace orlix::gallery {

// Shows what messages the demos received.
class MessageLog {
 public:
  static void setLabel(QLabel* label);
  static void note(const QString& text);
};

// A window painted from a skin image triple, as every page and dialog is: the
// Normal image at 0, 0, controls on top. It logs the messages it receives.
class SkinSurface : public gui::MessageWidget<QWidget> {
 public:
  SkinSurface(const skin::ImageTriple& files, QWidget* parent);
  // One picture for every state (the palette).
  SkinSurface(const QString& file, QWidget* parent);

  const QImage& normal() const { return normal_; }
  const QImage& over() const { return over_; }
  const QImage& down() const { return down_; }
  // Shapes the window after its key-coloured Normal image.
  void shapeFromImage();

  std::function<void(uint32_t, uintptr_t, intptr_t)> onMessageHook;
  std::function<void(QPainter&)> paintHook;
  std::function<void(QPoint)> mouseMoveHook;
  std::function<void(QPoint)> mousePressHook;

 protected:
  intptr_t onMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) override;
  void paintEvent(QPaintEvent*) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;

 private:
  QImage normal_, over_, down_;
};

// The gallery's main window: a list of demos on the left, the demo on the right.
class GalleryWindow : public QWidget {
 public:
  explicit GalleryWindow(QWidget* parent = nullptr);
  // Shows the demo by its short name; false when there is none.
  bool showDemo(const QString& name);
  // Opens a dialog or menu by its short name (for screenshots); false when unknown.
  bool open(const QString& name);

 private:
  void addDemo(const QString& name, const QString& title, QWidget* page);

  gui::CListBoxEx* list_;
  QStackedWidget* stack_;
  QStringList names_;
  QWidget* mainDemo_ = nullptr;
};

}  // namespace orlix::gallery
