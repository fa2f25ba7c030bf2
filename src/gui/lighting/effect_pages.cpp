#include "gui/lighting/effect_pages.h"

#include <QPointer>

#include "core/device/messages.h"
#include "core/localization/language_strings.h"
#include "core/skin/window_geometry.h"
#include "gui/lighting/palette_dlg.h"
#include "gui/skin/color_btn.h"
#include "gui/skin/gdi_bitmap_btn.h"
#include "gui/skin/png_slider.h"
#include "gui/skin/skin_images.h"

namespace orlix::gui {

namespace ep = skin::effect_page;
using namespace orlix::lighting;

namespace {

struct PageLayout {
  const skin::ImageTriple* images;
  const ep::Buttons* buttons;
  std::array<Rect, 2> swatches;
  std::vector<Rect> group;
  Rect slider;
};

PageLayout layoutOf(int button) {
  switch (button) {
    case kButtonSeven:
      return {&skin::kSevenPage, &ep::kSeven, {}, {ep::kSevenOptions.begin(), ep::kSevenOptions.end()}, {}};
    case kButtonStrength:
      return {&skin::kStrengthPage, &ep::kStrength, {}, {ep::kStrengthLevels.begin(), ep::kStrengthLevels.end()}, {}};
    case kButtonWave:
      return {&skin::kWavePage, &ep::kWave, {}, {ep::kWaveDirections.begin(), ep::kWaveDirections.end()},
              ep::kWaveSlider};
    case kButtonBreathing:
      return {&skin::kBreathPage, &ep::kBreath, ep::kBreathSwatches, {}, ep::kBreathSlider};
    case kButtonSingle:
      return {&skin::kSinglePage, &ep::kSingle, ep::kSingleSwatches, {}, ep::kSingleSlider};
    default:
      return {&skin::kAlwaysPage, &ep::kAlways, {ep::kAlwaysSwatch, Rect{}}, {}, {}};
  }
}

TextSource languageTexts() {
  return TextSource{nullptr, [] { return localization::languageFlag() != 0; }};
}

}  // namespace

CDlgLedEffect::CDlgLedEffect(int button, EffectPageContext context, QWidget* parent)
    : SkinDialog(*layoutOf(button).images, parent), notices_(this) {
  model_ = std::make_unique<EffectPageModel>(
      button, EffectPageServices{context.image, notices_, languageTexts(), context.lightingPage,
                                 std::move(context.clearLightSelections)});
  const PageLayout layout = layoutOf(button);
  const EffectPageInfo& info = model_->info();
  // Titled by class, so that the desktop and scripted runs can find each page.
  static const char* const kTitles[6] = {"CDlgLedSeven",  "CDlgLedStrength", "CDlgLedWave",
                                         "CDlgLedBreath", "CDlgLedSingle",   "CDlgLedAlways"};
  setWindowTitle(QString::fromLatin1(kTitles[info.button]));

  ok_ = addButton(layout.buttons->ok);
  cancel_ = addButton(layout.buttons->cancel);
  apply_ = addButton(layout.buttons->apply);
  // The question without a selected key runs modally; the page may be gone
  // when it returns (the program ended meanwhile).
  auto command = [this](PageOutcome (EffectPageModel::*run)()) {
    QPointer<CDlgLedEffect> self(this);
    PageOutcome outcome = ((*model_).*run)();
    if (self) finish(outcome);
  };
  connect(ok_, &CGDIBitmapBtn::clicked, this, [command] { command(&EffectPageModel::ok); });
  connect(apply_, &CGDIBitmapBtn::clicked, this, [command] { command(&EffectPageModel::apply); });
  connect(cancel_, &CGDIBitmapBtn::clicked, this, [command] { command(&EffectPageModel::cancel); });

  for (int i = 0; i < info.swatchCount; ++i) {
    auto* s = new CColorBtn(this);
    s->setGeometry(toQRect(layout.swatches[size_t(i)]));
    s->setBorder(true);
    s->show();
    connect(s, &CColorBtn::clicked, this, [this, i] { runPalette(i); });
    swatches_[size_t(i)] = s;
  }
  for (int i = 0; i < int(layout.group.size()); ++i) {
    CGDIBitmapBtn* b = addButton(layout.group[size_t(i)]);
    b->setCheckStyle(true);
    connect(b, &CGDIBitmapBtn::clicked, this, [this, i] {
      model_->clickGroupButton(i);
      sync();
    });
    group_.push_back(b);
  }
  if (info.sliderId != 0) {
    slider_ = new CPngHSliderBar(this);
    slider_->init(skinPath(QString::fromLatin1(skin::kSliderThumb)), toQRect(layout.slider), this, info.sliderId);
    slider_->setBackground(normalImage().copy(toQRect(layout.slider)));
    slider_->setRange(info.sliderMin, info.sliderMax);
    slider_->setValue(model_->settings().speed);
    slider_->show();
  }
  sync();
}

CDlgLedEffect::~CDlgLedEffect() = default;

void CDlgLedEffect::sync() {
  for (int i = 0; i < model_->info().swatchCount; ++i) {
    swatches_[size_t(i)]->setColour(fromColorRef(model_->swatchColour(i)));
    swatches_[size_t(i)]->setChecked(model_->markedSwatch() == i);
  }
  for (int i = 0; i < int(group_.size()); ++i) group_[size_t(i)]->setChecked(model_->markedButton() == i);
}

void CDlgLedEffect::finish(PageOutcome outcome) {
  sync();
  if (outcome == PageOutcome::CloseOk) done(QDialog::Accepted);
  else if (outcome == PageOutcome::CloseCancelled) done(QDialog::Rejected);
}

void CDlgLedEffect::runPalette(int swatch) {
  QPointer<CDlgLedEffect> self(this);
  if (openPalette) {
    openPalette(swatch);
  } else {
    QPointer<CPaletteDlg> palette = new CPaletteDlg(model_->swatchRequest(swatch), model_.get(), this);
    palette->exec();
    delete palette.data();
  }
  if (!self) return;
  model_->afterPalette(swatch);
  sync();
}

intptr_t CDlgLedEffect::onMessage(uint32_t id, uintptr_t wParam, intptr_t lParam) {
  if (id != msg::kSliderPos) return 0;
  model_->slider(int(wParam), int(lParam));
  return 1;
}

std::unique_ptr<CDlgLedEffect> makeEffectPage(int button, EffectPageContext context, QWidget* parent) {
  switch (button) {
    case kButtonSeven: return std::make_unique<CDlgLedSeven>(std::move(context), parent);
    case kButtonStrength: return std::make_unique<CDlgLedStrength>(std::move(context), parent);
    case kButtonWave: return std::make_unique<CDlgLedWave>(std::move(context), parent);
    case kButtonBreathing: return std::make_unique<CDlgLedBreath>(std::move(context), parent);
    case kButtonSingle: return std::make_unique<CDlgLedSingle>(std::move(context), parent);
    default: return std::make_unique<CDlgLedAlways>(std::move(context), parent);
  }
}

}  // namespace orlix::gui
