#include <gtest/gtest.h>

#include "core/keys/key_codes.h"
#include "core/keys/key_picture_map.h"
#include "core/keys/keyboard_page_model.h"

using namespace orlix;
using namespace orlix::keys;

namespace {

struct Letters : KeyboardLayout {
  char32_t characterOf(uint8_t vk) override { return vk >= 'A' && vk <= 'Z' ? char32_t(vk - 'A' + 'a') : 0; }
};

struct KeyboardPageFixture : ::testing::Test {
  std::unique_ptr<ConfigImage> image = makeConfigImage();
  RecordingNotices notices;
  Letters layout;
  localization::LanguageStrings strings;
  KeyboardPageModel page{*image, notices, layout, strings};

  void SetUp() override {
    initialiseDefaults(*image);
    image->keyTable = image->defaultKeyTable;
  }
  void store(int k, uint32_t code, uint32_t category = kCategoryCombination) { page.store(k, {code, category, u""}, {}); }
};

}  // namespace

TEST_F(KeyboardPageFixture, ModifiedKeysAreCheckedWithTheirDescription) {
  for (int n = 0; n < kKeyPictureCount; ++n) EXPECT_EQ(page.buttonState(n), KeyButtonState{}) << n;
  store(4, 0x04030002);  // Ctrl+Shift+A on A
  EXPECT_EQ(page.keyState(4), (KeyButtonState{true, u"Shift + Ctrl + A"}));
  EXPECT_EQ(page.buttonState(17), page.keyState(4));  // record 17 is key index 4
  store(4, image->defaultKeyTable[4], kCategoryBase);
  EXPECT_EQ(page.keyState(4), KeyButtonState{});
}

TEST_F(KeyboardPageFixture, LeftColumnKeysAreCheckedOnceGivenAFunction) {
  for (int k : {18, 24, 36, 42, 72}) {
    ASSERT_EQ(image->defaultKeyTable[size_t(k)], 0u) << k;
    EXPECT_FALSE(page.keyState(k).checked) << k;
    store(k, plainKey(0x04));
    EXPECT_TRUE(page.keyState(k).checked) << k;
    EXPECT_EQ(page.keyState(k).tooltip, u"A") << k;
  }
}

TEST_F(KeyboardPageFixture, RestoreDefaultsUnchecksEveryButton) {
  for (int n = 0; n < kKeyPictureCount; ++n)
    if (!isEmptyPictureRecord(n)) store(KeyboardPageModel::keyIndexOf(n), kDisabledCode, kCategoryDisable);
  int checked = 0;
  for (int n = 0; n < kKeyPictureCount; ++n) checked += !isEmptyPictureRecord(n) && page.buttonState(n).checked;
  EXPECT_EQ(checked, 109);
  restoreDefaults(*image, image->profiles.current, {});  // no main window to post to here
  for (int n = 0; n < kKeyPictureCount; ++n) EXPECT_EQ(page.buttonState(n), KeyButtonState{}) << n;
}
