#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>

#include "core/device/device_commands.h"
#include "core/device/driver_channel.h"
#include "core/device/messages.h"
#include "core/device/virtual_keyboard.h"
#include "core/device/vkbd_protocol.h"
#include "core/util/bytes.h"
#include "platform/vkbd_client.h"
#include "platform/vkbd_server.h"

using namespace orlix;
namespace fs = std::filesystem;

namespace {

// A daemon served from a thread of the test, on a fresh socket and state folder.
struct DaemonFixture : ::testing::Test {
  fs::path dir;
  VirtualKeyboard keyboard;
  std::unique_ptr<platform::VkbdServer> server;
  std::thread thread;

  void SetUp() override {
    char tmpl[] = "/tmp/orlix-vkbd-test-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    dir = tmpl;
    server = std::make_unique<platform::VkbdServer>(keyboard, dir / "s.sock", dir / "state");
    ASSERT_TRUE(server->listen()) << server->error();
    thread = std::thread([this] { server->run(); });
  }
  void TearDown() override {
    server->stop();
    thread.join();
    server.reset();
    fs::remove_all(dir);
  }
  fs::path socket() const { return dir / "s.sock"; }
};

// A raw client socket, for feeding the daemon bytes no well-behaved client sends.
int rawConnect(const fs::path& path) {
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strcpy(addr.sun_path, path.c_str());
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

TEST_F(DaemonFixture, KeyTableWriteThroughTheSocket) {
  platform::SocketDriverEndpoint endpoint(socket());
  DriverChannel channel(endpoint);
  channel.start(nullptr);
  ASSERT_TRUE(channel.open());
  FakePacer pacer;
  auto table = defaultKeyTable();
  ASSERT_TRUE(device::writeKeyTable(channel, table, pacer));
  auto v = device::queryVersion(channel, pacer);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->major, 1);
  channel.close();

  std::ifstream mem(dir / "state" / "memory.bin", std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(mem)), {});
  ASSERT_EQ(bytes.size(), 65536u);
  auto img = device::keyTableImage(table);
  EXPECT_TRUE(std::equal(img.begin(), img.end(), bytes.begin() + 0x0C00));
}

TEST_F(DaemonFixture, KeyEventsReachTheRegisteredChannel) {
  platform::SocketDriverEndpoint endpoint(socket());
  DriverChannel channel(endpoint);
  MessageQueue window;
  channel.start(&window);
  ASSERT_TRUE(channel.open());

  platform::VkbdConnection admin;
  ASSERT_TRUE(admin.connect(socket()));
  uint8_t word[4];
  putU32(word, 0, VirtualKeyboard::hostKeyEvent(9, 2));
  auto r = admin.request(vkbd::kEvent, word);
  ASSERT_TRUE(r && r->type == vkbd::kResult);
  auto m = window.take(std::chrono::seconds(5));
  ASSERT_TRUE(m);
  EXPECT_EQ(*m, (Message{msg::kKeyEvent, 0xC209, 0}));
}

TEST_F(DaemonFixture, UnplugFailsTransfersAndTellsClients) {
  platform::SocketDriverEndpoint endpoint(socket());
  std::atomic<int> unplugged{0};
  endpoint.onPresenceChange = [&](bool plugged) {
    if (!plugged) ++unplugged;
  };
  DriverChannel channel(endpoint);
  channel.start(nullptr);
  ASSERT_TRUE(channel.open());
  platform::VkbdConnection admin;
  ASSERT_TRUE(admin.connect(socket()));
  ASSERT_TRUE(admin.request(vkbd::kUnplug));
  const uint8_t cmd[8] = {0xA3};
  EXPECT_FALSE(channel.transfer(cmd, 8));
  for (int i = 0; i < 100 && unplugged == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(unplugged, 1);
  EXPECT_FALSE(channel.open());
  ASSERT_TRUE(admin.request(vkbd::kPlug));
  EXPECT_TRUE(channel.open());
}

TEST_F(DaemonFixture, MalformedFramesCostOnlyTheirOwnConnection) {
  platform::VkbdConnection good;
  ASSERT_TRUE(good.connect(socket()));

  // An oversized length: the daemon answers with an error and hangs up.
  int bad = rawConnect(socket());
  ASSERT_GE(bad, 0);
  uint8_t huge[5] = {0xFF, 0xFF, 0xFF, 0x7F, 0x01};
  ASSERT_EQ(::write(bad, huge, 5), 5);
  uint8_t buf[256];
  ssize_t n = ::read(bad, buf, sizeof buf);
  ASSERT_GT(n, 5);
  EXPECT_EQ(buf[4], vkbd::kError);
  EXPECT_EQ(::read(bad, buf, sizeof buf), 0);  // closed
  ::close(bad);

  // A client that leaves in the middle of a frame.
  int half = rawConnect(socket());
  uint8_t partial[7] = {0x10, 0x00, 0x00, 0x00, vkbd::kControl, 0x0C, 0x24};
  ASSERT_EQ(::write(half, partial, sizeof partial), 7);
  ::close(half);

  // Unknown type: an error answer, and the connection keeps working.
  auto r = good.request(0x55);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->type, vkbd::kError);
  auto s = good.request(vkbd::kStatus);
  ASSERT_TRUE(s);
  EXPECT_EQ(s->type, vkbd::kText);
  // A control request with a short body.
  uint8_t shortBody[3] = {1, 2, 3};
  auto c = good.request(vkbd::kControl, shortBody);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->type, vkbd::kError);
}

TEST(VkbdClient, DeadDaemonFailsWithoutBlocking) {
  platform::SocketDriverEndpoint endpoint("/tmp/orlix-no-such-dir/none.sock");
  DriverChannel channel(endpoint);
  channel.start(nullptr);
  auto t0 = std::chrono::steady_clock::now();
  EXPECT_FALSE(channel.open());
  const uint8_t cmd[8] = {0xA3};
  EXPECT_FALSE(channel.transfer(cmd, 8));
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(2));
}

TEST(VkbdProtocol, FrameReaderEveryPrefix) {
  auto a = vkbd::encodeText(vkbd::kText, "hello");
  auto b = vkbd::encodeU32(vkbd::kSignal, 0x1234);
  std::vector<uint8_t> stream = a;
  stream.insert(stream.end(), b.begin(), b.end());
  // Fed one byte at a time, the same two frames come out, each exactly once.
  vkbd::FrameReader r;
  std::vector<vkbd::Frame> frames;
  for (uint8_t byte : stream) {
    r.feed({&byte, 1});
    while (auto f = r.next()) frames.push_back(*f);
  }
  ASSERT_EQ(frames.size(), 2u);
  EXPECT_EQ(std::string(frames[0].body.begin(), frames[0].body.end()), "hello");
  EXPECT_EQ(getU32(frames[1].body, 0), 0x1234u);
  EXPECT_EQ(r.buffered(), 0u);

  vkbd::FrameReader zero;
  uint8_t z[5] = {0, 0, 0, 0, 1};
  zero.feed(z);
  EXPECT_FALSE(zero.next());
  EXPECT_TRUE(zero.failed());
}
