#include "platform/paths.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "temp_dir.h"

namespace orlix::platform {
namespace {

using test::ScopedEnv;
using test::TempDir;

TEST(ProgramFolder, OverrideThenEnvironmentThenExecutable) {
  TempDir t;
  {
    ScopedEnv root("ORLIX_ROOT", (t / "env").string());
    EXPECT_EQ(programFolder((t / "cli").string()), t / "cli");
    EXPECT_EQ(programFolder(), t / "env");
  }
  ScopedEnv root("ORLIX_ROOT", std::nullopt);
  EXPECT_EQ(programFolder(), programFolderBeside(executableFolder()));
}

TEST(ProgramFolder, BesideTheExecutable) {
  TempDir t;
  // A build tree or portable folder: the executable's folder holds the program's files.
  for (const char* marker : {"skins", "Language", "Profile"}) {
    auto exe = t / (std::string("portable-") + marker);
    std::filesystem::create_directories(exe / marker);
    EXPECT_EQ(programFolderBeside(exe), exe) << marker;
  }
  // An installed prefix, wherever it lies: bin/ beside share/orlix/.
  std::filesystem::create_directories(t / "prefix" / "bin");
  std::filesystem::create_directories(t / "prefix" / "share" / "orlix");
  EXPECT_EQ(programFolderBeside(t / "prefix" / "bin"), t / "prefix" / "share" / "orlix");
  // Neither: the configured installation folder.
  std::filesystem::create_directories(t / "bare" / "bin");
  auto fallback = programFolderBeside(t / "bare" / "bin");
  EXPECT_EQ(fallback.filename(), "orlix");
  EXPECT_NE(fallback, t / "bare" / "share" / "orlix");
}

TEST(DataFolder, ProgramFolderWhenWritableElseUserData) {
  TempDir t;
  EXPECT_EQ(dataFolder(t.path()), t.path());
  {
    ScopedEnv xdg("XDG_DATA_HOME", (t / "xdg").string());
    EXPECT_EQ(dataFolder(t / "missing"), t / "xdg" / "orlix");
  }
  ScopedEnv xdg("XDG_DATA_HOME", std::nullopt);
  ScopedEnv home("HOME", (t / "home").string());
  EXPECT_EQ(dataFolder(t / "missing"), t / "home" / ".local" / "share" / "orlix");
}

TEST(DataFolder, PrepareSeedsProfileFolderAndMacroLibraryOnce) {
  TempDir t;
  auto program = t / "program";
  std::filesystem::create_directories(program);
  test::writeText(program / "Macro.cfg", std::string(100, '\0'));

  auto data = t / "data" / "orlix";
  ASSERT_TRUE(prepareDataFolder(program, data));
  EXPECT_TRUE(std::filesystem::is_directory(data / "Profile"));
  EXPECT_EQ(std::filesystem::file_size(data / "Macro.cfg"), 100u);

  // A library the user has since filled is never replaced.
  test::writeText(data / "Macro.cfg", "mine");
  ASSERT_TRUE(prepareDataFolder(program, data));
  EXPECT_EQ(std::filesystem::file_size(data / "Macro.cfg"), 4u);
  for (auto& e : std::filesystem::directory_iterator(data))
    EXPECT_EQ(e.path().filename().string().find(".tmp"), std::string::npos) << e.path();

  // The same folder: nothing is created (the program never makes its own Profile/).
  ASSERT_TRUE(prepareDataFolder(program, program));
  EXPECT_FALSE(std::filesystem::exists(program / "Profile"));

  // A data folder that cannot be created: a file stands where a folder must go.
  test::writeText(t / "blocker", "x");
  EXPECT_FALSE(prepareDataFolder(program, t / "blocker" / "orlix"));
}

TEST(Folders, SettingsRuntimeAndStateFollowTheEnvironment) {
  TempDir t;
  ScopedEnv home("HOME", (t / "home").string());
  {
    ScopedEnv cfg("ORLIX_CONFIG_DIR", (t / "cfg").string());
    ScopedEnv xdg("XDG_CONFIG_HOME", (t / "xdg").string());
    EXPECT_EQ(configFolder((t / "cli").string()), t / "cli");
    EXPECT_EQ(configFolder(), t / "cfg");
  }
  {
    ScopedEnv cfg("ORLIX_CONFIG_DIR", std::nullopt);
    ScopedEnv xdg("XDG_CONFIG_HOME", (t / "xdg").string());
    EXPECT_EQ(configFolder(), t / "xdg" / "orlix");
  }
  {
    ScopedEnv cfg("ORLIX_CONFIG_DIR", std::nullopt);
    ScopedEnv xdg("XDG_CONFIG_HOME", std::nullopt);
    EXPECT_EQ(configFolder(), t / "home" / ".config" / "orlix");
  }
  {
    ScopedEnv run("XDG_RUNTIME_DIR", (t / "run").string());
    EXPECT_EQ(runtimeFolder(), t / "run" / "orlix");
  }
  {
    ScopedEnv run("XDG_RUNTIME_DIR", std::nullopt);
    EXPECT_EQ(runtimeFolder(), std::filesystem::path("/tmp") / ("orlix-" + std::to_string(::getuid())));
  }
  {
    ScopedEnv state("XDG_STATE_HOME", std::nullopt);
    EXPECT_EQ(stateFolder(), t / "home" / ".local" / "state" / "orlix");
  }
  {
    ScopedEnv sys("ORLIX_SYSFS_ROOT", std::nullopt);
    EXPECT_EQ(sysfsRoot(), "/sys");
    ScopedEnv fake("ORLIX_SYSFS_ROOT", (t / "sys").string());
    EXPECT_EQ(sysfsRoot(), t / "sys");
  }
}

TEST(EnsureFolder, CreatesPrivateParentsAndFailsUnderAFile) {
  TempDir t;
  auto deep = t / "a" / "b" / "c";
  ASSERT_TRUE(ensureFolder(deep));
  struct stat st {};
  ASSERT_EQ(::stat(deep.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_TRUE(ensureFolder(deep));  // already there

  test::writeText(t / "file", "x");
  EXPECT_FALSE(ensureFolder(t / "file" / "sub"));
}

bool hasTemporaryFiles(const std::filesystem::path& folder) {
  for (auto& e : std::filesystem::directory_iterator(folder))
    if (e.path().filename().string().find(".tmp-") != std::string::npos) return true;
  return false;
}

TEST(WriteFileAtomically, ReplacesTheWholeFile) {
  TempDir t;
  auto file = t / "value";
  std::string first(5000, 'a'), second = "bb";
  ASSERT_TRUE(writeFileAtomically(file, first.data(), first.size()));
  ASSERT_TRUE(writeFileAtomically(file, second.data(), second.size()));
  EXPECT_EQ(test::readBytes(file), std::vector<uint8_t>(second.begin(), second.end()));
  ASSERT_TRUE(writeFileAtomically(t / "empty", nullptr, 0));
  EXPECT_EQ(std::filesystem::file_size(t / "empty"), 0u);
  EXPECT_FALSE(hasTemporaryFiles(t.path()));
}

TEST(WriteFileAtomically, NewFilesFollowTheUmask) {
  TempDir t;
  mode_t old = ::umask(027);
  bool ok = writeFileAtomically(t / "f", "x", 1);
  ::umask(old);
  ASSERT_TRUE(ok);
  struct stat st {};
  ASSERT_EQ(::stat((t / "f").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(WriteFileAtomically, ReplacedFileKeepsItsPermissions) {
  TempDir t;
  auto file = t / "Profile1.cfg";
  ASSERT_TRUE(writeFileAtomically(file, "a", 1));
  for (mode_t mode : {0600u, 0640u, 0444u}) {
    ::chmod(file.c_str(), mode);
    ASSERT_TRUE(writeFileAtomically(file, "bb", 2));
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, mode);
  }
}

// Temporary files of writers that died are removed; those of running writers,
// and every other file, stay.
TEST(RemoveStaleTemporaries, OnlyThoseOfDeadWriters) {
  TempDir t;
  pid_t dead = ::fork();
  if (dead == 0) ::_exit(0);
  ::waitpid(dead, nullptr, 0);
  std::string d = std::to_string(dead), me = std::to_string(::getpid());
  const std::pair<std::string, bool> files[] = {
      {"Profile1.cfg.tmp-" + d + "-3", true},
      {"Macro.cfg.tmp-" + d, true},
      {"Profile2.cfg.tmp-" + me + "-0", false},
      {"Profile1.cfg", false},
      {"notes.tmp-abc", false},
      {".tmp-" + d, false},
      {"x.tmp-" + d + "-1-2", false},
  };
  for (auto& [name, stale] : files) test::writeText(t / name, "x");
  std::filesystem::create_symlink(t / "Profile1.cfg", t / ("link.tmp-" + d));
  EXPECT_EQ(removeStaleTemporaries(t.path()), 2);
  for (auto& [name, stale] : files) EXPECT_EQ(std::filesystem::exists(t / name), !stale) << name;
  EXPECT_TRUE(std::filesystem::is_symlink(t / ("link.tmp-" + d)));
  EXPECT_EQ(removeStaleTemporaries(t / "missing"), 0);
}

TEST(WriteFileAtomically, FailureLeavesTheOldContentAndNoTemporaryFile) {
  TempDir t;
  // Missing folder: nothing can be created.
  EXPECT_FALSE(writeFileAtomically(t / "missing" / "f", "x", 1));
  // A folder in the file's place: the temporary file is written but the rename fails.
  std::filesystem::create_directories(t / "taken" / "inside");
  EXPECT_FALSE(writeFileAtomically(t / "taken", "x", 1));
  EXPECT_TRUE(std::filesystem::is_directory(t / "taken" / "inside"));
  EXPECT_FALSE(hasTemporaryFiles(t.path()));
}

TEST(WriteFileAtomically, ConcurrentWritersNeverMixTheirBytes) {
  TempDir t;
  auto file = t / "shared";
  std::vector<std::thread> writers;
  std::atomic<int> failures{0};
  for (int w = 0; w < 8; ++w)
    writers.emplace_back([&, w] {
      std::string content(64 * 1024, char('a' + w));
      for (int i = 0; i < 20; ++i)
        if (!writeFileAtomically(file, content.data(), content.size())) ++failures;
    });
  for (auto& th : writers) th.join();
  EXPECT_EQ(failures.load(), 0);
  auto bytes = test::readBytes(file);
  ASSERT_EQ(bytes.size(), 64u * 1024);
  for (uint8_t b : bytes) ASSERT_EQ(b, bytes[0]);
  EXPECT_FALSE(hasTemporaryFiles(t.path()));
}

}  // namespace
}  // namespace orlix::platform
