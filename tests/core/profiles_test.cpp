#include <gtest/gtest.h>

#include "core/config/file_store.h"
#include "core/config/profile_file.h"
#include "core/config/profiles.h"
#include "core/config/registry.h"
#include "core/lighting/lighting_key_map.h"
#include "core/macros/macro_library.h"
#include "core/util/bytes.h"

using namespace orlix;
using Bytes = std::vector<uint8_t>;

namespace {

struct ProfileFixture : ::testing::Test {
  std::unique_ptr<ConfigImage> image = makeConfigImage();
  MemoryFileStore files;
  MemoryRegistry registry;
  RecordingNotices notices;
  std::unique_ptr<Profiles> profiles;

  void SetUp() override {
    files.addFolder("/prog");
    files.addFolder("/prog/Profile");
    restart();
  }
  // A new start of the program with the same files and registry.
  void restart() {
    image = makeConfigImage();
    initialiseDefaults(*image);
    resetPerKeyLighting(*image);
    profiles = std::make_unique<Profiles>(*image, files, registry, notices, "/prog");
  }
  static std::string file(int k) { return "/prog/Profile/Profile" + std::to_string(k) + ".cfg"; }

  // Gives per-key lighting record i an effect of every kind in turn.
  void fillLighting() {
    for (int i = 0; i < kLightingKeys; ++i) {
      auto& r = image->perKeyLighting[size_t(i)];
      static constexpr uint8_t kEffects[] = {0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0x00};
      r.effectCode = kEffects[i % 7];
      r.ledCode = uint8_t(i);
      r.sendMode = i % 2 ? 5 : 0;
      r.params = {uint8_t(i), uint8_t(i + 1), uint8_t(i + 2), uint8_t(i + 3)};
      size_t n = r.effectCode == 0xA9 ? r.params[3] : r.effectCode == 0xAC ? r.params[2] : r.params[1];
      r.colours.assign(r.effectCode >= 0xA9 && r.effectCode <= 0xAC ? n : 0, {0, 0, 0, 0});
      for (size_t e = 0; e < r.colours.size(); ++e)
        r.colours[e] = {uint8_t(r.effectCode == 0xA9 ? e : 0), uint8_t(e + 1), uint8_t(i), 0x7F};
      if (i % 5 != 3) r.setText("t" + std::to_string(i % 9));  // some records keep an empty text key
    }
  }
};

// Equal in every field a profile file holds for the record's effect.
bool sameLighting(const PerKeyLightingRecord& a, const PerKeyLightingRecord& b) {
  Bytes x, y;
  profile::appendLightingRecord(a, x);
  profile::appendLightingRecord(b, y);
  return x == y;
}

}  // namespace

TEST_F(ProfileFixture, FirstStartCreatesProfile1) {
  profiles->loadProfileTableAtStartUp();

  auto stored = registry.read(kProfileRegistryKey, kProfileRegistryValue);
  ASSERT_TRUE(stored);
  EXPECT_EQ(*stored, Bytes(8700, 0));
  ASSERT_NE(files.find(file(1)), nullptr);
  EXPECT_EQ(files.find(file(1))->size(), 107952u);
  EXPECT_EQ(files.find(file(2)), nullptr);
  EXPECT_EQ(profiles->current(), 0);
  EXPECT_EQ(image->keyTable, image->defaultKeyTable);
  EXPECT_TRUE(notices.entries.empty());
  // No file was loaded, yet the LED codes are the map's, in memory and in the file.
  EXPECT_EQ(image->ledCode(83), 0x22u);
  EXPECT_EQ(getU32(*files.find(file(1)), profile::kKeyTableBytes + profile::kKeyExtraBytes + 83 * 116 + 104), 0x22u);

  const auto& rec = image->profiles.records[2];
  EXPECT_EQ(profile::recordMagic(rec), 0xBEBEu);
  EXPECT_EQ(profile::recordName(rec), u"Profile3");
  EXPECT_EQ(profiles->path(2), file(3));
  EXPECT_TRUE(profile::isCurrent(image->profiles.records[0]));

  profiles->saveProfileTableAndProfile();
  stored = registry.read(kProfileRegistryKey, kProfileRegistryValue);
  EXPECT_EQ(getU32(*stored, 4), 1u);
  EXPECT_EQ(getU32(*stored, 1740), 0xBEBEu);
}

TEST_F(ProfileFixture, ACreatedProfileLeavesTheLightingInMemory) {
  profiles->loadProfileTableAtStartUp();
  image->keyTable[8] = 7;
  fillLighting();
  image->lightingMode = 3;
  image->waveExtraLength = 31;
  auto lighting = image->perKeyLighting[0];

  ASSERT_TRUE(profiles->loadProfile(file(1), true));
  EXPECT_EQ(image->keyTable, image->defaultKeyTable);
  EXPECT_EQ(image->lightingMode, 3u);
  EXPECT_EQ(image->waveExtraLength, 31u);
  EXPECT_TRUE(sameLighting(image->perKeyLighting[0], lighting));
}

TEST_F(ProfileFixture, SaveAndLoadRoundTripEveryRecordInItsPlace) {
  profiles->loadProfileTableAtStartUp();
  fillLighting();
  image->keyTable[20] = 0x3D040002;
  image->setActionText(20, u"C:/notes.txt");
  putU32(image->ledState[7], 0, 0x00ABCDEF);
  image->waveExtraLength = 40;
  image->waveExtra[39] = 0x55;
  image->lightingMode = 5;
  auto expected = image->perKeyLighting;
  ASSERT_TRUE(profiles->saveProfile());

  restart();
  profiles->loadProfileTableAtStartUp();
  EXPECT_EQ(image->keyTable[20], 0x3D040002u);
  EXPECT_EQ(image->actionText(20), u"C:/notes.txt");
  EXPECT_EQ(getU32(image->ledState[7], 0), 0x00ABCDEFu);
  EXPECT_EQ(image->waveExtraLength, 40u);
  EXPECT_EQ(image->waveExtra[39], 0x55);
  EXPECT_EQ(image->lightingMode, 5u);
  for (int i = 0; i < kLightingKeys; ++i) EXPECT_TRUE(sameLighting(image->perKeyLighting[size_t(i)], expected[size_t(i)])) << i;
}

TEST(ProfileFile, RecordSerialisation) {
  PerKeyLightingRecord wave;
  wave.setText("a9");
  wave.ledCode = 0x22;
  wave.effectCode = 0xA9;
  wave.sendMode = 5;
  wave.params = {7, 0x69, 1, 2};
  wave.colours = {{1, 2, 3, 4}, {5, 6, 7, 8}};
  Bytes out;
  profile::appendLightingRecord(wave, out);
  ASSERT_EQ(out.size(), 256u + 3 + 4 + 8);
  EXPECT_EQ(Bytes(out.begin() + 256, out.end()), (Bytes{0x22, 0xA9, 5, 0x69, 7, 1, 2, 1, 2, 3, 4, 5, 6, 7, 8}));

  PerKeyLightingRecord always;
  always.effectCode = 0xAC;
  always.params = {1, 0, 2, 0};
  always.colours = {{9, 255, 200, 0}};  // one entry short: the second is written as zeros
  out.clear();
  profile::appendLightingRecord(always, out);
  EXPECT_EQ(Bytes(out.begin() + 256, out.end()), (Bytes{0, 0xAC, 0, 1, 0, 2, 255, 200, 0, 0, 0, 0}));

  PerKeyLightingRecord none;
  none.params = {1, 2, 3, 4};
  out.clear();
  profile::appendLightingRecord(none, out);
  EXPECT_EQ(out.size(), 259u);
}

TEST_F(ProfileFixture, LoadingRestoresTheLedCodesOfTheMap) {
  profiles->loadProfileTableAtStartUp();
  for (auto& led : image->ledState) putU32(led, kLedCode, 0x77);
  profiles->saveProfile();
  ASSERT_TRUE(profiles->loadProfile(file(1), false));
  for (int i = 0; i < kLedRecordCount; ++i)
    EXPECT_EQ(image->ledCode(i), lighting::lightingKeyMap()[size_t(i)].ledCode) << i;
}

TEST_F(ProfileFixture, SwitchingToADeletedProfileRecreatesIt) {
  profiles->loadProfileTableAtStartUp();
  image->keyTable[30] = 7;
  ASSERT_TRUE(profiles->createProfile(file(3)));
  files.remove(file(3));
  int refreshed = 0, selected = -1;
  profiles->switchProfile(2, {[&](int k) { selected = k; }, [&] { ++refreshed; }, [&] { ++refreshed; }});

  EXPECT_EQ(profiles->current(), 2);
  EXPECT_EQ(selected, 2);
  EXPECT_EQ(refreshed, 2);
  ASSERT_EQ(notices.entries.size(), 1u);
  EXPECT_EQ(notices.entries[0].text,
            u"Failed to open file, check whether there is a /prog/Profile/Profile3.cfg path?");
  ASSERT_NE(files.find(file(3)), nullptr);
  EXPECT_EQ(image->keyTable, image->defaultKeyTable);

  profiles->switchProfile(2);  // the current one: nothing happens
  EXPECT_EQ(notices.entries.size(), 1u);

  profiles->saveProfileTableAndProfile();
  restart();
  profiles->loadProfileTableAtStartUp();
  EXPECT_EQ(profiles->current(), 2);
  EXPECT_FALSE(profile::isCurrent(image->profiles.records[0]));
}

TEST_F(ProfileFixture, ARegistryValueWithoutACurrentFlagUsesProfile1) {
  Bytes table(8700, 0);
  table[1052] = 0x5A;  // bytes that are not used survive
  registry.write(kProfileRegistryKey, kProfileRegistryValue, table);
  profiles->loadProfileTableAtStartUp();
  EXPECT_EQ(profiles->current(), 0);
  EXPECT_EQ(image->profiles.records[0][1052], 0x5A);
  ASSERT_NE(files.find(file(1)), nullptr);

  // A current profile whose file is gone: the flag is cleared, the file created, profile 1 used.
  table[4] = 0;
  putU32(table, 1740 * 3 + 4, 1);
  registry.write(kProfileRegistryKey, kProfileRegistryValue, table);
  restart();
  profiles->loadProfileTableAtStartUp();
  EXPECT_EQ(profiles->current(), 0);
  EXPECT_NE(files.find(file(4)), nullptr);
  EXPECT_FALSE(profile::isCurrent(image->profiles.records[3]));
}

TEST_F(ProfileFixture, FailedWritesKeepThePreviousFile) {
  profiles->loadProfileTableAtStartUp();
  Bytes before = *files.find(file(1));
  image->keyTable[8] = 7;
  files.failWrites(FileError::Other, file(1));
  EXPECT_FALSE(profiles->saveProfile());
  EXPECT_EQ(*files.find(file(1)), before);
  EXPECT_TRUE(notices.entries.empty());  // silent for reasons other than a missing file

  files.failWrites(FileError::NotFound, file(1));
  EXPECT_FALSE(profiles->saveProfile());
  ASSERT_EQ(notices.entries.size(), 1u);
  EXPECT_EQ(notices.entries[0].kind, "box");
  EXPECT_EQ(notices.entries[0].caption, u"Info");

  files.failWrites(FileError::AccessDenied, file(2));
  EXPECT_FALSE(profiles->createProfile(file(2)));
  EXPECT_EQ(image->keyTable[8], 7u);  // no file, no defaults
  EXPECT_EQ(notices.entries.back().text,
            u"Failed to create Profile, make sure you have permission to create files!");
}

TEST_F(ProfileFixture, ShortLongAndGarbageFilesLoadSafely) {
  profiles->loadProfileTableAtStartUp();
  fillLighting();
  ASSERT_TRUE(profiles->saveProfile());
  Bytes full = *files.find(file(1));
  ASSERT_GT(full.size(), profile::kFixedBlocksSize);

  // Every cut in the lighting records and a sample of earlier ones.
  for (size_t n = 0; n <= full.size(); n += (n < profile::kFixedBlocksSize ? 997 : 1)) {
    files.put(file(2), Bytes(full.begin(), full.begin() + ptrdiff_t(n)));
    ASSERT_TRUE(profiles->loadProfile(file(2), false)) << n;
  }
  // A record cut short keeps its previous content; the ones before it were read.
  resetPerKeyLighting(*image);
  size_t cut = profile::kFixedBlocksSize + 300;  // inside record 1
  files.put(file(2), Bytes(full.begin(), full.begin() + ptrdiff_t(cut)));
  ASSERT_TRUE(profiles->loadProfile(file(2), false));
  EXPECT_EQ(image->perKeyLighting[0].effectCode, 0xA9);
  EXPECT_EQ(image->perKeyLighting[1].effectCode, 0);
  EXPECT_EQ(image->perKeyLighting[1].ledCode, 0xFF);

  // Colour counts up to 255, and bytes after the last record.
  Bytes garbage(profile::kFixedBlocksSize, 0xFF);
  for (int i = 0; i < kLightingKeys; ++i) {
    Bytes rec(256 + 3 + 4, 0xFF);
    rec[257] = 0xA9;
    garbage.insert(garbage.end(), rec.begin(), rec.end());
    garbage.insert(garbage.end(), 255 * 4, 0xEE);
  }
  garbage.insert(garbage.end(), 5000, 0x11);
  files.put(file(2), garbage);
  ASSERT_TRUE(profiles->loadProfile(file(2), false));
  EXPECT_EQ(image->perKeyLighting[111].colours.size(), 255u);
  EXPECT_EQ(image->waveExtraLength, 0xFFFFFFFFu);  // kept as read; users of it stay within the buffer
}

TEST_F(ProfileFixture, ExportAndImportGiveBackEveryField) {
  profiles->loadProfileTableAtStartUp();
  fillLighting();
  image->keyTable[40] = 0x09010002;
  putU32(image->macroLibrary[499], 4100, 0x12345678);
  putU32(image->macroLibrary[0], 0, 108);
  ASSERT_EQ(profiles->exportConfiguration("/prog/out.cfg"), FileError::None);
  auto expectedLighting = image->perKeyLighting;
  EXPECT_EQ(files.find("/prog/out.cfg")->size(), profile::serializeProfile(*image).size() + 2052000);

  restart();
  profiles->loadProfileTableAtStartUp();
  for (auto& led : image->ledState) putU32(led, kLedCode, 0x99);
  ASSERT_TRUE(profiles->importConfiguration("/prog/out.cfg"));
  EXPECT_EQ(image->keyTable[40], 0x09010002u);
  EXPECT_EQ(getU32(image->macroLibrary[499], 4100), 0x12345678u);
  for (int i = 0; i < kLightingKeys; ++i)
    EXPECT_TRUE(sameLighting(image->perKeyLighting[size_t(i)], expectedLighting[size_t(i)])) << i;

  // A file without the library leaves the library as it was; a missing file changes nothing.
  putU32(image->macroLibrary[3], 8, 0x0300AAAA);
  files.put("/prog/short.cfg", profile::serializeProfile(*image));
  ASSERT_TRUE(profiles->importConfiguration("/prog/short.cfg"));
  EXPECT_EQ(getU32(image->macroLibrary[3], 8), 0x0300AAAAu);
  EXPECT_FALSE(profiles->importConfiguration("/prog/none.cfg"));
  EXPECT_EQ(image->keyTable[40], 0x09010002u);
}

// Only the layouts the system writes are imported; anything else leaves the
// image exactly as it was.
TEST_F(ProfileFixture, ImportRefusesFilesThatAreNoConfiguration) {
  profiles->loadProfileTableAtStartUp();
  fillLighting();
  auto whole = profile::serializeProfile(*image);
  std::vector<uint8_t> library(2052000, 0);
  auto plus = [](std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    bool accepted;
  };
  const Case cases[] = {
      {"created profile", profile::serializeCreatedProfile(*image), true},
      {"whole profile", whole, true},
      {"export", plus(whole, library), true},
      {"text file", std::vector<uint8_t>{'n', 'o', 't', 'e', 's', '\n'}, false},
      {"macro library alone", library, false},
      {"empty file", {}, false},
      {"export cut short", std::vector<uint8_t>(whole.begin(), whole.end() - 1), false},
      {"export with a byte more", plus(plus(whole, library), {0}), false},
      {"created profile and a byte", plus(profile::serializeCreatedProfile(*image), {0}), false},
  };
  image->keyTable[40] = 0x09010002;
  putU32(image->macroLibrary[7], 0, 0x0300BBBB);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    files.put("/prog/in.cfg", c.bytes);
    ImportError why = ImportError::None;
    EXPECT_EQ(profiles->importConfiguration("/prog/in.cfg", &why), c.accepted);
    if (c.accepted) {
      EXPECT_EQ(why, ImportError::None);
      image->keyTable[40] = 0x09010002;
      putU32(image->macroLibrary[7], 0, 0x0300BBBB);
    } else {
      EXPECT_EQ(why, ImportError::NotAConfiguration);
      EXPECT_EQ(image->keyTable[40], 0x09010002u);
      EXPECT_EQ(getU32(image->macroLibrary[7], 0), 0x0300BBBBu);
    }
  }
  ImportError why = ImportError::None;
  EXPECT_FALSE(profiles->importConfiguration("/prog/none.cfg", &why));
  EXPECT_EQ(why, ImportError::Unreadable);
}
