#pragma once
// The keyboard overlay shown above the lighting page.

#include <QImage>
#include <QWidget>

namespace orlix::gui {

// The keyboard overlay above the lighting page (template 172): the keyboard's
// picture with its transparency, letting clicks through to the light buttons.
class CDlgNotSee : public QWidget {
 public:
  explicit CDlgNotSee(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QImage picture_;
  bool read_ = false;
};

}  // namespace orlix::gui
