#pragma once
// The six effect pages: modal skinned dialogs over an EffectPageModel. Each
// page draws the model's settings (swatches, marked buttons, slider) and hands
// its OK, Apply, Cancel, swatch, button and slider input to the model.

#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "core/lighting/effect_page_models.h"
#include "gui/app/gui_notices.h"
#include "gui/skin/skin_dialog.h"

namespace orlix::gui {

class CColorBtn;
class CGDIBitmapBtn;
class CPngHSliderBar;

// What an effect page works with, given by the lighting page.
struct EffectPageContext {
  ConfigImage& image;
  MessageTarget* lightingPage = nullptr;       // receives 0x451
  std::function<void()> clearLightSelections;  // the Cancel button's clear
};

class CDlgLedEffect : public SkinDialog {
  Q_OBJECT

 public:
  CDlgLedEffect(int button, EffectPageContext context, QWidget* parent);
  ~CDlgLedEffect() override;

  lighting::EffectPageModel& model() { return *model_; }
  CGDIBitmapBtn* okButton() const { return ok_; }
  CGDIBitmapBtn* cancelButton() const { return cancel_; }
  CGDIBitmapBtn* applyButton() const { return apply_; }
  CColorBtn* swatch(int i) const { return swatches_[size_t(i)]; }
  CGDIBitmapBtn* groupButton(int i) const { return group_[size_t(i)]; }
  CPngHSliderBar* slider() const { return slider_; }

  // A swatch click opens the palette; tests and the gallery may replace how.
  std::function<void(int swatch)> openPalette;

 protected:
  intptr_t onMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) override;

 private:
  void finish(lighting::PageOutcome outcome);
  void runPalette(int swatch);
  void sync();

  GuiNotices notices_;
  std::unique_ptr<lighting::EffectPageModel> model_;
  CGDIBitmapBtn* ok_ = nullptr;
  CGDIBitmapBtn* cancel_ = nullptr;
  CGDIBitmapBtn* apply_ = nullptr;
  std::array<CColorBtn*, 2> swatches_{};
  std::vector<CGDIBitmapBtn*> group_;
  CPngHSliderBar* slider_ = nullptr;
};

class CDlgLedSeven : public CDlgLedEffect {
 public:
  CDlgLedSeven(EffectPageContext c, QWidget* parent) : CDlgLedEffect(lighting::kButtonSeven, std::move(c), parent) {}
};
class CDlgLedStrength : public CDlgLedEffect {
 public:
  CDlgLedStrength(EffectPageContext c, QWidget* parent)
      : CDlgLedEffect(lighting::kButtonStrength, std::move(c), parent) {}
};
class CDlgLedWave : public CDlgLedEffect {
 public:
  CDlgLedWave(EffectPageContext c, QWidget* parent) : CDlgLedEffect(lighting::kButtonWave, std::move(c), parent) {}
};
class CDlgLedBreath : public CDlgLedEffect {
 public:
  CDlgLedBreath(EffectPageContext c, QWidget* parent)
      : CDlgLedEffect(lighting::kButtonBreathing, std::move(c), parent) {}
};
class CDlgLedSingle : public CDlgLedEffect {
 public:
  CDlgLedSingle(EffectPageContext c, QWidget* parent) : CDlgLedEffect(lighting::kButtonSingle, std::move(c), parent) {}
};
class CDlgLedAlways : public CDlgLedEffect {
 public:
  CDlgLedAlways(EffectPageContext c, QWidget* parent)
      : CDlgLedEffect(lighting::kButtonAlwaysOn, std::move(c), parent) {}
};

// The page of effect button 0..5.
std::unique_ptr<CDlgLedEffect> makeEffectPage(int button, EffectPageContext context, QWidget* parent);

}  // namespace orlix::gui
