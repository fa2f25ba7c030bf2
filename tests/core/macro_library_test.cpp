#include <gtest/gtest.h>

#include "core/config/config_image.h"
#include "core/config/file_store.h"
#include "core/macros/game_categories.h"
#include "core/macros/macro_library.h"
#include "core/macros/macro_record.h"
#include "core/util/bytes.h"

using namespace orlix;
using namespace orlix::macros;

namespace {

constexpr const char* kPath = "/prog/Macro.cfg";

struct LibraryFixture : ::testing::Test {
  std::unique_ptr<ConfigImage> image = makeConfigImage();
  MemoryFileStore files;
  RecordingNotices notices;
  FakePacer pacer;
  TextSource texts{[](std::string_view key) { return key == "str_msg2" ? std::u16string(u"No %s here") : u""; },
                   nullptr};
  MacroLibrary library{*image, files, kPath, notices, texts, pacer};

  void SetUp() override { files.addFolder("/prog"); }

  static std::vector<uint8_t> block(uint32_t id, std::vector<uint32_t> events, std::u16string name = u"m",
                                    uint32_t loop = 1) {
    TransferBlock b;
    b.size = uint32_t(kBlkEvents + 4 * events.size());
    b.id = id;
    b.loop = loop;
    b.name = name;
    b.events = std::move(events);
    return encodeTransferBlock(b);
  }
  MacroRecord& record(int i) { return image->macroLibrary[size_t(i)]; }
};

const std::vector<uint32_t> kPressA{eventWord(kEventPress, 0x41), eventWord(kEventRelease, 0x41)};

}  // namespace

TEST_F(LibraryFixture, LoadTakesWhatTheFileHolds) {
  std::vector<uint8_t> bytes(kMacroRecordSize + 10, 0);
  putU32(bytes, kRecSize, 120);
  putU32(bytes, kMacroRecordSize + kRecMagic, kMacroMagic);  // a second record cut short
  files.put(kPath, bytes);
  putU32(record(7), kRecId, 99);

  EXPECT_TRUE(library.LoadMacroLibrary());
  EXPECT_EQ(recordSize(record(0)), 120u);
  EXPECT_EQ(recordMagic(record(1)), kMacroMagic);
  EXPECT_EQ(recordId(record(7)), 0u);  // zeroed before the read
  EXPECT_TRUE(notices.entries.empty());
}

TEST_F(LibraryFixture, LoadOfAMissingFileTellsAndKeepsTheLibrary) {
  putU32(record(7), kRecId, 99);
  EXPECT_FALSE(library.LoadMacroLibrary());
  ASSERT_EQ(notices.entries.size(), 1u);
  EXPECT_EQ(notices.entries[0].kind, "info");
  EXPECT_EQ(notices.entries[0].text, u"No /prog/Macro.cfg here");
  EXPECT_EQ(recordId(record(7)), 99u);
}

TEST_F(LibraryFixture, SaveCreatesAMissingFileAfterTelling) {
  putU32(record(3), kRecId, 5);
  EXPECT_TRUE(library.SaveMacroLibrary(MissingFileNotice::MessageBox));
  ASSERT_EQ(notices.entries.size(), 1u);
  EXPECT_EQ(notices.entries[0].kind, "box");
  EXPECT_EQ(notices.entries[0].caption, u"Info");
  EXPECT_EQ(notices.entries[0].text, u"Failed to open file, check whether there is a /prog/Macro.cfg path?");
  ASSERT_NE(files.find(kPath), nullptr);
  EXPECT_EQ(files.find(kPath)->size(), 2052000u);
  EXPECT_EQ(getU32(*files.find(kPath), 3 * kMacroRecordSize + kRecId), 5u);
  EXPECT_TRUE(pacer.pauses().empty());

  // The file exists now: written between two pauses of 100 ms, nothing shown.
  EXPECT_TRUE(library.SaveMacroLibrary(MissingFileNotice::InfoDialog));
  EXPECT_EQ(notices.entries.size(), 1u);
  EXPECT_EQ(pacer.pauses(), (std::vector<uint32_t>{100, 100}));
}

TEST_F(LibraryFixture, SaveWithoutPermission) {
  files.failWrites(FileError::AccessDenied);
  EXPECT_FALSE(library.SaveMacroLibrary(MissingFileNotice::InfoDialog));
  ASSERT_EQ(notices.entries.size(), 2u);
  EXPECT_EQ(notices.entries[0].kind, "info");
  EXPECT_EQ(notices.entries[1].text, u"Failed to create Profile, make sure you have permission to create files!");
}

TEST_F(LibraryFixture, StoreFillsTheFirstFreeRecordOrReplacesTheSameIdentifier) {
  putU32(record(0), kRecMagic, kMacroMagic);  // taken
  ASSERT_TRUE(library.StoreMacro(block(0x15000001, kPressA, u"Jump", 3)));
  const auto& r = record(1);
  EXPECT_EQ(recordId(r), 0x15000001u);
  EXPECT_EQ(recordSize(r), 112u);
  EXPECT_EQ(recordMagic(r), kMacroMagic);
  EXPECT_EQ(recordLoop(r), 3u);
  EXPECT_EQ(events(r), kPressA);
  EXPECT_EQ(recordName(r), u"Jump");
  ASSERT_NE(files.find(kPath), nullptr);

  ASSERT_TRUE(library.StoreMacro(block(0x15000001, {eventWord(kEventPress, 0x42)}, u"J2")));
  EXPECT_EQ(events(record(1)), (std::vector<uint32_t>{eventWord(kEventPress, 0x42)}));
  EXPECT_EQ(eventAt(record(1), 1), 0u);  // the old second event is gone
  EXPECT_EQ(recordName(record(1)), u"J2");
  EXPECT_EQ(recordId(record(2)), 0u);
}

TEST_F(LibraryFixture, StoreRefusesBadBlocksAndAFullLibrary) {
  auto good = block(0x15000002, kPressA);
  auto small = good;
  putU32(small, kBlkSize, 107);
  auto wrongMagic = good;
  putU32(wrongMagic, kBlkMagic, 0x12340010);
  std::vector<uint8_t> cut(good.begin(), good.begin() + 60);
  for (const auto& b : {small, wrongMagic, cut}) EXPECT_FALSE(library.StoreMacro(b));
  EXPECT_EQ(files.writes(), 0);

  for (auto& r : image->macroLibrary) putU32(r, kRecMagic, kMacroMagic);
  EXPECT_FALSE(library.StoreMacro(good));
  EXPECT_EQ(files.writes(), 0);
}

TEST_F(LibraryFixture, StoreCutsABlockOfMoreThan1000EventsAtTheRecordsRoom) {
  std::vector<uint32_t> many(1500, eventWord(kEventDelay, 10));
  auto b = block(0x15000003, many, u"Long");
  ASSERT_TRUE(library.StoreMacro(b));
  EXPECT_EQ(storedEventCount(record(0)), 1000u);
  EXPECT_EQ(recordName(record(0)), u"Long");  // the name after the event words is intact
  EXPECT_EQ(recordSize(record(1)), 0u);

  // A block whose count claims more events than its bytes hold reads only those.
  auto lying = block(0x15000004, kPressA);
  putU32(lying, kBlkCount, 4000);
  ASSERT_TRUE(library.StoreMacro(lying));
  EXPECT_EQ(events(record(1)), kPressA);
}

TEST_F(LibraryFixture, DuplicateIdentifiersAndDeleteRenameInUse) {
  for (int i : {4, 9}) {
    putU32(record(i), kRecId, 0x15000005);
    putU32(record(i), kRecSize, 108);
    putU32(record(i), kRecMagic, kMacroMagic);
  }
  EXPECT_EQ(library.FindMacroRecord(0x15000005), 4);
  library.RenameMacro(0x15000005, u"A name much longer than twenty");
  EXPECT_EQ(recordName(record(4)), u"A name much longer t");
  EXPECT_EQ(recordName(record(9)), u"A name much longer t");
  library.DeleteMacro(0x15000005);
  EXPECT_EQ(recordId(record(4)), 0u);
  EXPECT_EQ(recordId(record(9)), 0x15000005u);

  auto before = files.writes();
  library.DeleteMacro(0x0BADBEEF);  // in no record: the file is still rewritten
  EXPECT_EQ(files.writes(), before + 1);

  EXPECT_FALSE(library.IsMacroInUse(0x15000005));
  image->setMacroId(120, 0x15000005);
  EXPECT_TRUE(library.IsMacroInUse(0x15000005));
}

TEST_F(LibraryFixture, EachOperationHasItsOwnTestOfARecord) {
  auto& a = record(0);  // size 0, magic set
  putU32(a, kRecMagic, kMacroMagic);
  putU32(a, kRecId, 0x03000001);
  auto& b = record(1);  // size >= 108, magic 0
  putU32(b, kRecSize, 108);
  putU32(b, kRecId, 0x03000002);
  EXPECT_TRUE(isListed(a));
  EXPECT_FALSE(isEncodable(a));
  EXPECT_FALSE(isFree(a));
  EXPECT_TRUE(isListed(b));
  EXPECT_TRUE(isEncodable(b));
  EXPECT_TRUE(isFree(b));

  auto listed = library.ListMacros(3);
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[1].id, 0x03000002u);
  EXPECT_TRUE(library.ListMacros(4).empty());

  ASSERT_TRUE(library.StoreMacro(block(0x03000009, kPressA)));  // takes the free record 1
  EXPECT_EQ(recordId(record(1)), 0x03000009u);
}

TEST(GameCategories, NamesByLanguage) {
  EXPECT_EQ(gameCategoryName(21, false), u"Customisze");
  EXPECT_EQ(gameCategoryName(21, true), u"玩家自定义");
  EXPECT_EQ(gameCategoryName(13, false), u"Dota 2 ");
  EXPECT_EQ(gameCategoryName(0, false), u"");
  EXPECT_EQ(gameCategoryName(22, true), u"");
}
