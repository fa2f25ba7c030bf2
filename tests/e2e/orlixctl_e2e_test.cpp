// End to end: the real orlixctl and orlix-vkbd programs on a temporary socket,
// program folder and configuration folder.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <fcntl.h>
#include <sys/wait.h>

#include <cstdio>

#include "../platform/platform_test_util.h"
#include "platform/single_instance.h"

extern char** environ;

using namespace testutil;

namespace {

const fs::path kBin = ORLIX_BIN_DIR;

// The first macro identifier (0x and 8 hex digits) in a text; empty when none.
std::string macroIdIn(const std::string& text) {
  size_t at = text.find("0x");
  return at == std::string::npos || at + 10 > text.size() ? std::string() : text.substr(at, 10);
}

// A key table line of `orlixctl sim dump`.
std::string dumpLine(int key, const char* name, uint32_t code) {
  char line[96];
  std::snprintf(line, sizeof line, "\n  %3d  %-20s 0x%08x\n", key, name, code);
  return line;
}

struct Outcome {
  int rc;
  std::string out, err;
};

class E2e : public ::testing::Test {
 protected:
  TempFolder dir;
  std::unique_ptr<ScopedEnv> socketEnv, rootEnv, configEnv;
  int outputs = 0;

  void SetUp() override {
    socketEnv = std::make_unique<ScopedEnv>("ORLIX_VKBD_SOCKET", (dir.path / "kb.sock").string());
    rootEnv = std::make_unique<ScopedEnv>("ORLIX_ROOT", (dir.path / "root").string());
    configEnv = std::make_unique<ScopedEnv>("ORLIX_CONFIG_DIR", (dir.path / "cfg").string());
    fs::create_directories(dir.path / "root");
    auto r = orlixctl({"sim", "start", "--state", (dir.path / "state").string()});
    ASSERT_EQ(r.rc, 0) << r.err;
  }
  void TearDown() override { orlixctl({"sim", "stop"}); }

  // Starts orlixctl with args, its output going to files; returns the pid.
  pid_t start(const std::vector<std::string>& args, fs::path& out, fs::path& err) {
    int n = ++outputs;
    out = dir.path / ("out" + std::to_string(n));
    err = dir.path / ("err" + std::to_string(n));
    std::vector<std::string> argv{(kBin / "orlixctl").string()};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargv;
    for (auto& a : argv) cargv.push_back(a.data());
    cargv.push_back(nullptr);
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    int rc = posix_spawn(&pid, cargv[0], &fa, nullptr, cargv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    return rc == 0 ? pid : -1;
  }
  static int wait(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  Outcome orlixctl(const std::vector<std::string>& args) {
    fs::path out, err;
    pid_t pid = start(args, out, err);
    int rc = wait(pid);
    return {rc, readFile(out), readFile(err)};
  }
};

}  // namespace

TEST_F(E2e, KeyMacroApplyAndTheKeyboardsMemory) {
  ASSERT_EQ(orlixctl({"key", "set", "a", "combo:ctrl+shift+a"}).rc, 0);
  auto r = orlixctl({"macro", "new", "--category", "21", "--name", "Tap", "--events", "A down, 50ms, A up"});
  ASSERT_EQ(r.rc, 0) << r.err;
  std::string id = macroIdIn(r.out);
  ASSERT_FALSE(id.empty()) << r.out;
  ASSERT_EQ(orlixctl({"key", "set", "g1", "macro:" + id}).rc, 0);
  ASSERT_EQ(orlixctl({"key", "set", "g2", "macro:" + id}).rc, 0);

  r = orlixctl({"apply"});
  ASSERT_EQ(r.rc, 0) << r.err;

  r = orlixctl({"sim", "dump"});
  ASSERT_EQ(r.rc, 0) << r.err;
  const std::string& d = r.out;
  EXPECT_NE(d.find(dumpLine(8, "A", 0x04030002)), std::string::npos) << d;
  EXPECT_NE(d.find(dumpLine(18, "left column key 1", 0x00010005)), std::string::npos) << d;
  EXPECT_NE(d.find(dumpLine(24, "left column key 2", 0x00010005)), std::string::npos) << d;
  EXPECT_NE(d.find(dumpLine(9, "Q", 0x00140001)), std::string::npos) << d;
  EXPECT_NE(d.find("macro directory at 0x1000: 50 slots"), std::string::npos) << d;
  EXPECT_NE(d.find("slot  0: start 0x10ca size 1084\n    10ca: 00000b0004000004\n"), std::string::npos) << d;
  EXPECT_EQ(d.find("slot  1:"), std::string::npos) << d;  // the two keys share one slot
}

TEST_F(E2e, ListenCarriesOutAHostFunction) {
  fs::path opened = dir.path / "opened";
  writeScript(dir.path / "opener", "printf '%s|' \"$#\" \"$@\" > '" + opened.string() + ".part' && /bin/mv '" +
                                       opened.string() + ".part' '" + opened.string() + "'");
  ScopedEnv opener("ORLIX_OPENER", (dir.path / "opener").string());
  ASSERT_EQ(orlixctl({"key", "set", "#9", "host:open:/home/u/My Documents/notes.txt"}).rc, 0);

  fs::path out, err;
  pid_t listen = start({"listen"}, out, err);
  ASSERT_GT(listen, 0);
  for (int i = 0; i < 100 && readFile(out).find("listening") == std::string::npos; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_NE(readFile(out).find("listening"), std::string::npos) << readFile(err);

  ASSERT_EQ(orlixctl({"sim", "press", "9", "2"}).rc, 0);
  EXPECT_EQ(waitForFile(opened), "1|/home/u/My Documents/notes.txt|");

  ::kill(listen, SIGTERM);
  EXPECT_EQ(wait(listen), 0) << readFile(err);
  EXPECT_NE(readFile(out).find("key 9: host function 2"), std::string::npos);
}

TEST_F(E2e, UnpluggedDuringAnApply) {
  auto r = orlixctl({"macro", "new", "--category", "21", "--name", "Tap", "--events", "A down, A up"});
  std::string id = macroIdIn(r.out);
  ASSERT_FALSE(id.empty()) << r.out;
  ASSERT_EQ(orlixctl({"key", "set", "esc", "macro:" + id}).rc, 0);
  std::string before = readFile(dir.path / "root" / "Profile" / "Profile1.cfg");

  // The cable is pulled by the keyboard itself after the apply's first
  // transfer, however fast or slow the machine is.
  ASSERT_EQ(orlixctl({"sim", "unplug", "--after-transfers", "1"}).rc, 0);
  r = orlixctl({"apply"});
  EXPECT_EQ(r.rc, 3);
  EXPECT_EQ(r.err, "Setting Error\n");
  EXPECT_NE(orlixctl({"sim", "status"}).out.find("plugged no"), std::string::npos);
  EXPECT_EQ(readFile(dir.path / "root" / "Profile" / "Profile1.cfg"), before);

  ASSERT_EQ(orlixctl({"sim", "plug"}).rc, 0);
  r = orlixctl({"apply"});
  EXPECT_EQ(r.rc, 0) << r.err;
}

TEST_F(E2e, CommandsThatStoreTellARunningWindowToTakeTheChangeUp) {
  // The window program's end of the channel, under a name of this run's own.
  std::string name = "OrlixE2eTakeUp-" + std::to_string(::getpid());
  orlix::platform::SingleInstance window(name, dir.path / "run");
  ASSERT_EQ(window.acquire(), orlix::platform::SingleInstance::Result::First);
  ASSERT_GE(window.fd(), 0);
  struct Row {
    std::vector<std::string> args;
    bool tells;
  };
  const Row rows[] = {
      {{"key", "set", "a", "disable"}, true},
      {{"key", "show", "a"}, false},
      {{"macro", "new", "--category", "21", "--name", "Tap", "--events", "A down, A up"}, true},
      {{"profile", "list"}, false},
      {{"profile", "switch", "2"}, true},
  };
  for (const Row& row : rows) {
    std::vector<std::string> args{"--instance", name};
    args.insert(args.end(), row.args.begin(), row.args.end());
    auto r = orlixctl(args);
    ASSERT_EQ(r.rc, 0) << row.args[0] << " " << row.args[1] << ": " << r.err;
    // orlixctl has ended: its word, if any, waits in the listen queue.
    auto words = window.drain();
    EXPECT_EQ(words, row.tells ? std::vector<std::string>{"reload"} : std::vector<std::string>{})
        << row.args[0] << " " << row.args[1];
  }
}
