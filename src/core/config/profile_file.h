#pragma once
// The profile file: a byte image of most of the configuration image, without
// header or version. Blocks in order: key table (724), key extra records
// (94120), LED state records (13108), wave extra buffer length (4) and buffer
// (256), lighting mode (4), then the 112 per-key lighting records, each
// serialised by its effect code. A created profile holds the first three blocks.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "core/config/config_image.h"

namespace orlix::profile {

inline constexpr size_t kKeyTableBytes = 724;
inline constexpr size_t kKeyExtraBytes = 94120;
inline constexpr size_t kLedStateBytes = 13108;
inline constexpr size_t kCreatedProfileSize = kKeyTableBytes + kKeyExtraBytes + kLedStateBytes;
inline constexpr size_t kFixedBlocksSize = kCreatedProfileSize + 4 + kLightingCommandSize + 4;
// The most bytes a profile file can hold: every record with 255 wave colours.
inline constexpr size_t kMaxRecordBytes = kTextKeySize + 3 + 4 + 255 * 4;
inline constexpr size_t kMaxProfileSize = kFixedBlocksSize + kLightingKeys * kMaxRecordBytes;
static_assert(kCreatedProfileSize == 107952);

// Appends the serialised form of one per-key lighting record. Colour entries
// the record's list does not hold are written as zeros.
void appendLightingRecord(const PerKeyLightingRecord& r, std::vector<uint8_t>& out);
// Blocks 1 to 6 and the 112 per-key lighting records.
std::vector<uint8_t> serializeProfile(const ConfigImage& image);
// The same into out (its old content replaced), for callers that keep a buffer.
void serializeProfile(const ConfigImage& image, std::vector<uint8_t>& out);
// Blocks 1 to 3, as a created profile holds them.
std::vector<uint8_t> serializeCreatedProfile(const ConfigImage& image);

// Reads a profile file's bytes into the image: zeroes the key table, the key
// extra records and the LED state records, reads blocks 1 to 6 as far as the
// bytes go (what lies beyond keeps its value), then the per-key lighting records
// 0..111 until the bytes end; a record cut short by the end is left as it was.
// Returns the number of bytes used. LED codes are not refreshed here.
size_t readProfileImage(ConfigImage& image, std::span<const uint8_t> bytes);

// The length of a whole profile (blocks 1 to 6 and all 112 per-key lighting
// records) at the start of bytes; nothing when bytes do not begin with one.
std::optional<size_t> wholeProfileLength(std::span<const uint8_t> bytes);

}  // namespace orlix::profile
