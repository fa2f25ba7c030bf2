#include "gui/keys/dlg_not_see.h"

#include <QPainter>

#include "core/skin/skin_files.h"
#include "core/skin/window_geometry.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

CDlgNotSee::CDlgNotSee(QWidget* parent) : QWidget(parent) {
  setWindowTitle(QStringLiteral("Keyboard"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_TranslucentBackground);
  resize(skin::page::kSize.width, skin::page::kSize.height);
}

void CDlgNotSee::paintEvent(QPaintEvent*) {
  // Read on the first paint: the overlay waits hidden until the lighting page shows.
  if (!read_) {
    read_ = true;
    picture_ = loadImageFile(skinPath(skin::kKeyboardOverlay));
  }
  QPainter p(this);
  // A child of the main window, drawn by Qt over the lighting page with the
  // picture's own alpha: no desktop compositor is needed for the transparency.
  if (!picture_.isNull()) p.drawImage(rect(), picture_);
}

}  // namespace orlix::gui
