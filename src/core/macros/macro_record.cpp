#include "core/macros/macro_record.h"

#include <algorithm>

#include "core/util/bytes.h"

namespace orlix::macros {

uint32_t recordSize(const MacroRecord& r) { return getU32(r, kRecSize); }
uint32_t recordMagic(const MacroRecord& r) { return getU32(r, kRecMagic); }
uint32_t recordId(const MacroRecord& r) { return getU32(r, kRecId); }
uint32_t recordLoop(const MacroRecord& r) { return getU32(r, kRecLoop); }
uint32_t storedEventCount(const MacroRecord& r) { return getU32(r, kRecCount); }
size_t eventCount(const MacroRecord& r) { return std::min<size_t>(storedEventCount(r), kMaxEvents); }
uint32_t eventAt(const MacroRecord& r, size_t i) { return getU32(r, kRecEvents + 4 * i); }

std::vector<uint32_t> events(const MacroRecord& r) {
  std::vector<uint32_t> e(eventCount(r));
  for (size_t i = 0; i < e.size(); ++i) e[i] = eventAt(r, i);
  return e;
}

std::u16string recordName(const MacroRecord& r) {
  std::u16string s;
  for (size_t i = 0; i < kNameUnits; ++i) {
    char16_t c = char16_t(getU16(r, kRecName + 2 * i));
    if (c == 0) break;
    s.push_back(c);
  }
  return s;
}

void setRecordName(MacroRecord& r, std::u16string_view name, size_t maxChars) {
  std::fill_n(r.begin() + kRecName, 2 * kNameUnits, 0);
  size_t n = std::min({name.size(), maxChars, kNameUnits - 1});
  for (size_t i = 0; i < n; ++i) putU16(r, kRecName + 2 * i, name[i]);
}

bool isListed(const MacroRecord& r) {
  return recordSize(r) >= kMinBlockSize || (recordMagic(r) >> 16) == kMagicHighMark;
}
bool isFree(const MacroRecord& r) { return recordMagic(r) == 0; }
bool isEncodable(const MacroRecord& r) { return recordSize(r) != 0; }

std::vector<uint8_t> encodeTransferBlock(const TransferBlock& b) {
  size_t used = kBlkEvents + 4 * b.events.size();
  std::vector<uint8_t> out(std::max<size_t>(used, b.size), 0);
  putU32(out, kBlkSize, b.size);
  putU32(out, kBlkMagic, b.magic);
  putU32(out, kBlkId, b.id);
  putU32(out, kBlkReserved, b.reserved);
  putU32(out, kBlkLoop, b.loop);
  size_t n = std::min(b.name.size(), kNameUnits - 1);
  for (size_t i = 0; i < n; ++i) putU16(out, kBlkName + 2 * i, b.name[i]);
  putU32(out, kBlkCount, uint32_t(b.events.size()));
  for (size_t i = 0; i < b.events.size(); ++i) putU32(out, kBlkEvents + 4 * i, b.events[i]);
  return out;
}

std::optional<TransferBlock> decodeTransferBlock(std::span<const uint8_t> bytes) {
  if (bytes.size() < kBlkEvents) return std::nullopt;
  TransferBlock b;
  b.size = getU32(bytes, kBlkSize);
  b.magic = getU32(bytes, kBlkMagic);
  b.id = getU32(bytes, kBlkId);
  b.reserved = getU32(bytes, kBlkReserved);
  b.loop = getU32(bytes, kBlkLoop);
  for (size_t i = 0; i < kNameUnits; ++i) {
    char16_t c = char16_t(getU16(bytes, kBlkName + 2 * i));
    if (c == 0) break;
    b.name.push_back(c);
  }
  size_t count = std::min<size_t>(getU32(bytes, kBlkCount), (bytes.size() - kBlkEvents) / 4);
  b.events.resize(count);
  for (size_t i = 0; i < count; ++i) b.events[i] = getU32(bytes, kBlkEvents + 4 * i);
  return b;
}

}  // namespace orlix::macros
