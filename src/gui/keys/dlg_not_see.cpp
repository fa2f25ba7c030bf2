#include "gui/keys/dlg_not_see.h"

#include <QPainter>

#include "core/skin/skin_files.h"
#include "core/skin/window_geometry.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

CDlgNotSee::CDlgNotSee(QWidget* parent) : QWidget(parent) {
  picture_ = loadImageFile(skinPath(skin::kKeyboardOverlay));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_TranslucentBackground);
  resize(skin::page::kSize.width, skin::page::kSize.height);
}

void CDlgNotSee::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (!picture_.isNull()) p.drawImage(0, 0, picture_);
}

}  // namespace orlix::gui
