#include <gtest/gtest.h>

#include "core/config/config_image.h"
#include "core/device/message_target.h"
#include "core/device/messages.h"
#include "core/util/bytes.h"

using namespace orlix;

namespace {
struct MainWindowFixture : ::testing::Test {
  MessageQueue mainWindow;
  std::unique_ptr<ConfigImage> image = makeConfigImage();
  void SetUp() override {
    windows::registerTarget(kMainWindowTitle, &mainWindow);
    initialiseDefaults(*image);
    resetPerKeyLighting(*image);
    restoreLedCodesFromMap(*image);
  }
  void TearDown() override { windows::unregisterTarget(&mainWindow); }
};
}  // namespace

TEST(ConfigImage, ActionTextIsCutAt259Characters) {
  auto image = makeConfigImage();
  image->setMacroId(3, 0xDEADBEEF);
  std::u16string longText(300, u'x');
  image->setActionText(3, longText);
  EXPECT_EQ(image->actionText(3), std::u16string(259, u'x'));
  image->setActionText(3, u"C:/Games/a b.exe");
  EXPECT_EQ(image->actionText(3), u"C:/Games/a b.exe");
}

TEST(ConfigImage, StartUpResetOfPerKeyLighting) {
  auto image = makeConfigImage();
  image->perKeyLighting[5].setText("ac_0_1");
  image->perKeyLighting[5].colours.resize(3);
  image->perKeyLighting[112].ledCode = 7;
  resetPerKeyLighting(*image);
  EXPECT_EQ(image->perKeyLighting[5].text(), "");
  EXPECT_EQ(image->perKeyLighting[5].ledCode, 0xFF);
  EXPECT_TRUE(image->perKeyLighting[5].colours.empty());
  EXPECT_EQ(image->perKeyLighting[112].ledCode, 7);  // the empty entry takes no part
}

TEST_F(MainWindowFixture, RestoreDefaults) {
  image->keyTable[8] = 7;
  image->setActionText(8, u"notes.txt");
  image->setMacroId(8, 0x05001234);          // overwrites the text's first 4 bytes
  image->setActionText(120, u"kept");        // beyond 112: untouched
  image->macroAssignment[2][8] = 0x05001234;
  image->macroAssignment[1][8] = 0x05001234;
  image->lightingMode = kModeWave;
  for (auto& r : image->ledState) {
    r.fill(0x11);
  }
  restoreLedCodesFromMap(*image);
  image->perKeyLighting[3].colours.resize(2);
  image->editedLedCommand.fill(9);
  int keysRefreshed = 0, lightingRefreshed = 0;

  EXPECT_TRUE(restoreDefaults(*image, 2, {[&] { ++keysRefreshed; }, [&] { ++lightingRefreshed; }}));

  EXPECT_EQ(image->keyTable, image->defaultKeyTable);
  EXPECT_EQ(image->macroId(8), 0u);
  EXPECT_EQ(image->actionText(120), u"kept");
  EXPECT_EQ(image->macroAssignment[2][8], 0u);
  EXPECT_EQ(image->macroAssignment[1][8], 0x05001234u);
  EXPECT_EQ(image->lightingMode, uint32_t(kModeSeven));
  EXPECT_EQ(keysRefreshed, 1);
  EXPECT_EQ(lightingRefreshed, 1);
  for (int i = 0; i < 113; ++i) {
    auto& r = image->ledState[size_t(i)];
    for (size_t b = 0; b < 96; ++b) ASSERT_EQ(r[b], 0) << i;
    EXPECT_EQ(getU32(r, 108), 0u);
    EXPECT_EQ(getU32(r, 96), 0x11111111u);
    EXPECT_EQ(getU32(r, 112), 0x11111111u);
  }
  for (int k = 0; k < 112; ++k) {
    auto& r = image->perKeyLighting[size_t(k)];
    EXPECT_EQ(r.text(), "ae_0_1");
    EXPECT_EQ(r.effectCode, 0xAE);
    EXPECT_EQ(r.ledCode, uint8_t(lighting::lightingKeyMap()[size_t(k)].ledCode));
  }
  EXPECT_EQ(image->perKeyLighting[3].colours.size(), 2u);  // colour list left as it was
  EXPECT_TRUE(std::all_of(image->editedLedCommand.begin(), image->editedLedCommand.end(),
                          [](uint8_t b) { return b == 0; }));
  auto posted = mainWindow.drain();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0], (Message{msg::kStartApply, 0, 0}));
}

TEST(ConfigImageNoWindow, RestoreDefaultsWithoutMainWindowPostsNothing) {
  auto image = makeConfigImage();
  initialiseDefaults(*image);
  EXPECT_FALSE(restoreDefaults(*image, 0, {}));
  EXPECT_EQ(image->keyTable, image->defaultKeyTable);
}

TEST(ConfigImage, IsModifiedComparesWholeCodes) {
  auto image = makeConfigImage();
  initialiseDefaults(*image);
  image->keyTable = image->defaultKeyTable;
  image->setActionText(8, u"text does not count");
  EXPECT_FALSE(isModified(*image, 8));
  image->keyTable[8] = 0x00040101;  // differs in byte 1 only
  EXPECT_TRUE(isModified(*image, 8));
}

TEST(ConfigImage, ReleaseFreesColourListsOfColourEffects) {
  auto image = makeConfigImage();
  image->perKeyLighting[0].effectCode = 0xA9;
  image->perKeyLighting[0].colours.resize(4);
  image->perKeyLighting[1].effectCode = 0xAD;
  releaseColourLists(*image);
  EXPECT_TRUE(image->perKeyLighting[0].colours.empty());
}
