#include "core/lighting/effect_page_models.h"

#include "core/device/message_target.h"
#include "core/skin/window_geometry.h"

namespace orlix::lighting {

namespace {

namespace ep = skin::effect_page;

// The English text of the Apply button of always-on, breathing, seven-colour
// and single, and of the OK button of wave, was never written (the message read
// "?"); those buttons say what the page's other button says.
const EffectPageInfo kPages[6] = {
    {kButtonSeven, kSevenColour, true, kPaletteNone, 0, 2, false, 0, 0, 0,
     u"全光谱：未选中键盘按钮！", u"Whole lighting:Uncheck the keyboard button!", u"全光谱模式：未选中键盘按钮！",
     u"Whole lighting:Uncheck the keyboard button!"},
    {kButtonStrength, kStrength, false, kPaletteNone, 0, 6, true, 0, 0, 0, nullptr, nullptr, nullptr, nullptr},
    {kButtonWave, kWave, true, kPaletteNone, 0, 5, true, ep::kWaveSliderId, 1, 30, u"波浪模式：未选中键盘按钮！",
     u"Wave lighting:Uncheck the keyboard button!", u"波浪模式：未选中键盘按钮！",
     u"Wave lighting:Uncheck the keyboard button!"},
    {kButtonBreathing, kBreathing, true, kPaletteBreathing, 2, 0, false, ep::kBreathSliderId, 3, 30,
     u"呼吸：未选中键盘按钮！", u"Breathing:Uncheck the keyboard button!", u"呼吸模式：未选中键盘按钮！",
     u"Breathing:Uncheck the keyboard button!"},
    {kButtonSingle, kSingle, true, kPaletteSingle, 2, 0, false, ep::kSingleSliderId, 1, 10,
     u"单点：未选中键盘按钮！", u"Single lighting:Uncheck the keyboard button!", u"单点模式：未选中键盘按钮！",
     u"Single lighting:Uncheck the keyboard button!"},
    {kButtonAlwaysOn, kAlwaysOn, true, kPaletteAlwaysOn, 1, 0, false, 0, 0, 0, u"常亮：未选中键盘按钮!",
     u"ON :Uncheck the keyboard button!", u"常亮模式：未选中键盘按钮！", u"ON :Uncheck the keyboard button!"},
};

// Colours the single page's swatches show until the palette changes them; they
// differ from the colours the page sends until then.
constexpr uint32_t kSingleSwatch0 = rgb(200, 0, 0);
constexpr uint32_t kSingleSwatch1 = rgb(0, 200, 0);

}  // namespace

const EffectPageInfo& effectPageInfo(int button) {
  return kPages[button >= 0 && button < 6 ? button : 0];
}

int buttonOfEffect(uint8_t effect) {
  for (const auto& p : kPages)
    if (p.effect == effect) return p.button;
  return -1;
}

EffectPageModel::EffectPageModel(int button, EffectPageServices services)
    : info_(effectPageInfo(button)), s_(std::move(services)), settings_(pageDefaults(info_.effect, s_.image)) {
  switch (info_.effect) {
    case kAlwaysOn:
      swatches_[0] = settings_.colour1;
      break;
    case kBreathing:
      swatches_ = {settings_.colour1, settings_.colour2};
      markedSwatch_ = 0;
      break;
    case kSingle:
      swatches_ = {kSingleSwatch0, kSingleSwatch1};
      markedSwatch_ = 0;
      break;
    case kSevenColour:
      marked_ = 0;  // option 2
      break;
    case kWave:
      marked_ = 0;  // direction type 3
      break;
    case kStrength:
      marked_ = settings_.level >= 1 && settings_.level <= 6 ? settings_.level - 1 : -1;
      break;
  }
}

int EffectPageModel::groupValue(int i) const {
  switch (info_.effect) {
    case kSevenColour: return ep::kSevenOptionValues[size_t(i)];
    case kStrength: return i + 1;
    case kWave: return ep::kWaveDirectionTypes[size_t(i)];
    default: return 0;
  }
}

void EffectPageModel::unmarkOnCommand() {
  if (info_.groupUnmarksOnCommand) marked_ = -1;
}

std::u16string EffectPageModel::noSelectionMessage(bool applyButton) const {
  const char16_t* zh = applyButton ? info_.applyZh : info_.okZh;
  const char16_t* en = applyButton ? info_.applyEn : info_.okEn;
  if (!zh || !en) return {};
  return std::u16string(s_.texts.pick(zh, en));
}

PageOutcome EffectPageModel::send(uint8_t sendMode, bool applyButton) {
  settings_.sendMode = sendMode;
  if (info_.selectionCheck && s_.image.keySelectionFlag == 0) {
    NoticeResult answer = s_.notices.showInfo(noSelectionMessage(applyButton), true);
    return answer == NoticeResult::Ok ? PageOutcome::CloseCancelled : PageOutcome::Stay;
  }
  // Breathing sends what its swatches show.
  if (info_.effect == kBreathing) {
    settings_.colour1 = swatches_[0];
    settings_.colour2 = swatches_[1];
  }
  last_ = buildAndSend(s_.image, settings_, s_.lightingPage);
  return applyButton ? PageOutcome::Stay : PageOutcome::CloseOk;
}

PageOutcome EffectPageModel::ok() {
  unmarkOnCommand();
  return send(kSendOk, false);
}

PageOutcome EffectPageModel::apply() {
  unmarkOnCommand();
  return send(kSendApply, true);
}

PageOutcome EffectPageModel::cancel() {
  unmarkOnCommand();
  if (s_.clearLightSelections) s_.clearLightSelections();
  return PageOutcome::CloseCancelled;
}

bool EffectPageModel::slider(int position, int id) {
  if (info_.sliderId == 0 || id != info_.sliderId) return false;
  settings_.speed = uint8_t(position);
  return true;
}

void EffectPageModel::clickGroupButton(int i) {
  if (i < 0 || i >= info_.groupSize) return;
  marked_ = i;
  switch (info_.effect) {
    case kSevenColour: settings_.option = uint8_t(groupValue(i)); break;
    case kStrength: settings_.level = uint8_t(groupValue(i)); break;
    case kWave: settings_.direction = uint8_t(groupValue(i)); break;
  }
}

PaletteRequest EffectPageModel::swatchRequest(int i) const {
  if (i < 0 || i >= info_.swatchCount) return {};
  // Always-on's one swatch is its colour index 1.
  int index = info_.effect == kAlwaysOn ? 1 : i;
  return {info_.paletteKind, index, swatches_[size_t(i)]};
}

void EffectPageModel::afterPalette(int i) {
  if (info_.swatchCount == 2 && (i == 0 || i == 1)) markedSwatch_ = i;
}

void EffectPageModel::setSwatchColour(int i, uint32_t colour) {
  if (i >= 0 && i < info_.swatchCount) swatches_[size_t(i)] = colour;
}

void EffectPageModel::setColour(int which, uint32_t colour) {
  if (which == 0) settings_.colour1 = colour;
  else if (which == 1) settings_.colour2 = colour;
}

}  // namespace orlix::lighting
