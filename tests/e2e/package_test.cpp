// The Debian package as a user gets it: its file list, its programs run from
// an unpacked copy, its maintainer scripts without udev, and its user unit.
// scripts/test.sh builds the package first and names it in ORLIX_PACKAGE;
// without it the package in <build>/package is used, if one was built.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "../platform/temp_dir.h"
#include "run_program.h"

namespace orlix::test {
namespace {

namespace fs = std::filesystem;

std::string readText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

fs::path findPackage() {
  if (const char* named = std::getenv("ORLIX_PACKAGE"); named && *named) return named;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(fs::path(ORLIX_BUILD_DIR) / "package", ec))
    if (std::regex_match(e.path().filename().string(), std::regex(R"(orlix_[0-9.]+_[a-z0-9]+\.deb)"))) return e.path();
  return {};
}

// The package unpacked once (files and control scripts) for all its tests.
class Package : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    deb = findPackage();
    if (deb.empty()) return;
    unpacked = std::make_unique<TempDir>();
    auto x = runProgram({"/usr/bin/dpkg-deb", "-x", deb.string(), root().string()});
    auto e = runProgram({"/usr/bin/dpkg-deb", "-e", deb.string(), control().string()});
    unpackError = x.err + e.err;
    if (x.exitCode != 0 || e.exitCode != 0) unpackError += " (dpkg-deb failed)";
  }
  static void TearDownTestSuite() { unpacked.reset(); }
  void SetUp() override {
    if (deb.empty()) {
      if (std::getenv("ORLIX_PACKAGE")) FAIL() << "ORLIX_PACKAGE names no package";
      GTEST_SKIP() << "no package in " << ORLIX_BUILD_DIR << "/package (scripts/test.sh builds it with cpack)";
    }
    ASSERT_TRUE(fs::is_regular_file(deb)) << deb;
    ASSERT_TRUE(fs::is_directory(root() / "usr")) << unpackError;
  }
  static fs::path root() { return *unpacked / "root"; }
  static fs::path control() { return *unpacked / "control"; }

  static inline fs::path deb;
  static inline std::unique_ptr<TempDir> unpacked;
  static inline std::string unpackError;
};

TEST_F(Package, ListsWhatAnInstallationNeedsAndNothingElse) {
  auto listing = runProgram({"/usr/bin/dpkg-deb", "-c", deb.string()});
  ASSERT_EQ(listing.exitCode, 0) << listing.err;
  std::set<std::string> files;
  std::istringstream in(listing.out);
  for (std::string line; std::getline(in, line);) {
    auto dot = line.find(" ./");
    if (dot == std::string::npos || line.back() == '/') continue;
    if (line[0] != '-' && line[0] != 'l') continue;
    files.insert(line.substr(dot + 2));
  }
  const char* expected[] = {
      "/usr/bin/orlix",
      "/usr/bin/orlixctl",
      "/usr/bin/orlix-vkbd",
      "/usr/share/orlix/Macro.cfg",
      "/usr/share/orlix/ScreenGrab",
      "/usr/share/orlix/Language/en.xml",
      "/usr/share/orlix/Language/sc.xml",
      "/usr/share/orlix/skins/languagetype.ini",
      "/usr/lib/udev/rules.d/70-orlix.rules",
      "/usr/lib/systemd/user/orlix.service",
      "/usr/share/applications/orlix.desktop",
      "/etc/xdg/autostart/orlix.desktop",
      "/usr/share/icons/hicolor/scalable/apps/orlix.svg",
      "/usr/share/man/man1/orlix.1.gz",
      "/usr/share/man/man1/orlixctl.1.gz",
      "/usr/share/man/man1/orlix-vkbd.1.gz",
      "/usr/share/bash-completion/completions/orlixctl",
      "/usr/share/doc/orlix/copyright",
      "/usr/share/doc/orlix/changelog.gz",
  };
  for (const char* f : expected) EXPECT_TRUE(files.count(f)) << f << " is missing from the package";
  // Nothing else: no test programs or the gallery, nothing under /usr/local
  // or /usr/etc; the program folder holds the skins and language files.
  const std::set<std::string> listed(std::begin(expected), std::end(expected));
  for (const auto& f : files)
    EXPECT_TRUE(listed.count(f) || f.rfind("/usr/share/orlix/", 0) == 0) << f << " is not an expected file";
  EXPECT_TRUE(fs::is_directory(root() / "usr/share/orlix/Profile"));

  // Dependencies come from the binaries' libraries.
  auto depends = runProgram({"/usr/bin/dpkg-deb", "-f", deb.string(), "Depends"});
  EXPECT_NE(depends.out.find("libc6"), std::string::npos) << depends.out;
  EXPECT_NE(depends.out.find("libqt6widgets6"), std::string::npos) << depends.out;
}

TEST_F(Package, UnpackedProgramsRunFromThePackagedProgramFolder) {
  TempDir home;
  fs::create_directories(home / "run");
  fs::permissions(home / "run", fs::perms::owner_all);
  std::map<std::string, std::optional<std::string>> env = {
      {"XDG_RUNTIME_DIR", (home / "run").string()},     {"XDG_STATE_HOME", (home / "state").string()},
      {"XDG_CONFIG_HOME", (home / "config").string()},  {"XDG_DATA_HOME", (home / "data").string()},
      {"HOME", home.path().string()},                   {"ORLIX_VKBD_SOCKET", (home / "run" / "vkbd.sock").string()},
      {"ORLIX_SYSFS_ROOT", (home / "no-sysfs").string()}, {"ORLIX_ROOT", std::nullopt},
      {"ORLIX_CONFIG_DIR", std::nullopt},               {"PATH", "/usr/bin:/bin"}};
  auto orlixctl = [&](std::vector<std::string> args) {
    args.insert(args.begin(), (root() / "usr/bin/orlixctl").string());
    return runProgram(args, env);
  };

  auto version = orlixctl({"--simulate", "version"});
  EXPECT_EQ(version.exitCode, 0) << version.err;
  EXPECT_TRUE(std::regex_match(version.out, std::regex("\\d+ \\d+\n"))) << version.out;
  // The daemon that answered is the packaged one.
  auto status = orlixctl({"--json", "sim", "status"});
  ASSERT_EQ(status.exitCode, 0) << status.err;
  auto pid = nlohmann::json::parse(status.out).at("pid").get<long>();
  std::error_code ec;
  EXPECT_EQ(fs::read_symlink("/proc/" + std::to_string(pid) + "/exe", ec), root() / "usr/bin/orlix-vkbd");
  EXPECT_EQ(orlixctl({"sim", "stop"}).exitCode, 0);

  auto paths = nlohmann::json::parse(orlixctl({"--json", "paths"}).out);
  EXPECT_EQ(paths["program"], (root() / "usr/share/orlix").string());
  auto keys = orlixctl({"--json", "keys"});
  ASSERT_EQ(keys.exitCode, 0) << keys.err;
  auto doc = nlohmann::json::parse(keys.out);
  EXPECT_GT(doc["keys"].size(), 100u);
  EXPECT_FALSE(doc["language"]["name"].get<std::string>().empty());

  auto help = orlixctl({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  // The manual page carries the same command list as --help.
  auto page = runProgram({"/usr/bin/man", "-l", "-Tutf8", (root() / "usr/share/man/man1/orlixctl.1.gz").string()},
                         {{"MANWIDTH", "200"}, {"MAN_KEEP_FORMATTING", std::nullopt}});
  ASSERT_EQ(page.exitCode, 0) << page.err;
  std::string plain = std::regex_replace(page.out, std::regex(".\b"), "");
  for (const char* command : {"version", "paths", "devices", "keys", "profile list", "macro list", "listen"})
    EXPECT_NE(plain.find(command), std::string::npos) << command;
}

TEST_F(Package, MaintainerScriptsSucceedWithoutUdev) {
  TempDir fake;
  // An udevadm that fails, as it does without a running udev; the scripts
  // must not let it fail the installation.
  fs::create_directories(fake / "bin");
  std::ofstream(fake / "bin" / "udevadm") << "#!/bin/sh\necho \"$@\" >> " << (fake / "calls").string()
                                          << "\necho 'Failed to send reload request' >&2\nexit 1\n";
  fs::permissions(fake / "bin" / "udevadm", fs::perms::owner_all);
  struct Case {
    const char* script;
    const char* argument;
    std::string path;
  };
  const Case cases[] = {
      {"postinst", "configure", (fake / "bin").string() + ":/usr/bin:/bin"},
      {"postinst", "configure", "/nonexistent"},  // no udevadm at all
      {"postrm", "remove", (fake / "bin").string() + ":/usr/bin:/bin"},
      {"postrm", "purge", "/nonexistent"},
      {"postinst", "abort-upgrade", (fake / "bin").string() + ":/usr/bin:/bin"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.script) + " " + c.argument + " PATH=" + c.path);
    ASSERT_TRUE(fs::is_regular_file(control() / c.script));
    auto r = runProgram({"/bin/sh", (control() / c.script).string(), c.argument}, {{"PATH", c.path}});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
  }
  // udev is reloaded only where it runs.
  if (!fs::exists("/run/udev/control")) {
    EXPECT_FALSE(fs::exists(fake / "calls")) << readText(fake / "calls");
  }
}

TEST_F(Package, UserUnitStartsTheProgramTheAutostartEntryStarts) {
  const std::string unit = readText(root() / "usr/lib/systemd/user/orlix.service");
  const std::string autostart = readText(root() / "etc/xdg/autostart/orlix.desktop");
  const std::string rule = readText(root() / "usr/lib/udev/rules.d/70-orlix.rules");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(unit, m, std::regex("\nExecStart=(\\S+)\n"))) << unit;
  EXPECT_EQ(m[1], "/usr/bin/orlix");
  EXPECT_TRUE(fs::is_regular_file(root() / "usr/bin/orlix"));
  // The same program without arguments: one instance name, so a copy from the
  // autostart entry and one from the unit never run side by side.
  EXPECT_NE(autostart.find("\nExec=orlix\n"), std::string::npos) << autostart;
  // The rule asks the user's manager for exactly this unit.
  EXPECT_NE(rule.find("TAG+=\"systemd\""), std::string::npos) << rule;
  EXPECT_NE(rule.find("ENV{SYSTEMD_USER_WANTS}+=\"orlix.service\""), std::string::npos) << rule;

  const fs::path analyze = "/usr/bin/systemd-analyze";
  if (!fs::exists(analyze))
    GTEST_SKIP() << "systemd-analyze is not installed: the unit is not verified";
  // The unit as installed, with its program at the unpacked path (verify
  // checks that the command exists) and the packaged manual pages.
  TempDir dir;
  fs::create_directories(dir / "units");
  fs::create_directories(dir / "run");
  fs::permissions(dir / "run", fs::perms::owner_all);
  std::ofstream(dir / "units" / "orlix.service")
      << std::regex_replace(unit, std::regex("\nExecStart=/usr/bin/"), "\nExecStart=" + (root() / "usr/bin/").string());
  auto r = runProgram({analyze.string(), "verify", "--user", (dir / "units" / "orlix.service").string()},
                      {{"XDG_RUNTIME_DIR", (dir / "run").string()},
                       {"MANPATH", (root() / "usr/share/man").string()}});
  if (r.exitCode != 0 && r.err.find("Failed to initialize manager") != std::string::npos)
    GTEST_SKIP() << "systemd-analyze cannot run here: " << r.err;
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "") << "warnings on the unit";
}

}  // namespace
}  // namespace orlix::test
