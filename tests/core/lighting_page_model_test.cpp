#include <gtest/gtest.h>

#include "core/config/config_image.h"
#include "core/device/message_target.h"
#include "core/device/messages.h"
#include "core/lighting/effect_page_models.h"
#include "core/lighting/lighting_model.h"
#include "core/lighting/lighting_page_model.h"
#include "core/util/bytes.h"

using namespace orlix;
using namespace orlix::lighting;

namespace {

struct PageFixture : ::testing::Test {
  std::unique_ptr<ConfigImage> image = makeConfigImage();
  LightingPageModel page{*image};
  MessageQueue mainWindow, lightingPage;
  RecordingNotices notices;

  void SetUp() override {
    initialiseDefaults(*image);
    resetPerKeyLighting(*image);
    restoreLedCodesFromMap(*image);
    windows::registerTarget(kMainWindowTitle, &mainWindow);
  }
  void TearDown() override { windows::unregisterTarget(&mainWindow); }

  uint32_t selectedField(int i) const { return getU32(image->ledState[size_t(i)], kLedSelected); }
  EffectPageServices services() {
    return {*image, notices, TextSource{}, &lightingPage, [this] { page.clearSelections(); }};
  }
  // The posted messages as the window loop delivers them after the page closed.
  void deliver() {
    for (auto& m : lightingPage.drain())
      if (m.id == msg::kEffectSlot) page.slotExclusion(int(m.lParam));
    for (auto& m : mainWindow.drain())
      if (m.id == msg::kLightingSend) page.refresh();
  }
};

}  // namespace

TEST_F(PageFixture, WaveSelectsEveryKeyBeforeItsPageAndStrengthOpensWithoutARecount) {
  page.clickLight(5);
  int seen = -1;
  page.clickEffect(kButtonStrength, [&](int b) {
    EXPECT_EQ(b, kButtonStrength);
    seen = int(selectedField(5));
    return false;
  });
  EXPECT_EQ(seen, 0) << "strength must open before any recount";
  EXPECT_EQ(image->keySelectionFlag, 0u);

  int selectedCount = 0;
  page.clickEffect(kButtonWave, [&](int) {
    for (int i = 0; i < kLedRecordCount; ++i) selectedCount += int(selectedField(i));
    return false;
  });
  EXPECT_EQ(selectedCount, kLightingKeys);
  EXPECT_EQ(selectedField(112), 0u);
  EXPECT_TRUE(page.selectAll());
}

TEST_F(PageFixture, RecountSetsSelectAllAndTheFlagByCount) {
  struct Row {
    int n;
    bool selectAll;
    uint32_t flag;
  };
  // 113 selected (button 112 too) leaves select-all and the flag as they were.
  for (Row r : {Row{0, false, 0}, Row{1, false, 1}, Row{111, false, 1}, Row{112, true, 1}, Row{113, true, 1}}) {
    SCOPED_TRACE(r.n);
    for (int i = 0; i < kLedRecordCount; ++i) page.setSelected(i, i < r.n);
    EXPECT_EQ(page.recount(), r.n);
    EXPECT_EQ(page.selectAll(), r.selectAll);
    EXPECT_EQ(image->keySelectionFlag, r.flag);
  }
  // After 112 by hand, deselecting one turns select-all off at the next recount.
  for (int i = 0; i < kLedRecordCount; ++i) page.setSelected(i, false);
  for (int i = 0; i < kLightingKeys; ++i) page.clickLight(i);
  page.recount();
  EXPECT_TRUE(page.selectAll());
  page.clickLight(40);
  page.recount();
  EXPECT_FALSE(page.selectAll());
  // Button 112 cannot be clicked.
  page.clickLight(112);
  EXPECT_FALSE(page.selected(112));
}

TEST_F(PageFixture, EveryOtherCommandClearsTheEffectButtonsPressedLook) {
  const std::vector<std::pair<const char*, std::function<void()>>> commands{
      {"light button", [&] { page.clickLight(3); }},
      {"select-all", [&] { page.clickSelectAll(); }},
      {"show toggle", [&] { page.clickShowToggle(); }},
  };
  for (const auto& [name, command] : commands) {
    SCOPED_TRACE(name);
    page.clickEffect(kButtonBreathing, [](int) { return false; });
    EXPECT_TRUE(page.effectPressed(kButtonBreathing));
    EXPECT_EQ(page.currentEffect(), 4);
    EXPECT_TRUE(page.showOn());
    command();
    for (int b = 0; b < kEffectButtonCount; ++b) EXPECT_FALSE(page.effectPressed(b)) << b;
  }
}

TEST_F(PageFixture, ShowToggleOffClearsColoursNotSelectionsAndRightClickSkipsTheRecount) {
  page.clickLight(10);
  page.clickLight(11);
  page.recount();
  image->lightingMode = kModeAlways;
  putU32(image->ledState[10], kLedColour1, rgb(1, 2, 3));
  page.refresh();  // the last command was sent by OK: key 10 shows its colour
  page.clickLight(11);
  page.recount();
  ASSERT_EQ(page.fill(10), rgb(1, 2, 3));

  page.clickShowToggle();
  EXPECT_FALSE(page.showOn());
  EXPECT_EQ(page.fill(10), 0u);
  EXPECT_TRUE(page.selected(11));

  page.clickShowToggle();  // back on: the refresh shows nothing, key 10 is no longer selected
  EXPECT_TRUE(page.showOn());

  page.clickLight(20);
  page.recount();
  ASSERT_EQ(image->keySelectionFlag, 1u);
  page.rightClick();
  for (int i = 0; i < kLightingKeys; ++i) EXPECT_FALSE(page.selected(i)) << i;
  EXPECT_EQ(image->keySelectionFlag, 1u) << "no recount after the right button";
  EXPECT_EQ(selectedField(20), 1u);
}

TEST_F(PageFixture, RubberBandFlipsTheKeysWhoseCentresItCovers) {
  page.clickLight(25);  // selected before: the band deselects it
  // Dragged right to left over the row of entries 19..40 (centres at y 170);
  // entry 19's centre (59, 170) lies left of the band.
  page.rubberBand(880, 180, 80, 160);
  for (int i = 0; i < kLedRecordCount; ++i) {
    bool inRow = i >= 20 && i <= 40;
    EXPECT_EQ(page.selected(i), inRow && i != 25) << i;
  }
  EXPECT_EQ(selectedField(30), 1u) << "the band ends with a recount";
  EXPECT_EQ(image->keySelectionFlag, 1u);

  // A band whose edge passes through centres: left and top inclusive, right and bottom exclusive.
  int x, y;
  LightingPageModel::centreOf(0, x, y);
  EXPECT_EQ(x, (87 + 121) / 2);
  EXPECT_EQ(y, (98 + 132) / 2);
  page.rubberBand(x, y, x + 1, y + 1);
  EXPECT_TRUE(page.selected(0));
  page.rubberBand(x - 5, y - 5, x, y);
  EXPECT_TRUE(page.selected(0));
}

TEST_F(PageFixture, AfterAlwaysOnOkTheLitKeysShowTheirColourAndAfterApplyTheSelectionStays) {
  for (int i : {83, 84, 85}) page.clickLight(i);
  bool ok = page.clickEffect(kButtonAlwaysOn, [&](int b) {
    EffectPageModel always(b, services());
    return always.ok() == PageOutcome::CloseOk;
  });
  ASSERT_TRUE(ok);
  EXPECT_EQ(image->lightingMode, uint32_t(kModeAlways));
  EXPECT_EQ(getU32(image->ledState[84], kLedCommittedEffect), kAlwaysOn);
  deliver();
  for (int i = 0; i < kLedRecordCount; ++i) {
    bool lit = i >= 83 && i <= 85;
    EXPECT_EQ(page.fill(i), lit ? rgb(255, 200, 0) : 0u) << i;
    EXPECT_FALSE(page.selected(i)) << i;
  }
  EXPECT_EQ(image->keySelectionFlag, 0u);
  EXPECT_TRUE(page.effectPressed(kButtonAlwaysOn));

  // Apply: the page stays open and the keys keep their selection and colour.
  page.clickLight(90);
  page.clickEffect(kButtonAlwaysOn, [&](int b) {
    EffectPageModel always(b, services());
    EXPECT_EQ(always.apply(), PageOutcome::Stay);
    deliver();
    return false;
  });
  deliver();
  EXPECT_TRUE(page.selected(90));
  EXPECT_EQ(page.fill(84), rgb(255, 200, 0));
}

TEST_F(PageFixture, RefreshByLightingMode) {
  struct Row {
    uint32_t mode;
    uint8_t sendMode;
    bool keepsSelection;
    uint32_t fill;
    int pressed;  // -1 none
  };
  const Row rows[] = {
      {0, kSendApply, false, 0, -1},
      {kModeStrength, kSendOk, false, 0, kButtonStrength},
      {kModeStrength, kSendApply, true, 0, kButtonStrength},
      {kModeSingle, kSendOk, false, rgb(7, 7, 7), kButtonSingle},
      {kModeAlways, kSendApply, true, 0, kButtonAlwaysOn},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.mode * 10 + r.sendMode);
    LightingPageModel fresh(*image);
    fresh.setSelected(7, true);
    fresh.recount();
    putU32(image->ledState[7], kLedColour1, rgb(7, 7, 7));
    putU32(image->ledState[8], kLedColour1, rgb(8, 8, 8));  // not selected: never shown
    image->lightingMode = r.mode;
    image->editedLedCommand[1] = r.sendMode;
    fresh.refresh();
    EXPECT_EQ(fresh.selected(7), r.keepsSelection);
    EXPECT_EQ(fresh.fill(7), r.fill);
    EXPECT_EQ(fresh.fill(8), 0u);
    EXPECT_EQ(selectedField(7), r.keepsSelection ? 1u : 0u) << "refresh ends with a recount";
    for (int b = 0; b < kEffectButtonCount; ++b) EXPECT_EQ(fresh.effectPressed(b), b == r.pressed) << b;
  }
}

TEST(LightingPageHints, EffectButtonRectanglesGrownByOnePixel) {
  EXPECT_EQ(LightingPageModel::hintsAt(100, 420), std::vector<int>{53});
  EXPECT_EQ(LightingPageModel::hintsAt(11, 420), std::vector<int>{53});  // one pixel left of the box
  EXPECT_EQ(LightingPageModel::hintsAt(188, 430), (std::vector<int>{53, 54}));  // boxes overlap
  EXPECT_EQ(LightingPageModel::hintsAt(900, 430), std::vector<int>{29});
  EXPECT_TRUE(LightingPageModel::hintsAt(500, 300).empty());
}
