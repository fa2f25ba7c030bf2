#include <ostream>
#include <sstream>

#include "cli/commands.h"
#include "cli/config_session.h"
#include "core/device/message_target.h"
#include "core/device/messages.h"
#include "core/lighting/lighting_model.h"
#include "core/util/bytes.h"

namespace orlix::cli {

namespace {

// Sets the reason a parse failed; always false.
bool refuse(std::string& error, std::string why) {
  error = std::move(why);
  return false;
}

using namespace orlix::lighting;

struct EffectInfo {
  const char* name;
  int button;  // effect button of the lighting page
  // The page's messages when no key is selected: OK (Chinese, English), Apply (Chinese, English).
  const char16_t* okZh;
  const char16_t* okEn;
  const char16_t* applyZh;
  const char16_t* applyEn;
};

const EffectInfo kEffects[] = {
    {"seven", kButtonSeven, u"全光谱：未选中键盘按钮！", u"Whole lighting:Uncheck the keyboard button!",
     u"全光谱模式：未选中键盘按钮！", u"?"},
    {"strength", kButtonStrength, nullptr, nullptr, nullptr, nullptr},
    {"wave", kButtonWave, u"波浪模式：未选中键盘按钮！", u"?", u"波浪模式：未选中键盘按钮！",
     u"Wave lighting:Uncheck the keyboard button!"},
    {"breathing", kButtonBreathing, u"呼吸：未选中键盘按钮！", u"Breathing:Uncheck the keyboard button!",
     u"呼吸模式：未选中键盘按钮！", u"?"},
    {"single", kButtonSingle, u"单点：未选中键盘按钮！", u"Single lighting:Uncheck the keyboard button!",
     u"单点模式：未选中键盘按钮！", u"?"},
    {"always", kButtonAlwaysOn, u"常亮：未选中键盘按钮!", u"ON :Uncheck the keyboard button!",
     u"常亮模式：未选中键盘按钮！", u"?"},
};

std::optional<uint32_t> parseColour(const std::string& text) {
  std::stringstream in(text);
  std::string part;
  uint8_t c[3];
  int n = 0;
  while (std::getline(in, part, ',')) {
    auto v = parseInteger(part, 0, 255);
    if (!v || n == 3) return std::nullopt;
    c[n++] = uint8_t(*v);
  }
  if (n != 3) return std::nullopt;
  return rgb(c[0], c[1], c[2]);
}

// The light buttons a --keys list selects: lighting key entries 0..111, or
// LED codes written led:HH.
bool parseKeys(const std::string& text, std::array<bool, kLedRecordCount>& selected, std::string& error) {
  if (text == "all") {
    for (int i = 0; i < kLightingKeys; ++i) selected[size_t(i)] = true;
    return true;
  }
  std::stringstream in(text);
  std::string item;
  const auto& map = lighting::lightingKeyMap();
  while (std::getline(in, item, ',')) {
    if (item.rfind("led:", 0) == 0) {
      auto code = parseInteger("0x" + item.substr(4), 0, 255);
      int found = -1;
      for (int i = 0; code && i < kLightingKeys && found < 0; ++i)
        if (map[size_t(i)].ledCode == uint32_t(*code)) found = i;
      if (found < 0) return refuse(error, "no key has the LED code " + item.substr(4));
      selected[size_t(found)] = true;
    } else {
      auto entry = parseInteger(item, 0, kLightingKeys - 1);
      if (!entry) return refuse(error, "keys are lighting entries 0..111 or LED codes led:HH: " + item);
      selected[size_t(*entry)] = true;
    }
  }
  return true;
}

int cmdLight(Context& ctx, std::span<const std::string> args) {
  const char* usage =
      "usage: orlixctl light seven|strength|wave|breathing|single|always [--keys all|LIST] [--color R,G,B] "
      "[--color2 R,G,B] [--speed N] [--level N] [--direction N] [--option N] [--apply-mode]";
  if (args.empty()) return fail(ctx, usage, kExitUsage);
  const EffectInfo* effect = nullptr;
  for (const auto& e : kEffects)
    if (args[0] == e.name) effect = &e;
  if (!effect) return fail(ctx, "unknown effect '" + args[0] + "'; " + usage, kExitUsage);
  const uint8_t code = effectOfButton(effect->button);

  std::array<bool, kLedRecordCount> selected{};
  std::optional<uint32_t> colour1, colour2;
  std::optional<long> speed, level, direction, option;
  bool applyMode = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> const std::string* { return i + 1 < args.size() ? &args[++i] : nullptr; };
    auto needs = [&](bool ok, const char* what) {
      if (!ok) fail(ctx, std::string(a) + " " + what + " for " + effect->name, kExitUsage);
      return ok;
    };
    const std::string* v = nullptr;
    std::string error;
    if (a == "--apply-mode") {
      applyMode = true;
    } else if (a == "--keys" && (v = value())) {
      if (!parseKeys(*v, selected, error)) return fail(ctx, error, kExitUsage);
    } else if ((a == "--color" || a == "--color2") && (v = value())) {
      auto c = parseColour(*v);
      if (!c) return fail(ctx, a + " takes R,G,B with values 0..255", kExitUsage);
      bool two = a == "--color2";
      if (!needs(code == kBreathing || code == kSingle || (!two && code == kAlwaysOn), "does not apply"))
        return kExitUsage;
      (two ? colour2 : colour1) = c;
    } else if (a == "--speed" && (v = value())) {
      long lo = code == kBreathing ? 3 : 1, hi = code == kSingle ? 10 : 30;
      if (!needs(code == kBreathing || code == kSingle || code == kWave, "does not apply")) return kExitUsage;
      if (!(speed = parseInteger(*v, lo, hi)))
        return fail(ctx, "--speed takes " + std::to_string(lo) + ".." + std::to_string(hi), kExitUsage);
    } else if (a == "--level" && (v = value())) {
      if (!needs(code == kStrength, "does not apply")) return kExitUsage;
      if (!(level = parseInteger(*v, 0, 6))) return fail(ctx, "--level takes 0..6", kExitUsage);
    } else if (a == "--direction" && (v = value())) {
      if (!needs(code == kWave, "does not apply")) return kExitUsage;
      direction = parseInteger(*v, 1, 6);
      if (!direction || waveSlot(uint8_t(*direction)) < 0) return fail(ctx, "--direction takes 1, 2, 3, 5 or 6", kExitUsage);
    } else if (a == "--option" && (v = value())) {
      if (!needs(code == kSevenColour, "does not apply")) return kExitUsage;
      if (!(option = parseInteger(*v, 1, 2))) return fail(ctx, "--option takes 1 or 2", kExitUsage);
    } else {
      return fail(ctx, usage, kExitUsage);
    }
  }

  Session s(ctx);
  if (!s.open(false)) return kExitFailure;
  auto keyboard = connectKeyboard(ctx);
  if (!keyboard) return kExitFailure;
  ConfigImage& image = *s.image;

  // What the lighting page does before the effect page opens.
  if (effect->button == kButtonWave)
    for (int i = 0; i < kLightingKeys; ++i) selected[size_t(i)] = true;
  if (effect->button != kButtonStrength) selectionRecount(image, selected);

  EffectSettings settings = pageDefaults(code, image);
  settings.sendMode = applyMode ? kSendApply : kSendOk;
  if (colour1) settings.colour1 = *colour1;
  if (colour2) settings.colour2 = *colour2;
  if (speed) settings.speed = uint8_t(*speed);
  if (level) settings.level = uint8_t(*level);
  if (direction) settings.direction = uint8_t(*direction);
  if (option) settings.option = uint8_t(*option);

  if (effect->button != kButtonStrength && image.keySelectionFlag == 0) {
    s.notices.showInfo(std::u16string(applyMode ? s.texts.pick(effect->applyZh, effect->applyEn)
                                                : s.texts.pick(effect->okZh, effect->okEn)));
    return kExitFailure;
  }

  MessageQueue mainWindow, lightingPage;
  windows::registerTarget(kMainWindowTitle, &mainWindow);
  BuildResult built = buildAndSend(image, settings, &lightingPage);
  windows::unregisterTarget(&mainWindow);
  for (const auto& m : lightingPage.drain())
    if (m.id == msg::kEffectSlot) slotKeyExclusion(image, int(m.lParam));
  for (const auto& m : mainWindow.drain())
    if (m.id == msg::kLightingSend) lighting::sendLighting(*keyboard->channel, image, m.wParam, m.lParam);
  // The lighting page after the page returns: OK, or (after Apply) closed otherwise.
  afterEffectPage(image, effect->button, !applyMode);
  if (!s.commit()) return kExitFailure;

  ctx.out << "sent " << toHex(std::span<const uint8_t>(image.editedLedCommand.data(), built.length)) << " ("
          << built.length << " bytes, effect slot " << built.slot << ")\n";
  return kExitOk;
}

}  // namespace

void addLightCommands(CommandTable& t) {
  t.push_back({"light",
               "light seven|strength|wave|breathing|single|always [--keys all|LIST] [--color R,G,B] [--color2 R,G,B] "
               "[--speed N] [--level N] [--direction N] [--option N] [--apply-mode]",
               "light the selected keys (lighting entries 0..111 or led:HH codes) with an effect", cmdLight});
}

}  // namespace orlix::cli
