#include "core/config/config_sync.h"

#include <gtest/gtest.h>

#include "core/config/profile_file.h"
#include "core/keys/key_codes.h"
#include "core/macros/macro_library.h"
#include "core/util/bytes.h"
#include "fake_folder_lock.h"

using namespace orlix;

namespace {

constexpr const char* kMacroPath = "/prog/Macro.cfg";
constexpr uint32_t kCombo = 0x04030002;

// Files in memory that count the writes made while nobody holds the lock.
struct LockCheckingStore : MemoryFileStore {
  FakeFolderLock* lock = nullptr;
  int unlockedWrites = 0;
  FileError write(const std::string& path, std::span<const uint8_t> bytes) override {
    if (!lock->held()) ++unlockedWrites;
    return MemoryFileStore::write(path, bytes);
  }
};

// One program's configuration over the shared files, loaded as at its start.
struct Program {
  std::unique_ptr<ConfigImage> image = makeConfigImage();
  std::unique_ptr<Profiles> profiles;
  std::unique_ptr<macros::MacroLibrary> macros;
  Program(FileStore& files, Registry& registry, UserNotices& notices, Pacer& pacer) {
    initialiseDefaults(*image);
    resetPerKeyLighting(*image);
    profiles = std::make_unique<Profiles>(*image, files, registry, notices, "/prog");
    macros = std::make_unique<macros::MacroLibrary>(*image, files, kMacroPath, notices, TextSource{}, pacer);
    profiles->loadProfileTableAtStartUp();
    macros->LoadMacroLibrary();
  }
  bool save() { return profiles->saveProfileTableAndProfile() && macros->SaveMacroLibrary(); }
};

void markMacro(ConfigImage& image, size_t record, uint32_t id) {
  image.macroLibrary[record].fill(0);
  putU32(image.macroLibrary[record], 0, id);
}

struct ConfigSyncFixture : ::testing::Test {
  FakeFolderLock lock;
  LockCheckingStore files;
  MemoryRegistry registry;
  RecordingNotices notices;
  FakePacer pacer;
  std::unique_ptr<Program> window;
  std::unique_ptr<ConfigSync> sync;
  std::vector<TakeUp> takenUp;

  void SetUp() override {
    files.lock = &lock;
    files.addFolder("/prog");
    files.addFolder("/prog/Profile");
    files.put(kMacroPath, std::vector<uint8_t>(macros::kMacroFileSize, 0));
    window = std::make_unique<Program>(files, registry, notices, pacer);
    sync = std::make_unique<ConfigSync>(*window->image, *window->profiles, files, registry, kMacroPath, lock,
                                        notices, TextSource{});
    window->profiles->setWriteGuard(sync.get());
    window->macros->setWriteGuard(sync.get());
    sync->rememberAll();
    sync->onTakenUp = [this](const TakeUp& t) { takenUp.push_back(t); };
    files.unlockedWrites = 0;  // the first start made profile 1
  }
  // A whole orlixctl command: the lock from its read to its last save.
  void orlixctl(const std::function<void(Program&)>& change) {
    auto held = lock.acquire();
    ASSERT_TRUE(held);
    Program ctl(files, registry, notices, pacer);
    change(ctl);
    ASSERT_TRUE(ctl.save());
  }
  // What the next start reads.
  std::unique_ptr<Program> stored() { return std::make_unique<Program>(files, registry, notices, pacer); }
};

struct SyncCase {
  const char* name;
  std::function<void(ConfigImage&)> orlixctl;  // stored by orlixctl while the window runs
  std::function<void(ConfigImage&)> window;    // then changed in the window, which saves
  std::function<void(const ConfigImage&)> expect;  // what is stored afterwards
};

void PrintTo(const SyncCase& c, std::ostream* os) { *os << c.name; }

struct ConfigSyncCases : ConfigSyncFixture, ::testing::WithParamInterface<SyncCase> {};

TEST_P(ConfigSyncCases, TheWindowsSaveKeepsWhatOrlixctlStored) {
  const SyncCase& c = GetParam();
  orlixctl([&](Program& p) { c.orlixctl(*p.image); });
  c.window(*window->image);
  ASSERT_TRUE(window->save());
  c.expect(*stored()->image);
  // The window wrote only under the lock and has the merged state in memory too.
  EXPECT_EQ(files.unlockedWrites, 0);
  c.expect(*window->image);
  EXPECT_TRUE(notices.entries.empty());
  // What the window wrote reads back as what it holds: nothing to take up.
  EXPECT_FALSE(sync->takeUp().changed());
}

INSTANTIATE_TEST_SUITE_P(
    , ConfigSyncCases,
    ::testing::Values(
        SyncCase{"OtherKeys", [](ConfigImage& i) { i.keyTable[10] = keys::kDisabledCode; },
                 [](ConfigImage& i) { i.keyTable[20] = kCombo; },
                 [](const ConfigImage& i) {
                   EXPECT_EQ(i.keyTable[10], keys::kDisabledCode);
                   EXPECT_EQ(i.keyTable[20], kCombo);
                 }},
        SyncCase{"SameKeyTheWindowsEditWins", [](ConfigImage& i) { i.keyTable[10] = keys::kDisabledCode; },
                 [](ConfigImage& i) { i.keyTable[10] = kCombo; },
                 [](const ConfigImage& i) { EXPECT_EQ(i.keyTable[10], kCombo); }},
        // A key's code and its extra record go together: a host action's text
        // is never paired with another side's code.
        SyncCase{"CodeAndTextOfOneKeyTogether",
                 [](ConfigImage& i) {
                   i.keyTable[30] = 0x00010008;
                   i.setActionText(30, u"/home/u/song.wav");
                 },
                 [](ConfigImage& i) { i.keyTable[30] = kCombo; },
                 [](const ConfigImage& i) {
                   EXPECT_EQ(i.keyTable[30], kCombo);
                   EXPECT_EQ(i.actionText(30), u"");
                 }},
        SyncCase{"LightingOfOtherLeds",
                 [](ConfigImage& i) {
                   i.perKeyLighting[5].effectCode = 0xAC;
                   i.perKeyLighting[5].setText("always");
                   i.ledState[5][0] = 0x11;
                 },
                 [](ConfigImage& i) {
                   auto& r = i.perKeyLighting[6];  // breathing with its two colours
                   r.effectCode = 0xAA;
                   r.params = {1, 2, 0, 0};
                   r.colours = {{0, 10, 20, 30}, {0, 40, 50, 60}};
                   r.setText("breathing");
                   i.ledState[6][0] = 0x22;
                 },
                 [](const ConfigImage& i) {
                   EXPECT_EQ(i.perKeyLighting[5].effectCode, 0xAC);
                   EXPECT_EQ(i.perKeyLighting[5].text(), "always");
                   EXPECT_EQ(i.ledState[5][0], 0x11);
                   EXPECT_EQ(i.perKeyLighting[6].colours.size(), 2u);
                   EXPECT_EQ(i.perKeyLighting[6].text(), "breathing");
                   EXPECT_EQ(i.ledState[6][0], 0x22);
                 }},
        SyncCase{"LightingModeWithAKeyEdit", [](ConfigImage& i) { i.lightingMode = kModeWave; },
                 [](ConfigImage& i) { i.keyTable[20] = kCombo; },
                 [](const ConfigImage& i) {
                   EXPECT_EQ(i.lightingMode, uint32_t(kModeWave));
                   EXPECT_EQ(i.keyTable[20], kCombo);
                 }},
        SyncCase{"MacroRecords", [](ConfigImage& i) { markMacro(i, 0, 0x015f45db); },
                 [](ConfigImage& i) { markMacro(i, 1, 0x01000001); },
                 [](const ConfigImage& i) {
                   EXPECT_EQ(getU32(i.macroLibrary[0], 0), 0x015f45dbu);
                   EXPECT_EQ(getU32(i.macroLibrary[1], 0), 0x01000001u);
                 }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConfigSyncFixture, TakeUpKeepsTheWindowsUnstoredEdits) {
  window->image->keyTable[20] = kCombo;  // not saved yet
  orlixctl([](Program& p) { p.image->keyTable[10] = keys::kDisabledCode; });

  TakeUp t = sync->takeUp();
  EXPECT_TRUE(t.locked);
  EXPECT_TRUE(t.profileChanged);
  EXPECT_FALSE(t.switchedProfile);
  EXPECT_EQ(window->image->keyTable[10], keys::kDisabledCode);
  EXPECT_EQ(window->image->keyTable[20], kCombo);
  ASSERT_EQ(takenUp.size(), 1u);
  EXPECT_FALSE(lock.held());  // a take-up holds the lock only while it reads

  // Nothing new stored: nothing to take up, however the file reads back.
  EXPECT_FALSE(sync->takeUp().changed());
  EXPECT_EQ(takenUp.size(), 1u);
  EXPECT_EQ(window->image->keyTable[20], kCombo);
}

TEST_F(ConfigSyncFixture, ALockHeldElsewhereStopsTheSaveUntilItIsFree) {
  window->image->keyTable[20] = kCombo;
  lock.heldElsewhere = true;
  int writes = files.writes();
  EXPECT_FALSE(window->profiles->saveProfile());
  EXPECT_FALSE(window->macros->SaveMacroLibrary());
  EXPECT_FALSE(sync->takeUp().locked);
  EXPECT_EQ(files.writes(), writes);
  ASSERT_EQ(notices.entries.size(), 2u);
  EXPECT_EQ(notices.entries[0].text, kConfigBusyEn);

  lock.heldElsewhere = false;  // the edit stayed in memory: the next save stores it
  EXPECT_TRUE(window->profiles->saveProfile());
  EXPECT_EQ(stored()->image->keyTable[20], kCombo);
}

TEST_F(ConfigSyncFixture, AProfileMadeCurrentElsewhereIsFollowed) {
  orlixctl([](Program& p) {
    p.profiles->switchProfile(2);
    p.image->keyTable[10] = keys::kDisabledCode;
  });
  TakeUp t = sync->takeUp();
  EXPECT_TRUE(t.switchedProfile);
  EXPECT_EQ(window->profiles->current(), 2);
  EXPECT_EQ(window->image->keyTable[10], keys::kDisabledCode);

  // The window's own switch is not stored until its next apply: a take-up
  // does not undo it.
  window->profiles->switchProfile(4);
  sync->rememberProfile();
  EXPECT_FALSE(sync->takeUp().switchedProfile);
  EXPECT_EQ(window->profiles->current(), 4);
}

}  // namespace

// The take-up compares records by digest: any change of one byte, the last
// few (beyond the whole words) included, must change it.
TEST(MacroRecordDigest, EveryOneByteChangeShows) {
  MacroRecord base{};
  for (size_t i = 0; i < base.size(); ++i) base[i] = uint8_t(i * 31 + 7);
  const MacroDigest d = macroRecordDigest(base);
  EXPECT_EQ(macroRecordDigest(MacroRecord(base)), d);
  for (size_t i = 0; i < base.size(); ++i)
    for (uint8_t flip : {uint8_t(0x01), uint8_t(0x80), uint8_t(0xFF)}) {
      MacroRecord r = base;
      r[i] ^= flip;
      ASSERT_NE(macroRecordDigest(r), d) << "byte " << i << " flip " << int(flip);
    }
  MacroRecord zero{}, lastByte{};
  lastByte.back() = 1;
  EXPECT_NE(macroRecordDigest(zero), macroRecordDigest(lastByte));
}
