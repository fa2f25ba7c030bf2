#pragma once
// Little-endian field access for the system's fixed byte layouts. Records are
// read and written field by field; nothing is ever cast to a packed struct.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace orlix {

inline void putU16(std::span<uint8_t> b, size_t off, uint16_t v) {
  b[off] = uint8_t(v);
  b[off + 1] = uint8_t(v >> 8);
}
inline void putU32(std::span<uint8_t> b, size_t off, uint32_t v) {
  b[off] = uint8_t(v);
  b[off + 1] = uint8_t(v >> 8);
  b[off + 2] = uint8_t(v >> 16);
  b[off + 3] = uint8_t(v >> 24);
}
inline uint16_t getU16(std::span<const uint8_t> b, size_t off) {
  return uint16_t(b[off] | (b[off + 1] << 8));
}
inline uint32_t getU32(std::span<const uint8_t> b, size_t off) {
  return uint32_t(b[off]) | (uint32_t(b[off + 1]) << 8) | (uint32_t(b[off + 2]) << 16) |
         (uint32_t(b[off + 3]) << 24);
}

// Lower-case hex of the bytes, no separators ("a5000c f8..." without spaces).
std::string toHex(std::span<const uint8_t> bytes);

}  // namespace orlix
