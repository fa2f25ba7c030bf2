#include "platform/uhid_keyboard.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "core/device/device_commands.h"
#include "core/device/event_semaphore.h"
#include "core/device/request_block.h"
#include "core/device/virtual_keyboard.h"
#include "core/util/bytes.h"
#include "platform/hidraw_discovery.h"
#include "platform/hidraw_endpoint.h"

namespace orlix::platform {
namespace {

using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

// The kernel between a hidraw node and the uhid device, as far as the program
// uses it: a feature ioctl becomes a SET_REPORT / GET_REPORT carrying the
// caller's whole buffer (report id byte first), the uhid reply's data is copied
// back as it stands, and every UHID_INPUT2 is one read on the node.
class UhidLoopbackIo : public HidrawIo {
 public:
  explicit UhidLoopbackIo(UhidKeyboard& keyboard) : keyboard_(keyboard) {}
  int open(const std::filesystem::path&, int) override { return 7; }
  void close(int) override {}
  int setFeature(int, std::span<const uint8_t> report) override {
    uhid_event e{};
    e.type = UHID_SET_REPORT;
    e.u.set_report.id = ++id_;
    e.u.set_report.rnum = report[0];
    e.u.set_report.rtype = UHID_FEATURE_REPORT;
    if (report.size() > UHID_DATA_MAX) return -EIO;  // uhid refuses larger ones
    e.u.set_report.size = uint16_t(report.size());
    std::copy(report.begin(), report.end(), e.u.set_report.data);
    auto reply = keyboard_.answer(e);
    if (!reply || reply->type != UHID_SET_REPORT_REPLY || reply->u.set_report_reply.id != id_) return -EIO;
    return reply->u.set_report_reply.err ? -EIO : int(report.size());
  }
  int getFeature(int, std::span<uint8_t> report) override {
    uhid_event e{};
    e.type = UHID_GET_REPORT;
    e.u.get_report.id = ++id_;
    e.u.get_report.rnum = report[0];
    e.u.get_report.rtype = UHID_FEATURE_REPORT;
    auto reply = keyboard_.answer(e);
    if (!reply || reply->type != UHID_GET_REPORT_REPLY || reply->u.get_report_reply.id != id_) return -EIO;
    if (reply->u.get_report_reply.err) return -EIO;
    size_t n = std::min<size_t>(report.size(), reply->u.get_report_reply.size);
    std::copy_n(reply->u.get_report_reply.data, n, report.begin());
    return int(n);
  }
  int readReport(int, std::span<uint8_t> buffer) override {
    std::unique_lock lock(mutex_);
    cv_.wait(lock, [&] { return !inputs_.empty() || cancelled_; });
    if (cancelled_) return 0;
    auto e = inputs_.front();
    inputs_.pop_front();
    size_t n = std::min<size_t>(buffer.size(), e.u.input2.size);
    std::copy_n(e.u.input2.data, n, buffer.begin());
    return int(n);
  }
  void cancelRead(int) override {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    cv_.notify_all();
  }
  void write(const uhid_event& e) {
    ASSERT_EQ(e.type, UHID_INPUT2);
    std::lock_guard lock(mutex_);
    inputs_.push_back(e);
    cv_.notify_all();
  }

 private:
  UhidKeyboard& keyboard_;
  uint32_t id_ = 0;
  std::mutex mutex_;
  std::condition_variable cv_;
  std::deque<uhid_event> inputs_;
  bool cancelled_ = false;
};

class UhidKeyboardTest : public ::testing::Test {
 protected:
  VirtualKeyboard model;
  VirtualDriverEndpoint driver{model};
  UhidKeyboard uhid{driver};
  std::shared_ptr<UhidLoopbackIo> io = std::make_shared<UhidLoopbackIo>(uhid);
  HidrawDriverEndpoint node{"/dev/hidraw0", io};
};

TEST(UhidDescriptor, DeclaresTheVendorCollectionDiscoveryLooksFor) {
  auto d = uhidReportDescriptor();
  EXPECT_TRUE(declaresUsage(d, kVendorUsagePage, kVendorUsage));
  EXPECT_FALSE(declaresUsage(d, 0x0001, 0x0006));  // not a boot keyboard
  EXPECT_FALSE(declaresUsage(d, kVendorUsagePage, 2));

  auto create = UhidKeyboard::createRequest();
  EXPECT_EQ(create.type, UHID_CREATE2);
  EXPECT_EQ(create.u.create2.bus, 0x03);
  EXPECT_EQ(create.u.create2.vendor, 0x24AEu);
  EXPECT_EQ(create.u.create2.product, 0x4009u);
  ASSERT_EQ(create.u.create2.rd_size, d.size());
  EXPECT_TRUE(std::equal(d.begin(), d.end(), create.u.create2.rd_data));
}

TEST_F(UhidKeyboardTest, FeatureReportOfEveryTransferLengthReachesTheModelUnchanged) {
  ASSERT_TRUE(node.open());
  ASSERT_TRUE(uhid.attach());
  for (size_t n = 1; n <= driver::kMaxTransfer; ++n) {
    Bytes payload(n);
    for (size_t i = 0; i < n; ++i) payload[i] = uint8_t(i * 7 + n);
    payload[0] = 0x51;  // a lighting command: the model keeps it as received
    ASSERT_TRUE(node.control(driver::kRequestControlCode, driver::transferRequest(payload), {})) << n;
    auto received = model.lightingCommands();
    ASSERT_EQ(received.size(), n);
    ASSERT_EQ(received.back(), payload) << "transfer of " << n << " bytes";
  }
}

TEST_F(UhidKeyboardTest, VersionQueryAndReplyRoundTrip) {
  model.setVersion(2, 9);
  ASSERT_TRUE(node.open());
  ASSERT_TRUE(uhid.attach());
  Bytes query = {device::kCmdVersion, 0, 0, 0};
  ASSERT_TRUE(node.control(driver::kRequestControlCode, driver::transferRequest(query), {}));
  auto block = driver::readRequest();
  driver::RequestBlock out{};
  ASSERT_TRUE(node.control(driver::kRequestControlCode, block, out));
  Bytes reply(out.begin() + driver::kOffPayload, out.begin() + driver::kOffPayload + 8);
  EXPECT_EQ(reply, (Bytes{device::kCmdVersion, 0, 0, 2, 9, 0, 0, 0}));
}

TEST_F(UhidKeyboardTest, KeyEventBecomesTheInputReportTheEventThreadReads) {
  ASSERT_TRUE(node.open());
  auto receiver = std::make_shared<EventSemaphore>();
  uint32_t handle = semaphores::add(receiver);
  ASSERT_TRUE(node.control(driver::kRequestControlCode, driver::registerRequest(handle), {}));
  ASSERT_TRUE(uhid.attach());

  uint32_t word = VirtualKeyboard::hostKeyEvent(0x2A, 3);
  ASSERT_TRUE(model.pushEvent(word));
  ASSERT_TRUE(uhid.waitForEvent());
  auto fetched = uhid.fetchEvent();
  ASSERT_EQ(fetched, word);
  io->write(UhidKeyboard::inputReport(*fetched));

  ASSERT_TRUE(receiver->tryAcquireFor(2000));
  auto buffer = driver::eventBuffer();
  ASSERT_TRUE(node.control(driver::kEventControlCode, buffer, buffer));
  EXPECT_EQ(getU32(buffer, 0), word);
  EXPECT_EQ(UhidKeyboard::inputReport(word).u.input2.size, kUhidInputReportSize);
  node.close();
  semaphores::remove(handle);
}

TEST_F(UhidKeyboardTest, RefusesWhatTheKeyboardDoesNotHave) {
  ASSERT_TRUE(uhid.attach());
  struct Case {
    const char* what;
    uint32_t type;
    uint8_t rtype, rnum;
    size_t size;
  } cases[] = {
      {"output report", UHID_SET_REPORT, UHID_OUTPUT_REPORT, 0, 9},
      {"numbered feature report", UHID_SET_REPORT, UHID_FEATURE_REPORT, 1, 9},
      {"longer than a transfer", UHID_SET_REPORT, UHID_FEATURE_REPORT, 0, 1 + driver::kMaxTransfer + 1},
      {"empty report", UHID_SET_REPORT, UHID_FEATURE_REPORT, 0, 0},
      {"input report read", UHID_GET_REPORT, UHID_INPUT_REPORT, 0, 0},
      {"numbered feature read", UHID_GET_REPORT, UHID_FEATURE_REPORT, 2, 0},
  };
  for (auto& c : cases) {
    uhid_event e{};
    e.type = c.type;
    if (c.type == UHID_SET_REPORT) {
      e.u.set_report = {.id = 5, .rnum = c.rnum, .rtype = c.rtype, .size = uint16_t(c.size), .data = {}};
      e.u.set_report.data[1] = 0x51;
    } else {
      e.u.get_report = {.id = 5, .rnum = c.rnum, .rtype = c.rtype};
    }
    auto reply = uhid.answer(e);
    ASSERT_TRUE(reply) << c.what;
    uint16_t err = c.type == UHID_SET_REPORT ? reply->u.set_report_reply.err : reply->u.get_report_reply.err;
    uint32_t id = c.type == UHID_SET_REPORT ? reply->u.set_report_reply.id : reply->u.get_report_reply.id;
    EXPECT_NE(err, 0) << c.what;
    EXPECT_EQ(id, 5u) << c.what;
  }
  EXPECT_TRUE(model.lightingCommands().empty());

  uhid_event start{};
  start.type = UHID_START;
  EXPECT_FALSE(uhid.answer(start));
}

TEST_F(UhidKeyboardTest, UnpluggedModelFailsReportsAndAttach) {
  model.setPlugged(false);
  EXPECT_FALSE(uhid.attach());
  uhid_event e{};
  e.type = UHID_GET_REPORT;
  e.u.get_report = {.id = 1, .rnum = 0, .rtype = UHID_FEATURE_REPORT};
  auto reply = uhid.answer(e);
  ASSERT_TRUE(reply);
  EXPECT_NE(reply->u.get_report_reply.err, 0);
  EXPECT_FALSE(uhid.fetchEvent());
}

TEST(UhidFront, OpenFailureNamesTheNodeAndTheNeed) {
  UhidFront front("/nonexistent/socket", "/nonexistent/uhid");
  EXPECT_FALSE(front.open());
  EXPECT_NE(front.error().find("/nonexistent/uhid"), std::string::npos) << front.error();
}

}  // namespace
}  // namespace orlix::platform
