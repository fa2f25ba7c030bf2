#include <gtest/gtest.h>

#include "core/config/config_image.h"
#include "core/device/device_commands.h"
#include "core/device/driver_channel.h"
#include "core/device/virtual_keyboard.h"
#include "core/util/bytes.h"

using namespace orlix;

TEST(DeviceCommands, KeyTableImageEndsWithTwentyZeros) {
  KeyTable t;
  t.fill(0xFFFFFFFF);  // whatever lies next to the table, the tail is zero
  auto img = device::keyTableImage(t);
  for (size_t i = 0; i < 724; ++i) ASSERT_EQ(img[i], 0xFF) << i;
  for (size_t i = 724; i < 744; ++i) ASSERT_EQ(img[i], 0) << i;

  auto chunks = device::keyTableChunks(defaultKeyTable());
  const uint8_t headers[3][4] = {{0xA5, 0x00, 0x0C, 0xF8}, {0xA5, 0xF8, 0x0C, 0xF8}, {0xA5, 0xF0, 0x0D, 0xF8}};
  for (int c = 0; c < 3; ++c) {
    ASSERT_EQ(chunks[c].size(), 252u);
    EXPECT_TRUE(std::equal(headers[c], headers[c] + 4, chunks[c].begin())) << c;
  }
  // Key 0 (Left Ctrl, usage E0): 01 00 E0 00.
  EXPECT_EQ(chunks[0][4], 0x01);
  EXPECT_EQ(chunks[0][6], 0xE0);
}

TEST(DeviceCommands, MacroDirectory) {
  EXPECT_EQ(device::macroDirectoryHeader(), (std::array<uint8_t, 8>{0xA5, 0x00, 0x10, 0x02, 0x32, 0, 0, 0}));
  EXPECT_EQ(device::macroDirectoryEntry(0), (std::array<uint8_t, 8>{0xA5, 0x02, 0x10, 0x04, 0xCA, 0x10, 0x3C, 0x04}));
  EXPECT_EQ(device::macroDirectoryEntry(49), (std::array<uint8_t, 8>{0xA5, 0xC6, 0x10, 0x04, 0xE4, 0xDF, 0x3C, 0x04}));
}

struct CommandFixture : ::testing::Test {
  VirtualKeyboard keyboard;
  VirtualDriverEndpoint endpoint{keyboard};
  DriverChannel channel{endpoint};
  FakePacer pacer;
  void SetUp() override {
    channel.start(nullptr);
    ASSERT_TRUE(channel.open());
  }
};

TEST_F(CommandFixture, WriteKeyTablePacesAndLandsAt0C00) {
  auto table = defaultKeyTable();
  ASSERT_TRUE(device::writeKeyTable(channel, table, pacer));
  EXPECT_EQ(pacer.pauses(), (std::vector<uint32_t>{30, 30, 30}));
  auto mem = keyboard.memory();
  auto img = device::keyTableImage(table);
  EXPECT_TRUE(std::equal(img.begin(), img.end(), mem.begin() + 0x0C00));
}

TEST_F(CommandFixture, FailedSecondChunkLeavesTheThirdUnsent) {
  endpoint.failNth(2);
  EXPECT_FALSE(device::writeKeyTable(channel, defaultKeyTable(), pacer));
  auto reqs = endpoint.requests();
  ASSERT_EQ(reqs.size(), 1u + 2u);  // register + two chunks, the third never sent
  EXPECT_EQ(pacer.pauses(), (std::vector<uint32_t>{30}));
}

TEST_F(CommandFixture, VersionQuery) {
  keyboard.setVersion(2, 7);
  auto v = device::queryVersion(channel, pacer);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->major, 2);
  EXPECT_EQ(v->minor, 7);
  EXPECT_EQ(pacer.pauses(), (std::vector<uint32_t>{10}));
}

// An endpoint that answers reads with a fixed reply.
struct FixedReplyEndpoint : DriverEndpoint {
  std::array<uint8_t, 8> reply{};
  int reads = 0;
  bool open() override { return true; }
  void close() override {}
  bool control(uint32_t, std::span<const uint8_t> in, std::span<uint8_t> out) override {
    if (!out.empty()) {
      ++reads;
      std::copy(reply.begin(), reply.end(), out.begin() + 32);
    }
    return true;
  }
};

TEST(DeviceCommandsVersion, WrongFirstReplyByteFailsOnce) {
  FixedReplyEndpoint ep;
  ep.reply = {0xA2, 0, 0, 1, 6, 0, 0, 0};
  DriverChannel ch(ep);
  ch.start(nullptr);
  ASSERT_TRUE(ch.open());
  FakePacer pacer;
  EXPECT_FALSE(device::queryVersion(ch, pacer));
  EXPECT_EQ(ep.reads, 1);
  ep.reply[0] = 0xA3;
  auto v = device::queryVersion(ch, pacer);
  ASSERT_TRUE(v);
  EXPECT_EQ(v->major, 1);
  EXPECT_EQ(v->minor, 6);
}

TEST(VirtualKeyboardModel, MalformedMemoryWritesDoNotTouchMemory) {
  VirtualKeyboard kb;
  VirtualDriverEndpoint ep(kb);
  DriverChannel ch(ep);
  ch.start(nullptr);
  ASSERT_TRUE(ch.open());
  const uint8_t tooLong[] = {0xA5, 0x00, 0x00, 0x10, 1, 2};   // claims 16 bytes, carries 2
  const uint8_t pastEnd[] = {0xA5, 0xFF, 0xFF, 0x02, 1, 2};   // 0xFFFF + 2 > 64 KiB
  EXPECT_TRUE(ch.transfer(tooLong, sizeof tooLong));
  EXPECT_TRUE(ch.transfer(pastEnd, sizeof pastEnd));
  EXPECT_EQ(kb.malformedWrites(), 2u);
  auto mem = kb.memory();
  EXPECT_TRUE(std::all_of(mem.begin(), mem.end(), [](uint8_t b) { return b == 0; }));
  const uint8_t light[] = {0xAC, 0x00, 0x01};
  EXPECT_TRUE(ch.transfer(light, 3));
  ASSERT_EQ(kb.lightingCommands().size(), 1u);
}
