#include <gtest/gtest.h>

#include "core/config/config_image.h"
#include "core/device/message_target.h"
#include "core/device/messages.h"
#include "core/lighting/effect_page_models.h"
#include "core/lighting/lighting_model.h"
#include "core/util/bytes.h"

using namespace orlix;
using namespace orlix::lighting;
using Bytes = std::vector<uint8_t>;

namespace {

struct EffectPageFixture : ::testing::Test {
  std::unique_ptr<ConfigImage> image = makeConfigImage();
  MessageQueue mainWindow, lightingPage;
  RecordingNotices notices;
  bool chinese = false;
  int clears = 0;

  void SetUp() override {
    initialiseDefaults(*image);
    resetPerKeyLighting(*image);
    restoreLedCodesFromMap(*image);
    windows::registerTarget(kMainWindowTitle, &mainWindow);
  }
  void TearDown() override { windows::unregisterTarget(&mainWindow); }

  EffectPageModel open(int button) {
    TextSource texts{nullptr, [this] { return chinese; }};
    return EffectPageModel(button, {*image, notices, texts, &lightingPage, [this] { ++clears; }});
  }
  void select(std::initializer_list<int> entries) {
    std::array<bool, kLedRecordCount> sel{};
    for (int e : entries) sel[size_t(e)] = true;
    selectionRecount(*image, sel);
  }
  // The bytes the last 0x706 asks the main window to transfer.
  Bytes sent() {
    auto posted = mainWindow.drain();
    if (posted.empty()) return {};
    auto n = size_t(posted.back().lParam);
    return Bytes(image->editedLedCommand.begin(), image->editedLedCommand.begin() + ptrdiff_t(n));
  }
};

}  // namespace

TEST_F(EffectPageFixture, StrengthStartsAtTheStoredLevelAndNeedsNoSelection) {
  auto first = open(kButtonStrength);
  EXPECT_EQ(first.markedButton(), -1);
  EXPECT_EQ(first.ok(), PageOutcome::CloseOk);
  EXPECT_EQ(sent(), (Bytes{0xAD, 0x00, 0x00, 0x00}));
  EXPECT_TRUE(notices.entries.empty());

  auto second = open(kButtonStrength);
  second.clickGroupButton(3);  // level 4
  EXPECT_EQ(second.apply(), PageOutcome::Stay);
  EXPECT_EQ(sent(), (Bytes{0xAD, 0x05, 0x04, 0x00}));
  EXPECT_EQ(second.markedButton(), -1) << "every command unmarks the levels";

  auto third = open(kButtonStrength);
  EXPECT_EQ(third.settings().level, 4);
  EXPECT_EQ(third.markedButton(), 3);
}

TEST_F(EffectPageFixture, WaveApplyKeepsTheDirectionButUnmarksIt) {
  select({0, 1});
  auto wave = open(kButtonWave);
  EXPECT_EQ(wave.markedButton(), 0);  // direction type 3
  wave.clickGroupButton(3);           // type 1
  EXPECT_EQ(wave.markedButton(), 3);
  EXPECT_TRUE(wave.slider(12, 1002));
  EXPECT_EQ(wave.apply(), PageOutcome::Stay);
  Bytes b = sent();
  ASSERT_EQ(b.size(), 27u + 2);
  EXPECT_EQ(b[2], 12);
  EXPECT_EQ(b[3], 0x69);
  EXPECT_EQ(b[4], 1);
  EXPECT_EQ(wave.markedButton(), -1);
  EXPECT_EQ(wave.lastBuild().slot, 6);
  wave.apply();
  EXPECT_EQ(sent()[4], 1) << "the direction stays selected for the next send";
  EXPECT_EQ(wave.cancel(), PageOutcome::CloseCancelled);
  EXPECT_EQ(clears, 1);
}

TEST_F(EffectPageFixture, SingleSendsItsColoursNotWhatItsSwatchesShow) {
  select({83});
  auto single = open(kButtonSingle);
  EXPECT_EQ(single.swatchColour(0), rgb(200, 0, 0));
  EXPECT_EQ(single.swatchColour(1), rgb(0, 200, 0));
  EXPECT_EQ(single.markedSwatch(), 0);
  EXPECT_EQ(single.ok(), PageOutcome::CloseOk);
  EXPECT_EQ(sent(), (Bytes{0xAB, 0, 1, 255, 0, 0, 2, 200, 0, 1, 0x22}));
}

TEST_F(EffectPageFixture, BreathingSendsWhatItsSwatchesShow) {
  select({83});
  auto breath = open(kButtonBreathing);
  EXPECT_EQ(breath.swatchColour(0), rgb(255, 0, 0));
  EXPECT_EQ(breath.swatchColour(1), rgb(2, 200, 0));
  EXPECT_FALSE(breath.slider(9, 1004)) << "another page's slider";
  EXPECT_TRUE(breath.slider(9, 1003));
  breath.setSwatchColour(1, rgb(1, 2, 3));  // shown, and so sent
  breath.afterPalette(1);
  EXPECT_EQ(breath.markedSwatch(), 1);
  breath.ok();
  EXPECT_EQ(sent(), (Bytes{0xAA, 0, 9, 2, 255, 0, 0, 1, 2, 3, 1, 0x22}));
}

TEST_F(EffectPageFixture, SevenColourOptionPicksItsSlot) {
  select({83});
  auto seven = open(kButtonSeven);
  EXPECT_EQ(seven.markedButton(), 0);
  seven.clickGroupButton(1);
  seven.ok();
  EXPECT_EQ(seven.markedButton(), 1) << "seven-colour keeps its option marked";
  EXPECT_EQ(sent(), (Bytes{0xAE, 0, 1, 1, 0x22}));
  EXPECT_EQ(seven.lastBuild().slot, 1);
}

TEST_F(EffectPageFixture, WithoutASelectedKeyEachPageAsksAndSendsNothing) {
  struct Row {
    int button;
    bool applyButton;
    const char16_t* en;
    const char16_t* zh;
  };
  const Row rows[] = {
      {kButtonAlwaysOn, false, u"ON :Uncheck the keyboard button!", u"常亮：未选中键盘按钮!"},
      {kButtonAlwaysOn, true, u"ON :Uncheck the keyboard button!", u"常亮模式：未选中键盘按钮！"},
      {kButtonBreathing, false, u"Breathing:Uncheck the keyboard button!", u"呼吸：未选中键盘按钮！"},
      {kButtonBreathing, true, u"Breathing:Uncheck the keyboard button!", u"呼吸模式：未选中键盘按钮！"},
      {kButtonSeven, false, u"Whole lighting:Uncheck the keyboard button!", u"全光谱：未选中键盘按钮！"},
      {kButtonSeven, true, u"Whole lighting:Uncheck the keyboard button!", u"全光谱模式：未选中键盘按钮！"},
      {kButtonSingle, false, u"Single lighting:Uncheck the keyboard button!", u"单点：未选中键盘按钮！"},
      {kButtonSingle, true, u"Single lighting:Uncheck the keyboard button!", u"单点模式：未选中键盘按钮！"},
      {kButtonWave, false, u"Wave lighting:Uncheck the keyboard button!", u"波浪模式：未选中键盘按钮！"},
      {kButtonWave, true, u"Wave lighting:Uncheck the keyboard button!", u"波浪模式：未选中键盘按钮！"},
  };
  select({});
  for (const Row& r : rows) {
    SCOPED_TRACE(r.button * 2 + r.applyButton);
    for (bool zh : {false, true}) {
      chinese = zh;
      notices.entries.clear();
      auto page = open(r.button);
      notices.answer = NoticeResult::Cancel;
      EXPECT_EQ(r.applyButton ? page.apply() : page.ok(), PageOutcome::Stay);
      notices.answer = NoticeResult::Ok;
      EXPECT_EQ(r.applyButton ? page.apply() : page.ok(), PageOutcome::CloseCancelled);
      ASSERT_EQ(notices.entries.size(), 2u);
      EXPECT_EQ(notices.entries[0].text, zh ? r.zh : r.en);
      EXPECT_TRUE(mainWindow.drain().empty());
      EXPECT_TRUE(lightingPage.drain().empty());
      EXPECT_EQ(clears, 0) << "the selections are kept";
    }
  }
}
