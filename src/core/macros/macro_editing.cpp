#include "core/macros/macro_editing.h"

#include <algorithm>

#include "core/macros/macro_library.h"
#include "core/macros/macro_record.h"

namespace orlix::macros {

namespace {
uint32_t cappedSum(uint32_t a, uint32_t b) { return uint32_t(std::min<uint64_t>(uint64_t(a) + b, kMaxDelaySum)); }

bool validSelection(const EventList& list, std::optional<size_t> s) { return s && *s < list.size(); }

uint8_t eventKindOfItem(uint8_t item) {
  return item == kItemRelease ? kEventRelease : item == kItemPress ? kEventPress : kEventDelay;
}
}  // namespace

void mergeDelays(EventList& list) {
  EventList out;
  out.reserve(list.size());
  for (const auto& item : list) {
    if (item.isDelay() && !out.empty() && out.back().isDelay()) out.back().value = cappedSum(out.back().value, item.value);
    else out.push_back(item);
  }
  list = std::move(out);
}

uint32_t loopValueFor(LoopOption option, std::u16string_view text) {
  if (option == LoopOption::Second) return kLoopSecondOption;
  if (option == LoopOption::Third) return kLoopThirdOption;
  if (text.empty()) return 1;
  uint64_t v = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return 1;
    v = std::min<uint64_t>(v * 10 + (c - u'0'), uint64_t(1) << 40);
  }
  if (v == 0) return 1;
  return uint32_t(std::min<uint64_t>(v, kMaxPlayCount));
}

std::vector<uint8_t> buildTransferBlock(const EventList& list, uint32_t loop, uint32_t id, std::u16string_view name) {
  TransferBlock b;
  b.size = uint32_t(kBlkEvents + 4 * list.size());
  b.id = id;
  b.loop = loop;
  b.name = std::u16string(name);
  bool keySeen = false;
  for (const auto& item : list) {
    if (!item.isDelay()) keySeen = true;
    else if (!keySeen) continue;
    b.events.push_back(eventWord(eventKindOfItem(item.kind), item.value));
  }
  return encodeTransferBlock(b);
}

bool storeEventList(MacroLibrary& library, EventList& list, LoopOption option, std::u16string_view countText,
                    uint32_t id, std::u16string_view name) {
  if (list.empty() || id == 0) return false;
  mergeDelays(list);
  return library.StoreMacro(buildTransferBlock(list, loopValueFor(option, countText), id, name));
}

bool insertKey(EventList& list, std::optional<size_t> selected, uint8_t vk) {
  if (!validSelection(list, selected) || vk == 0) return false;
  size_t s = *selected;
  list.insert(list.begin() + ptrdiff_t(s), {EventItem{kItemPress, vk}, EventItem{kItemRelease, vk}});
  return true;
}

bool insertDelay(EventList& list, std::optional<size_t> selected, uint32_t d) {
  if (!validSelection(list, selected) || *selected == 0) return false;
  size_t s = *selected;
  d &= kMaxDelay;
  if (list[s - 1].isDelay()) list[s - 1].value = cappedSum(list[s - 1].value, d);
  else if (!list[s].isDelay()) list.insert(list.begin() + ptrdiff_t(s), EventItem{kItemDelay, d});
  else list[s].value = cappedSum(list[s].value, d);
  return true;
}

bool changeKey(EventList& list, std::optional<size_t> selected, uint8_t vk) {
  if (!validSelection(list, selected) || vk == 0 || list[*selected].isDelay()) return false;
  list[*selected].value = vk;
  return true;
}

bool changeDelay(EventList& list, std::optional<size_t> selected, uint32_t d) {
  if (!validSelection(list, selected) || !list[*selected].isDelay()) return false;
  list[*selected].value = std::min(d, kMaxDelay);
  return true;
}

bool deleteEvent(EventList& list, std::optional<size_t> selected) {
  if (!validSelection(list, selected)) return false;
  list.erase(list.begin() + ptrdiff_t(*selected));
  return !list.empty();
}

LoadedMacro LoadMacroToList(const MacroRecord& record) {
  LoadedMacro m;
  uint32_t loop = recordLoop(record);
  m.option = loop == kLoopSecondOption ? LoopOption::Second
             : loop == kLoopThirdOption ? LoopOption::Third
                                        : LoopOption::PlayCount;
  std::string digits = m.option == LoopOption::PlayCount ? std::to_string(loop) : "1";
  m.loopCountText.assign(digits.begin(), digits.end());
  for (uint32_t w : events(record)) {
    uint8_t kind = eventKind(w);
    uint8_t item = kind == kEventRelease ? kItemRelease : kind == kEventPress ? kItemPress
                   : kind == kEventDelay ? kItemDelay : 0;
    if (item == 0) break;  // not a valid item: the list ends here
    m.list.push_back({item, eventValue(w)});
  }
  return m;
}

}  // namespace orlix::macros
