#pragma once
// CPaletteDlg: the modal colour chooser of the effect pages, over a
// PaletteModel: the palette picture with its colour wheel, three sliders, a
// preview swatch, OK and Cancel. OK writes the colour back into the owner page.

#include <array>

#include "core/lighting/palette_model.h"
#include "gui/skin/skin_dialog.h"

namespace orlix::gui {

class CColorBtn;
class CGDIBitmapBtn;
class CPngHSliderBar;

class CPaletteDlg : public SkinDialog {
  Q_OBJECT

 public:
  // owner may be null: OK then writes nothing back.
  CPaletteDlg(const lighting::PaletteRequest& request, lighting::EffectPageModel* owner, QWidget* parent);

  const lighting::PaletteModel& model() const { return model_; }
  CColorBtn* preview() const { return preview_; }
  CPngHSliderBar* slider(int i) const { return sliders_[size_t(i)]; }
  CGDIBitmapBtn* okButton() const { return ok_; }
  CGDIBitmapBtn* cancelButton() const { return cancel_; }

 protected:
  intptr_t onMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) override;
  void mousePressEvent(QMouseEvent* e) override;

 private:
  void showColour(bool moveSliders);

  lighting::PaletteModel model_;
  lighting::EffectPageModel* owner_;
  CColorBtn* preview_ = nullptr;
  std::array<CPngHSliderBar*, 3> sliders_{};
  CGDIBitmapBtn* ok_ = nullptr;
  CGDIBitmapBtn* cancel_ = nullptr;
};

}  // namespace orlix::gui
