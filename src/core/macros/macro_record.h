#pragma once
// The macro record (4104 bytes, the unit of the library and of Macro.cfg), the
// event words of a macro and the macro transfer block in which a macro is handed
// to the library. Fields are read and written at their offsets, little-endian.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/config/config_image.h"

namespace orlix::macros {

inline constexpr uint32_t kMacroMagic = 0xE8E80010;
inline constexpr uint32_t kMagicHighMark = 0xE8E8;  // upper 16 bits of a macro magic

// Macro record fields.
inline constexpr size_t kRecSize = 0;
inline constexpr size_t kRecMagic = 4;
inline constexpr size_t kRecId = 8;
inline constexpr size_t kRecReserved = 12;
inline constexpr size_t kRecLoop = 16;
inline constexpr size_t kRecCount = 20;
inline constexpr size_t kRecEvents = 24;
inline constexpr size_t kRecName = 4024;
inline constexpr size_t kMaxEvents = 1000;
inline constexpr size_t kNameUnits = 40;
inline constexpr size_t kMaxNameChars = 20;  // what users may enter
static_assert(kRecEvents + 4 * kMaxEvents == kRecName);
static_assert(kRecName + 2 * kNameUnits == kMacroRecordSize);

// Macro transfer block fields.
inline constexpr size_t kBlkSize = 0;
inline constexpr size_t kBlkMagic = 4;
inline constexpr size_t kBlkId = 8;
inline constexpr size_t kBlkReserved = 12;
inline constexpr size_t kBlkLoop = 16;
inline constexpr size_t kBlkName = 20;
inline constexpr size_t kBlkCount = 100;
inline constexpr size_t kBlkEvents = 104;
inline constexpr uint32_t kMinBlockSize = 108;

// Event kinds (top byte of an event word).
inline constexpr uint8_t kEventPress = 0xC0;
inline constexpr uint8_t kEventRelease = 0xE0;
inline constexpr uint8_t kEventDelay = 0xA0;
constexpr uint32_t eventWord(uint8_t kind, uint32_t value) { return (uint32_t(kind) << 24) | (value & 0xFFFFFF); }
constexpr uint8_t eventKind(uint32_t word) { return uint8_t(word >> 24); }
constexpr uint32_t eventValue(uint32_t word) { return word & 0xFFFFFF; }

// Loop values beyond a play count.
inline constexpr uint32_t kLoopSecondOption = 0xFFFE;
inline constexpr uint32_t kLoopThirdOption = 0xFFFF;
inline constexpr uint32_t kMaxPlayCount = 0xFFFD;

// The game category of a macro identifier (its top byte) and a new identifier.
constexpr int categoryOf(uint32_t id) { return int(id >> 24); }
constexpr uint32_t makeMacroId(int category, uint32_t tickCount) {
  return (uint32_t(category) << 24) | (tickCount & 0xFFFFFF);
}
inline constexpr int kCategoryCount = 21;
inline constexpr int kCustomCategory = 21;

// Field access of a record.
uint32_t recordSize(const MacroRecord& r);
uint32_t recordMagic(const MacroRecord& r);
uint32_t recordId(const MacroRecord& r);
uint32_t recordLoop(const MacroRecord& r);
// The event count as stored; eventCount() is the count limited to the record's room.
uint32_t storedEventCount(const MacroRecord& r);
size_t eventCount(const MacroRecord& r);
uint32_t eventAt(const MacroRecord& r, size_t i);
std::vector<uint32_t> events(const MacroRecord& r);
std::u16string recordName(const MacroRecord& r);
// Zeroes the name field and stores at most maxChars units of name.
void setRecordName(MacroRecord& r, std::u16string_view name, size_t maxChars = kMaxNameChars);

// The three tests of whether a record holds a macro, each used by one operation.
bool isListed(const MacroRecord& r);     // ListMacros: size >= 108 or magic mark 0xE8E8
bool isFree(const MacroRecord& r);       // StoreMacro: magic 0
bool isEncodable(const MacroRecord& r);  // EncodeMacro: size != 0

// A macro transfer block as handed to the library.
struct TransferBlock {
  uint32_t size = 0;
  uint32_t magic = kMacroMagic;
  uint32_t id = 0;
  uint32_t reserved = 0;
  uint32_t loop = 1;
  std::u16string name;  // at most 39 units are kept
  std::vector<uint32_t> events;
};
// The block's bytes: the header, the events, and zero bytes up to its size field
// when that is larger.
std::vector<uint8_t> encodeTransferBlock(const TransferBlock& b);
// Reads a block. Nothing when the bytes are too short for the header; the event
// list holds the events the bytes really contain, at most the stated count.
std::optional<TransferBlock> decodeTransferBlock(std::span<const uint8_t> bytes);

}  // namespace orlix::macros
