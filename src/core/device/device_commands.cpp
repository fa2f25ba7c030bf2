#include "core/device/device_commands.h"

#include <algorithm>

#include "core/device/driver_channel.h"
#include "core/util/bytes.h"

namespace orlix::device {

std::vector<uint8_t> memoryWrite(uint16_t address, std::span<const uint8_t> payload) {
  size_t n = std::min<size_t>(payload.size(), 255);
  std::vector<uint8_t> b(4 + n);
  b[0] = kCmdMemoryWrite;
  b[1] = uint8_t(address);
  b[2] = uint8_t(address >> 8);
  b[3] = uint8_t(n);
  std::copy_n(payload.begin(), n, b.begin() + 4);
  return b;
}

KeyTableImage keyTableImage(const KeyTable& table) {
  KeyTableImage img{};
  for (size_t k = 0; k < table.size(); ++k) putU32(img, 4 * k, table[k]);
  return img;
}

std::array<std::vector<uint8_t>, 3> keyTableChunks(const KeyTable& table) {
  KeyTableImage img = keyTableImage(table);
  std::array<std::vector<uint8_t>, 3> chunks;
  for (size_t c = 0; c < 3; ++c)
    chunks[c] = memoryWrite(uint16_t(kKeyTableAddress + c * kChunkPayload),
                            std::span<const uint8_t>(img).subspan(c * kChunkPayload, kChunkPayload));
  return chunks;
}

std::array<uint8_t, 8> macroDirectoryHeader() {
  return {kCmdMemoryWrite, 0x00, 0x10, 0x02, kSlotCount, 0x00, 0x00, 0x00};
}

uint16_t slotAddress(int slot) { return uint16_t(kFirstSlotAddress + kSlotStride * slot); }

std::array<uint8_t, 8> macroDirectoryEntry(int slot) {
  uint16_t entry = uint16_t(kDirectoryAddress + 4 * slot);
  uint16_t a = slotAddress(slot);
  return {kCmdMemoryWrite, uint8_t(entry), uint8_t(entry >> 8), 0x04,
          uint8_t(a),      uint8_t(a >> 8), uint8_t(kDirectorySlotSize), uint8_t(kDirectorySlotSize >> 8)};
}

std::array<uint8_t, 8> versionQuery() { return {kCmdVersion, 0, 0, 0, 0, 0, 0, 0}; }

bool writeKeyTable(DriverChannel& channel, const KeyTable& table, Pacer& pacer) {
  for (const auto& chunk : keyTableChunks(table)) {
    if (!channel.transfer(chunk)) return false;
    pacer.pause(kPauseAfterKeyChunk);
  }
  return true;
}

std::optional<Version> queryVersion(DriverChannel& channel, Pacer& pacer) {
  auto q = versionQuery();
  if (!channel.transfer(q)) return std::nullopt;
  pacer.pause(kPauseBeforeVersionReply);
  if (!channel.isOpen()) return std::nullopt;
  uint8_t reply[8] = {};
  if (!channel.receive8(reply) || reply[0] != kCmdVersion) return std::nullopt;
  return Version{reply[3], reply[4]};
}

bool sendLightingCommand(DriverChannel& channel, std::span<const uint8_t> bytes) {
  return channel.transfer(bytes);
}

}  // namespace orlix::device
