#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <thread>

#include "platform/host_actions.h"
#include "platform_test_util.h"

using namespace orlix;
using namespace testutil;

namespace {
// A script that writes its argument count and arguments, one per line, to out.
std::string argsRecorder(const fs::path& out) {
  return "{ echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; } > '" + out.string() + ".part' && /bin/mv '" +
         out.string() + ".part' '" + out.string() + "'";
}
}  // namespace

TEST(LinuxHostActions, OpenPassesThePathAsOneArgumentWithoutAShell) {
  TempFolder dir;
  writeScript(dir.path / "opener", argsRecorder(dir.path / "out"));
  ScopedEnv opener("ORLIX_OPENER", (dir.path / "opener").string());
  platform::LinuxHostActions host(dir.path);

  host.open(u"\"/home/u/My Files/a;b $HOME.txt\"");
  EXPECT_EQ(waitForFile(dir.path / "out"), "1\n/home/u/My Files/a;b $HOME.txt\n");

  fs::remove(dir.path / "out");
  host.open(u"https://example.org/?q=a&b");
  EXPECT_EQ(waitForFile(dir.path / "out"), "1\nhttps://example.org/?q=a&b\n");
}

TEST(LinuxHostActions, StartingAProgramDoesNotWaitForIt) {
  TempFolder dir;
  // The program finishes only once the test lets it: a start that waited for it would never return.
  auto gate = dir.path / "go";
  writeScript(dir.path / "Slow",
              "while [ ! -e '" + gate.string() + "' ]; do sleep 0.01; done; " + argsRecorder(dir.path / "out"));
  platform::LinuxHostActions host(dir.path);
  std::atomic<bool> returned{false};
  std::thread starter([&] {
    host.startProgram("Slow", {"-t", "region", "-p"});
    returned = true;
  });
  for (int i = 0; i < 500 && !returned; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(returned.load());
  EXPECT_FALSE(fs::exists(dir.path / "out"));
  std::ofstream(gate.string()) << "";
  starter.join();
  EXPECT_EQ(waitForFile(dir.path / "out"), "3\n-t\nregion\n-p\n");
}

// An action text is never taken as an option of the opener or the sound player.
TEST(LinuxHostActions, ActionTextsAreNeverOptions) {
  TempFolder dir;
  writeScript(dir.path / "opener", argsRecorder(dir.path / "opened"));
  writeScript(dir.path / "paplay", argsRecorder(dir.path / "played"));
  ScopedEnv opener("ORLIX_OPENER", (dir.path / "opener").string());
  ScopedEnv path("PATH", dir.path.string());
  platform::LinuxHostActions host(dir.path);
  struct Case {
    std::u16string text;
    std::string passed;
  };
  const Case cases[] = {
      {u"--process-id-file=/home/u/thesis.tex", "./--process-id-file=/home/u/thesis.tex"},
      {u"\"-x.wav\"", "./-x.wav"},
      {u"/abs/-x.wav", "/abs/-x.wav"},
      {u"file:///tmp/-x", "file:///tmp/-x"},
      {u"sounds/a.wav", "sounds/a.wav"},
  };
  for (const Case& c : cases) {
    host.open(c.text);
    EXPECT_EQ(waitForFile(dir.path / "opened"), "1\n" + c.passed + "\n");
    fs::remove(dir.path / "opened");
    host.playSound(c.text);
    // The sound player gets the text as it is stored, quotes and all, but never as an option.
    std::string played = waitForFile(dir.path / "played");
    EXPECT_EQ(played.substr(0, 2), "1\n");
    EXPECT_NE(played[2], '-') << played;
    fs::remove(dir.path / "played");
  }
}

TEST(LinuxHostActions, OpenerCommandIsSplitIntoWords) {
  TempFolder dir;
  writeScript(dir.path / "my opener", argsRecorder(dir.path / "out"));
  ScopedEnv path("PATH", dir.path.string() + ":/usr/bin:/bin");
  platform::LinuxHostActions host(dir.path);
  {
    ScopedEnv opener("ORLIX_OPENER", "'" + (dir.path / "my opener").string() + "' open --new-window \"a b\" c\\ d");
    host.open(u"/x y");
    EXPECT_EQ(waitForFile(dir.path / "out"), "5\nopen\n--new-window\na b\nc d\n/x y\n");
  }
  fs::remove(dir.path / "out");
  {
    // A command that cannot be split is not guessed at.
    ScopedEnv opener("ORLIX_OPENER", "'" + (dir.path / "my opener").string() + " open");
    host.open(u"/x");
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(fs::exists(dir.path / "out"));
  }
}

TEST(LinuxHostActions, SplitWordsAsAShellDoes) {
  using W = std::vector<std::string>;
  struct Case {
    const char* line;
    std::optional<W> words;
  };
  const Case cases[] = {
      {"gio open", W{"gio", "open"}},
      {"  a\t b  ", W{"a", "b"}},
      {"'a b'c \"d\\\"e\"", W{"a bc", "d\"e"}},
      {"\"$HOME\" 'x\\y' a\\ b", W{"$HOME", "x\\y", "a b"}},
      {"\"\"", W{""}},
      {"", W{}},
      {"'open", std::nullopt},
      {"\"open", std::nullopt},
      {"open\\", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::splitWords(c.line), c.words) << c.line;
}

// A variable the program set for itself reaches started programs as it was.
TEST(LinuxHostActions, StartedProgramsGetTheOriginalEnvironmentBack) {
  TempFolder dir;
  auto out = dir.path / "env";
  writeScript(dir.path / "Show", "echo \"${ORLIX_TEST_OVERRIDE-unset} ${ORLIX_TEST_KEPT-unset}\" > '" +
                                     out.string() + ".part' && /bin/mv '" + out.string() + ".part' '" + out.string() + "'");
  platform::LinuxHostActions host(dir.path);
  ScopedEnv kept("ORLIX_TEST_KEPT", "kept");
  {
    platform::restoreInChildren("ORLIX_TEST_OVERRIDE", std::nullopt);
    ScopedEnv override("ORLIX_TEST_OVERRIDE", "xcb");
    host.startProgram("Show", {});
    EXPECT_EQ(waitForFile(out), "unset kept\n");
  }
  fs::remove(out);
  platform::restoreInChildren("ORLIX_TEST_OVERRIDE", "wayland");
  ScopedEnv override("ORLIX_TEST_OVERRIDE", "xcb");
  host.startProgram("Show", {});
  EXPECT_EQ(waitForFile(out), "wayland kept\n");
}

// The bus library's launcher is only skipped where it cannot find a bus.
TEST(LinuxHostActions, BusLauncherSkippedOnlyWhereNoBusCanBeFound) {
  TempFolder runtime, bin;
  writeScript(bin.path / "dbus-launch", "exit 1");
  struct Case {
    const char* what;
    std::optional<std::string> address;
    bool busSocket;
    bool launcherOnPath;
    bool launcherInPlace;
    bool skipped;
  };
  const Case cases[] = {
      {"an address", std::string("unix:path=/nowhere"), false, false, false, false},
      {"a bus in the runtime folder", std::nullopt, true, false, false, false},
      {"a launcher on PATH", std::nullopt, false, true, false, false},
      {"a launcher in its place", std::nullopt, false, false, true, false},
      {"nothing", std::nullopt, false, false, false, true},
      {"an empty address and nothing", std::string(), false, false, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScopedEnv runtimeDir("XDG_RUNTIME_DIR", runtime.path.string());
    ScopedEnv path("PATH", c.launcherOnPath ? bin.path.string() : runtime.path.string());
    ScopedEnv address("DBUS_SESSION_BUS_ADDRESS", c.address.value_or(""));
    if (!c.address) ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    fs::remove(runtime.path / "bus");
    if (c.busSocket) writeScript(runtime.path / "bus", "");
    const std::vector<fs::path> places{c.launcherInPlace ? bin.path / "dbus-launch" : bin.path / "missing"};
    EXPECT_EQ(platform::skipAbsentBusLauncher(places), c.skipped);
    const char* now = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    EXPECT_EQ(std::string(now ? now : "-"), c.skipped ? "disabled:" : c.address.value_or("-"));
  }
  // The programs it starts find the variable as it was before.
  TempFolder program;
  auto out = program.path / "env";
  writeScript(program.path / "Show", "echo \"${DBUS_SESSION_BUS_ADDRESS-unset}\" > '" + out.string() + ".part' && /bin/mv '" +
                                         out.string() + ".part' '" + out.string() + "'");
  ScopedEnv runtimeDir("XDG_RUNTIME_DIR", runtime.path.string());
  ScopedEnv path("PATH", runtime.path.string());
  ScopedEnv address("DBUS_SESSION_BUS_ADDRESS", "");
  ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
  fs::remove(runtime.path / "bus");
  ASSERT_TRUE(platform::skipAbsentBusLauncher({}));
  platform::LinuxHostActions host(program.path);
  host.startProgram("Show", {});
  EXPECT_EQ(waitForFile(out), "unset\n");
}

TEST(LinuxHostActions, ProgramFolderFirstThenPath) {
  TempFolder program, bin;
  writeScript(program.path / "Tool", argsRecorder(program.path / "out"));
  writeScript(bin.path / "Tool", argsRecorder(bin.path / "out"));
  writeScript(bin.path / "Other", argsRecorder(bin.path / "other"));
  ScopedEnv path("PATH", bin.path.string() + ":/usr/bin:/bin");
  platform::LinuxHostActions host(program.path);

  host.startProgram("Tool", {"x"});
  EXPECT_EQ(waitForFile(program.path / "out"), "1\nx\n");
  host.startProgram("Other", {});
  EXPECT_EQ(waitForFile(bin.path / "other"), "0\n");
  EXPECT_FALSE(fs::exists(bin.path / "out"));
  host.startProgram("Missing", {});  // nothing happens
}

TEST(LinuxHostActions, SoundUsesTheFirstPlayerFoundOrNothing) {
  TempFolder bin;
  writeScript(bin.path / "paplay", argsRecorder(bin.path / "paplay.out"));
  writeScript(bin.path / "aplay", argsRecorder(bin.path / "aplay.out"));
  {
    ScopedEnv path("PATH", bin.path.string());
    platform::LinuxHostActions host("");
    host.playSound(u"/sounds/a b.wav");
    EXPECT_EQ(waitForFile(bin.path / "paplay.out"), "1\n/sounds/a b.wav\n");
    fs::remove(bin.path / "paplay");
    host.playSound(u"/sounds/c.wav");
    EXPECT_EQ(waitForFile(bin.path / "aplay.out"), "1\n/sounds/c.wav\n");
  }
  TempFolder empty;
  ScopedEnv path("PATH", empty.path.string());
  platform::LinuxHostActions host("");
  host.playSound(u"/sounds/a.wav");  // no player: silently nothing
  host.open(u"/x");                   // no opener either
}

TEST(LinuxHostActions, Unquoting) {
  EXPECT_EQ(platform::unquoteOnce("\"a b\""), "a b");
  EXPECT_EQ(platform::unquoteOnce("\"\"a b\"\""), "\"a b\"");
  EXPECT_EQ(platform::unquoteOnce("\"a"), "\"a");
  EXPECT_EQ(platform::unquoteOnce("\""), "\"");
  EXPECT_EQ(platform::unquoteOnce("ab"), "ab");
}
