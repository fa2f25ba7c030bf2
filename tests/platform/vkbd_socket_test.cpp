#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
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

namespace {

sockaddr_un unixAddress(const fs::path& path) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strcpy(addr.sun_path, path.c_str());
  return addr;
}

// Reads frames from a raw socket, giving up after 5 s of silence.
struct RawReader {
  int fd;
  vkbd::FrameReader reader;
  explicit RawReader(int f) : fd(f) {
    timeval tv{5, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  }
  // The next whole frame; type 0 when the peer hung up or went silent.
  vkbd::Frame next() {
    uint8_t buf[65536];
    while (true) {
      if (auto f = reader.next()) return *f;
      if (reader.failed()) return {};
      ssize_t n = ::recv(fd, buf, sizeof buf, 0);
      if (n <= 0) return {};
      reader.feed({buf, size_t(n)});
    }
  }
};

std::string statusValue(platform::VkbdConnection& c, const std::string& key) {
  auto s = c.request(vkbd::kStatus);
  if (!s) return {};
  std::string text(s->body.begin(), s->body.end());
  auto at = text.find(key + " ");
  if (at == std::string::npos) return {};
  auto end = text.find('\n', at);
  return text.substr(at + key.size() + 1, end - at - key.size() - 1);
}

}  // namespace

// A daemon that listens but never accepts (stopped with Ctrl+Z, its listen
// queue full) must not hold a client beyond its time-out.
TEST(VkbdClient, ConnectToAStoppedDaemonIsBounded) {
  char tmpl[] = "/tmp/orlix-vkbd-test-XXXXXX";
  ASSERT_NE(::mkdtemp(tmpl), nullptr);
  fs::path dir = tmpl;
  auto addr = unixAddress(dir / "s.sock");
  int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(::listen(listener, 0), 0);
  std::vector<int> queued;
  while (true) {
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
      ::close(fd);
      break;
    }
    queued.push_back(fd);
  }
  std::atomic<bool> done{false};
  bool connected = true;
  std::thread client([&] {
    platform::VkbdConnection c;
    connected = c.connect(dir / "s.sock", 300);
    done = true;
  });
  for (int i = 0; i < 300 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  bool returnedInTime = done;
  ::close(listener);  // frees a client stuck in connect, so the test ends either way
  client.join();
  for (int fd : queued) ::close(fd);
  fs::remove_all(dir);
  EXPECT_TRUE(returnedInTime);
  EXPECT_FALSE(connected);
}

// An answer that comes after its request timed out is never taken as the
// answer of the next request.
TEST(VkbdClient, LateAnswerIsNotTakenForTheNextOne) {
  char tmpl[] = "/tmp/orlix-vkbd-test-XXXXXX";
  ASSERT_NE(::mkdtemp(tmpl), nullptr);
  fs::path dir = tmpl;
  auto addr = unixAddress(dir / "s.sock");
  int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(::listen(listener, 1), 0);
  // A slow daemon: answers hello, holds back the answer to the next request
  // until a third one has come, then answers both in order.
  std::thread daemon([&] {
    int c = ::accept(listener, nullptr, nullptr);
    RawReader in(c);
    if (in.next().type != vkbd::kHello) {
      ::close(c);
      return;
    }
    uint8_t v[2];
    putU16(v, 0, vkbd::kProtocolVersion);
    auto hello = vkbd::encode(vkbd::kHelloOk, v);
    [[maybe_unused]] auto a = ::send(c, hello.data(), hello.size(), MSG_NOSIGNAL);
    in.next();
    in.next();
    for (const char* text : {"late", "on time"}) {
      auto f = vkbd::encodeText(vkbd::kText, text);
      [[maybe_unused]] auto b = ::send(c, f.data(), f.size(), MSG_NOSIGNAL);
    }
    in.next();  // until the client hangs up
    ::close(c);
  });
  {
    platform::VkbdConnection conn;
    ASSERT_TRUE(conn.connect(dir / "s.sock")) << conn.error();
    EXPECT_FALSE(conn.request(vkbd::kStatus, {}, 100));
    auto r = conn.request(vkbd::kLighting, {}, 2000);
    ASSERT_TRUE(r);
    EXPECT_EQ(std::string(r->body.begin(), r->body.end()), "on time");
  }
  daemon.join();
  ::close(listener);
  fs::remove_all(dir);
}

// One daemon per socket: a second one is refused even when the first one's
// socket file has gone (two daemons starting at once: probe, unlink and bind
// interleave), and a daemon removes only the socket file it bound.
TEST_F(DaemonFixture, SecondDaemonOnTheSameSocketIsRefused) {
  VirtualKeyboard other;
  {
    platform::VkbdServer second(other, socket(), dir / "state2");
    EXPECT_FALSE(second.listen());
    EXPECT_NE(second.error().find("already running"), std::string::npos) << second.error();
  }
  EXPECT_TRUE(fs::exists(socket()));
  fs::remove(socket());
  platform::VkbdServer third(other, socket(), dir / "state3");
  EXPECT_FALSE(third.listen());
}

TEST(VkbdServer, ExitKeepsASocketFileItDidNotBind) {
  char tmpl[] = "/tmp/orlix-vkbd-test-XXXXXX";
  ASSERT_NE(::mkdtemp(tmpl), nullptr);
  fs::path dir = tmpl;
  {
    VirtualKeyboard keyboard;
    platform::VkbdServer server(keyboard, dir / "s.sock", dir / "state");
    ASSERT_TRUE(server.listen()) << server.error();
    // Its socket file is replaced by another one.
    fs::remove(dir / "s.sock");
    auto addr = unixAddress(dir / "s.sock");
    int other = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(other, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::close(other);
  }
  EXPECT_TRUE(fs::exists(fs::symlink_status(dir / "s.sock")));
  {
    VirtualKeyboard keyboard;
    fs::remove(dir / "s.sock");
    platform::VkbdServer server(keyboard, dir / "s.sock", dir / "state");
    ASSERT_TRUE(server.listen()) << server.error();
    struct stat st {};
    ASSERT_EQ(::stat((dir / "s.sock").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
  }
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "s.sock")));
  fs::remove_all(dir);
}

// State files planted as links are refused, not written through.
TEST(VkbdServer, StateFilesThatAreLinksAreRefused) {
  for (const char* name : {"transfers.log", "memory.bin"}) {
    SCOPED_TRACE(name);
    char tmpl[] = "/tmp/orlix-vkbd-test-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    fs::path dir = tmpl;
    fs::create_directories(dir / "state");
    std::ofstream(dir / "victim") << "precious";
    fs::create_symlink(dir / "victim", dir / "state" / name);
    VirtualKeyboard keyboard;
    platform::VkbdServer server(keyboard, dir / "s.sock", dir / "state");
    EXPECT_FALSE(server.listen());
    std::ifstream in(dir / "victim");
    std::string text;
    in >> text;
    EXPECT_EQ(text, "precious");
    fs::remove_all(dir);
  }
}

// A burst of requests from a client that reads slowly is served as the client
// takes its answers, in bounded space: every answer comes, the client is kept.
TEST_F(DaemonFixture, BurstOfLargeAnswersIsServedNotDropped) {
  int fd = rawConnect(socket());
  ASSERT_GE(fd, 0);
  constexpr int kDumps = 600;  // 600 x 64 KiB answers, from one 3 KiB write
  std::vector<uint8_t> burst;
  for (int i = 0; i < kDumps; ++i) {
    auto f = vkbd::encode(vkbd::kDump);
    burst.insert(burst.end(), f.begin(), f.end());
  }
  ASSERT_EQ(::write(fd, burst.data(), burst.size()), ssize_t(burst.size()));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  int answers = 0;
  RawReader in(fd);
  while (answers < kDumps) {
    auto f = in.next();
    if (f.type != vkbd::kMemory) break;
    ++answers;
  }
  EXPECT_EQ(answers, kDumps);
  ::close(fd);
}

// Memory writes of an apply do not each rewrite memory.bin; it still holds
// every write once the device is closed.
TEST_F(DaemonFixture, MemoryFileFollowsWritesWithoutOneSavePerWrite) {
  platform::VkbdConnection admin;
  ASSERT_TRUE(admin.connect(socket()));
  std::string before = statusValue(admin, "memory-saves");
  ASSERT_FALSE(before.empty());
  platform::SocketDriverEndpoint endpoint(socket());
  DriverChannel channel(endpoint);
  channel.start(nullptr);
  ASSERT_TRUE(channel.open());
  FakePacer pacer;
  auto table = defaultKeyTable();
  for (int i = 0; i < 40; ++i) ASSERT_TRUE(device::writeKeyTable(channel, table, pacer));
  EXPECT_LT(std::stoi(statusValue(admin, "memory-saves")) - std::stoi(before), 20);
  channel.close();
  std::ifstream mem(dir / "state" / "memory.bin", std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(mem)), {});
  ASSERT_EQ(bytes.size(), 65536u);
  auto img = device::keyTableImage(table);
  EXPECT_TRUE(std::equal(img.begin(), img.end(), bytes.begin() + 0x0C00));
}

// Out of descriptors, accept fails and the connection stays queued: the
// daemon must rest instead of spinning on the readable listening socket.
TEST(VkbdServer, AcceptOutOfDescriptorsDoesNotSpin) {
  char tmpl[] = "/tmp/orlix-vkbd-test-XXXXXX";
  ASSERT_NE(::mkdtemp(tmpl), nullptr);
  fs::path dir = tmpl;
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    VirtualKeyboard keyboard;
    platform::VkbdServer server(keyboard, dir / "s.sock", dir / "state");
    if (!server.listen()) ::_exit(1);
    std::thread serving([&] { server.run(); });
    // No descriptor above the ones open now (the soft limit only, so that it
    // can be raised again).
    int next = ::dup(0);
    ::close(next);
    rlimit before{};
    if (::getrlimit(RLIMIT_NOFILE, &before) != 0) ::_exit(2);
    rlimit lim{rlim_t(next), before.rlim_max};
    if (::setrlimit(RLIMIT_NOFILE, &lim) != 0) ::_exit(2);
    char c = 1;
    if (::write(ready[1], &c, 1) != 1) ::_exit(3);
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    // Descriptors again before the serving thread ends: under UBSan the end of
    // a thread is a checked call whose check reads the vtable through a pipe,
    // and without a free descriptor it reports a sound object as invalid.
    if (::setrlimit(RLIMIT_NOFILE, &before) != 0) ::_exit(4);
    server.stop();
    serving.join();
    ::_exit(0);
  }
  ::close(ready[1]);
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  ::close(ready[0]);
  auto addr = unixAddress(dir / "s.sock");
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
  EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  int status = 0;
  rusage usage{};
  ASSERT_EQ(::wait4(child, &status, 0, &usage), child);
  ::close(fd);
  fs::remove_all(dir);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  double cpuMs = usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 + usage.ru_stime.tv_sec * 1e3 +
                 usage.ru_stime.tv_usec / 1e3;
  EXPECT_LT(cpuMs, 100.0);
}
