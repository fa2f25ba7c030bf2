#pragma once
// The byte commands sent to the keyboard and the keyboard memory they address.
// Builders return bytes; the senders pass them through the driver channel with
// the pauses the keyboard needs.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/config/config_image.h"
#include "core/device/pacer.h"

namespace orlix {

class DriverChannel;

namespace device {

inline constexpr uint8_t kCmdMemoryWrite = 0xA5;
inline constexpr uint8_t kCmdVersion = 0xA3;
inline constexpr size_t kChunkPayload = 248;

// Keyboard memory map.
inline constexpr uint16_t kKeyTableAddress = 0x0C00;
inline constexpr size_t kKeyTableImageSize = 744;  // 724 bytes of codes + 20 zeros
inline constexpr uint16_t kSlotCountAddress = 0x1000;
inline constexpr uint16_t kDirectoryAddress = 0x1002;
inline constexpr uint16_t kFirstSlotAddress = 0x10CA;
inline constexpr uint16_t kSlotStride = 1082;
inline constexpr uint16_t kDirectorySlotSize = 0x043C;  // 1084, as the firmware expects
inline constexpr uint8_t kSlotCount = 50;

inline constexpr uint32_t kPauseAfterKeyChunk = 30;
inline constexpr uint32_t kPauseBeforeVersionReply = 10;

static_assert(kKeyTableImageSize == 3 * kChunkPayload);
static_assert(kFirstSlotAddress + 50u * kSlotStride - 1 == 0xE41D);

using KeyTableImage = std::array<uint8_t, kKeyTableImageSize>;

// A memory write: 0xA5, address low, address high, payload length, payload.
// The payload is at most 255 bytes (and 508 to fit a transfer); longer is cut.
std::vector<uint8_t> memoryWrite(uint16_t address, std::span<const uint8_t> payload);
// The 181 codes little-endian in key index order, then 20 zero bytes.
KeyTableImage keyTableImage(const KeyTable& table);
// The three chunks of the key table write (252 bytes each).
std::array<std::vector<uint8_t>, 3> keyTableChunks(const KeyTable& table);
std::array<uint8_t, 8> macroDirectoryHeader();
uint16_t slotAddress(int slot);
std::array<uint8_t, 8> macroDirectoryEntry(int slot);
std::array<uint8_t, 8> versionQuery();

// Writes the key table in three chunks with 30 ms after each; the first failed
// transfer ends it with false.
bool writeKeyTable(DriverChannel& channel, const KeyTable& table, Pacer& pacer);

struct Version {
  uint8_t major = 0;  // reply byte 3
  uint8_t minor = 0;  // reply byte 4
};
// Sends the version query, waits 10 ms and reads the reply; nothing when a step
// fails or the reply does not start with 0xA3.
std::optional<Version> queryVersion(DriverChannel& channel, Pacer& pacer);

// One transfer of a lighting command as built by the lighting model.
bool sendLightingCommand(DriverChannel& channel, std::span<const uint8_t> bytes);

}  // namespace device
}  // namespace orlix
