#include <gtest/gtest.h>

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
  writeScript(dir.path / "Slow", "sleep 2; " + argsRecorder(dir.path / "out"));
  platform::LinuxHostActions host(dir.path);
  host.startProgram("Slow", {"-t", "region", "-p"});
  EXPECT_FALSE(fs::exists(dir.path / "out"));  // returned before the program finished
  EXPECT_EQ(waitForFile(dir.path / "out"), "3\n-t\nregion\n-p\n");
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
