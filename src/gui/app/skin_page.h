#pragma once
// A page of a skinned window: a child window that paints its Normal image at
// (0, 0) and never erases its background; its controls take their looks from
// the same three images. A page reads its images when it is first shown (or
// when something asks for them first): hidden pages cost neither the time to
// decode their bitmaps nor the memory to hold them.

#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>
#include <vector>

#include "core/skin/skin_files.h"
#include "gui/app/message_widget.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

class SkinPage : public MessageWidget<QWidget> {
 public:
  SkinPage(const skin::ImageTriple& images, QWidget* parent);

  // The page's Normal image, read on first use, and its three looks for the
  // controls' pieces. Over and Down are read whole only for pieces not cut
  // ahead, and let go once the controls waiting for the skin have taken theirs.
  const QImage& normalImage() const;
  SkinLook normalLook() const;
  const SkinLook& overLook() const;
  const SkinLook& downLook() const;
  // Reads the images, if not yet done, and runs what waits for them.
  void ensureSkin() const;
  bool skinRead() const { return read_; }
  // Posts a hint number (0x805) to the main window.
  void postHint(int hint);

 protected:
  // Runs apply once the images are read: at once when they are, else when the
  // page is first shown. Controls take their looks this way.
  void whenSkinned(std::function<void()> apply);
  void showEvent(QShowEvent* e) override;
  void paintEvent(QPaintEvent*) override;

 private:
  QString paths_[3];
  mutable bool read_ = false;
  mutable QImage normal_;
  SkinLook over_, down_;
  mutable std::vector<std::function<void()>> waiting_;
};

}  // namespace orlix::gui
