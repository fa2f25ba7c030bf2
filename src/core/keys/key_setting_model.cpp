#include "core/keys/key_setting_model.h"

#include "core/keys/key_codes.h"
#include "core/keys/usage_map.h"

namespace orlix::keys {

namespace {

using localization::StringKey;

constexpr uint8_t kVkLeftWin = 0x5B, kVkRightWin = 0x5C;

uint32_t comboOfVk(uint8_t mask, uint8_t vk) { return combination(mask, vkToUsage(vk)); }

}  // namespace

std::array<BasePageItem, kBasePageItemCount> basePageItems() {
  return {{
      {StringKey::str_close, comboOfVk(kModAlt, 0x73)},
      {StringKey::str_lock, comboOfVk(kModWin, 0x4C)},
      {StringKey::str_run, comboOfVk(kModWin, 0x52)},
      {StringKey::str_show, comboOfVk(kModWin, 0x44)},
      {StringKey::str_win8_classic, comboOfVk(kModWin, 0x4D)},
      {StringKey::str_win8_switch, comboOfVk(kModAlt, 0x09)},
      {StringKey::str_win8_winp, comboOfVk(kModWin, 0x6B)},
      {StringKey::str_win8_winm, comboOfVk(kModWin, 0x6D)},
      {StringKey::str_find, comboOfVk(kModCtrl, 0x46)},
      {StringKey::str_PL, consumer(0x00CD)},
      {StringKey::str_stop, consumer(0x00B7)},
      {StringKey::str_pre_media, consumer(0x00B6)},
      {StringKey::str_next_media, consumer(0x00B5)},
      {StringKey::str_vol_dw, consumer(0x00EA)},
      {StringKey::str_vol_up, consumer(0x00E9)},
      {StringKey::str_mute, consumer(0x00E2)},
  }};
}

SettingResult restoreResult(const ConfigImage& image, int keyIndex) {
  SettingResult r;
  if (keyIndex >= 0 && keyIndex < kKeyCount) r.code = image.defaultKeyTable[size_t(keyIndex)];
  return r;
}

SettingResult disableResult() { return SettingResult{kDisabledCode, kCategoryDisable, u""}; }

KeySettingModel::KeySettingModel(const ConfigImage& image, const macros::MacroLibrary& macros,
                                 KeyInjector& injector, KeySettingHooks hooks)
    : image_(image), injector_(injector), hooks_(std::move(hooks)), macroSet_(macros) {}

void KeySettingModel::initialise(std::u16string currentFunction) {
  items_ = basePageItems();
  baseSelection_ = kBasePageItemCount - 1;  // each addition selects the added item
  if (macroSet_.gameIndex() < 0) macroSet_.open();  // the tab may have opened it already
  selectTab(kTabCombination);
  currentFunction_ = std::move(currentFunction);
}

void KeySettingModel::hook(int on) const {
  if (hooks_.setHookStatus) hooks_.setHookStatus(on);
}

void KeySettingModel::selectTab(int t) {
  if (disabled_) {
    tabChecked_ = {};
    visible_ = {};
    return;
  }
  tab_ = t;
  if (t == kTabCombination) {
    if (hooks_.receiveAtComboPage) hooks_.receiveAtComboPage();
    hook(1);
  } else {
    hook(0);
  }
  int page = t == kTabMacroSet ? kMacroPage : t == kTabBase ? kBasePage : kComboPage;
  for (int p = 0; p < 3; ++p) tabChecked_[size_t(p)] = visible_[size_t(p)] = p == page;
}

void KeySettingModel::toggleDisable() {
  disabled_ = !disabled_;
  selectTab(kTabAfterDisable);
}

KeySettingModel::End KeySettingModel::close() {
  hook(0);
  return End::Cancel;
}

KeySettingModel::End KeySettingModel::restore() {
  result_.code = restoreResult(image_, keyIndex_).code;
  hook(0);
  return End::Ok;
}

void KeySettingModel::sendWinReleases() {
  // A Win combination chosen with the Win box leaves the desktop believing a
  // Win key went down; a press and release of both Win keys settles it.
  injector_.keybd_event(kVkLeftWin, 0, kInjectExtended, 0);
  injector_.keybd_event(kVkLeftWin, 0, kInjectExtended | kInjectKeyUp, 0);
  injector_.keybd_event(kVkRightWin, 0, kInjectExtended, 0);
  injector_.keybd_event(kVkRightWin, 0, kInjectExtended | kInjectKeyUp, 0);
}

KeySettingModel::End KeySettingModel::ok() {
  if (disabled_) {
    SettingResult d = disableResult();
    result_.code = d.code;
    result_.category = d.category;
  } else if (visible_[kBasePage]) {
    result_.code = baseSelection_ >= 0 ? items_[size_t(baseSelection_)].code : 0;
  } else if (visible_[kMacroPage]) {
    macroSet_.fillResult(result_);
  } else if (visible_[kComboPage]) {
    combo_.fillResult(result_);
    if (combo_.checked(ComboModel::kWin) && (param1(result_.code) & kModWin)) sendWinReleases();
  }
  hook(0);
  return result_.code != 0 ? End::Ok : End::Cancel;
}

KeySettingTexts keySettingTexts(bool chinese) {
  if (chinese)
    return {u"按键设定面板", u"当前功能: ", u"禁用按键", u"组合键", u"宏设置", u"基本功能", u"恢复默认", u"确定"};
  return {u"Key setting panel", u"Current function: ", u"Disable key", u"Singlecomb", u"Macro Set", u"Base",
          u"Restore", u"OK"};
}

}  // namespace orlix::keys
