// Plugging the keyboard in starts orlix through the systemd user unit, and the
// session's autostart entry starts it at login: the two must never leave two
// copies running. Both start the same program the same way, so its one-copy
// rule applies; the test starts the built program as each of them does.

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "../platform/temp_dir.h"
#include "run_program.h"

namespace orlix::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const fs::path kData = fs::path(ORLIX_TEST_DATA_DIR).parent_path().parent_path() / "data";

// The words of the entry's command line after "<key>=", the program by its file name.
std::vector<std::string> commandOf(const fs::path& file, const std::string& key) {
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(key + "=", 0) != 0) continue;
    std::istringstream words(line.substr(key.size() + 1));
    std::vector<std::string> argv;
    for (std::string w; words >> w;) argv.push_back(w);
    if (!argv.empty()) argv[0] = fs::path(argv[0]).filename().string();
    return argv;
  }
  return {};
}

// A program in the background with the given environment; its output is dropped.
pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
  std::vector<char*> args, envp;
  std::vector<std::string> a = argv, e = env;
  for (auto& s : a) args.push_back(s.data());
  args.push_back(nullptr);
  for (auto& s : e) envp.push_back(s.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// The exit code of pid once it ends within the time, else nothing.
std::optional<int> waitFor(pid_t pid, std::chrono::milliseconds limit) {
  auto end = Clock::now() + limit;
  do {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  } while (Clock::now() < end);
  return std::nullopt;
}

TEST(StartOnPlug, UnitAndAutostartEntryStartTheSameProgramTheSameWay) {
  auto autostart = commandOf(kData / "orlix-autostart.desktop", "Exec");
  auto unit = commandOf(kData / "orlix.service.in", "ExecStart");
  EXPECT_EQ(autostart, std::vector<std::string>{"orlix"});
  EXPECT_EQ(unit, autostart);
}

TEST(StartOnPlug, SecondCopyFromEitherStartEndsAndTheFirstKeepsRunning) {
  const fs::path orlix = fs::path(ORLIX_BIN_DIR) / "orlix";
  if (!fs::exists(orlix)) GTEST_SKIP() << "the window program is not built";
  TempDir dir;
  fs::create_directories(dir / "run");
  fs::permissions(dir / "run", fs::perms::owner_all);
  fs::create_directories(dir / "root");
  for (const char* part : {"skins", "Language"})
    fs::copy(fs::path(ORLIX_BIN_DIR) / part, dir / "root" / part, fs::copy_options::recursive);
  const std::string socket = (dir / "vkbd.sock").string();
  // The keyboard is the virtual one, plugged in; the program (driver auto) finds it.
  auto vkbd = runProgram({(fs::path(ORLIX_BIN_DIR) / "orlix-vkbd").string(), "--socket", socket, "--state",
                          (dir / "state").string(), "--daemon"});
  ASSERT_EQ(vkbd.exitCode, 0) << vkbd.err;

  // Its own instance name keeps the test apart from other copies on the machine.
  const std::string instance = "OrlixPlugTest" + std::to_string(::getpid());
  const std::vector<std::string> env = {"XDG_RUNTIME_DIR=" + (dir / "run").string(),
                                        "XDG_STATE_HOME=" + (dir / "state").string(),
                                        "XDG_CONFIG_HOME=" + (dir / "config").string(),
                                        "XDG_DATA_HOME=" + (dir / "data").string(),
                                        "HOME=" + dir.path().string(),
                                        "ORLIX_ROOT=" + (dir / "root").string(),
                                        "ORLIX_VKBD_SOCKET=" + socket,
                                        "ORLIX_SYSFS_ROOT=" + (dir / "no-sysfs").string(),
                                        "QT_QPA_PLATFORM=offscreen",
                                        "PATH=/usr/bin:/bin"};
  auto started = [&] { return std::vector<std::string>{orlix.string(), "--instance", instance}; };

  pid_t first = spawn(started(), env);  // as the autostart entry starts it
  ASSERT_GT(first, 0);
  auto lock = dir / "run" / "orlix" / (instance + ".lock");
  for (int i = 0; i < 250 && !fs::exists(lock); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_FALSE(waitFor(first, std::chrono::milliseconds(0))) << "the first copy ended by itself";

  for (int attempt = 0; attempt < 2; ++attempt) {  // the unit, then the entry again
    pid_t second = spawn(started(), env);
    ASSERT_GT(second, 0);
    auto code = waitFor(second, std::chrono::seconds(10));
    if (!code) {
      ::kill(second, SIGKILL);
      waitFor(second, std::chrono::seconds(5));
    }
    EXPECT_EQ(code, std::optional<int>(0)) << "the second copy must hand over and end";
    EXPECT_FALSE(waitFor(first, std::chrono::milliseconds(0))) << "the first copy must keep running";
  }

  ::kill(first, SIGTERM);
  if (!waitFor(first, std::chrono::seconds(10))) {
    ::kill(first, SIGKILL);
    waitFor(first, std::chrono::seconds(5));
  }
  runProgram({(fs::path(ORLIX_BIN_DIR) / "orlixctl").string(), "sim", "stop"}, {{"ORLIX_VKBD_SOCKET", socket}});
}

}  // namespace
}  // namespace orlix::test
