#pragma once
// CDlgLedMain: the lighting page of the main window over a LightingPageModel:
// 113 light buttons at the lighting key map, six shaped effect buttons, the
// select-all button, the show toggle, the rubber band and the right-button
// clear. The page draws what the model holds after every input.

#include <QPoint>
#include <QPointer>

#include "gui/lighting/effect_pages.h"

#include <array>
#include <functional>
#include <memory>

#include "core/lighting/lighting_page_model.h"
#include "gui/app/skin_page.h"

#include <QRubberBand>

namespace orlix::gui {

class CColorBtn;
class CGDIBitmapBtn;
class CIrrButton;

// Lighting page (template 145).
class CDlgLedMain : public SkinPage {
 public:
  CDlgLedMain(QWidget* parent, ConfigImage& image);
  ~CDlgLedMain() override;

  // The refresh after a lighting send: redraws the light buttons and the effect
  // buttons from the LED state by lighting mode.
  void RefreshPage();
  int refreshCount() const { return refreshes_; }
  std::function<void()> onRefresh;

  lighting::LightingPageModel& model() { return *model_; }
  CColorBtn* light(int i) const { return lights_[size_t(i)]; }
  CIrrButton* effectButton(int b) const { return effects_[size_t(b)]; }
  CGDIBitmapBtn* selectAllButton() const { return selectAll_; }
  CGDIBitmapBtn* showToggle() const { return show_; }
  // The effect page while it runs (modal), else null.
  CDlgLedEffect* runningEffectPage() const { return running_; }
  // Runs effect page `button` modally and returns whether it closed with OK;
  // tests replace it to answer without a dialog.
  std::function<bool(int button)> runEffectPage;

 protected:
  intptr_t onMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;

 private:
  bool runPage(int button);
  // Draws the model; after a command every effect button also drops its hover.
  void sync(bool command);

  // Shared with a running effect button's handler: the main window may
  // destroy the page (program end) while an effect page runs modally.
  std::shared_ptr<lighting::LightingPageModel> model_;
  std::array<CColorBtn*, kLedRecordCount> lights_{};
  std::array<CIrrButton*, lighting::kEffectButtonCount> effects_{};
  CGDIBitmapBtn* selectAll_ = nullptr;
  CGDIBitmapBtn* show_ = nullptr;
  QPointer<CDlgLedEffect> running_;
  QPointer<QRubberBand> band_;  // a child of the main window, which may go first
  bool banding_ = false;
  QPoint bandStart_;
  int refreshes_ = 0;
};

}  // namespace orlix::gui
