#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "core/device/driver_channel.h"
#include "core/device/messages.h"
#include "core/device/request_block.h"
#include "core/device/virtual_keyboard.h"
#include "core/util/bytes.h"

using namespace orlix;

namespace {

// A HID helper library that records the arguments it was called with.
struct RecordingHidLibrary : HidLibrary {
  std::vector<uint32_t> args;
  intptr_t result = 42;
  int closed = 0;
  intptr_t OpenHidDevice(uint32_t a1, uint32_t a2, uint32_t a3, uint32_t a4, uint32_t a5, uint32_t a6,
                         uint32_t a7, uint32_t a8) override {
    args = {a1, a2, a3, a4, a5, a6, a7, a8};
    return result;
  }
  void closeHandle(intptr_t) override { ++closed; }
};

struct ChannelFixture : ::testing::Test {
  VirtualKeyboard keyboard;
  VirtualDriverEndpoint endpoint{keyboard};
  MessageQueue window;  // outlives the channel, whose event thread posts to it
  DriverChannel channel{endpoint};
};

}  // namespace

TEST(RequestBlock, LayoutOfEachRequest) {
  auto reg = driver::registerRequest(0x1234);
  EXPECT_EQ(getU32(reg, 0), 1u);
  EXPECT_EQ(getU32(reg, 660), 0x1234u);
  EXPECT_EQ(getU32(reg, 596), 0x400924AEu);
  EXPECT_EQ(getU32(reg, 28), 0u);

  const uint8_t bytes[] = {0xA3, 1, 2};
  auto t = driver::transferRequest(bytes);
  EXPECT_EQ(getU32(t, 0), 8u);
  EXPECT_EQ(getU32(t, 24), 3u);
  EXPECT_EQ(getU32(t, 28), 0x00020300u);
  EXPECT_EQ(t[32], 0xA3);
  EXPECT_EQ(t[34], 2);
  EXPECT_EQ(t[35], 0);
  EXPECT_EQ(getU32(t, 660), 0u);

  auto r = driver::readRequest();
  EXPECT_EQ(getU32(r, 24), 0x00010008u);

  auto e = driver::eventBuffer();
  EXPECT_EQ(getU32(e, 4), 0x400924AEu);
  EXPECT_EQ(getU32(e, 0), 0u);
}

TEST(RequestBlock, DecoderRefusesWhatTheDriverRefuses) {
  auto ok = driver::transferRequest(std::vector<uint8_t>(512, 1));
  EXPECT_TRUE(driver::decode(ok));

  struct Case {
    const char* name;
    size_t offset;
    uint32_t value;
  } cases[] = {
      {"identity", 596, 0x400924AF},
      {"constant", 28, 0x00020301},
      {"count 513", 24, 513},
      {"direction 2", 24, 0x00020008},
      {"unknown code", 0, 9},
  };
  for (auto& c : cases) {
    auto b = ok;
    putU32(b, c.offset, c.value);
    EXPECT_FALSE(driver::decode(b)) << c.name;
  }
  EXPECT_FALSE(driver::decode(std::span(ok).first(667)));
}

TEST_F(ChannelFixture, EveryRequestCarriesTheIdentityAndRegisterTheSemaphore) {
  channel.start(&window);
  ASSERT_TRUE(channel.open());
  const uint8_t cmd[] = {0xA3, 0, 0, 0, 0, 0, 0, 0};
  ASSERT_TRUE(channel.transfer(cmd, 8));
  uint8_t reply[8];
  ASSERT_TRUE(channel.receive8(reply));
  channel.close();

  auto reqs = endpoint.requests();
  ASSERT_EQ(reqs.size(), 4u);
  for (auto& r : reqs) {
    ASSERT_EQ(r.size(), 668u);
    EXPECT_EQ(getU32(r, 596), 0x400924AEu);
  }
  EXPECT_EQ(getU32(reqs[0], 0), 1u);
  EXPECT_EQ(getU32(reqs[0], 660), channel.semaphoreHandle());
  EXPECT_NE(channel.semaphoreHandle(), 0u);
  EXPECT_EQ(getU32(reqs[3], 0), 2u);
}

TEST_F(ChannelFixture, TransferCounts) {
  channel.start(&window);
  ASSERT_TRUE(channel.open());
  std::vector<uint8_t> big(513, 0xEE);
  EXPECT_TRUE(channel.transfer(big.data(), 0));  // count 0 goes to the driver
  EXPECT_FALSE(channel.transfer(big.data(), 513));
  EXPECT_FALSE(channel.transfer(nullptr, 4));
  EXPECT_TRUE(channel.transfer(big.data(), 512));
  auto reqs = endpoint.requests();
  ASSERT_EQ(reqs.size(), 3u);  // register, count 0, count 512
  EXPECT_EQ(getU32(reqs[1], 24), 0u);
  EXPECT_EQ(getU32(reqs[2], 24), 512u);
}

TEST_F(ChannelFixture, RefusedRegisterLeavesNoHandle) {
  endpoint.failNth(1);
  channel.start(&window);
  EXPECT_FALSE(channel.open());
  EXPECT_FALSE(channel.isOpen());
  const uint8_t b[1] = {0};
  EXPECT_FALSE(channel.transfer(b, 1));
  EXPECT_EQ(endpoint.requests().size(), 1u);  // the refused register only
}

TEST_F(ChannelFixture, MissingDriverFailsEverythingWithoutBlocking) {
  keyboard.setPlugged(false);
  channel.start(&window);
  EXPECT_FALSE(channel.open());
  const uint8_t b[8] = {0xA3};
  auto t0 = std::chrono::steady_clock::now();
  EXPECT_FALSE(channel.transfer(b, 8));
  uint8_t reply[8];
  EXPECT_FALSE(channel.receive8(reply));
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(1));
}

TEST_F(ChannelFixture, DeadEndpointFailsEveryOperation) {
  channel.start(&window);
  ASSERT_TRUE(channel.open());
  endpoint.setFailing(true);
  const uint8_t b[8] = {0xA3};
  EXPECT_FALSE(channel.transfer(b, 8));
  uint8_t reply[8];
  EXPECT_FALSE(channel.receive8(reply));
  EXPECT_TRUE(channel.close());
}

TEST_F(ChannelFixture, EventThreadPostsOneMessagePerEvent) {
  channel.start(&window);
  ASSERT_TRUE(channel.open());
  keyboard.pushEvent(VirtualKeyboard::hostKeyEvent(9, 2));
  keyboard.pushEvent(0x12345678);
  auto m1 = window.take(std::chrono::seconds(5));
  auto m2 = window.take(std::chrono::seconds(5));
  ASSERT_TRUE(m1 && m2);
  EXPECT_EQ(*m1, (Message{msg::kKeyEvent, 0xC209, 0}));
  EXPECT_EQ(*m2, (Message{msg::kKeyEvent, 0x12345678, 0}));
  EXPECT_FALSE(window.take(std::chrono::milliseconds(50)));
}

// A receiver that is destroyed after stopEvents() is never posted to: the stop
// waits for a post under way and no event is fetched after it.
TEST_F(ChannelFixture, StopEventsWaitsForAPostUnderWayAndEndsThem) {
  struct SlowWindow : MessageTarget {
    std::atomic<int> entered{0}, left{0};
    bool post(uint32_t, uintptr_t, intptr_t) override {
      ++entered;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      ++left;
      return true;
    }
  } slow;
  channel.start(&slow);
  ASSERT_TRUE(channel.open());
  keyboard.pushEvent(0x1111);
  for (int i = 0; i < 500 && slow.entered == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
  ASSERT_EQ(slow.entered, 1);
  channel.stopEvents();
  EXPECT_EQ(slow.left, 1);  // the post under way had finished
  keyboard.pushEvent(0x2222);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(slow.entered, 1);
  channel.stopEvents();
  const uint8_t cmd[8] = {0xA3};
  EXPECT_TRUE(channel.transfer(cmd, 8));  // the channel itself still works
}

TEST(DriverChannelHid, OpenHidHandleArgumentsAndMissingLibrary) {
  VirtualKeyboard kb;
  VirtualDriverEndpoint ep(kb);
  RecordingHidLibrary hid;
  DriverChannel ch(ep, &hid);
  EXPECT_TRUE(ch.start(nullptr));
  EXPECT_TRUE(ch.openHidHandle());
  EXPECT_EQ(hid.args, (std::vector<uint32_t>{0xFF01, 1, 0, 0, 0, 0, 1, 0x40000000}));
  EXPECT_TRUE(ch.openHidHandle());  // a held handle is closed first
  EXPECT_EQ(hid.closed, 1);

  DriverChannel without(ep, nullptr);
  EXPECT_FALSE(without.start(nullptr));
  EXPECT_FALSE(without.openHidHandle());
  EXPECT_EQ(without.hidHandle(), 0);
}
