#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/app/user_notices.h"
#include "core/config/registry.h"
#include "core/localization/ini_file.h"
#include "core/localization/language_strings.h"
#include "core/localization/language_switch.h"
#include "core/localization/languages.h"

using namespace orlix;
using namespace orlix::localization;
namespace fs = std::filesystem;

namespace {

const fs::path kSourceData = fs::path(ORLIX_TEST_DATA_DIR).parent_path().parent_path() / "data";

// A program folder in a temporary directory, removed at the end.
struct TempProgramFolder {
  fs::path dir;
  TempProgramFolder() {
    dir = fs::temp_directory_path() / ("orlix_lang_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                       "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir / "Language");
    fs::create_directories(dir / "skins");
  }
  ~TempProgramFolder() { fs::remove_all(dir); }
  void write(const std::string& rel, const std::string& bytes) const {
    std::ofstream(dir / rel, std::ios::binary) << bytes;
  }
  // A language file whose every key reads "<tag>:<key>".
  void writeLanguage(const std::string& file, const std::string& tag) const {
    std::string x = "<language><config>";
    for (StringKey k : allStringKeys()) {
      std::string n(stringKeyName(k));
      x += "<" + n + ">" + tag + ":" + n + "</" + n + ">";
    }
    write("Language/" + file, x + "</config></language>");
  }
};

std::string text(const LanguageStrings& s, StringKey k) { return s.utf8(k); }

}  // namespace

TEST(StringKeys, TableOrderAndNames) {
  EXPECT_EQ(allStringKeys().size(), 158u);
  EXPECT_EQ(stringKeyName(StringKey::str_program_title), "str_program_title");
  EXPECT_EQ(stringKeyName(StringKey::str_ulmoraWeb), "str_ulmoraWeb");
  EXPECT_EQ(stringKeyFromName("str_PL"), StringKey::str_PL);
  EXPECT_EQ(stringKeyFromName("str_pl"), std::nullopt);
  EXPECT_EQ(size_t(StringKey::str_msg2), 9u);
}

TEST(LanguageStrings, LoadSetsEveryKeyMissingOnesEmpty) {
  TempProgramFolder p;
  p.write("Language/x.xml",
          "<lang><config><str_ok>Fine &amp; dandy</str_ok><str_cancel><![CDATA[<No>]]></str_cancel>"
          "<other>ignored</other></config></lang>");
  LanguageStrings s;
  s.set(StringKey::str_apply, u"stale");
  ASSERT_TRUE(s.LoadLanguageFile(p.dir / "Language/x.xml"));
  EXPECT_EQ(text(s, StringKey::str_ok), "Fine & dandy");
  EXPECT_EQ(text(s, StringKey::str_cancel), "<No>");
  EXPECT_EQ(text(s, StringKey::str_apply), "");
}

TEST(LanguageStrings, SearchQuirks) {
  LanguageStrings s;
  auto load = [&](const std::string& xml) {
    s.document().LoadDocumentBytes(xml);
    s.document().ParseDocument();
  };
  // A root element named "config": the keys are looked for one level deeper.
  load("<config><str_ok>OK</str_ok></config>");
  EXPECT_EQ(s.GetLanguageString(u"config", u"str_ok"), u"");
  // A key missing from the section sends the search into a nested section.
  load("<r><config><config><str_ok>deep</str_ok></config></config></r>");
  EXPECT_EQ(s.GetLanguageString(u"config", u"str_ok"), u"deep");
  // The first matching section wins even when a later one holds the key.
  load("<r><config><a>1</a></config><config><str_ok>later</str_ok></config></r>");
  EXPECT_EQ(s.GetLanguageString(u"config", u"str_ok"), u"");
  // Only the root's children are searched for the section.
  load("<r><x><config><str_ok>hidden</str_ok></config></x></r>");
  EXPECT_EQ(s.GetLanguageString(u"config", u"str_ok"), u"");
}

// The loader reads every key in one walk: it must give each key what the
// key-by-key lookup gives, through nested, repeated and case-folded names.
TEST(LanguageStrings, LoadAgreesWithKeyByKeyLookup) {
  struct Case {
    const char* xml;
    bool ignoreCase;
    const char *ok, *cancel, *apply;  // expected str_ok, str_cancel, str_apply
  } cases[] = {
      {"<r><config><str_ok>a</str_ok><str_ok>b</str_ok>"
       "<config><str_ok>deep</str_ok><str_cancel>deep</str_cancel></config>"
       "<config><str_apply>second nested</str_apply></config></config>"
       "<config><str_apply>later</str_apply></config></r>",
       false, "a", "deep", ""},
      {"<config><str_ok>OK</str_ok></config>", false, "", "", ""},
      {"<r><CONFIG><STR_OK>up</STR_OK><config><Str_Cancel>c</Str_Cancel></config></CONFIG></r>", true, "up", "c", ""},
      {"<r><CONFIG><STR_OK>up</STR_OK></CONFIG><config><str_ok>x</str_ok></config></r>", false, "x", "", ""},
      {"<r><config><str_ok/><str_apply><b>bold</b></str_apply><config><str_ok>no</str_ok></config></config></r>",
       false, "", "", ""},
  };
  TempProgramFolder p;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.xml);
    p.write("Language/q.xml", c.xml);
    LanguageStrings s;
    s.document().setIgnoreCase(c.ignoreCase);
    ASSERT_TRUE(s.LoadLanguageFile(p.dir / "Language/q.xml"));
    EXPECT_EQ(text(s, StringKey::str_ok), c.ok);
    EXPECT_EQ(text(s, StringKey::str_cancel), c.cancel);
    EXPECT_EQ(text(s, StringKey::str_apply), c.apply);
    for (StringKey k : allStringKeys()) {
      std::string_view name = stringKeyName(k);
      EXPECT_EQ(s.text(k), s.GetLanguageString(u"config", std::u16string(name.begin(), name.end()))) << name;
    }
  }
}

TEST(LanguageStrings, UnreadableFileKeepsTexts) {
  TempProgramFolder p;
  p.writeLanguage("en.xml", "en");
  LanguageStrings s;
  EXPECT_FALSE(s.LoadLanguageFile(p.dir / "Language/none.xml"));
  EXPECT_EQ(text(s, StringKey::str_ok), "");  // first load of a run: all empty
  ASSERT_TRUE(s.LoadLanguageFile(p.dir / "Language/en.xml"));
  EXPECT_FALSE(s.LoadLanguageFile(p.dir / "Language/none.xml"));
  EXPECT_EQ(text(s, StringKey::str_ok), "en:str_ok");
}

TEST(LanguageFiles, EveryFileGivesEveryKey) {
  ASSERT_EQ(languages().size(), 12u);
  bool sawUtf16 = false;
  for (const LanguageInfo& lang : languages()) {
    fs::path file = languageFilePath(kSourceData, lang);
    SCOPED_TRACE(file.string());
    LanguageStrings s;
    ASSERT_TRUE(s.LoadLanguageFile(file));
    EXPECT_TRUE(s.document().ParseDocument()) << s.document().resultText();
    sawUtf16 |= (s.document().flags() & kDocUtf16LeBom) != 0;
    for (StringKey k : allStringKeys()) EXPECT_FALSE(s.text(k).empty()) << stringKeyName(k);
    std::u16string msg2 = s.text(StringKey::str_msg2);
    size_t at = msg2.find(u"%s");
    EXPECT_NE(at, std::u16string::npos);
    EXPECT_EQ(msg2.find(u'%', at + 1), std::u16string::npos);
    EXPECT_EQ(msg2.find(u'%'), at);
  }
  EXPECT_TRUE(sawUtf16);
}

TEST(LanguageTypeIni, StartupFlagAndLanguage) {
  struct Case {
    const char* ini;  // nullptr: no file
    int flag;
  } cases[] = {{nullptr, 0},
               {"[languagetype]\nvalue=0\n", 0},
               {"[languagetype]\nvalue=1\n", 1},
               {"[LanguageType]\r\n  Value = 7 \r\n", 7},
               {"[other]\nvalue=1\n", 0},
               {"[languagetype]\nvalue=x1\n", 0},
               {"[languagetype]\nvalue=-2abc\n", -2}};
  for (const auto& c : cases) {
    TempProgramFolder p;
    if (c.ini) p.write("skins/languagetype.ini", c.ini);
    EXPECT_EQ(startupLanguageFlag(p.dir), c.flag) << (c.ini ? c.ini : "(none)");
    EXPECT_EQ(startupLanguage(c.flag).id, c.flag ? 1 : 2);
  }
}

TEST(LanguageTypeIni, SetValueKeepsTheRest) {
  EXPECT_EQ(iniSetValue("", "languagetype", "value", "1"), "[languagetype]\nvalue=1\n");
  EXPECT_EQ(iniSetValue("; note\n[languagetype]\nvalue=0\nother=x\n", "languagetype", "value", "1"),
            "; note\n[languagetype]\nvalue=1\nother=x\n");
  EXPECT_EQ(iniSetValue("[a]\nk=1\n\n[languagetype]\nother=x\n\n[b]\n", "languagetype", "value", "0"),
            "[a]\nk=1\n\n[languagetype]\nother=x\nvalue=0\n\n[b]\n");
  EXPECT_EQ(iniSetValue("[languagetype]\r\nvalue=0\r\n", "languagetype", "value", "1"), "[languagetype]\r\nvalue=1\r\n");
  std::string t = iniSetValue("[x]\ny=2", "languagetype", "value", "1");
  EXPECT_EQ(iniValue(t, "languagetype", "value"), "1");
  EXPECT_EQ(iniValue(t, "x", "y"), "2");
  EXPECT_EQ(iniInteger("99999999999"), 2147483647);
}

// A file saved with a UTF-8 byte order mark: the edit must change the section
// the reader finds (not append a second one the reader never reaches), and the
// mark stays.
TEST(LanguageTypeIni, SetValueInAFileWithByteOrderMark) {
  const std::string bom = "\xEF\xBB\xBF";
  std::string t = iniSetValue(bom + "[languagetype]\nvalue=0\n", "languagetype", "value", "1");
  EXPECT_EQ(t, bom + "[languagetype]\nvalue=1\n");
  EXPECT_EQ(iniValue(t, "languagetype", "value"), "1");
  EXPECT_EQ(iniSetValue(bom, "languagetype", "value", "1"), bom + "[languagetype]\nvalue=1\n");
}

class LanguageSwitchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const LanguageInfo& l : languages()) p.writeLanguage(fs::path(l.file).filename().string(), std::string(l.menuText));
    setLanguageFlag(0);
    hooks.showLanguageButton = [this](const LanguageInfo& l) { calls += "button" + std::to_string(l.buttonPicture) + ";"; };
    hooks.refreshMacroPage = [this] { calls += "macro:" + strings.utf8(StringKey::str_macro_start) + ";"; };
    hooks.closeLanguageMenu = [this] { calls += "close;"; };
  }
  void TearDown() override { setLanguageFlag(0); }
  bool send(uint32_t id, bool menuOpen = true) {
    return onLanguageMessage(id, menuOpen, p.dir, strings, registry, notices, hooks);
  }
  std::optional<std::vector<uint8_t>> recorded() { return registry.read(kLanguageRegistryKey, kLanguageRegistryValue); }

  TempProgramFolder p;
  LanguageStrings strings;
  MemoryRegistry registry;
  RecordingNotices notices;
  LanguageSwitchHooks hooks;
  std::string calls;
};

TEST_F(LanguageSwitchTest, ChineseSetsTheFlagOthersClearIt) {
  EXPECT_TRUE(send(1));
  EXPECT_EQ(languageFlag(), 1);
  EXPECT_EQ(text(strings, StringKey::str_ok), "Chinese:str_ok");
  EXPECT_EQ(calls, "button166;macro:Chinese:str_macro_start;close;");
  EXPECT_EQ(recorded(), (std::vector<uint8_t>{1, 0, 0, 0}));
  EXPECT_EQ(customGameText(), u"玩家自定义");

  calls.clear();
  EXPECT_TRUE(send(12));  // Traditional Chinese: built-in texts stay English
  EXPECT_EQ(languageFlag(), 0);
  EXPECT_EQ(text(strings, StringKey::str_ok), "Trad.Chinese:str_ok");
  EXPECT_EQ(calls, "button166;macro:Trad.Chinese:str_macro_start;close;");
  EXPECT_EQ(recorded(), (std::vector<uint8_t>{12, 0, 0, 0}));
  EXPECT_EQ(customGameText(), u"Customisze");

  EXPECT_TRUE(send(11));
  EXPECT_EQ(languageFlag(), 0);
  EXPECT_EQ(text(strings, StringKey::str_ok), "Ukrainian:str_ok");
  EXPECT_TRUE(notices.entries.empty());
}

TEST_F(LanguageSwitchTest, IgnoredWithoutMenuAndNoChoice) {
  ASSERT_TRUE(send(1));
  calls.clear();
  EXPECT_FALSE(send(2, /*menuOpen=*/false));
  EXPECT_EQ(calls, "");
  EXPECT_EQ(languageFlag(), 1);
  EXPECT_EQ(recorded(), (std::vector<uint8_t>{1, 0, 0, 0}));

  EXPECT_TRUE(send(0));  // menu closed without a choice
  EXPECT_EQ(calls, "macro:Chinese:str_macro_start;close;");
  EXPECT_EQ(languageFlag(), 1);
  EXPECT_EQ(text(strings, StringKey::str_ok), "Chinese:str_ok");
  EXPECT_EQ(recorded(), (std::vector<uint8_t>{1, 0, 0, 0}));
}

TEST_F(LanguageSwitchTest, RegistryFailureIsToldAfterTheSwitch) {
  registry.setReadOnly(true);
  EXPECT_TRUE(send(3));
  EXPECT_EQ(text(strings, StringKey::str_ok), "French:str_ok");
  ASSERT_EQ(notices.entries.size(), 1u);
  EXPECT_EQ(notices.entries[0].kind, "box");
  EXPECT_EQ(notices.entries[0].text, u"Reg_SaveData Create key failed");
  EXPECT_EQ(notices.entries[0].caption, u"Error");
  EXPECT_EQ(calls, "button160;macro:French:str_macro_start;close;");
}

TEST_F(LanguageSwitchTest, Startup) {
  EXPECT_EQ(applyStartupLanguage(p.dir, strings).id, 2);
  EXPECT_EQ(languageFlag(), 0);
  EXPECT_EQ(text(strings, StringKey::str_ok), "English:str_ok");
  p.write("skins/languagetype.ini", "[languagetype]\nvalue=3\n");
  EXPECT_EQ(applyStartupLanguage(p.dir, strings).id, 1);
  EXPECT_EQ(languageFlag(), 3);
  EXPECT_EQ(text(strings, StringKey::str_ok), "Chinese:str_ok");
}
