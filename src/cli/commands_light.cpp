#include <ostream>
#include <sstream>

#include "cli/commands.h"
#include "cli/config_session.h"
#include "core/device/message_target.h"
#include "core/device/messages.h"
#include "core/lighting/effect_page_models.h"
#include "core/lighting/lighting_model.h"
#include "core/lighting/lighting_page_model.h"
#include "core/lighting/palette_model.h"
#include "core/util/bytes.h"

namespace orlix::cli {

namespace {

// Sets the reason a parse failed; always false.
bool refuse(std::string& error, std::string why) {
  error = std::move(why);
  return false;
}

using namespace orlix::lighting;

// The effects by name, in the lighting page's effect button order.
constexpr const char* kEffectNames[kEffectButtonCount] = {"seven", "strength", "wave", "breathing", "single", "always"};

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
  int button = -1;
  for (int b = 0; b < kEffectButtonCount; ++b)
    if (args[0] == kEffectNames[b]) button = b;
  if (button < 0) return fail(ctx, "unknown effect '" + args[0] + "'; " + usage, kExitUsage);
  const EffectPageInfo& info = effectPageInfo(button);
  const uint8_t code = info.effect;

  std::array<bool, kLedRecordCount> selected{};
  std::optional<uint32_t> colour1, colour2;
  std::optional<long> speed, level, direction, option;
  bool applyMode = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> const std::string* { return i + 1 < args.size() ? &args[++i] : nullptr; };
    auto needs = [&](bool ok, const char* what) {
      if (!ok) fail(ctx, std::string(a) + " " + what + " for " + kEffectNames[button], kExitUsage);
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
      if (!needs(info.swatchCount > (two ? 1 : 0), "does not apply")) return kExitUsage;
      (two ? colour2 : colour1) = c;
    } else if (a == "--speed" && (v = value())) {
      if (!needs(info.sliderId != 0, "does not apply")) return kExitUsage;
      if (!(speed = parseInteger(*v, info.sliderMin, info.sliderMax)))
        return fail(ctx, "--speed takes " + std::to_string(info.sliderMin) + ".." + std::to_string(info.sliderMax),
                    kExitUsage);
    } else if (a == "--level" && (v = value())) {
      // The page's six level buttons; without one the page keeps the stored level.
      if (!needs(code == kStrength, "does not apply")) return kExitUsage;
      if (!(level = parseInteger(*v, 1, 6))) return fail(ctx, "--level takes 1..6", kExitUsage);
    } else if (a == "--direction" && (v = value())) {
      if (!needs(code == kWave, "does not apply")) return kExitUsage;
      direction = parseInteger(*v, 1, 6);
      if (!direction || waveSlot(uint8_t(*direction)) < 0)
        return fail(ctx, "--direction takes 1, 2, 3, 5 or 6", kExitUsage);
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

  // The lighting page with the keys selected, its effect button clicked, and
  // the effect page's controls used as a person would.
  LightingPageModel page(image);
  for (int i = 0; i < kLedRecordCount; ++i) page.setSelected(i, selected[size_t(i)]);
  MessageQueue mainWindow, lightingPage;
  BuildResult built;
  windows::registerTarget(kMainWindowTitle, &mainWindow);
  page.clickEffect(button, [&](int b) {
    EffectPageModel effectPage(b, {image, s.notices, s.texts, &lightingPage, [&] { page.clearSelections(); }});
    auto pickColour = [&](int swatch, uint32_t colour) {
      PaletteRequest r = effectPage.swatchRequest(swatch);
      PaletteModel palette({r.kind, r.index, colour});
      palette.writeBack(effectPage);
      effectPage.afterPalette(swatch);
    };
    if (colour1) pickColour(0, *colour1);
    if (colour2) pickColour(1, *colour2);
    if (speed) effectPage.slider(int(*speed), info.sliderId);
    auto clickValue = [&](long value) {
      for (int g = 0; g < info.groupSize; ++g)
        if (effectPage.groupValue(g) == value) effectPage.clickGroupButton(g);
    };
    if (level) clickValue(*level);
    if (direction) clickValue(*direction);
    if (option) clickValue(*option);
    // After Apply the page is left with Escape, which keeps the selections.
    PageOutcome outcome = applyMode ? effectPage.apply() : effectPage.ok();
    built = effectPage.lastBuild();
    return outcome == PageOutcome::CloseOk;
  });
  windows::unregisterTarget(&mainWindow);
  // Nothing was built: the page refused for want of a selected key.
  if (built.slot < 0) return kExitFailure;

  // The messages in the order the window loop delivers them.
  for (const auto& m : lightingPage.drain())
    if (m.id == msg::kEffectSlot) page.slotExclusion(int(m.lParam));
  for (const auto& m : mainWindow.drain())
    if (m.id == msg::kLightingSend) {
      lighting::sendLighting(*keyboard->channel, image, m.wParam, m.lParam);
      page.refresh();
    }
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
