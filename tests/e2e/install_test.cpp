// Installs the build into a temporary prefix and runs the installed orlixctl
// against a virtual keyboard it starts itself, as a user of an installed
// package would.

#include <signal.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "../platform/temp_dir.h"
#include "run_program.h"

namespace orlix::test {
namespace {

namespace fs = std::filesystem;

class InstalledPrefix : public ::testing::Test {
 protected:
  void SetUp() override {
    auto r = runProgram({ORLIX_CMAKE_COMMAND, "--install", ORLIX_BUILD_DIR, "--prefix", prefix().string()});
    ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
    env = {{"XDG_RUNTIME_DIR", (dir / "run").string()},
           {"XDG_STATE_HOME", (dir / "state").string()},
           {"XDG_CONFIG_HOME", (dir / "config").string()},
           {"XDG_DATA_HOME", (dir / "data").string()},
           {"HOME", (dir / "home").string()},
           {"ORLIX_VKBD_SOCKET", (dir / "run" / "vkbd.sock").string()},
           {"ORLIX_SYSFS_ROOT", (dir / "no-sysfs").string()},
           {"ORLIX_ROOT", std::nullopt},
           {"ORLIX_CONFIG_DIR", std::nullopt},
           {"PATH", "/usr/bin:/bin"}};
    fs::create_directories(dir / "run");
  }
  void TearDown() override {
    // Stop the daemon the installed program started, also after a failure.
    auto status = orlixctl({"sim", "status"});
    std::smatch m;
    if (status.exitCode == 0 && std::regex_search(status.out, m, std::regex("pid (\\d+)"))) {
      orlixctl({"sim", "stop"});
      pid_t pid = pid_t(std::stol(m[1]));
      for (int i = 0; i < 100 && ::kill(pid, 0) == 0; ++i) ::usleep(20000);
      if (::kill(pid, 0) == 0) ::kill(pid, SIGTERM);
    }
  }
  fs::path prefix() const { return dir / "prefix"; }
  ProgramResult orlixctl(std::vector<std::string> args) {
    args.insert(args.begin(), (prefix() / "bin" / "orlixctl").string());
    return runProgram(args, env);
  }

  TempDir dir;
  std::map<std::string, std::optional<std::string>> env;
};

// One test, so that only one install of the build tree runs at a time (ctest -j).
TEST_F(InstalledPrefix, HoldsAProgramFolderAndRunsFromIt) {
  auto share = prefix() / "share" / "orlix";
  EXPECT_TRUE(fs::is_regular_file(prefix() / "bin" / "orlixctl"));
  EXPECT_TRUE(fs::is_regular_file(prefix() / "bin" / "orlix-vkbd"));
  EXPECT_TRUE(fs::is_directory(share / "Profile"));
  EXPECT_TRUE(fs::is_empty(share / "Profile"));
  ASSERT_TRUE(fs::is_regular_file(share / "Macro.cfg"));
  auto library = readBytes(share / "Macro.cfg");
  EXPECT_EQ(library.size(), 2052000u);
  EXPECT_TRUE(std::all_of(library.begin(), library.end(), [](uint8_t b) { return b == 0; }));

  // The udev rule opens the keyboard's hidraw nodes and nothing else.
  auto rule = prefix() / "lib" / "udev" / "rules.d" / "70-orlix.rules";
  ASSERT_TRUE(fs::is_regular_file(rule));
  std::ifstream in(rule);
  int rules = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    ++rules;
    for (const char* part : {"SUBSYSTEM==\"hidraw\"", "KERNELS==\"0003:24AE:4009.*\"", "TAG+=\"uaccess\""})
      EXPECT_NE(line.find(part), std::string::npos) << part << " in " << line;
    EXPECT_EQ(line.find("MODE"), std::string::npos) << "access comes from the seat, not from a mode";
  }
  EXPECT_EQ(rules, 1);

  // orlixctl finds its program folder in the prefix and starts the virtual
  // keyboard installed beside it.
  auto paths = orlixctl({"paths"});
  ASSERT_EQ(paths.exitCode, 0) << paths.err;
  EXPECT_NE(paths.out.find("program " + (prefix() / "share" / "orlix").string() + "\n"), std::string::npos)
      << paths.out;

  auto version = orlixctl({"--simulate", "version"});
  ASSERT_EQ(version.exitCode, 0) << version.out << version.err;
  EXPECT_TRUE(std::regex_match(version.out, std::regex("\\d+ \\d+\n"))) << version.out;

  // The daemon that answers is the installed one, started beside orlixctl.
  auto status = orlixctl({"sim", "status"});
  ASSERT_EQ(status.exitCode, 0) << status.err;
  std::smatch m;
  ASSERT_TRUE(std::regex_search(status.out, m, std::regex("pid (\\d+)"))) << status.out;
  std::error_code ec;
  EXPECT_EQ(fs::read_symlink("/proc/" + m[1].str() + "/exe", ec), prefix() / "bin" / "orlix-vkbd");
  EXPECT_NE(status.out.find("plugged yes"), std::string::npos);

  auto devices = orlixctl({"devices"});
  ASSERT_EQ(devices.exitCode, 0) << devices.err;
  EXPECT_NE(devices.out.find("keyboard present: yes"), std::string::npos) << devices.out;
  EXPECT_NE(devices.out.find("virtual keyboard: plugged"), std::string::npos) << devices.out;

  auto stop = orlixctl({"sim", "stop"});
  EXPECT_EQ(stop.exitCode, 0) << stop.err;
  auto after = orlixctl({"sim", "status"});
  EXPECT_NE(after.exitCode, 0);
}

}  // namespace
}  // namespace orlix::test
