#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/config/file_store.h"
#include "core/device/pacer.h"
#include "core/keys/key_codes.h"
#include "core/keys/key_setting_model.h"
#include "core/macros/macro_record.h"
#include "core/util/bytes.h"

using namespace orlix;
using namespace orlix::keys;
using End = KeySettingModel::End;
using Injected = RecordingKeyInjector::Event;

namespace {

struct KeySettingFixture : ::testing::Test {
  std::unique_ptr<ConfigImage> image = makeConfigImage();
  MemoryFileStore files;
  RecordingNotices notices;
  FakePacer pacer;
  macros::MacroLibrary library{*image, files, "/prog/Macro.cfg", notices, TextSource{}, pacer};
  RecordingKeyInjector injector;
  std::vector<std::string> calls;  // hook calls in order
  KeySettingModel panel{*image, library, injector,
                        {[this] { calls.push_back("receive"); },
                         [this](int on) { calls.push_back("status" + std::to_string(on)); }}};

  void SetUp() override {
    initialiseDefaults(*image);
    image->keyTable = image->defaultKeyTable;
    panel.setKeyIndex(4);  // A
  }
  void open() {
    panel.initialise(u"A");
    calls.clear();
  }
  void addMacro(int record, uint32_t id, std::u16string name) {
    auto& r = image->macroLibrary[size_t(record)];
    putU32(r, macros::kRecSize, 108);
    putU32(r, macros::kRecId, id);
    macros::setRecordName(r, name);
  }
};

}  // namespace

TEST(BasePage, ItemsAndCodes) {
  auto items = basePageItems();
  const uint32_t expected[kBasePageItemCount] = {
      0x3D040002,  // Alt+F4
      0x0F080002,  // Win+L
      0x15080002,  // Win+R
      0x07080002,  // Win+D
      0x10080002,  // Win+M
      0x2B040002,  // Alt+Tab
      0x57080002,  // Win+Num +
      0x56080002,  // Win+Num -
      0x09010002,  // Ctrl+F
      0xCD000004, 0xB7000004, 0xB6000004, 0xB5000004, 0xEA000004, 0xE9000004, 0xE2000004};
  for (int i = 0; i < kBasePageItemCount; ++i) EXPECT_EQ(items[size_t(i)].code, expected[i]) << i;
  EXPECT_EQ(items[0].text, localization::StringKey::str_close);
  EXPECT_EQ(items[15].text, localization::StringKey::str_mute);
}

TEST_F(KeySettingFixture, OpeningShowsTheCombinationPageWithCaptureOn) {
  panel.initialise(u"A");
  EXPECT_EQ(calls, (std::vector<std::string>{"receive", "status1"}));
  EXPECT_EQ(panel.currentTab(), kTabCombination);
  EXPECT_TRUE(panel.tabChecked(KeySettingModel::kComboPage));
  EXPECT_TRUE(panel.pageVisible(KeySettingModel::kComboPage));
  EXPECT_FALSE(panel.pageVisible(KeySettingModel::kMacroPage));
  EXPECT_FALSE(panel.pageVisible(KeySettingModel::kBasePage));
  EXPECT_EQ(panel.baseSelection(), 15);
  EXPECT_EQ(panel.currentFunction(), u"A");
  EXPECT_EQ(panel.result().code, 0u);
}

TEST_F(KeySettingFixture, TabsSwitchPagesAndCapture) {
  open();
  panel.selectTab(kTabBase);
  EXPECT_TRUE(panel.pageVisible(KeySettingModel::kBasePage));
  EXPECT_TRUE(panel.tabChecked(KeySettingModel::kBasePage));
  EXPECT_FALSE(panel.tabChecked(KeySettingModel::kComboPage));
  panel.selectTab(kTabMacroSet);
  EXPECT_TRUE(panel.pageVisible(KeySettingModel::kMacroPage));
  panel.selectTab(kTabCombination);
  EXPECT_EQ(calls, (std::vector<std::string>{"status0", "status0", "receive", "status1"}));
}

TEST_F(KeySettingFixture, DisableHidesEverythingAndUncheckingShowsComboWithoutCapture) {
  open();
  panel.selectTab(kTabBase);
  calls.clear();
  panel.toggleDisable();
  EXPECT_TRUE(panel.disabled());
  for (int p = 0; p < 3; ++p) {
    EXPECT_FALSE(panel.pageVisible(p)) << p;
    EXPECT_FALSE(panel.tabChecked(p)) << p;
  }
  EXPECT_EQ(panel.currentTab(), kTabBase);  // not changed while disabled
  panel.selectTab(kTabMacroSet);            // tab clicks do nothing but hide
  EXPECT_FALSE(panel.pageVisible(KeySettingModel::kMacroPage));
  EXPECT_TRUE(calls.empty());

  panel.toggleDisable();
  EXPECT_EQ(panel.currentTab(), kTabAfterDisable);
  EXPECT_TRUE(panel.pageVisible(KeySettingModel::kComboPage));
  EXPECT_TRUE(panel.tabChecked(KeySettingModel::kComboPage));
  EXPECT_EQ(calls, (std::vector<std::string>{"status0"}));
}

TEST_F(KeySettingFixture, OkPrecedence) {
  addMacro(0, macros::makeMacroId(21, 7), u"combo macro");
  struct Case {
    const char* name;
    int tab;
    bool disable;
    End end;
    uint32_t code, category;
  } cases[] = {
      {"base page untouched", kTabBase, false, End::Ok, 0xE2000004, kCategoryBase},
      {"macro tab", kTabMacroSet, false, End::Ok, macros::makeMacroId(21, 7), kCategoryMacro},
      {"combination page, nothing captured", kTabCombination, false, End::Cancel, 0, kCategoryCombination},
      {"disable over base", kTabBase, true, End::Ok, 7, kCategoryDisable},
      {"disable over macro", kTabMacroSet, true, End::Ok, 7, kCategoryDisable},
      {"disable over combination", kTabCombination, true, End::Ok, 7, kCategoryDisable},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    KeySettingModel p{*image, library, injector, {}};
    p.setKeyIndex(4);
    p.initialise(u"");
    p.selectTab(c.tab);
    if (c.disable) p.toggleDisable();
    EXPECT_EQ(p.ok(), c.end);
    EXPECT_EQ(p.result().code, c.code);
    EXPECT_EQ(p.result().category, c.category);
  }
  EXPECT_TRUE(injector.events.empty());
}

TEST_F(KeySettingFixture, OkOnTheBasePageTakesTheSelectedItem) {
  open();
  panel.selectTab(kTabBase);
  panel.selectBaseItem(3);
  EXPECT_EQ(panel.ok(), End::Ok);
  EXPECT_EQ(panel.result().code, 0x07080002u);
  EXPECT_TRUE(injector.events.empty());  // Win events come only from the Win box
  EXPECT_EQ(calls.back(), "status0");
}

TEST_F(KeySettingFixture, MacroTabWithoutMacrosCancels) {
  open();
  panel.selectTab(kTabMacroSet);
  EXPECT_EQ(panel.ok(), End::Cancel);
  EXPECT_EQ(panel.result().code, 0u);
}

TEST_F(KeySettingFixture, WinBoxCombinationSendsFourWinEvents) {
  open();
  panel.combo().toggle(ComboModel::kWin);
  panel.combo().onKeyEvent(0x44, 0);
  EXPECT_EQ(panel.ok(), End::Ok);
  EXPECT_EQ(panel.result().code, 0x07080002u);
  EXPECT_EQ(panel.result().category, kCategoryCombination);
  EXPECT_EQ(injector.events, (std::vector<Injected>{{0x5B, 0, 1, 0}, {0x5B, 0, 3, 0}, {0x5C, 0, 1, 0}, {0x5C, 0, 3, 0}}));
  EXPECT_EQ(calls, (std::vector<std::string>{"status0"}));
}

TEST_F(KeySettingFixture, WinAloneIsAPlainKeyWithoutWinEvents) {
  open();
  panel.combo().toggle(ComboModel::kWin);
  EXPECT_EQ(panel.ok(), End::Ok);
  EXPECT_EQ(panel.result().code, 0x00E30001u);
  EXPECT_TRUE(injector.events.empty());
}

TEST_F(KeySettingFixture, RestoreReturnsTheDefaultEvenWhenEqual) {
  open();
  EXPECT_EQ(panel.restore(), End::Ok);
  EXPECT_EQ(panel.result().code, image->defaultKeyTable[4]);
  EXPECT_EQ(panel.result().category, kCategoryBase);
  EXPECT_EQ(panel.result().text, u"");
  EXPECT_EQ(calls, (std::vector<std::string>{"status0"}));
  EXPECT_EQ(restoreResult(*image, 4).code, image->defaultKeyTable[4]);
}

TEST_F(KeySettingFixture, CloseCancelsAndStopsCapture) {
  open();
  panel.combo().onKeyEvent(0x41, 0);
  EXPECT_EQ(panel.close(), End::Cancel);
  EXPECT_EQ(calls, (std::vector<std::string>{"status0"}));
}

TEST(KeySettingTexts, ByLanguage) {
  EXPECT_EQ(keySettingTexts(false).currentFunction, u"Current function: ");
  EXPECT_EQ(keySettingTexts(true).disableLabel, u"禁用按键");
  EXPECT_EQ(keySettingTexts(true).comboTab, u"组合键");
  EXPECT_EQ(keySettingTexts(false).comboTab, u"Singlecomb");
}
