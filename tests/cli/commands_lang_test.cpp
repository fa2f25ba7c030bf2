#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli.h"
#include "cli/key_listing.h"
#include "core/config/config_image.h"
#include "core/keys/key_codes.h"
#include "core/localization/language_strings.h"

using namespace orlix;
namespace fs = std::filesystem;

namespace {

struct CliRun {
  int code;
  std::string out, err;
};

// A program folder holding the real language files, and a configuration folder.
class LangCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base = fs::temp_directory_path() /
           ("orlix_cli_lang_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(base);
    fs::create_directories(base / "root");
    fs::copy(fs::path(ORLIX_TEST_DATA_DIR).parent_path().parent_path() / "data" / "Language", base / "root" / "Language");
  }
  void TearDown() override { fs::remove_all(base); }
  CliRun run(std::vector<std::string> args) {
    std::vector<std::string> argv = {"orlixctl", "--root", (base / "root").string(), "--config", (base / "cfg").string()};
    argv.insert(argv.end(), args.begin(), args.end());
    std::ostringstream out, err;
    int code = cli::runCli(argv, out, err);
    return {code, out.str(), err.str()};
  }
  std::string read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::string lineOf(const std::string& out, const std::string& start) {
    std::istringstream in(out);
    for (std::string l; std::getline(in, l);)
      if (l.rfind(start, 0) == 0) return l;
    return {};
  }
  fs::path base;
};

}  // namespace

TEST_F(LangCliTest, KeysInTheStartupLanguageAndOnRequest) {
  CliRun r = run({"keys"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(lineOf(r.out, "language:"), "language: English");
  EXPECT_EQ(lineOf(r.out, "  8  A "), "  8  A                       0x00040001  default   A");
  EXPECT_EQ(lineOf(r.out, "113  "), "113  mute key                0xE2000004  default   静音");
  EXPECT_EQ(lineOf(r.out, " 18  "), " 18  left column key 1       0x00000000  default");
  EXPECT_EQ(lineOf(r.out, " 78"), "");  // indexes without a key are not listed

  r = run({"keys", "--lang", "ger"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(lineOf(r.out, "language:"), "language: German");
  EXPECT_EQ(run({"keys", "--lang", "13"}).code, cli::kExitFailure);
  EXPECT_EQ(run({"keys", "extra"}).code, cli::kExitUsage);
}

TEST_F(LangCliTest, SetRecordsTheChoiceAndTheStartupFlag) {
  CliRun r = run({"lang", "set", "12"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(read(base / "cfg" / "Software" / "ULMORA" / "OrlixCfg" / "LANGUAGE" / "Language"), std::string("\x0C\0\0\0", 4));
  EXPECT_EQ(read(base / "root" / "skins" / "languagetype.ini"), "[languagetype]\nvalue=0\n");
  r = run({"lang", "list"});
  EXPECT_EQ(lineOf(r.out, "12"), "12  Trad.Chinese  Language/tw.xml     recorded");
  EXPECT_EQ(lineOf(r.out, " 2"), " 2  English       Language/en.xml     start-up");

  ASSERT_EQ(run({"lang", "set", "Chinese"}).code, 0);
  EXPECT_EQ(read(base / "root" / "skins" / "languagetype.ini"), "[languagetype]\nvalue=1\n");
  r = run({"keys"});
  EXPECT_EQ(lineOf(r.out, "language:"), "language: Chinese");
  EXPECT_EQ(lineOf(r.out, "  1  "), "  1  Left Shift              0x00E10001  default   LShift");

  EXPECT_EQ(run({"lang", "set", "klingon"}).code, cli::kExitUsage);
  EXPECT_EQ(run({"lang"}).code, cli::kExitUsage);
}

TEST(KeyListing, ShowsModifiedKeysFromTheImage) {
  auto image = makeConfigImage();
  initialiseDefaults(*image);
  image->keyTable = image->defaultKeyTable;
  image->keyTable[8] = keys::combination(keys::kModAlt, 0x3D);
  struct NoLayout : keys::KeyboardLayout {
    char32_t characterOf(uint8_t) override { return 0; }
  } layout;
  localization::LanguageStrings strings;
  strings.set(localization::StringKey::str_close, u"Close Window");
  std::ostringstream out;
  cli::printKeyTable(out, *image, layout, strings);
  EXPECT_NE(out.str().find("  8  A                       0x3D040002  modified  Close Window\n"), std::string::npos) << out.str();
}
