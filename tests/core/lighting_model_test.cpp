#include <gtest/gtest.h>

#include "core/config/config_image.h"
#include "core/device/driver_channel.h"
#include "core/device/message_target.h"
#include "core/device/messages.h"
#include "core/device/virtual_keyboard.h"
#include "core/lighting/lighting_model.h"
#include "core/util/bytes.h"

using namespace orlix;
using namespace orlix::lighting;
using Bytes = std::vector<uint8_t>;

namespace {

struct LightingFixture : ::testing::Test {
  std::unique_ptr<ConfigImage> image = makeConfigImage();
  MessageQueue mainWindow;
  MessageQueue lightingPage;

  void SetUp() override {
    initialiseDefaults(*image);
    resetPerKeyLighting(*image);
    restoreLedCodesFromMap(*image);
    windows::registerTarget(kMainWindowTitle, &mainWindow);
  }
  void TearDown() override { windows::unregisterTarget(&mainWindow); }

  void select(std::initializer_list<int> entries) {
    std::array<bool, kLedRecordCount> sel{};
    for (int e : entries) sel[size_t(e)] = true;
    selectionRecount(*image, sel);
  }
  void selectAll() {
    std::array<bool, kLedRecordCount> sel{};
    for (int e = 0; e < kLightingKeys; ++e) sel[size_t(e)] = true;
    selectionRecount(*image, sel);
  }
  Bytes command(uint32_t length) const {
    return Bytes(image->editedLedCommand.begin(), image->editedLedCommand.begin() + length);
  }
  Bytes slotKeys(int slot) const {
    const auto& s = image->effectSlots[size_t(slot)];
    return Bytes(s.bytes.begin() + s.headerLength, s.bytes.begin() + s.totalLength);
  }
  // Runs one effect page as its OK or Apply button would, then processes the
  // posted exclusion as the lighting page does.
  BuildResult send(EffectSettings s) {
    auto r = buildAndSend(*image, s, &lightingPage);
    for (auto& m : lightingPage.drain())
      if (m.id == msg::kEffectSlot) slotKeyExclusion(*image, int(m.lParam));
    return r;
  }
};

}  // namespace

TEST_F(LightingFixture, AlwaysOnByOkWithTheDefaultColour) {
  // Entries 83..85 are the keys whose lights have the LED codes 0x22..0x24.
  ASSERT_EQ(image->ledCode(83), 0x22u);
  ASSERT_EQ(image->ledCode(85), 0x24u);
  select({83, 84, 85});
  auto s = pageDefaults(kAlwaysOn, *image);

  auto r = buildAndSend(*image, s, &lightingPage);

  EXPECT_TRUE(r.sent);
  EXPECT_EQ(r.length, 11u);
  EXPECT_EQ(command(11), (Bytes{0xAC, 0x00, 0x01, 0x00, 0xFF, 0xC8, 0x00, 0x03, 0x22, 0x23, 0x24}));
  EXPECT_EQ(lightingPage.drain(), (std::deque<Message>{{msg::kEffectSlot, 0, 10}}));
  EXPECT_EQ(mainWindow.drain(), (std::deque<Message>{{msg::kLightingSend, 0, 11}}));
  EXPECT_EQ(image->effectSlots[10].totalLength, 11u);
  EXPECT_EQ(image->effectSlots[10].headerLength, 8u);

  const auto& rec = image->perKeyLighting[84];
  EXPECT_EQ(rec.text(), "ac_0_0_1_255_200_0");
  EXPECT_EQ(rec.ledCode, 0x23);
  EXPECT_EQ(rec.params[0], 1);
  EXPECT_EQ(rec.params[2], 1);
  ASSERT_EQ(rec.colours.size(), 1u);
  EXPECT_EQ(rec.colours[0], (std::array<uint8_t, 4>{0, 255, 200, 0}));
  EXPECT_EQ(getU32(image->ledState[84], kLedColour1), rgb(255, 200, 0));
  EXPECT_EQ(getU32(image->ledState[84], kLedAlwaysOnMark), 6u);
  EXPECT_EQ(image->perKeyLighting[82].text(), "");  // not selected

  // The main window sends the first L bytes of the block as one transfer.
  VirtualKeyboard keyboard;
  VirtualDriverEndpoint endpoint(keyboard);
  DriverChannel channel(endpoint);
  ASSERT_TRUE(channel.open());
  sendLighting(channel, *image, msg::kSendEditedBlock, 11);
  ASSERT_EQ(keyboard.lightingCommands().size(), 1u);
  EXPECT_EQ(keyboard.lightingCommands()[0], command(11));
}

TEST_F(LightingFixture, StrengthByApplyCoversEveryRecord) {
  for (auto& led : image->ledState) putU32(led, kLedColour1, 0x123456);
  auto s = pageDefaults(kStrength, *image);
  EXPECT_EQ(s.level, 0);  // slot 2 still empty
  s.level = 4;
  s.sendMode = kSendApply;

  auto r = buildAndSend(*image, s, &lightingPage);

  EXPECT_EQ(command(r.length), (Bytes{0xAD, 0x05, 0x04, 0x00}));
  EXPECT_EQ(image->effectSlots[2].totalLength, 4u);
  EXPECT_EQ(image->effectSlots[2].headerLength, 4u);
  for (int i = 0; i < kLedRecordCount; ++i) {
    EXPECT_EQ(image->perKeyLighting[size_t(i)].text(), "ad_5_4") << i;
    EXPECT_EQ(getU32(image->ledState[size_t(i)], kLedColour1), 0u) << "zeroing rule, record " << i;
  }
  EXPECT_EQ(pageDefaults(kStrength, *image).level, 4);  // the next opening starts at the stored level
}

TEST_F(LightingFixture, PageCommandsAndTextKeysOfEachEffect) {
  select({0, 1});
  struct Case {
    EffectSettings s;
    Bytes bytes;
    std::string text;
    int slot;
  };
  auto breathing = pageDefaults(kBreathing, *image);
  auto single = pageDefaults(kSingle, *image);
  auto seven = pageDefaults(kSevenColour, *image);
  auto wave = pageDefaults(kWave, *image);
  auto waveDiagonal = wave;
  waveDiagonal.direction = 1;
  waveDiagonal.speed = 7;
  waveDiagonal.sendMode = kSendApply;
  Bytes waveColours(20, 0);
  Bytes waveBytes{0xA9, 0, 1, 0, 3, 5};
  waveBytes.insert(waveBytes.end(), waveColours.begin(), waveColours.end());
  waveBytes.insert(waveBytes.end(), {2, 0xA0, 0xA1});
  Bytes waveDiagonalBytes = waveBytes;
  waveDiagonalBytes[1] = 5;
  waveDiagonalBytes[2] = 7;
  waveDiagonalBytes[3] = 0x69;
  waveDiagonalBytes[4] = 1;
  const Case cases[] = {
      {breathing, {0xAA, 0, 3, 2, 255, 0, 0, 2, 200, 0, 2, 0xA0, 0xA1}, "aa_0_3_2_255_0_0_2_200_0", 8},
      {single, {0xAB, 0, 1, 255, 0, 0, 2, 200, 0, 2, 0xA0, 0xA1}, "ab_0_1_2_255_0_0_2_200_0", 9},
      {seven, {0xAE, 0, 2, 2, 0xA0, 0xA1}, "ae_0_2", 0},
      {wave, waveBytes, "a9_0_1_5_0_0_0_0_0_0_0_0_0_0_0_0_0_0_0_0_0_0_0_0", 3},
      {waveDiagonal, waveDiagonalBytes, "a9_5_7_5_0_0_0_0_0_0_0_0_0_0_0_0_0_0_0_0_0_0_0_0", 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    auto r = buildAndSend(*image, c.s, nullptr);
    EXPECT_EQ(r.slot, c.slot);
    EXPECT_EQ(command(r.length), c.bytes);
    EXPECT_EQ(image->perKeyLighting[1].text(), c.text);
  }
  // The last wave went into the wave extra buffer too.
  EXPECT_EQ(image->waveExtraLength, waveDiagonalBytes.size());
  EXPECT_EQ(image->waveExtra[3], 0x69);
}

TEST_F(LightingFixture, WithoutTheMainWindowNothingIsStoredOrSent) {
  windows::unregisterTarget(&mainWindow);
  select({5});
  auto r = buildAndSend(*image, pageDefaults(kSingle, *image), &lightingPage);
  EXPECT_FALSE(r.sent);
  EXPECT_EQ(image->effectSlots[9].totalLength, 0u);
  EXPECT_EQ(lightingPage.size(), 0u);
  EXPECT_EQ(image->perKeyLighting[5].effectCode, kSingle);  // the records keep the change
}

TEST_F(LightingFixture, SlotKeyExclusionRemovesAndCompacts) {
  select({0, 1, 2, 3, 4});
  send(pageDefaults(kBreathing, *image));
  EXPECT_EQ(slotKeys(8), (Bytes{0xA0, 0xA1, 0xA2, 0xA3, 0xA4}));

  select({1, 3});
  send(pageDefaults(kAlwaysOn, *image));

  // The last kept key fills the first hole.
  EXPECT_EQ(slotKeys(8), (Bytes{0xA0, 0xA4, 0xA2}));
  EXPECT_EQ(image->effectSlots[8].bytes[10], 3);  // count byte
  EXPECT_EQ(image->effectSlots[8].totalLength, 14u);
  EXPECT_EQ(image->effectSlots[8].bytes[14], 0);
  EXPECT_EQ(slotKeys(10), (Bytes{0xA1, 0xA3}));
}

TEST_F(LightingFixture, WaveEmptiesEveryOtherSlotButStrength) {
  auto strength = pageDefaults(kStrength, *image);
  strength.level = 3;
  send(strength);
  select({7});
  send(pageDefaults(kSingle, *image));
  send(pageDefaults(kSevenColour, *image));
  auto wave = pageDefaults(kWave, *image);
  wave.direction = 6;
  selectAll();
  send(wave);
  for (int j = 0; j < kEffectSlotCount; ++j) {
    if (j == 2 || j == 5) continue;
    EXPECT_EQ(image->effectSlots[size_t(j)].totalLength, 0u) << j;
    EXPECT_EQ(image->effectSlots[size_t(j)].bytes[0], 0) << j;
  }
  EXPECT_EQ(image->effectSlots[2].bytes[2], 3);
  EXPECT_EQ(image->effectSlots[5].totalLength, 27u + 112u);
}

TEST_F(LightingFixture, ReplayStopsAfterAnEffectOverTheWholeKeyboard) {
  auto strength = pageDefaults(kStrength, *image);
  strength.level = 2;
  send(strength);
  select({3});
  send(pageDefaults(kSingle, *image));
  selectAll();
  send(pageDefaults(kBreathing, *image));  // takes key 3 out of the single slot
  select({9});
  send(pageDefaults(kAlwaysOn, *image));   // takes key 9 out of breathing: no longer 112 keys

  auto replay = replayCommands(*image);
  ASSERT_EQ(replay.size(), 3u);
  EXPECT_EQ(replay[0], (Bytes{0xAD, 0, 2, 0}));
  EXPECT_EQ(replay[1][0], kBreathing);
  EXPECT_EQ(replay[1].size(), 11u + 111u);
  EXPECT_EQ(replay[2][0], kAlwaysOn);

  selectAll();
  send(pageDefaults(kBreathing, *image));  // 112 keys again: the always-on slot is emptied
  replay = replayCommands(*image);
  ASSERT_EQ(replay.size(), 2u);
  EXPECT_EQ(replay[1].size(), 11u + 112u);
}

TEST_F(LightingFixture, LedGroupCommandsFollowTheGroupingWalk) {
  auto setRecord = [&](int i, const char* text, uint8_t effect, uint8_t p1) {
    auto& r = image->perKeyLighting[size_t(i)];
    r.setText(text);
    r.effectCode = effect;
    r.params[0] = p1;
    r.ledCode = uint8_t(0x40 + i);
  };
  setRecord(0, "ad_0_1", kStrength, 1);
  setRecord(1, "ae_0_2", kSevenColour, 2);
  setRecord(2, "ad_0_1", kStrength, 1);
  setRecord(3, "ae_0_2", kSevenColour, 2);
  auto abab = buildLedGroupCommands(*image);
  const Bytes a{0xAD, 0, 1, 2, 0x40, 0x42}, b{0xAE, 0, 2, 2, 0x41, 0x43};
  EXPECT_EQ(abab, (std::vector<Bytes>{a, b, a, b}));

  resetPerKeyLighting(*image);
  setRecord(0, "ad_0_1", kStrength, 1);
  setRecord(1, "ad_0_1", kStrength, 1);
  setRecord(2, "ae_0_2", kSevenColour, 2);
  setRecord(3, "ae_0_2", kSevenColour, 2);
  EXPECT_EQ(buildLedGroupCommands(*image),
            (std::vector<Bytes>{{0xAD, 0, 1, 2, 0x40, 0x41}, {0xAE, 0, 2, 2, 0x42, 0x43}}));

  // Each is sent with one extra zero byte.
  image->ledGroupCommands = buildLedGroupCommands(*image);
  VirtualKeyboard keyboard;
  VirtualDriverEndpoint endpoint(keyboard);
  DriverChannel channel(endpoint);
  ASSERT_TRUE(channel.open());
  sendLighting(channel, *image, msg::kSendLedGroups, 0);
  ASSERT_EQ(keyboard.lightingCommands().size(), 2u);
  EXPECT_EQ(keyboard.lightingCommands()[1], (Bytes{0xAE, 0, 2, 2, 0x42, 0x43, 0}));
}

TEST_F(LightingFixture, GroupCommandsOfPageEffectsMatchThePageCommands) {
  select({10, 11});
  auto always = pageDefaults(kAlwaysOn, *image);
  auto r = buildAndSend(*image, always, nullptr);
  auto groups = buildLedGroupCommands(*image);
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(groups[0], command(r.length));

  // A colour count beyond the record's list gives zero bytes, never a read past it.
  auto& rec = image->perKeyLighting[10];
  rec.params[2] = 3;
  rec.colours.clear();
  groups = buildLedGroupCommands(*image);
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(groups[0], (Bytes{0xAC, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, rec.ledCode,
                              image->perKeyLighting[11].ledCode}));
}

TEST_F(LightingFixture, SelectionRecountAndTheLightingPageAfterAnEffectPage) {
  EXPECT_EQ(selectionRecount(*image, {}), 0);
  EXPECT_EQ(image->keySelectionFlag, 0u);
  select({4});
  EXPECT_EQ(image->keySelectionFlag, 1u);
  std::array<bool, kLedRecordCount> all;
  all.fill(true);
  image->keySelectionFlag = 0;
  EXPECT_EQ(selectionRecount(*image, all), 113);
  EXPECT_EQ(image->keySelectionFlag, 0u);  // a recount of all 113 leaves the flag

  select({4, 6});
  putU32(image->ledState[4], kLedCommittedEffectCopy, kSingle);
  afterEffectPage(*image, kButtonWave, false);
  EXPECT_EQ(getU32(image->ledState[4], kLedCommittedEffect), uint32_t(kSingle));
  EXPECT_EQ(image->lightingMode, uint32_t(kModeWave));

  send(pageDefaults(kSingle, *image));
  afterEffectPage(*image, kButtonSingle, true);
  EXPECT_EQ(getU32(image->ledState[6], kLedCommittedEffect), uint32_t(kSingle));
  EXPECT_EQ(getU32(image->ledState[6], kLedCommittedEffectCopy), uint32_t(kSingle));
  EXPECT_EQ(getU32(image->ledState[6], kLedCommittedColour), rgb(255, 0, 0));
  EXPECT_EQ(getU32(image->ledState[5], kLedCommittedEffect), 0u);
  EXPECT_EQ(image->lightingMode, uint32_t(kModeSingle));
}

TEST_F(LightingFixture, SettingsWithoutASlotChangeNothing) {
  select({1});
  auto wave = pageDefaults(kWave, *image);
  wave.direction = 4;
  auto seven = pageDefaults(kSevenColour, *image);
  seven.option = 3;
  for (const auto& s : {wave, seven}) {
    auto r = buildAndSend(*image, s, &lightingPage);
    EXPECT_FALSE(r.sent);
    EXPECT_EQ(image->perKeyLighting[1].text(), "");
  }
  EXPECT_EQ(mainWindow.size(), 0u);
}
