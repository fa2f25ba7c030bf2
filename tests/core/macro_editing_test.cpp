#include <gtest/gtest.h>

#include "core/config/file_store.h"
#include "core/macros/macro_editing.h"
#include "core/macros/macro_library.h"
#include "core/macros/macro_record.h"
#include "core/util/bytes.h"

using namespace orlix;
using namespace orlix::macros;

namespace {
EventItem key(uint8_t kind, uint32_t vk) { return {kind, vk}; }
EventItem ms(uint32_t d) { return {kItemDelay, d}; }
const EventItem kADown = key(kItemPress, 0x41), kAUp = key(kItemRelease, 0x41);
}  // namespace

TEST(MacroEditing, MergingDelays) {
  EventList list{ms(10), ms(20), kADown, ms(300), ms(200), ms(1), kAUp, ms(327000), ms(5000)};
  mergeDelays(list);
  EXPECT_EQ(list, (EventList{ms(30), kADown, ms(501), kAUp, ms(327670)}));
}

TEST(MacroEditing, TransferBlockDropsLeadingDelays) {
  EventList list{ms(30), kADown, ms(501), kAUp};
  auto bytes = buildTransferBlock(list, 7, 0x15000042, u"Dash");
  auto b = decodeTransferBlock(bytes);
  ASSERT_TRUE(b);
  EXPECT_EQ(b->size, 104u + 4 * 4);  // counts every item the block was built from
  EXPECT_EQ(b->magic, kMacroMagic);
  EXPECT_EQ(b->events, (std::vector<uint32_t>{0xC0000041, 0xA00001F5, 0xE0000041}));
  EXPECT_EQ(b->loop, 7u);
  EXPECT_EQ(b->name, u"Dash");
  EXPECT_EQ(b->id, 0x15000042u);
}

TEST(MacroEditing, LoopValue) {
  EXPECT_EQ(loopValueFor(LoopOption::Second, u"5"), 0xFFFEu);
  EXPECT_EQ(loopValueFor(LoopOption::Third, u"5"), 0xFFFFu);
  const std::pair<std::u16string_view, uint32_t> cases[] = {
      {u"1", 1}, {u"9999", 9999}, {u"0", 1}, {u"", 1}, {u"12a", 1}, {u"70000", 0xFFFD}, {u"99999999999999", 0xFFFD}};
  for (auto [text, value] : cases) EXPECT_EQ(loopValueFor(LoopOption::PlayCount, text), value);
}

TEST(MacroEditing, InsertingKeysAndDelays) {
  EventList list{kADown, ms(100), kAUp, kADown, kAUp};
  EXPECT_TRUE(insertKey(list, 3, 0x42));
  EXPECT_EQ(list[3], key(kItemPress, 0x42));
  EXPECT_EQ(list[4], key(kItemRelease, 0x42));
  EXPECT_EQ(list[5], kADown);
  EXPECT_FALSE(insertKey(list, 3, 0));           // nothing captured
  EXPECT_FALSE(insertKey(list, std::nullopt, 0x42));  // nothing selected

  EventList d{kADown, ms(327650), kAUp};
  EXPECT_TRUE(insertDelay(d, 2, 50));  // the delay before the selection grows
  EXPECT_EQ(d[1], ms(327670));
  d[1] = ms(327660);
  EXPECT_TRUE(insertDelay(d, 2, 50));
  EXPECT_EQ(d[1], ms(327670));
  EXPECT_TRUE(insertDelay(d, 1, 7));  // the selected delay grows, capped too
  EXPECT_EQ(d[1], ms(327670));
  EXPECT_FALSE(insertDelay(d, 0, 50));  // at the first event nothing is inserted
  EXPECT_EQ(d.size(), 3u);

  EventList n{kADown, kAUp};
  EXPECT_TRUE(insertDelay(n, 1, 0x1000020));  // modulo 2^24, a new delay is not limited
  EXPECT_EQ(n, (EventList{kADown, ms(0x20), kAUp}));
}

TEST(MacroEditing, ChangingAndDeletingEvents) {
  EventList list{kADown, ms(10), kAUp};
  EXPECT_TRUE(changeKey(list, 2, 0x43));
  EXPECT_EQ(list[2], key(kItemRelease, 0x43));
  EXPECT_FALSE(changeKey(list, 1, 0x43));  // a delay item
  EXPECT_TRUE(changeDelay(list, 1, 0x2000000));
  EXPECT_EQ(list[1], ms(0xFFFFFF));
  EXPECT_TRUE(deleteEvent(list, 0));
  EXPECT_TRUE(deleteEvent(list, 0));
  EXPECT_FALSE(deleteEvent(list, 0));  // the list is empty now: nothing to store
  EXPECT_FALSE(deleteEvent(list, 0));
}

TEST(MacroEditing, StoringTheEventListAndLoadingItBack) {
  auto image = makeConfigImage();
  MemoryFileStore files;
  files.addFolder("/p");
  RecordingNotices notices;
  FakePacer pacer;
  MacroLibrary library(*image, files, "/p/Macro.cfg", notices, {}, pacer);

  EventList empty;
  EXPECT_FALSE(storeEventList(library, empty, LoopOption::PlayCount, u"1", 0x15000001, u"x"));
  EXPECT_EQ(files.writes(), 0);

  EventList list{ms(40), kADown, ms(100), ms(200), kAUp};
  ASSERT_TRUE(storeEventList(library, list, LoopOption::PlayCount, u"0", 0x15000001, u"Hold"));
  EXPECT_EQ(list, (EventList{ms(40), kADown, ms(300), kAUp}));  // merged in place
  const auto& r = image->macroLibrary[0];
  EXPECT_EQ(recordSize(r), 104u + 16);
  EXPECT_EQ(recordLoop(r), 1u);
  EXPECT_EQ(events(r), (std::vector<uint32_t>{0xC0000041, 0xA000012C, 0xE0000041}));

  auto loaded = LoadMacroToList(r);
  EXPECT_EQ(loaded.list, (EventList{kADown, ms(300), kAUp}));
  EXPECT_EQ(loaded.loopCountText, u"1");
  EXPECT_EQ(loaded.option, LoopOption::PlayCount);

  auto odd = r;
  putU32(odd, kRecLoop, kLoopThirdOption);
  putU32(odd, kRecEvents + 4, 0x55000000);  // not a valid item: the list ends before it
  loaded = LoadMacroToList(odd);
  EXPECT_EQ(loaded.list, (EventList{kADown}));
  EXPECT_EQ(loaded.option, LoopOption::Third);
  EXPECT_EQ(loaded.loopCountText, u"1");
}
