#pragma once
// A page of a skinned window: a child window that paints its Normal image at
// (0, 0) and never erases its background; its controls take their looks from
// the same three images.

#include <QImage>
#include <QWidget>

#include "core/skin/skin_files.h"
#include "gui/app/message_widget.h"

namespace orlix::gui {

class SkinPage : public MessageWidget<QWidget> {
 public:
  SkinPage(const skin::ImageTriple& images, QWidget* parent);

  const QImage& normalImage() const { return normal_; }
  const QImage& overImage() const { return over_; }
  const QImage& downImage() const { return down_; }
  // Posts a hint number (0x805) to the main window.
  void postHint(int hint);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QImage normal_, over_, down_;
};

}  // namespace orlix::gui
