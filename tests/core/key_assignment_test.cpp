#include <gtest/gtest.h>

#include "core/config/config_image.h"
#include "core/keys/key_assignment.h"
#include "core/keys/key_codes.h"
#include "core/keys/key_picture_map.h"
#include "core/macros/macro_record.h"
#include "core/util/bytes.h"

using namespace orlix;
using namespace orlix::keys;

namespace {
struct AssignFixture : ::testing::Test {
  std::unique_ptr<ConfigImage> image = makeConfigImage();
  RecordingNotices notices;
  int saves = 0;
  std::vector<int> refreshed;
  KeyAssignmentHooks hooks{[&] { ++saves; }, [&](int k) { refreshed.push_back(k); }};

  void SetUp() override {
    initialiseDefaults(*image);
    image->keyTable = image->defaultKeyTable;
    image->profiles.current = 1;
    for (int m = 0; m < 60; ++m) {
      auto& r = image->macroLibrary[size_t(m)];
      putU32(r, macros::kRecSize, 108);
      putU32(r, macros::kRecId, id(m));
    }
  }
  static uint32_t id(int m) { return 0x15000100u + uint32_t(m); }
  StoreOutcome bindMacro(int k, int m) { return storeSettingResult(*image, k, {id(m), kCategoryMacro, u"M"}, notices, hooks); }
  // Key indexes of picture records 0.. (the keys the page shows), skipping the empty ones.
  static std::vector<int> keysWithButtons() {
    std::vector<int> ks;
    for (int l = 0; l < kKeyPictureCount; ++l)
      if (!isEmptyPictureRecord(l)) ks.push_back(keyPictureMap()[size_t(l)].keyIndex);
    return ks;
  }
};
}  // namespace

TEST_F(AssignFixture, StoringAFunctionClearsTheMacroAndSetsTheText) {
  ASSERT_EQ(bindMacro(8, 0), StoreOutcome::Stored);
  EXPECT_EQ(image->keyTable[8], 5u);
  EXPECT_EQ(image->macroId(8), id(0));
  EXPECT_EQ(image->macroAssignment[1][8], id(0));

  std::u16string longText(300, u'p');
  storeSettingResult(*image, 8, {hostFunction(2), kCategoryBase, longText}, notices, hooks);
  EXPECT_EQ(image->keyTable[8], hostFunction(2));
  EXPECT_EQ(image->macroAssignment[1][8], 0u);
  EXPECT_EQ(image->actionText(8), std::u16string(259, u'p'));
  EXPECT_EQ(refreshed, (std::vector<int>{8, 8}));

  // Restore of a macro key removes the binding.
  bindMacro(9, 1);
  storeSettingResult(*image, 9, {image->defaultKeyTable[9], kCategoryBase, u""}, notices, hooks);
  EXPECT_EQ(image->keyTable[9], image->defaultKeyTable[9]);
  EXPECT_EQ(image->macroId(9), 0u);
  EXPECT_EQ(image->macroAssignment[1][9], 0u);
  EXPECT_TRUE(notices.entries.empty());
}

TEST_F(AssignFixture, TheSameMacroAgainIsClearedThenStored) {
  bindMacro(8, 0);
  EXPECT_EQ(bindMacro(8, 0), StoreOutcome::Stored);
  EXPECT_EQ(saves, 1);  // its own entry was cleared and the library saved
  EXPECT_EQ(image->macroAssignment[1][8], id(0));
}

TEST_F(AssignFixture, MacrosThatAreNotInTheLibraryAreNotStored) {
  putU32(image->macroLibrary[3], 0, 0);  // not in use
  EXPECT_EQ(bindMacro(8, 3), StoreOutcome::MacroNotStored);
  EXPECT_EQ(storeSettingResult(*image, 8, {0x0BADBEEF, kCategoryMacro, u""}, notices, hooks),
            StoreOutcome::MacroNotStored);
  EXPECT_EQ(image->keyTable[8], image->defaultKeyTable[8]);
  EXPECT_EQ(refreshed.size(), 2u);
}

TEST_F(AssignFixture, TheFiftyMacroLimit) {
  auto ks = keysWithButtons();
  for (int m = 0; m < 50; ++m) ASSERT_EQ(bindMacro(ks[size_t(m)], m), StoreOutcome::Stored) << m;

  int k = ks[60];
  uint32_t before = image->keyTable[size_t(k)];
  EXPECT_EQ(bindMacro(k, 50), StoreOutcome::MacroLimit);
  ASSERT_EQ(notices.entries.size(), 1u);
  EXPECT_EQ(notices.entries[0].text, u"注意：只能分配50个宏到键盘中！");
  EXPECT_EQ(image->keyTable[size_t(k)], before);
  EXPECT_EQ(image->macroAssignment[1][size_t(k)], 0u);

  // One of the fifty already bound may go to another key.
  EXPECT_EQ(bindMacro(k, 7), StoreOutcome::Stored);
  // Another profile's row does not count.
  image->profiles.current = 2;
  image->keyTable = image->defaultKeyTable;
  EXPECT_EQ(bindMacro(k, 50), StoreOutcome::Stored);
}

TEST_F(AssignFixture, FiftyMacroKeysCountEvenWhenTheRowIsEmpty) {
  // After a restart the assignment table is empty; the keys still count.
  auto ks = keysWithButtons();
  for (int m = 0; m < 50; ++m) bindMacro(ks[size_t(m)], 0);
  image->macroAssignment[1].fill(0);
  EXPECT_EQ(bindMacro(ks[70], 1), StoreOutcome::MacroLimit);
  // Re-binding one of those keys does not count the key itself.
  EXPECT_EQ(bindMacro(ks[0], 1), StoreOutcome::Stored);
}
