#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "core/config/config_image.h"
#include "core/keys/key_codes.h"
#include "core/keys/key_names.h"
#include "core/localization/language_strings.h"
#include "core/localization/languages.h"
#include "core/util/bytes.h"

using namespace orlix;
using namespace orlix::keys;
using namespace orlix::localization;
namespace fs = std::filesystem;

namespace {

// A layout given as a table; keys not in it type nothing.
class TableLayout : public KeyboardLayout {
 public:
  std::map<uint8_t, char32_t> chars;
  char32_t characterOf(uint8_t vk) override {
    auto it = chars.find(vk);
    return it == chars.end() ? 0 : it->second;
  }
};

TableLayout usLayout() {
  TableLayout l;
  for (char c = 'A'; c <= 'Z'; ++c) l.chars[uint8_t(c)] = char32_t(c - 'A' + 'a');
  for (char c = '0'; c <= '9'; ++c) l.chars[uint8_t(c)] = char32_t(c);
  l.chars[0xBA] = U';';
  l.chars[0xDE] = U'\'';
  l.chars[0xC0] = U'`';
  return l;
}

void loadLanguage(LanguageStrings& s, int id) {
  const fs::path data = fs::path(ORLIX_TEST_DATA_DIR).parent_path().parent_path() / "data";
  EXPECT_TRUE(s.LoadLanguageFile(languageFilePath(data, *languageById(id))));
}

}  // namespace

TEST(KeyNames, KeyNameTable) {
  EXPECT_EQ(keyNameTable().size(), 106u);
  EXPECT_EQ(keyName(0x6C), u"NUM Enter");
  EXPECT_EQ(keyName(0x2C), u"");
  EXPECT_EQ(keyName(0x01), u"Left Button");
  EXPECT_EQ(keyName(0x4B), u"K");
  EXPECT_EQ(keyName(0x5A), u"Z");
  EXPECT_EQ(keyName(0xC0), u"~");
  EXPECT_EQ(keyName(0x14), u"Cap");
}

TEST(KeyNames, VirtualKeyNames) {
  TableLayout us = usLayout();
  struct Case {
    unsigned vk;
    std::u16string name;
  } cases[] = {{0x2B, u"Enter"}, {0x6C, u"\\"},    {0xFF, u""},       {0x00, u""},     {0x41, u"A"},
               {0x5A, u"Z"},     {0x30, u"0"},     {0xBA, u";"},      {0xDE, u"'"},    {0x60, u"(0)"},
               {0x69, u"(9)"},   {0x7B, u"F12"},   {0x2C, u"PrtSc SysRq"}, {0xC3, u"MButton"},
               {0x14, u"CapsLock"}, {0xE8, u""}};
  for (const auto& c : cases) EXPECT_EQ(virtualKeyName(c.vk, us), c.name) << std::hex << c.vk;

  TableLayout other;
  other.chars[0x41] = U'\u0444';  // a Cyrillic layout types ф on the A key
  other.chars[0xBA] = U'\u00f6';  // and a German one ö on the ; key
  other.chars[0x42] = U'\x01';
  EXPECT_EQ(virtualKeyName(0x41, other), u"\u0444");
  EXPECT_EQ(virtualKeyName(0xBA, other), u"\u00f6");
  EXPECT_EQ(virtualKeyName(0x0D, other), u"Enter");  // fixed names ignore the layout
}

TEST(FunctionDescription, ExamplesInEnglishAndChinese) {
  TableLayout us = usLayout();
  auto image = makeConfigImage();
  initialiseDefaults(*image);
  auto describe = [&](uint32_t code, const LanguageStrings& s) {
    image->keyTable[30] = code;
    return functionDescription(*image, 30, us, s);
  };
  LanguageStrings en, sc;
  loadLanguage(en, kLanguageEnglish);
  loadLanguage(sc, kLanguageChinese);
  struct Case {
    uint32_t code;
    std::u16string english, chinese;
  } cases[] = {
      {0x00040001, u"A", u"A"},
      {0x00F00001, u"单击", u"单击"},
      {0x01F00001, u"双击", u"双击"},
      {0x00F50001, u"", u""},
      {0x00041001, u"", u""},
      {0x00000000, u"", u""},
      {0x00F10001, u"右击", u"右击"},
      {0x00F40001, u"后退", u"后退"},
      {0x3D040002, u"Close Window", u"关闭窗口"},
      {0x2B040002, u"Alt + Tab", u"Alt + Tab"},
      {combination(kModShift | kModCtrl, 0x3D), u"Shift + Ctrl + F4", u"Shift + Ctrl + F4"},
      {combination(kModWin | kModAlt | kModShift | kModCtrl, 0x04), u"Shift + Ctrl + Alt + Win + A",
       u"Shift + Ctrl + Alt + Win + A"},
      {0x0F080002, u"Lock Computer", u"锁定电脑"},
      {combination(kModWin, 0x07), u"Win+D", u"Win+D"},
      {combination(kModWin, 0x57), u"放大屏幕", u"放大屏幕"},
      {combination(kModCtrl, 0x19), u"Paste", u"粘贴"},
      {0x09010002, u"Find", u"查找"},
      {combination(kModCtrl, 0x1D), u"Ctrl+Z", u"Ctrl+Z"},
      {combination(kModCtrl, 0x00), u"Ctrl + ", u"Ctrl + "},  // a usage without a key name
      {combination(0, 0x04), u"A", u"A"},
      {hostFunction(5), u"Open Folder", u"打开文件夹"},
      {hostFunction(8), u"Open Website", u"打开网页"},
      {hostFunction(1), u"", u""},
      {0x05000003, u"", u""},
      {0xCD000004, u"播放", u"播放"},
      {0xE2000004, u"静音", u"静音"},
      {0x00E20004, u"Mute", u"静音"},
      {0x0000E204, u"", u""},  // byte 1 set: no pair matches
      {0x24020004, u"Back", u"后退"},
      {0x83010004, u"播放器", u"播放器"},
      {0x4C200004, u"", u""},
      {kDisabledCode, u"Disable Key", u"禁用按键"},
      {0x0001000E, u"灯光效果", u"灯光效果"},
      {0x0002000E, u"灯光等级", u"灯光等级"},
      {0x0000000E, u"", u""},
      {0x00000006, u"", u""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(describe(c.code, en), c.english) << std::hex << c.code;
    EXPECT_EQ(describe(c.code, sc), c.chinese) << std::hex << c.code;
  }
  EXPECT_EQ(functionDescription(*image, 181, us, en), u"");
  EXPECT_EQ(functionDescription(*image, -1, us, en), u"");
  EXPECT_EQ(functionDescription(*image, 18, us, en), u"");  // left column key: code 0
}

TEST(FunctionDescription, MacroKeysByIdentifier) {
  TableLayout us = usLayout();
  LanguageStrings en;
  auto image = makeConfigImage();
  auto& rec = image->macroLibrary[3];
  putU32(rec, 0, 108);
  putU32(rec, 4, 0xE8E80010);
  putU32(rec, 8, 0x15001234);
  const std::u16string name = u"Reload 装填";
  for (size_t i = 0; i < name.size(); ++i) putU16(rec, 4024 + 2 * i, name[i]);
  image->keyTable[10] = kMacroCode;
  image->setMacroId(10, 0x15001234);
  EXPECT_EQ(functionDescription(*image, 10, us, en), name);
  image->keyTable[10] = placedMacro(2);
  EXPECT_EQ(functionDescription(*image, 10, us, en), name);
  image->setMacroId(10, 0x15009999);
  EXPECT_EQ(functionDescription(*image, 10, us, en), u"");
}
