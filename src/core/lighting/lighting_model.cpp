#include "core/lighting/lighting_model.h"

#include <algorithm>
#include <cstdio>

#include "core/device/driver_channel.h"
#include "core/device/message_target.h"
#include "core/device/messages.h"
#include "core/util/bytes.h"

namespace orlix::lighting {

namespace {

constexpr uint8_t kWaveColourEntries = 5;
constexpr uint8_t kWaveDiagonalMark = 0x69;  // command byte 3 for direction types 1 and 5

uint8_t waveByte3(uint8_t direction) { return direction == 1 || direction == 5 ? kWaveDiagonalMark : 0; }

void putColour(LightingCommand& b, size_t at, uint32_t c) {
  b[at] = red(c);
  b[at + 1] = green(c);
  b[at + 2] = blue(c);
}

// Writes the colour into bytes 1..3 of a colour list entry.
void setEntryColour(std::array<uint8_t, 4>& e, uint32_t c) {
  e[1] = red(c);
  e[2] = green(c);
  e[3] = blue(c);
}

bool appliesZeroingRule(uint8_t effect) {
  return effect == kBreathing || effect == kSevenColour || effect == kStrength || effect == kWave;
}

// Updates per-key lighting record r for a key the command covers.
void updatePerKeyRecord(PerKeyLightingRecord& r, uint8_t ledCode, const EffectSettings& s) {
  r.ledCode = ledCode;
  r.effectCode = s.effect;
  r.sendMode = s.sendMode;
  switch (s.effect) {
    case kWave:
      r.params = {s.speed, waveByte3(s.direction), s.direction, kWaveColourEntries};
      r.colours.assign(kWaveColourEntries, {0, 0, 0, 0});
      break;
    case kBreathing:
    case kSingle:
      r.params[0] = s.speed;
      r.params[1] = 2;
      r.colours.resize(2);
      setEntryColour(r.colours[0], s.colour1);
      setEntryColour(r.colours[1], s.colour2);
      if (s.effect == kSingle) r.colours[0][0] = r.colours[1][0] = 0;
      break;
    case kAlwaysOn:
      r.params[0] = 1;
      r.params[1] = 0;
      r.params[2] = 1;
      r.colours.resize(1);
      setEntryColour(r.colours[0], s.colour1);
      break;
    case kStrength:
      r.params[0] = s.level;
      break;
    case kSevenColour:
      r.params[0] = s.option;
      break;
  }
  r.setText(textKeyFor(s));
}

// A slot's lengths as far as they can be trusted: total within the block, header within total.
void slotBounds(const EffectSlot& slot, uint32_t& header, uint32_t& total) {
  total = std::min<uint32_t>(slot.totalLength, kLightingCommandSize);
  header = std::min(slot.headerLength, total);
}

void zeroSlot(EffectSlot& s) {
  s.bytes.fill(0);
  s.totalLength = 0;
  s.headerLength = 0;
}

}  // namespace

int waveSlot(uint8_t direction) {
  switch (direction) {
    case 3: return 3;
    case 2: return 4;
    case 6: return 5;
    case 1: return 6;
    case 5: return 7;
    default: return -1;
  }
}

uint32_t headerLength(uint8_t effect) {
  switch (effect) {
    case kWave: return 27;
    case kBreathing: return 11;
    case kSingle: return 10;
    case kAlwaysOn: return 8;
    case kStrength: return 4;
    case kSevenColour: return 4;
    default: return 0;
  }
}

EffectSettings pageDefaults(uint8_t effect, const ConfigImage& image) {
  EffectSettings s;
  s.effect = effect;
  switch (effect) {
    case kAlwaysOn:
      s.colour1 = rgb(255, 200, 0);
      break;
    case kBreathing:
      s.colour1 = rgb(255, 0, 0);
      s.colour2 = rgb(2, 200, 0);
      s.speed = 3;
      break;
    case kSingle:
      s.colour1 = rgb(255, 0, 0);
      s.colour2 = rgb(2, 200, 0);
      s.speed = 1;
      break;
    case kSevenColour:
      s.option = 2;
      break;
    case kStrength:
      s.level = image.effectSlots[kStrengthSlot].bytes[2];
      break;
    case kWave:
      s.direction = 3;
      s.speed = 1;
      break;
  }
  return s;
}

int effectSlot(const EffectSettings& s) {
  switch (s.effect) {
    case kWave: return waveSlot(s.direction);
    case kBreathing: return 8;
    case kSingle: return 9;
    case kAlwaysOn: return 10;
    case kStrength: return kStrengthSlot;
    case kSevenColour: return s.option == 2 ? 0 : s.option == 1 ? 1 : -1;
    default: return -1;
  }
}

std::string textKeyFor(const EffectSettings& s) {
  char t[kTextKeySize];
  int m = s.sendMode;
  auto c = [](uint32_t v, int i) { return int((v >> (8 * i)) & 0xFF); };
  switch (s.effect) {
    case kWave: {
      std::string text;
      std::snprintf(t, sizeof t, "%x_%d_%d_%d", s.effect, m, s.speed, kWaveColourEntries);
      text = t;
      for (int i = 0; i < kWaveColourEntries; ++i) text += "_0_0_0_0";
      return text;
    }
    case kBreathing:
    case kSingle:
      std::snprintf(t, sizeof t, "%x_%d_%d_%d_%d_%d_%d_%d_%d_%d", s.effect, m, s.speed, 2, c(s.colour1, 0),
                    c(s.colour1, 1), c(s.colour1, 2), c(s.colour2, 0), c(s.colour2, 1), c(s.colour2, 2));
      return t;
    case kAlwaysOn:
      std::snprintf(t, sizeof t, "%x_%d_%d_%d_%d_%d_%d", s.effect, m, 0, 1, c(s.colour1, 0), c(s.colour1, 1),
                    c(s.colour1, 2));
      return t;
    case kStrength:
      std::snprintf(t, sizeof t, "%x_%d_%d", s.effect, m, s.level);
      return t;
    case kSevenColour:
      std::snprintf(t, sizeof t, "%x_%d_%d", s.effect, m, s.option);
      return t;
    default:
      return {};
  }
}

PageCommand buildPageCommand(const EffectSettings& s, std::span<const uint8_t> ledCodes) {
  PageCommand c;
  auto& b = c.block;
  c.header = headerLength(s.effect);
  if (c.header == 0) return c;
  b[0] = s.effect;
  b[1] = s.sendMode;
  switch (s.effect) {
    case kAlwaysOn:
      b[2] = 1;
      b[3] = 0;
      putColour(b, 4, s.colour1);
      break;
    case kBreathing:
      b[2] = s.speed;
      b[3] = 2;
      putColour(b, 4, s.colour1);
      putColour(b, 7, s.colour2);
      break;
    case kSingle:
      b[2] = s.speed;
      putColour(b, 3, s.colour1);
      putColour(b, 6, s.colour2);
      break;
    case kSevenColour:
      b[2] = s.option;
      break;
    case kStrength:
      b[2] = s.level;
      b[3] = 0;
      c.total = c.header;
      return c;  // no key list
    case kWave:
      b[2] = s.speed;
      b[3] = waveByte3(s.direction);
      b[4] = s.direction;
      b[5] = kWaveColourEntries;  // five entries at 6..25, all zero
      break;
  }
  size_t n = std::min(ledCodes.size(), kLightingCommandSize - c.header);
  b[c.header - 1] = uint8_t(n);
  std::copy_n(ledCodes.begin(), n, b.begin() + c.header);
  c.total = c.header + uint32_t(n);
  return c;
}

BuildResult buildAndSend(ConfigImage& image, const EffectSettings& s, MessageTarget* lightingPage) {
  BuildResult result;
  int slot = effectSlot(s);
  if (slot < 0) return result;

  if (appliesZeroingRule(s.effect))
    for (auto& r : image.ledState) std::fill_n(r.begin(), kLedZeroedBytes, 0);

  std::vector<uint8_t> codes;
  for (int i = 0; i < kLedRecordCount; ++i) {
    auto& led = image.ledState[size_t(i)];
    if (s.effect != kStrength && getU32(led, kLedSelected) != 1) continue;
    uint8_t code = uint8_t(getU32(led, kLedCode));
    codes.push_back(code);
    updatePerKeyRecord(image.perKeyLighting[size_t(i)], code, s);
    if (s.effect == kAlwaysOn) {
      putU32(led, kLedColour1, s.colour1);
      putU32(led, kLedAlwaysOnMark, kAlwaysOnMarkValue);
    } else if (s.effect == kBreathing) {
      putU32(led, kLedColour1, s.colour1);
      putU32(led, kLedColour2, s.colour2);
    } else if (s.effect == kSingle) {
      putU32(led, kLedColour1, s.colour1);
    }
  }
  PageCommand cmd = buildPageCommand(s, codes);
  image.editedLedCommand = cmd.block;
  result.length = cmd.total;
  result.slot = slot;

  if (!windows::exists(kMainWindowTitle)) return result;

  auto& es = image.effectSlots[size_t(slot)];
  es.bytes = cmd.block;
  es.totalLength = cmd.total;
  es.headerLength = cmd.header;
  if (s.effect == kWave) {
    image.waveExtra = cmd.block;
    image.waveExtraLength = cmd.total;
  }
  if (lightingPage) lightingPage->post(msg::kEffectSlot, 0, slot);
  windows::postTo(kMainWindowTitle, msg::kLightingSend, msg::kSendEditedBlock, intptr_t(cmd.total));
  result.sent = true;
  return result;
}

void slotKeyExclusion(ConfigImage& image, int a) {
  if (a < 0 || a >= kEffectSlotCount) return;
  auto& slots = image.effectSlots;
  EffectSlot& sa = slots[size_t(a)];
  if (sa.bytes[0] == kWave)
    for (int j = 0; j < kEffectSlotCount; ++j)
      if (j != a && j != kStrengthSlot) zeroSlot(slots[size_t(j)]);

  uint32_t ha, ta;
  slotBounds(sa, ha, ta);
  for (int j = 0; j < kEffectSlotCount; ++j) {
    if (j == a || j == kStrengthSlot) continue;
    EffectSlot& sj = slots[size_t(j)];
    uint32_t hj, tj;
    slotBounds(sj, hj, tj);
    if (tj <= hj || hj == 0) continue;
    auto& b = sj.bytes;
    uint32_t removed = 0;
    for (uint32_t p = ha; p < ta; ++p)
      for (uint32_t q = hj; q < tj; ++q)
        if (sa.bytes[p] == b[q]) {
          b[q] = 0xFF;
          ++removed;
        }
    // Compaction: a kept key taken from the end fills the first hole.
    int lo = int(hj), hi = int(tj) - 1;
    if (lo != hi) {
      while (lo < hi) {
        while (hi >= int(hj) && b[size_t(hi)] == 0xFF) --hi;
        while (lo < int(tj) && b[size_t(lo)] != 0xFF) ++lo;
        if (lo > hi) break;
        std::swap(b[size_t(lo)], b[size_t(hi)]);
      }
    }
    for (uint32_t q = hj; q < tj; ++q)
      if (b[q] == 0xFF) b[q] = 0;
    uint32_t n = tj - hj;
    uint32_t kept = removed > n ? 0 : n - removed;
    b[hj - 1] = uint8_t(kept);
    sj.totalLength = hj + kept;
  }
}

std::vector<std::vector<uint8_t>> replayCommands(const ConfigImage& image) {
  std::vector<std::vector<uint8_t>> out;
  const auto& slots = image.effectSlots;
  size_t waveLength = std::min<size_t>(image.waveExtraLength, kLightingCommandSize);
  for (int j = 3; j <= 7; ++j) {
    const auto& s = slots[size_t(j)];
    if (s.bytes[0] == kWave && s.headerLength != 0 && s.totalLength != s.headerLength)
      out.emplace_back(image.waveExtra.begin(), image.waveExtra.begin() + ptrdiff_t(waveLength));
  }
  static constexpr std::pair<int, uint8_t> kOthers[] = {{0, kSevenColour}, {1, kSevenColour}, {2, kStrength},
                                                        {8, kBreathing},   {9, kSingle},      {10, kAlwaysOn}};
  for (auto [j, code] : kOthers) {
    const auto& s = slots[size_t(j)];
    uint32_t t = s.totalLength, h = s.headerLength;
    if (s.bytes[0] == code && h > 0 && (j == kStrengthSlot || t != h))
      out.emplace_back(s.bytes.begin(), s.bytes.begin() + ptrdiff_t(std::min<size_t>(t, kLightingCommandSize)));
    if (int64_t(t) - int64_t(h) == kLightingKeys) break;  // the effect covered the whole keyboard
  }
  return out;
}

std::vector<std::vector<uint8_t>> buildLedGroupCommands(const ConfigImage& image) {
  std::vector<std::vector<uint8_t>> list;
  const auto& recs = image.perKeyLighting;
  auto emptyText = [&](int i) { return recs[size_t(i)].textKey[0] == 0; };
  auto sameText = [&](int i, int j) { return recs[size_t(i)].textKey == recs[size_t(j)].textKey; };

  int r = 0;
  while (true) {
    if (!emptyText(r)) {
      std::vector<int> group;
      for (int i = 0; i < kLightingKeys; ++i)
        if (!emptyText(i) && sameText(i, r)) group.push_back(i);
      const auto& f = recs[size_t(group.front())];
      std::vector<uint8_t> b{f.effectCode, f.sendMode};
      auto entries = [&](int n, int first, int last) {
        for (int e = 0; e < n; ++e)
          for (int k = first; k <= last; ++k)
            b.push_back(size_t(e) < f.colours.size() ? f.colours[size_t(e)][size_t(k)] : 0);
      };
      const auto& p = f.params;
      switch (f.effectCode) {
        case kWave:
          b.insert(b.end(), {p[0], p[1], p[2], p[3]});
          entries(p[3], 0, 3);
          break;
        case kBreathing:
          b.insert(b.end(), {p[0], p[1]});
          entries(p[1], 1, 3);
          break;
        case kSingle:
          b.push_back(p[0]);
          entries(p[1], 1, 3);
          break;
        case kAlwaysOn:
          b.insert(b.end(), {p[0], p[1]});
          entries(p[2], 1, 3);
          break;
        case kStrength:
        case kSevenColour:
          b.push_back(p[0]);
          break;
      }
      b.push_back(uint8_t(group.size()));
      for (int i : group) b.push_back(recs[size_t(i)].ledCode);
      list.push_back(std::move(b));
    }
    int next = -1;
    for (int i = r; i < kLightingKeys; ++i)
      if (!emptyText(i) && !sameText(i, r)) {
        next = i;
        break;
      }
    if (next < 0) break;
    r = next;
  }
  return list;
}

void sendLighting(DriverChannel& channel, const ConfigImage& image, uintptr_t wParam, intptr_t lParam) {
  switch (wParam) {
    case msg::kSendEditedBlock: {
      size_t n = size_t(std::clamp<intptr_t>(lParam, 0, intptr_t(kLightingCommandSize)));
      channel.transfer(image.editedLedCommand.data(), n);
      break;
    }
    case msg::kSendEffectSlots:
      for (const auto& c : replayCommands(image)) channel.transfer(c);
      break;
    case msg::kSendLedGroups:
      for (const auto& c : image.ledGroupCommands) {
        std::vector<uint8_t> withZero(c);
        withZero.push_back(0);
        channel.transfer(withZero);
      }
      break;
  }
}

int selectionRecount(ConfigImage& image, const std::array<bool, kLedRecordCount>& selected) {
  int n = 0;
  for (int i = 0; i < kLedRecordCount; ++i) {
    putU32(image.ledState[size_t(i)], kLedSelected, selected[size_t(i)] ? 1 : 0);
    n += selected[size_t(i)] ? 1 : 0;
  }
  if (n == 0) image.keySelectionFlag = 0;
  else if (n <= kLightingKeys) image.keySelectionFlag = 1;
  return n;
}

uint8_t effectOfButton(int button) {
  static constexpr uint8_t kEffects[] = {kSevenColour, kStrength, kWave, kBreathing, kSingle, kAlwaysOn};
  return button >= 0 && button < 6 ? kEffects[button] : 0;
}

void afterEffectPage(ConfigImage& image, int button, bool ok) {
  for (auto& led : image.ledState) {
    if (getU32(led, kLedSelected) != 1) continue;
    if (button == kButtonWave) {
      if (ok) {
        putU32(led, kLedCommittedEffect, kWave);
        putU32(led, kLedCommittedEffectCopy, kWave);
      } else {
        putU32(led, kLedCommittedEffect, getU32(led, kLedCommittedEffectCopy));
      }
    } else if ((button == kButtonSingle || button == kButtonAlwaysOn) && ok) {
      uint8_t e = button == kButtonSingle ? kSingle : kAlwaysOn;
      putU32(led, kLedCommittedEffect, e);
      putU32(led, kLedCommittedEffectCopy, e);
      putU32(led, kLedCommittedColour, getU32(led, kLedColour1));
    }
  }
  if (button >= 0 && button < 6) image.lightingMode = uint32_t(button + 1);
}

}  // namespace orlix::lighting
