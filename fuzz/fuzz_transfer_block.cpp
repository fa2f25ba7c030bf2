// Fuzzes the macro page's store of a recorded macro: any bytes as an event
// list, a loop choice, an identifier and a name, stored the way the page stores
// them (delays merged, the transfer block built and handed to the library).
// The block must read back as what was meant, and the stored record must load
// back into the same list.
//
// Input: byte 0 the loop option, bytes 1-4 the identifier, bytes 5-8 the loop
// count box (each byte one character), byte 9 the name's length and then its
// UTF-16 units; the rest are events of 4 bytes: kind (press, release, delay by
// the byte modulo 3) and a 24-bit value.
#include <cstdlib>

#include "core/config/config_image.h"
#include "core/macros/macro_editing.h"
#include "core/macros/macro_library.h"
#include "core/macros/macro_record.h"
#include "library_file.h"

using namespace orlix;
using namespace orlix::macros;

namespace {

struct Input {
  const uint8_t* p;
  size_t left;
  uint8_t byte() { return left ? (--left, *p++) : 0; }
};

uint8_t eventKindOf(uint8_t item) {
  return item == kItemPress ? kEventPress : item == kItemRelease ? kEventRelease : kEventDelay;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static LibraryRig rig;
  Input in{data, size};
  auto option = LoopOption(1 + in.byte() % 3);
  uint32_t id = 0;
  for (int i = 0; i < 4; ++i) id |= uint32_t(in.byte()) << (8 * i);
  std::u16string countText;
  for (int i = 0; i < 4; ++i)
    if (uint8_t c = in.byte()) countText.push_back(char16_t(c));
  std::u16string name;
  for (size_t n = in.byte(); n > 0; --n) name.push_back(char16_t(in.byte() | in.byte() << 8));
  EventList list;
  while (in.left >= 4) {
    static constexpr uint8_t kKinds[] = {kItemPress, kItemRelease, kItemDelay};
    uint8_t kind = kKinds[in.byte() % 3];
    uint32_t value = in.byte() | in.byte() << 8 | uint32_t(in.byte()) << 16;
    list.push_back({kind, value});
  }

  EventList merged = list;
  rig.file.writes = 0;
  bool stored = storeEventList(rig.library, merged, option, countText, id, name);
  if (list.empty() || id == 0) {
    if (stored || merged != list) std::abort();
    return 0;
  }
  if (!stored || rig.file.writes != 1) std::abort();

  // Merging: each run of delays becomes one delay of the run's (capped) sum.
  size_t at = 0;
  for (const auto& item : merged) {
    if (at >= list.size() || item.kind != list[at].kind) std::abort();
    if (!item.isDelay()) {
      if (item != list[at++]) std::abort();
      continue;
    }
    uint64_t sum = 0;
    size_t run = 0;
    for (; at < list.size() && list[at].isDelay(); ++at, ++run) sum += list[at].value;
    if (item.value != (run == 1 ? sum : std::min<uint64_t>(sum, kMaxDelaySum))) std::abort();
  }
  if (at != list.size()) std::abort();

  // The block: the merged items without the delays before the first key.
  uint32_t loop = loopValueFor(option, countText);
  auto bytes = buildTransferBlock(merged, loop, id, name);
  auto block = decodeTransferBlock(bytes);
  if (!block || block->size != kBlkEvents + 4 * merged.size() || bytes.size() != block->size) std::abort();
  if (block->magic != kMacroMagic || block->id != id || block->loop != loop) std::abort();
  std::vector<uint32_t> expected;
  EventList expectedList;
  bool keySeen = false;
  for (const auto& item : merged) {
    keySeen = keySeen || !item.isDelay();
    if (!keySeen) continue;
    expected.push_back(eventWord(eventKindOf(item.kind), item.value));
    if (expectedList.size() < kMaxEvents) expectedList.push_back(item);
  }
  if (block->events != expected) std::abort();
  std::u16string shownName = name.substr(0, std::min(name.find(u'\0'), kNameUnits - 1));
  if (block->name != shownName) std::abort();

  // The stored record loads back into the list (the first 1000 events, the
  // room of a record), with the loop choice and the name.
  auto index = rig.library.FindMacroRecord(id);
  if (!index) std::abort();
  MacroRecord& record = rig.image->macroLibrary[size_t(*index)];
  LoadedMacro loaded = LoadMacroToList(record);
  if (loaded.list != expectedList || recordName(record) != shownName) std::abort();
  LoopOption shown = loop == kLoopSecondOption ? LoopOption::Second
                     : loop == kLoopThirdOption ? LoopOption::Third
                                                : LoopOption::PlayCount;
  if (loaded.option != shown || loopValueFor(loaded.option, loaded.loopCountText) != loop) std::abort();

  record.fill(0);  // the library is empty again for the next input
  return 0;
}
