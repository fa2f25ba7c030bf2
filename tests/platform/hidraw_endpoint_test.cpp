#include "platform/hidraw_endpoint.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "core/config/config_image.h"
#include "core/device/device_commands.h"
#include "core/device/driver_channel.h"
#include "core/device/messages.h"
#include "core/device/request_block.h"
#include "fake_hidraw_io.h"
#include "fake_sysfs.h"

namespace orlix::platform {
namespace {

using test::FakeHidrawIo;
using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

// Waits until cond holds or two seconds pass.
template <class F>
bool eventually(F cond) {
  auto deadline = std::chrono::steady_clock::now() + 2s;
  while (!cond()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

class HidrawEndpointTest : public ::testing::Test {
 protected:
  std::shared_ptr<FakeHidrawIo> io = std::make_shared<FakeHidrawIo>();
  HidrawDriverEndpoint endpoint{"/dev/hidraw4", io};
  MessageQueue window;  // outlives the channel, whose event thread posts to it
  DriverChannel channel{endpoint};
  FakePacer pacer;
};

TEST_F(HidrawEndpointTest, OpenRegistersWithoutIoAndCloseReleasesTheNode) {
  channel.start(&window);
  ASSERT_TRUE(channel.open());
  auto opens = io->calls("open");
  ASSERT_EQ(opens.size(), 1u);
  EXPECT_EQ(opens[0].path, "/dev/hidraw4");
  EXPECT_EQ(opens[0].flags & O_ACCMODE, O_RDWR);
  // Register needed no report.
  EXPECT_TRUE(io->calls("setFeature").empty());
  EXPECT_TRUE(io->calls("getFeature").empty());

  channel.close();
  EXPECT_TRUE(io->calls("setFeature").empty());
  EXPECT_EQ(io->calls("close").size(), 1u);
  EXPECT_TRUE(io->openDescriptors().empty());
}

TEST_F(HidrawEndpointTest, KeyTableWriteBecomesThreeFeatureReports) {
  channel.start(&window);
  ASSERT_TRUE(channel.open());
  KeyTable table = defaultKeyTable();
  ASSERT_TRUE(device::writeKeyTable(channel, table, pacer));

  auto reports = io->calls("setFeature");
  ASSERT_EQ(reports.size(), 3u);
  auto image = device::keyTableImage(table);
  const uint16_t addresses[] = {0x0C00, 0x0CF8, 0x0DF0};
  for (size_t k = 0; k < 3; ++k) {
    const Bytes& r = reports[k].bytes;
    ASSERT_EQ(r.size(), 1u + 252u) << k;
    EXPECT_EQ(r[0], 0) << "report id";
    EXPECT_EQ(r[1], 0xA5);
    EXPECT_EQ(r[2], addresses[k] & 0xFF);
    EXPECT_EQ(r[3], addresses[k] >> 8);
    EXPECT_EQ(r[4], 0xF8);
    EXPECT_TRUE(std::equal(r.begin() + 5, r.end(), image.begin() + 248 * k)) << k;
  }
  EXPECT_EQ(pacer.pauses(), (std::vector<uint32_t>{30, 30, 30}));
}

TEST_F(HidrawEndpointTest, RefusedReportFailsTheTransferAndStopsTheWrite) {
  channel.start(&window);
  ASSERT_TRUE(channel.open());
  io->failSetFeatureAt = 1;
  EXPECT_FALSE(device::writeKeyTable(channel, defaultKeyTable(), pacer));
  EXPECT_EQ(io->calls("setFeature").size(), 2u);  // the third chunk is never sent
}

TEST_F(HidrawEndpointTest, EmptyTransferIsAReportOfTheIdAlone) {
  channel.start(&window);
  ASSERT_TRUE(channel.open());
  ASSERT_TRUE(channel.transfer(nullptr, 0));
  auto reports = io->calls("setFeature");
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].bytes, Bytes{0});
}

TEST_F(HidrawEndpointTest, VersionReplyComesFromTheFeatureReport) {
  channel.start(&window);
  ASSERT_TRUE(channel.open());
  io->featureReply = {0xA3, 0, 0, 2, 7, 0, 0, 0};
  auto v = device::queryVersion(channel, pacer);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->major, 2);
  EXPECT_EQ(v->minor, 7);
  auto sent = io->calls("setFeature");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].bytes, (Bytes{0, 0xA3, 0, 0, 0, 0, 0, 0, 0}));
  auto read = io->calls("getFeature");
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].bytes, Bytes(9, 0)) << "report id 0, room for 8 bytes";
}

TEST_F(HidrawEndpointTest, EachInputReportIsOneKeyEvent) {
  channel.start(&window);
  // Reports before the channel registered have no receiver.
  ASSERT_TRUE(endpoint.open());
  io->pushReport({0x11, 0x22, 0x33, 0x44});
  ASSERT_TRUE(eventually([&] { return endpoint.reportsRead() == 1; }));
  EXPECT_EQ(endpoint.pendingEvents(), 0u);
  ASSERT_TRUE(channel.open());

  io->pushReport({0x03, 0x05, 0x00, 0xC1, 0xAA, 0xBB});  // longer reports: the first word counts
  io->pushReport({0x04, 0x06, 0x00, 0xC2});
  io->pushReport({0x7F});  // a short report fills the low bytes
  std::vector<uintptr_t> words;
  for (int i = 0; i < 3; ++i) {
    auto m = window.take(2s);
    ASSERT_TRUE(m) << i;
    EXPECT_EQ(m->id, msg::kKeyEvent);
    words.push_back(m->wParam);
  }
  EXPECT_EQ(words, (std::vector<uintptr_t>{0xC1000503, 0xC2000604, 0x7F}));
  EXPECT_FALSE(window.take(50ms)) << "one event per report";
}

TEST_F(HidrawEndpointTest, HangUpIsReportedAndLaterRequestsFail) {
  std::atomic<int> hangUps{0};
  endpoint.onHangUp = [&] { ++hangUps; };
  channel.start(&window);
  ASSERT_TRUE(channel.open());
  io->hangUp();
  ASSERT_TRUE(eventually([&] { return hangUps == 1; }));
  EXPECT_FALSE(channel.transfer(device::versionQuery()));
  uint8_t out[8];
  EXPECT_FALSE(channel.receive8(out));
  channel.close();
  EXPECT_EQ(hangUps, 1);
  EXPECT_TRUE(io->openDescriptors().empty());
}

TEST_F(HidrawEndpointTest, NodeThatCannotBeOpened) {
  io->openError = EACCES;
  channel.start(&window);
  EXPECT_FALSE(channel.open());
  EXPECT_EQ(endpoint.error(), std::strerror(EACCES));
  EXPECT_FALSE(channel.transfer(device::versionQuery()));
  EXPECT_TRUE(io->calls("setFeature").empty());
}

TEST_F(HidrawEndpointTest, RequestsOnAClosedNodeOrMalformedBlocksFail) {
  auto block = driver::transferRequest(Bytes{1, 2, 3});
  EXPECT_FALSE(endpoint.control(driver::kRequestControlCode, block, {}));
  ASSERT_TRUE(endpoint.open());
  EXPECT_FALSE(endpoint.control(driver::kRequestControlCode, std::span(block).first(100), {}));
  EXPECT_FALSE(endpoint.control(0x222400, block, {}));
  driver::EventBuffer events = driver::eventBuffer();
  EXPECT_FALSE(endpoint.control(driver::kEventControlCode, events, events)) << "no event pending";
  EXPECT_TRUE(endpoint.control(driver::kRequestControlCode, block, {}));
  EXPECT_TRUE(io->calls("setFeature").size() == 1);
}

TEST(HidrawHidLibraryTest, OpensTheVendorNodeWriteOnlyAndHoldsIt) {
  test::TempDir dir;
  test::FakeSysfs sys(dir / "sys");
  auto io = std::make_shared<FakeHidrawIo>();
  HidrawHidLibrary library(sys.root(), io);
  HidrawDriverEndpoint endpoint("/dev/unused", io);
  DriverChannel channel(endpoint, &library);
  EXPECT_TRUE(channel.start(nullptr));

  // No keyboard: no handle and nothing opened.
  EXPECT_FALSE(channel.openHidHandle());
  EXPECT_TRUE(io->calls("open").empty());

  auto kb = sys.addUsbDevice("1-2", "24ae", "4009");
  sys.addHidraw(kb, 0, 1, test::kKeyboardDescriptor);
  sys.addHidraw(kb, 2, 2, test::kVendorDescriptor);
  ASSERT_TRUE(channel.openHidHandle());
  auto opens = io->calls("open");
  ASSERT_EQ(opens.size(), 1u);
  EXPECT_EQ(opens[0].path, "/dev/hidraw2");
  EXPECT_EQ(opens[0].flags & O_ACCMODE, O_WRONLY);
  EXPECT_EQ(io->openDescriptors().size(), 1u);
  EXPECT_TRUE(io->calls("setFeature").empty() && io->calls("getFeature").empty()) << "held, no I/O";

  channel.closeHidHandle();
  EXPECT_TRUE(io->openDescriptors().empty());

  // The access argument chooses the open mode.
  intptr_t h = library.OpenHidDevice(0xFF01, 1, 0, 0, 0, 0, 1, 0xC0000000);
  ASSERT_NE(h, 0);
  EXPECT_EQ(io->calls("open").back().flags & O_ACCMODE, O_RDWR);
  library.closeHandle(h);
  h = library.OpenHidDevice(0xFF01, 1, 0, 0, 0, 0, 1, 0x80000000);
  EXPECT_EQ(io->calls("open").back().flags & O_ACCMODE, O_RDONLY);
  library.closeHandle(h);
  // A node that cannot be opened gives no handle.
  io->openError = EACCES;
  EXPECT_EQ(library.OpenHidDevice(0xFF01, 1, 0, 0, 0, 0, 1, 0x40000000), 0);
}

// The real system calls, on a FIFO standing in for the node: input arrives
// through poll and read, and the feature ioctls are refused as on any
// non-hidraw file.
TEST(SystemHidrawIoTest, ReadsReportsAndStopsOnClose) {
  test::TempDir dir;
  auto fifo = dir / "hidraw";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  HidrawDriverEndpoint endpoint(fifo);
  MessageQueue window;  // outlives the channel, whose event thread posts to it
  DriverChannel channel(endpoint);
  channel.start(&window);
  ASSERT_TRUE(channel.open());
  int writer = ::open(fifo.c_str(), O_WRONLY | O_CLOEXEC);
  ASSERT_GE(writer, 0);
  const uint8_t report[4] = {0x01, 0x02, 0x00, 0xC3};
  ASSERT_EQ(::write(writer, report, 4), 4);
  auto m = window.take(2s);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->wParam, 0xC3000201u);

  EXPECT_FALSE(channel.transfer(device::versionQuery()));
  uint8_t out[8];
  EXPECT_FALSE(channel.receive8(out));
  // Close returns although the reader is waiting in poll.
  channel.close();
  ::close(writer);
  EXPECT_FALSE(HidrawDriverEndpoint(dir / "missing").open());
}

}  // namespace
}  // namespace orlix::platform
