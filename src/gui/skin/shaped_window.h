#pragma once
// Shaped windows and controls as every desktop shows them. A skin cuts a
// window's outline with the key colour; X11 without a compositor honours only
// a window's mask, Wayland only its per-pixel alpha (a mask there limits input
// alone), and X11 with a compositor takes both. So a shaped top-level takes
// both: a translucent background, skin images drawn with the key colour made
// transparent, and the mask of the skin's other pixels.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>

class QMouseEvent;
class QWidget;

namespace orlix::gui {

// image with every pixel of exactly colour key (alpha ignored) fully
// transparent and every other pixel as it was, premultiplied ARGB. Cached by
// the image's identity, so painting with it costs a lookup. A null image stays
// null.
QImage keyedImage(const QImage& image, QRgb key);
// The same for the skins' key colour RGB(255, 0, 253).
QImage keyedImage(const QImage& image);
// The part piece of image keyed the same way, as an image of its own (not
// cached): a control's look cut out of its window's image. Parts of piece
// outside image are transparent.
QImage keyedCopy(const QImage& image, const QRect& piece, QRgb key = 0xFFFF00FD);

// Makes window (a top-level, before it is first shown) a shaped window of
// shape: translucent background and shape as its mask. An empty shape leaves
// the mask unset (the window is a rectangle).
void shapeTopLevel(QWidget* window, const QRegion& shape);
// The same with the shape of skin: every pixel not of the key colour. On X11
// the shape alone cuts an opaque skin's key colour away, so such a window
// stays opaque there (see shapeCutsKeyAlone).
void shapeTopLevel(QWidget* window, const QImage& skin);
// True when a window shaped by skin stays opaque, its shape alone cutting the
// key colour away: it may draw skin itself rather than its keyed image.
bool shapeCutsKeyAlone(const QImage& skin);

// Moves a frameless window by dragging a free spot of it. A press hands the
// move to the desktop where it can take it (Wayland, where a program cannot
// place its windows, and X11 window managers that move windows); elsewhere
// the window follows the pointer itself.
class WindowDrag {
 public:
  // A left press at a free spot of window: starts the move. True when the
  // press was taken.
  bool press(QWidget* window, QMouseEvent* e);
  // A pointer move: moves the window while a move of its own runs. True when
  // the move was taken.
  bool move(QWidget* window, QMouseEvent* e);
  // The left button's release ends the move.
  void release(QMouseEvent* e);
  bool active() const { return active_; }

 private:
  bool active_ = false;
  QPoint offset_;
};

}  // namespace orlix::gui
