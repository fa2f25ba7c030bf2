#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "core/device/device_commands.h"
#include "core/device/driver_channel.h"
#include "e2e_support.h"
#include "platform/vkbd_client.h"

using namespace orlix;
using namespace orlix::e2e;

namespace {
struct LogLine {
  long seq = 0, ms = 0;
  std::string dir;
  size_t count = 0;
  std::string hex;
};

std::vector<LogLine> readLog(const fs::path& file) {
  std::vector<LogLine> lines;
  std::ifstream in(file);
  LogLine l;
  while (in >> l.seq >> l.ms >> l.dir >> l.count >> l.hex) lines.push_back(l);
  return lines;
}
}  // namespace

// The default key table written with real pacing through the daemon: the memory
// image holds it at 0x0C00 and the log shows three 252-byte writes 30 ms apart.
TEST(VirtualKeyboardDaemon, DefaultKeyTableLandsInMemoryWithPacedWrites) {
  TempDir dir;
  Daemon daemon(dir.path);
  ASSERT_TRUE(daemon.started);

  platform::SocketDriverEndpoint endpoint(daemon.socket);
  DriverChannel channel(endpoint);
  channel.start(nullptr);
  ASSERT_TRUE(channel.open());
  auto table = defaultKeyTable();
  ASSERT_TRUE(device::writeKeyTable(channel, table, realPacer()));
  channel.close();

  std::ifstream mem(daemon.state / "memory.bin", std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(mem)), {});
  ASSERT_EQ(bytes.size(), 65536u);
  auto img = device::keyTableImage(table);
  EXPECT_TRUE(std::equal(img.begin(), img.end(), bytes.begin() + 0x0C00));

  auto log = readLog(daemon.state / "transfers.log");
  ASSERT_EQ(log.size(), 3u);
  const char* starts[] = {"a5000cf8", "a5f80cf8", "a5f00df8"};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(log[i].dir, "out");
    EXPECT_EQ(log[i].count, 252u);
    EXPECT_EQ(log[i].hex.size(), 504u);
    EXPECT_EQ(log[i].hex.substr(0, 8), starts[i]);
    if (i > 0) EXPECT_GE(log[i].ms - log[i - 1].ms, 30) << i;
  }

  auto dump = run(orlixctl(daemon.socket) + " sim dump");
  EXPECT_EQ(dump.exitCode, 0);
  EXPECT_NE(dump.output.find("Left Ctrl"), std::string::npos) << dump.output;
  EXPECT_NE(dump.output.find("0x00e00001"), std::string::npos) << dump.output;
}

TEST(Orlixctl, VersionAndSimCommands) {
  TempDir dir;
  fs::path socket = dir.path / "vkbd.sock";
  auto noDaemon = run(orlixctl(socket) + " --driver sim:" + socket.string() + " version");
  EXPECT_EQ(noDaemon.exitCode, 1);
  EXPECT_NE(noDaemon.output.find("orlixctl: cannot reach the keyboard"), std::string::npos) << noDaemon.output;

  Daemon daemon(dir.path);
  ASSERT_TRUE(daemon.started);
  auto v = run(orlixctl(socket) + " version");
  EXPECT_EQ(v.exitCode, 0);
  EXPECT_EQ(v.output, "1 6\n");

  EXPECT_EQ(run(orlixctl(socket) + " sim press 9 2").exitCode, 0);
  auto status = run(orlixctl(socket) + " sim status");
  EXPECT_NE(status.output.find("pending-events 1"), std::string::npos) << status.output;

  EXPECT_EQ(run(orlixctl(socket) + " sim unplug").exitCode, 0);
  auto unplugged = run(orlixctl(socket) + " version");
  EXPECT_EQ(unplugged.exitCode, 1);
  EXPECT_EQ(run(orlixctl(socket) + " sim plug").exitCode, 0);
  EXPECT_EQ(run(orlixctl(socket) + " version").exitCode, 0);

  struct {
    const char* args;
    int code;
  } bad[] = {
      {"sim press 9", 2}, {"sim press 999 2", 2}, {"sim press 9 16", 2}, {"sim event nope", 2},
      {"sim frobnicate", 2}, {"frobnicate", 2}, {"--driver", 2}, {"--driver warp version", 1},
  };
  for (auto& b : bad) {
    auto r = run(orlixctl(socket) + " " + b.args);
    EXPECT_EQ(r.exitCode, b.code) << b.args << ": " << r.output;
    EXPECT_NE(r.output.find("orlixctl: "), std::string::npos) << b.args;
    EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << b.args << ": " << r.output;
  }
}

TEST(Orlixctl, SimulateStartsTheDaemonWhenNoneRuns) {
  TempDir dir;
  fs::path socket = dir.path / "vkbd.sock";
  std::string env = "XDG_STATE_HOME='" + dir.path.string() + "' ";
  auto v = run(env + orlixctl(socket) + " --simulate version");
  EXPECT_EQ(v.exitCode, 0) << v.output;
  EXPECT_EQ(v.output, "1 6\n");
  EXPECT_EQ(run(orlixctl(socket) + " sim stop").exitCode, 0);
  EXPECT_FALSE(fs::exists(socket));
}
