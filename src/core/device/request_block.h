#pragma once
// The two buffers the keyboard's driver accepts: the 668-byte request block
// (control code 0x22240C) and the 68-byte event buffer (control code 0x222408).
// Builders are pure; sending is the driver channel's job.

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace orlix::driver {

inline constexpr uint32_t kRequestControlCode = 0x22240C;
inline constexpr uint32_t kEventControlCode = 0x222408;

inline constexpr size_t kRequestSize = 668;
inline constexpr size_t kEventBufferSize = 68;
inline constexpr size_t kMaxTransfer = 512;

inline constexpr uint32_t kRequestRegister = 1;
inline constexpr uint32_t kRequestRelease = 2;
inline constexpr uint32_t kRequestTransfer = 8;

inline constexpr size_t kOffCode = 0;
inline constexpr size_t kOffCountDirection = 24;
inline constexpr size_t kOffConstant = 28;
inline constexpr size_t kOffPayload = 32;
inline constexpr size_t kOffIdentity = 596;
inline constexpr size_t kOffSemaphore = 660;
inline constexpr size_t kEventOffIdentity = 4;

inline constexpr uint32_t kTransferConstant = 0x00020300;
// Product 4009, vendor 24AE.
inline constexpr uint32_t kDeviceIdentity = 0x400924AE;
inline constexpr uint32_t kDirectionToKeyboard = 0;
inline constexpr uint32_t kDirectionFromKeyboard = 1;
inline constexpr size_t kReplySize = 8;

static_assert(kOffPayload + kMaxTransfer == 544);
static_assert(kOffSemaphore + 4 + 4 == kRequestSize);

using RequestBlock = std::array<uint8_t, kRequestSize>;
using EventBuffer = std::array<uint8_t, kEventBufferSize>;

RequestBlock registerRequest(uint32_t semaphoreHandle);
RequestBlock releaseRequest();
// count may be 0..512; the caller refuses larger counts before building.
RequestBlock transferRequest(std::span<const uint8_t> bytes);
// The read of the keyboard's 8-byte reply (count 8, direction 1).
RequestBlock readRequest();
EventBuffer eventBuffer();

// A request block as the driver understands it. decode() returns nothing for a
// block the driver would refuse: wrong size, unknown code, missing identity,
// wrong transfer constant, count above 512 or an unknown direction.
struct DecodedRequest {
  uint32_t code = 0;
  uint32_t semaphore = 0;  // register only
  uint16_t count = 0;      // transfer only
  uint16_t direction = 0;  // transfer only
  std::span<const uint8_t> payload;  // transfer to the keyboard: count bytes
};
std::optional<DecodedRequest> decode(std::span<const uint8_t> block);

}  // namespace orlix::driver
