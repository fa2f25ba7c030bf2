#include <gtest/gtest.h>

#include "core/config/file_store.h"
#include "core/device/pacer.h"
#include "core/macros/macro_record.h"
#include "core/macros/macro_set_model.h"
#include "core/util/bytes.h"

using namespace orlix;
using namespace orlix::macros;

namespace {

struct MacroSetFixture : ::testing::Test {
  std::unique_ptr<ConfigImage> image = makeConfigImage();
  MemoryFileStore files;
  RecordingNotices notices;
  FakePacer pacer;
  MacroLibrary library{*image, files, "/prog/Macro.cfg", notices, TextSource{}, pacer};
  MacroSetModel model{library};

  void put(int record, int category, uint32_t tick, std::u16string name) {
    auto& r = image->macroLibrary[size_t(record)];
    putU32(r, kRecSize, 108);
    putU32(r, kRecId, makeMacroId(category, tick));
    setRecordName(r, name);
  }
};

}  // namespace

TEST_F(MacroSetFixture, OpeningListsCategory21WithTheLastMacroSelected) {
  put(3, 21, 1, u"first");
  put(7, 5, 2, u"other game");
  put(9, 21, 3, u"second");
  model.open();
  EXPECT_EQ(model.gameIndex(), 20);
  ASSERT_EQ(model.macros().size(), 2u);
  EXPECT_EQ(model.selectedMacro(), 1);
  keys::SettingResult r;
  model.fillResult(r);
  EXPECT_EQ(r.code, makeMacroId(21, 3));
  EXPECT_EQ(r.category, keys::kCategoryMacro);
  EXPECT_EQ(r.text, u"second");

  model.selectMacro(0);
  model.fillResult(r);
  EXPECT_EQ(r.text, u"first");
}

TEST_F(MacroSetFixture, AGameWithoutMacrosYieldsNoCode) {
  put(3, 21, 1, u"first");
  model.open();
  EXPECT_TRUE(model.chooseGame(0));
  EXPECT_TRUE(model.macros().empty());
  EXPECT_EQ(model.selectedMacro(), -1);
  keys::SettingResult r{0x55, 0, u""};
  model.fillResult(r);
  EXPECT_EQ(r.code, 0u);
  EXPECT_FALSE(model.chooseGame(0));   // the current game again
  EXPECT_FALSE(model.chooseGame(21));  // out of range
}

TEST_F(MacroSetFixture, ARepaintShowsNewMacrosAndSelectsTheLast) {
  put(3, 21, 1, u"first");
  put(4, 21, 2, u"second");
  model.open();
  model.selectMacro(0);
  put(10, 21, 9, u"recorded later");
  model.relist();
  ASSERT_EQ(model.macros().size(), 3u);
  EXPECT_EQ(model.selectedMacro(), 2);
  EXPECT_EQ(model.macros()[2].name, u"recorded later");
}

TEST(MacroSetModel, GameNamesByLanguage) {
  auto en = MacroSetModel::gameNames(false);
  auto zh = MacroSetModel::gameNames(true);
  ASSERT_EQ(en.size(), 21u);
  ASSERT_EQ(zh.size(), 21u);
  EXPECT_EQ(zh[20], u"玩家自定义");
  EXPECT_EQ(en[20], u"Customisze");
}
