#pragma once
// The macro page's editing rules as plain operations on an event list: storing
// the list (merging delays, dropping leading delays, the loop value, the
// transfer block), inserting, changing and deleting events, and loading a
// macro's events into a list.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/config/config_image.h"

namespace orlix::macros {

class MacroLibrary;

// Item kinds of the event list (the item data is kind << 24 | value).
inline constexpr uint8_t kItemRelease = 2;
inline constexpr uint8_t kItemPress = 3;
inline constexpr uint8_t kItemDelay = 4;
inline constexpr uint32_t kMaxDelaySum = 327670;  // limit of a merged or summed delay, ms
inline constexpr uint32_t kMaxDelay = 0xFFFFFF;

struct EventItem {
  uint8_t kind = kItemDelay;
  uint32_t value = 0;  // virtual-key code, or milliseconds
  uint32_t data() const { return (uint32_t(kind) << 24) | (value & 0xFFFFFF); }
  bool isDelay() const { return kind == kItemDelay; }
  bool operator==(const EventItem&) const = default;
};
using EventList = std::vector<EventItem>;

// Which of the three loop options is checked.
enum class LoopOption { PlayCount = 1, Second = 2, Third = 3 };

// Replaces each run of neighbouring delays by one delay of their sum, at most 327670 ms.
void mergeDelays(EventList& list);
// The loop value stored for the options: 0xFFFE, 0xFFFF, else the loop count
// box's number when it is a whole decimal number other than 0 (at most 0xFFFD),
// else 1.
uint32_t loopValueFor(LoopOption option, std::u16string_view countText);
// The transfer block of a (merged) list: size 104 + 4 x the items, the events
// in list order without the delays before the first key event.
std::vector<uint8_t> buildTransferBlock(const EventList& list, uint32_t loop, uint32_t id, std::u16string_view name);
// Storing the event list: merges the list's delays (in place, as the page
// shows them), builds the block and hands it to StoreMacro. Nothing is stored
// for an empty list or without a macro (id 0); then the result is false.
bool storeEventList(MacroLibrary& library, EventList& list, LoopOption option, std::u16string_view countText,
                    uint32_t id, std::u16string_view name);

// Inserts a key (pressed, then released) before the selected event. vk 0 means
// no key was captured. False when nothing was inserted.
bool insertKey(EventList& list, std::optional<size_t> selected, uint8_t vk);
// Inserts a delay of d ms (taken modulo 2^24) at the selected event: added to a
// delay just before it or at it (the sum at most 327670 ms), else a new delay
// there. Nothing at the first event or without a selection.
bool insertDelay(EventList& list, std::optional<size_t> selected, uint32_t d);
// A key item takes the captured key (kind kept); vk 0 changes nothing.
bool changeKey(EventList& list, std::optional<size_t> selected, uint8_t vk);
// A delay item becomes min(d, 0xFFFFFF) ms.
bool changeDelay(EventList& list, std::optional<size_t> selected, uint32_t d);
// Removes the selected event. True when the list should then be stored (it is
// not empty afterwards).
bool deleteEvent(EventList& list, std::optional<size_t> selected);

struct LoadedMacro {
  EventList list;
  std::u16string loopCountText;  // the loop count box
  LoopOption option = LoopOption::PlayCount;
};
// A record's events as list items; an event word of another kind ends the list there.
LoadedMacro LoadMacroToList(const MacroRecord& record);

}  // namespace orlix::macros
