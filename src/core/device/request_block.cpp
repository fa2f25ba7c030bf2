#include "core/device/request_block.h"

#include <algorithm>

#include "core/util/bytes.h"

namespace orlix::driver {

namespace {
RequestBlock base(uint32_t code) {
  RequestBlock b{};
  putU32(b, kOffCode, code);
  putU32(b, kOffIdentity, kDeviceIdentity);
  return b;
}
}  // namespace

RequestBlock registerRequest(uint32_t semaphoreHandle) {
  RequestBlock b = base(kRequestRegister);
  putU32(b, kOffSemaphore, semaphoreHandle);
  return b;
}

RequestBlock releaseRequest() { return base(kRequestRelease); }

RequestBlock transferRequest(std::span<const uint8_t> bytes) {
  RequestBlock b = base(kRequestTransfer);
  size_t n = std::min(bytes.size(), kMaxTransfer);
  putU32(b, kOffCountDirection, uint32_t(n) | (kDirectionToKeyboard << 16));
  putU32(b, kOffConstant, kTransferConstant);
  std::copy_n(bytes.begin(), n, b.begin() + kOffPayload);
  return b;
}

RequestBlock readRequest() {
  RequestBlock b = base(kRequestTransfer);
  putU32(b, kOffCountDirection, uint32_t(kReplySize) | (kDirectionFromKeyboard << 16));
  putU32(b, kOffConstant, kTransferConstant);
  return b;
}

EventBuffer eventBuffer() {
  EventBuffer e{};
  putU32(e, kEventOffIdentity, kDeviceIdentity);
  return e;
}

std::optional<DecodedRequest> decode(std::span<const uint8_t> block) {
  if (block.size() != kRequestSize) return std::nullopt;
  if (getU32(block, kOffIdentity) != kDeviceIdentity) return std::nullopt;
  DecodedRequest r;
  r.code = getU32(block, kOffCode);
  switch (r.code) {
    case kRequestRegister:
      r.semaphore = getU32(block, kOffSemaphore);
      return r;
    case kRequestRelease:
      return r;
    case kRequestTransfer: {
      if (getU32(block, kOffConstant) != kTransferConstant) return std::nullopt;
      uint32_t cd = getU32(block, kOffCountDirection);
      r.count = uint16_t(cd & 0xFFFF);
      r.direction = uint16_t(cd >> 16);
      if (r.count > kMaxTransfer) return std::nullopt;
      if (r.direction == kDirectionToKeyboard) {
        r.payload = block.subspan(kOffPayload, r.count);
      } else if (r.direction != kDirectionFromKeyboard) {
        return std::nullopt;
      }
      return r;
    }
    default:
      return std::nullopt;
  }
}

}  // namespace orlix::driver
