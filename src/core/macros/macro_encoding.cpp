#include "core/macros/macro_encoding.h"

#include <span>

#include "core/device/device_commands.h"
#include "core/device/driver_channel.h"
#include "core/keys/usage_map.h"
#include "core/macros/macro_record.h"

namespace orlix::macros {

namespace {
// The HID usage of a key event's value; 0 when it has none.
uint8_t usageOfKeyEvent(uint32_t value) { return value < 256 ? keys::vkToUsage(uint8_t(value)) : 0; }
}  // namespace

std::optional<EncodedMacro> encodeSlotImage(const MacroRecord& record) {
  if (!isEncodable(record)) return std::nullopt;
  auto words = events(record);
  for (uint32_t w : words) {
    uint8_t kind = eventKind(w);
    if ((kind == kEventPress || kind == kEventRelease) && usageOfKeyEvent(eventValue(w)) == 0) return std::nullopt;
  }

  EncodedMacro m;
  uint32_t loop = recordLoop(record);
  uint16_t header = loop == kLoopSecondOption || loop == kLoopThirdOption ? uint16_t(loop) : uint16_t(loop - 1);
  m.image[0] = uint8_t(header);
  m.image[1] = uint8_t(header >> 8);

  size_t k = 1;  // the next triple
  auto tripleAt = [&](size_t t) { return 2 + 3 * (t - 1); };
  for (uint32_t w : words) {
    uint8_t kind = eventKind(w);
    uint32_t value = eventValue(w);
    if (kind == kEventDelay) {
      if (k == 1) continue;  // no event before it to carry the delay
      uint8_t& b0 = m.image[tripleAt(k - 1)];
      b0 = uint8_t((value / 10) * 2 + (b0 == 1 ? 1 : 0));
      continue;
    }
    if (k > kMaxTriples) break;  // the slot image is full
    if (kind == kEventPress || kind == kEventRelease) {
      size_t at = tripleAt(k);
      m.image[at] = kind == kEventPress ? 1 : 0;
      m.image[at + 1] = 0;
      m.image[at + 2] = usageOfKeyEvent(value);
    }
    ++k;  // any other kind leaves its triple zero
  }
  m.triples = k - 1;
  return m;
}

int EncodeMacro(DriverChannel& channel, Pacer& pacer, int slot, const MacroRecord& record) {
  auto m = encodeSlotImage(record);
  if (!m) return 0;
  WriteSlotImage(channel, pacer, slot, &m->image);
  return int(1 + m->triples);
}

int WriteSlotImage(DriverChannel& channel, Pacer& pacer, int slot, const SlotImage* image) {
  if (!image || slot < 0 || slot >= device::kSlotCount) return 0;
  for (size_t i = 0; i < 2; ++i) {
    uint16_t address = uint16_t(device::slotAddress(slot) + device::kChunkPayload * i);
    auto chunk = std::span<const uint8_t>(*image).subspan(device::kChunkPayload * i, device::kChunkPayload);
    if (!channel.transfer(device::memoryWrite(address, chunk))) return 0;
    pacer.pause(kPauseAfterSlotChunk);
  }
  return 1;
}

}  // namespace orlix::macros
