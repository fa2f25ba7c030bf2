// The bash completion of orlixctl, run in bash as the shell runs it on Tab:
// COMP_WORDS and COMP_CWORD set, the completion function called, COMPREPLY read.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "../platform/temp_dir.h"
#include "cli/cli.h"
#include "run_program.h"

namespace orlix::test {
namespace {

namespace fs = std::filesystem;
using Words = std::set<std::string>;

const fs::path kSource = fs::path(ORLIX_TEST_DATA_DIR).parent_path().parent_path();

class Completion : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir / "run");
    fs::permissions(dir / "run", fs::perms::owner_all);
    fs::create_directories(root());
    fs::copy(kSource / "data" / "Language", root() / "Language");
    env = {{"XDG_RUNTIME_DIR", (dir / "run").string()},   {"XDG_STATE_HOME", (dir / "state").string()},
           {"XDG_CONFIG_HOME", (dir / "config").string()}, {"XDG_DATA_HOME", (dir / "data").string()},
           {"ORLIX_ROOT", std::nullopt},                   {"ORLIX_CONFIG_DIR", std::nullopt},
           {"ORLIX_SYSFS_ROOT", (dir / "no-sysfs").string()}};
  }
  fs::path root() const { return dir / "root"; }
  std::string orlixctl() const { return (fs::path(ORLIX_BIN_DIR) / "orlixctl").string(); }
  // What Tab offers for the line; the last word is the one being completed.
  Words complete(std::vector<std::string> words) {
    std::vector<std::string> argv{"/bin/bash", "--norc", "--noprofile", "-c",
                                  "source \"$1\"; shift; COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); "
                                  "COMP_LINE=\"$*\"; COMP_POINT=${#COMP_LINE}; _orlixctl; "
                                  "printf '%s\\n' \"${COMPREPLY[@]}\"",
                                  "bash", (kSource / "data" / "bash-completion" / "orlixctl").string()};
    argv.insert(argv.end(), words.begin(), words.end());
    auto r = runProgram(argv, env);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    Words offered;
    std::istringstream in(r.out);
    for (std::string w; std::getline(in, w);)
      if (!w.empty()) offered.insert(w);
    return offered;
  }

  TempDir dir;
  std::map<std::string, std::optional<std::string>> env;
};

TEST_F(Completion, RegistersForOrlixctl) {
  auto r = runProgram({"/bin/bash", "--norc", "--noprofile", "-c", "source \"$1\"; complete -p orlixctl", "bash",
                       (kSource / "data" / "bash-completion" / "orlixctl").string()});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "complete -F _orlixctl orlixctl\n");
}

TEST_F(Completion, OffersCommandsSubcommandsAndFixedValues) {
  struct Case {
    std::vector<std::string> line;
    Words expected;
  };
  const std::string p = orlixctl();
  const Case cases[] = {
      {{p, "lig"}, {"light"}},
      {{p, "li"}, {"light", "listen"}},
      {{p, "light", ""}, {"seven", "strength", "wave", "breathing", "single", "always"}},
      {{p, "light", "wave", "--sp"}, {"--speed"}},
      {{p, "--json", "ma"}, {"macro"}},
      {{p, "--simulate", "--driver", "sim", "ve"}, {"version"}},
      {{p, "--j"}, {"--json"}},
      {{p, "--driver", "h"}, {"hidraw", "hidraw:"}},
      {{p, "sim", "st"}, {"start", "status", "stop"}},
      {{p, "profile", "switch", ""}, {"1", "2", "3", "4", "5"}},
      {{p, "apply", "--profile", "4"}, {"4"}},
      {{p, "macro", "list", "--category", "2"}, {"2", "20", "21"}},
      {{p, "key", "set", "esc", "me"}, {"media:"}},
      {{p, "version", "x"}, {}},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (size_t i = 1; i < c.line.size(); ++i) shown += " " + c.line[i];
    SCOPED_TRACE("orlixctl" + shown);
    EXPECT_EQ(complete(c.line), c.expected);
  }
}

TEST_F(Completion, OffersEveryCommandOfTheProgram) {
  Words commands{"help"};
  for (const auto& c : cli::commandTable()) commands.insert(std::string(c.name));
  EXPECT_EQ(complete({orlixctl(), ""}), commands);
}

TEST_F(Completion, AsksOrlixctlForKeyNamesLanguagesAndMacros) {
  const std::string p = orlixctl(), r = root().string(), c = (dir / "cfg").string();
  auto made = runProgram({p, "--root", r, "--config", c, "macro", "new", "--category", "4", "--name", "Jump",
                          "--events", "space down, space up"},
                         env);
  ASSERT_EQ(made.exitCode, 0) << made.err;
  std::string id = made.out.substr(made.out.find("0x"), 10);

  Words keys = complete({p, "--root", r, "--config", c, "key", "show", ""});
  EXPECT_GT(keys.size(), 100u);
  for (const char* k : {"esc", "f1", "lctrl", "a", "space"}) EXPECT_TRUE(keys.count(k)) << k;
  EXPECT_EQ(complete({p, "--root", r, "key", "set", "lctr"}), Words{"lctrl"});

  Words languages;
  for (int i = 1; i <= 12; ++i) languages.insert(std::to_string(i));
  EXPECT_EQ(complete({p, "--root", r, "--config", c, "lang", "set", ""}), languages);
  EXPECT_EQ(complete({p, "--root", r, "--lang", ""}), languages);

  EXPECT_EQ(complete({p, "--root", r, "--config", c, "macro", "show", ""}), Words{id});
  EXPECT_EQ(complete({p, "--root", r, "--config", c, "macro", "delete", "0x"}), Words{id});
  // Another program folder has other macros: none here.
  fs::create_directories(dir / "other");
  EXPECT_EQ(complete({p, "--root", (dir / "other").string(), "--config", c, "macro", "show", ""}), Words{});
}

}  // namespace
}  // namespace orlix::test
