#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/config/config_image.h"
#include "core/config/profile_file.h"
#include "core/device/apply.h"
#include "core/device/device_commands.h"
#include "core/device/driver_channel.h"
#include "core/device/message_target.h"
#include "core/device/messages.h"
#include "core/device/virtual_keyboard.h"
#include "core/keys/key_codes.h"
#include "core/macros/macro_record.h"
#include "core/util/bytes.h"

using namespace orlix;
using Bytes = std::vector<uint8_t>;

namespace {

struct ApplyFixture : ::testing::Test {
  std::unique_ptr<ConfigImage> image = makeConfigImage();
  VirtualKeyboard keyboard;
  VirtualDriverEndpoint endpoint{keyboard};
  DriverChannel channel{endpoint};
  FakePacer pacer;
  std::mutex lock;
  ApplyContext ctx{*image, channel, pacer, lock};
  MessageQueue mainWindow;
  MessageQueue progress;

  void SetUp() override {
    initialiseDefaults(*image);
    image->keyTable = image->defaultKeyTable;
    resetPerKeyLighting(*image);
    windows::registerTarget(kMainWindowTitle, &mainWindow);
    ASSERT_TRUE(channel.open());
  }
  void TearDown() override { windows::unregisterTarget(&mainWindow); }

  void addMacro(int record, uint32_t id, std::vector<uint32_t> events) {
    auto& r = image->macroLibrary[size_t(record)];
    putU32(r, macros::kRecSize, 120);
    putU32(r, macros::kRecMagic, macros::kMacroMagic);
    putU32(r, macros::kRecId, id);
    putU32(r, macros::kRecLoop, 1);
    putU32(r, macros::kRecCount, uint32_t(events.size()));
    for (size_t i = 0; i < events.size(); ++i) putU32(r, macros::kRecEvents + 4 * i, events[i]);
  }
  void bind(int k, uint32_t id) {
    image->keyTable[size_t(k)] = keys::kMacroCode;
    image->setMacroId(k, id);
  }
  // Runs a whole apply; returns the main window's messages (the result last).
  std::deque<Message> runApply() {
    std::thread worker = startApply(ctx, progress);
    worker.join();
    return mainWindow.drain();
  }
  uint32_t keyboardCode(int k) { return getU32(keyboard.memory(), device::kKeyTableAddress + 4 * size_t(k)); }
  size_t transfers() const { return endpoint.requests().size(); }
};

const uint32_t kA = macros::eventWord(macros::kEventPress, 0x41);

}  // namespace

TEST_F(ApplyFixture, WithoutMacroKeysOnlyTheKeyTableIsWritten) {
  image->keyTable[8] = 7;
  size_t before = transfers();
  auto result = runApply();

  EXPECT_EQ(result, (std::deque<Message>{{msg::kLightingSend, msg::kSendLedGroups, 0}, {msg::kApplyDone, 0, 0}}));
  EXPECT_EQ(transfers() - before, 3u);
  EXPECT_EQ(keyboardCode(8), 7u);
  EXPECT_EQ(pacer.pauses(), (std::vector<uint32_t>{20, 500, 10, 30, 30, 30, 300}));

  auto p = progress.drain();
  ASSERT_GE(p.size(), 4u);
  EXPECT_EQ(p.front(), (Message{msg::kProgress, 0, 0}));
  EXPECT_EQ(p.back(), (Message{msg::kClose, 0, 0}));
  EXPECT_EQ(p[p.size() - 2], (Message{msg::kProgress, 100, 0}));
  EXPECT_EQ(p[p.size() - 3], (Message{msg::kProgress, 99, 0}));
  for (const auto& m : p) EXPECT_LE(m.wParam, 100u);
  EXPECT_TRUE(lock.try_lock());
  lock.unlock();
}

TEST_F(ApplyFixture, KeysBoundToAAndBShareSlots) {
  addMacro(0, 0x15000001, {kA});
  addMacro(1, 0x15000002, {kA, kA});
  // Esc, F1 and F2 are the first three keys visited.
  bind(5, 0x15000001);
  bind(11, 0x15000001);
  bind(17, 0x15000002);

  auto result = runApply();
  EXPECT_EQ(result.back().id, msg::kApplyDone);
  EXPECT_EQ(image->keyTable[5], 0x00010005u);
  EXPECT_EQ(image->keyTable[11], 0x00010005u);
  EXPECT_EQ(image->keyTable[17], 0x00020005u);
  EXPECT_EQ(keyboardCode(17), 0x00020005u);
  EXPECT_EQ(image->macroSlotMap[0].macroId, 0x15000001u);
  EXPECT_EQ(image->macroSlotMap[1].macroId, 0x15000002u);
  EXPECT_EQ(image->macroSlotMap[1].slot, 1);

  auto mem = keyboard.memory();
  EXPECT_EQ(getU16(mem, 0x1000), 50u);
  EXPECT_EQ(getU16(mem, 0x1002), 0x10CAu);
  EXPECT_EQ(getU16(mem, 0x1004), 0x043Cu);
  EXPECT_EQ(getU16(mem, 0x1006), 0x10CAu + 1082);
  // Slot 1 holds B: two press triples of A (usage 0x04).
  size_t s1 = 0x10CA + 1082;
  EXPECT_EQ(Bytes(mem.begin() + ptrdiff_t(s1), mem.begin() + ptrdiff_t(s1) + 8),
            (Bytes{0, 0, 0x01, 0, 0x04, 0x01, 0, 0x04}));
}

// The main window saves the profile (0x706) while the worker places macros:
// with the key table lock held the save reads whole entries, each from before
// or after the worker's change (the ThreadSanitizer build checks that no read
// meets a write).
TEST_F(ApplyFixture, ProfileSaveDuringTheApplySeesWholeEntries) {
  addMacro(0, 0x15000001, {kA});
  for (int k : {5, 11, 17, 23, 29}) bind(k, 0x15000001);
  std::atomic<bool> done{false};
  std::thread worker = startApply(ctx, progress);
  std::thread saver([&] {
    while (!done) {
      std::lock_guard entries(ctx.keyTableLock);
      auto bytes = profile::serializeProfile(*image);
      uint32_t code = getU32(bytes, 4 * 5);
      EXPECT_TRUE(code == keys::kMacroCode || code == 0x00010005u) << std::hex << code;
    }
  });
  worker.join();
  done = true;
  saver.join();
  EXPECT_EQ(mainWindow.drain().back().id, msg::kApplyDone);
  EXPECT_EQ(image->keyTable[29], 0x00010005u);
}

TEST_F(ApplyFixture, MissingAndUnencodableMacrosFallBackToTheDefault) {
  bind(5, 0x15000009);                            // deleted from the library
  addMacro(0, 0x1500000A, {kA});
  putU32(image->macroLibrary[0], 0, 0);           // record not in use
  bind(11, 0x1500000A);
  addMacro(1, 0x1500000B, {macros::eventWord(macros::kEventPress, 0x10)});  // Shift has no usage
  bind(17, 0x1500000B);
  addMacro(2, 0x1500000C, {kA});
  bind(0, 0x1500000C);  // Left Ctrl: key index 0, picture record 96, is visited too

  auto result = runApply();
  EXPECT_EQ(result.back().id, msg::kApplyDone);
  EXPECT_EQ(image->keyTable[5], image->defaultKeyTable[5]);
  EXPECT_EQ(image->keyTable[11], image->defaultKeyTable[11]);
  EXPECT_EQ(image->keyTable[17], image->defaultKeyTable[17]);
  EXPECT_EQ(keyboardCode(5), image->defaultKeyTable[5]);
  EXPECT_EQ(image->keyTable[0], 0x00010005u);  // every free slot was tried for 17, none kept
}

TEST_F(ApplyFixture, FailuresGiveSettingErrorAndStillCloseTheProgress) {
  addMacro(0, 0x15000001, {kA});
  bind(5, 0x15000001);
  endpoint.failNth(2);  // the directory entry of slot 0
  auto result = runApply();
  EXPECT_EQ(result.back().id, msg::kApplyFailed);
  EXPECT_EQ(keyboardCode(5), 0x00010005u);  // the key table was still written
  EXPECT_EQ(progress.drain().back(), (Message{msg::kClose, 0, 0}));

  channel.close();  // no driver: every transfer fails
  result = runApply();
  EXPECT_EQ(result.back().id, msg::kApplyFailed);
  EXPECT_EQ(progress.drain().back(), (Message{msg::kClose, 0, 0}));
  EXPECT_TRUE(lock.try_lock());
  lock.unlock();
}

TEST_F(ApplyFixture, WithoutTheMainWindowTheProgressIsStillClosed) {
  windows::unregisterTarget(&mainWindow);
  size_t before = transfers();
  runApplyWorker(ctx, progress);
  EXPECT_EQ(progress.drain(), (std::deque<Message>{{msg::kClose, 0, 0}}));
  EXPECT_EQ(transfers(), before);
}
