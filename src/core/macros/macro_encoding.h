#pragma once
// Turning a macro record into the slot image the keyboard plays it from, and
// writing that image into one of the keyboard's 50 macro slots.

#include <array>
#include <cstdint>
#include <optional>

#include "core/config/config_image.h"
#include "core/device/pacer.h"

namespace orlix {
class DriverChannel;
}

namespace orlix::macros {

inline constexpr size_t kSlotImageSize = 496;
inline constexpr size_t kMaxTriples = 164;  // 2 + 3 * 164 = 494 bytes
inline constexpr uint32_t kPauseAfterSlotChunk = 20;
using SlotImage = std::array<uint8_t, kSlotImageSize>;
static_assert(2 + 3 * kMaxTriples <= kSlotImageSize && 2 + 3 * (kMaxTriples + 1) > kSlotImageSize);

struct EncodedMacro {
  SlotImage image{};
  size_t triples = 0;
};

// The slot image of a record. Nothing when the record cannot be encoded: its
// size field is 0, or one of its key events (anywhere in the record) names a
// virtual-key code without a HID usage. A macro longer than the slot image is
// cut after triple 164; a delay that stands before the first key event has no
// triple to carry it and is dropped. An event count above 1000 counts as 1000.
std::optional<EncodedMacro> encodeSlotImage(const MacroRecord& record);

// Encodes the record and writes the slot image into slot 0..49. Returns 0 when
// the record cannot be encoded (nothing is sent), else 1 + the number of event
// triples, whether or not the keyboard accepted the writes.
int EncodeMacro(DriverChannel& channel, Pacer& pacer, int slot, const MacroRecord& record);

// Writes the first 496 bytes of slot 0..49 in two memory writes of 248 bytes,
// pausing 20 ms after each accepted one. 1 when both were accepted, else 0
// (a refused first write leaves the second unsent).
int WriteSlotImage(DriverChannel& channel, Pacer& pacer, int slot, const SlotImage* image);

}  // namespace orlix::macros
