#include <gtest/gtest.h>

#include "core/device/device_commands.h"
#include "core/device/driver_channel.h"
#include "core/device/virtual_keyboard.h"
#include "core/macros/macro_encoding.h"
#include "core/macros/macro_record.h"
#include "core/util/bytes.h"

using namespace orlix;
using namespace orlix::macros;
using Bytes = std::vector<uint8_t>;

namespace {

uint32_t press(uint32_t vk) { return eventWord(kEventPress, vk); }
uint32_t release(uint32_t vk) { return eventWord(kEventRelease, vk); }
uint32_t delay(uint32_t ms) { return eventWord(kEventDelay, ms); }

MacroRecord makeRecord(const std::vector<uint32_t>& ev, uint32_t loop = 1, uint32_t size = 200) {
  MacroRecord r{};
  putU32(r, kRecSize, size);
  putU32(r, kRecMagic, kMacroMagic);
  putU32(r, kRecLoop, loop);
  putU32(r, kRecCount, uint32_t(ev.size()));
  for (size_t i = 0; i < ev.size() && i < kMaxEvents; ++i) putU32(r, kRecEvents + 4 * i, ev[i]);
  return r;
}

Bytes triples(const EncodedMacro& m) {
  return Bytes(m.image.begin() + 2, m.image.begin() + 2 + ptrdiff_t(3 * m.triples));
}

}  // namespace

TEST(MacroEncoding, LoopHeader) {
  const std::pair<uint32_t, Bytes> cases[] = {
      {1, {0x00, 0x00}}, {9999, {0x0E, 0x27}}, {0xFFFE, {0xFE, 0xFF}}, {0xFFFF, {0xFF, 0xFF}}, {0, {0xFF, 0xFF}}};
  for (const auto& [loop, header] : cases) {
    auto m = encodeSlotImage(makeRecord({press(0x41)}, loop));
    ASSERT_TRUE(m);
    EXPECT_EQ(Bytes(m->image.begin(), m->image.begin() + 2), header) << loop;
  }
}

TEST(MacroEncoding, TriplesOfKeysDelaysAndMouseButtons) {
  struct Case {
    const char* what;
    std::vector<uint32_t> events;
    Bytes triples;
  };
  const Case cases[] = {
      {"press A, 50 ms, release A", {press(0x41), delay(50), release(0x41)}, {0x0B, 0, 0x04, 0x00, 0, 0x04}},
      {"1275 ms after a press", {press(0x41), delay(1275)}, {0xFF, 0, 0x04}},
      {"1280 ms wraps", {press(0x41), delay(1280)}, {0x01, 0, 0x04}},
      {"5 ms gives no delay bits", {press(0x41), delay(5)}, {0x01, 0, 0x04}},
      {"a second delay replaces the first", {press(0x41), delay(100), delay(30)}, {0x06, 0, 0x04}},
      {"left mouse button", {press(1), release(1)}, {0x01, 0, 0xF0, 0x00, 0, 0xF0}},
      {"Enter never keypad Enter", {press(0x0D)}, {0x01, 0, 0x28}},
      {"a leading delay has no triple", {delay(500), press(0x41)}, {0x01, 0, 0x04}},
      {"an unknown kind leaves its triple zero", {press(0x41), 0x12000000, release(0x41)},
       {0x01, 0, 0x04, 0, 0, 0, 0x00, 0, 0x04}},
  };
  for (const auto& c : cases) {
    auto m = encodeSlotImage(makeRecord(c.events));
    ASSERT_TRUE(m) << c.what;
    EXPECT_EQ(triples(*m), c.triples) << c.what;
    EXPECT_TRUE(std::all_of(m->image.begin() + 2 + ptrdiff_t(c.triples.size()), m->image.end(),
                            [](uint8_t b) { return b == 0; }))
        << c.what;
  }
}

TEST(MacroEncoding, RecordsThatCannotBeEncoded) {
  EXPECT_FALSE(encodeSlotImage(makeRecord({press(0x41)}, 1, 0)));  // size 0
  // One key without a usage anywhere (side-neutral Shift) refuses the macro.
  std::vector<uint32_t> ev(300, press(0x41));
  ev.push_back(press(0x10));
  EXPECT_FALSE(encodeSlotImage(makeRecord(ev)));
  EXPECT_FALSE(encodeSlotImage(makeRecord({press(0x141)})));  // not a code below 256
}

TEST(MacroEncoding, ALongMacroIsCutAtTheSlotImage) {
  std::vector<uint32_t> ev;
  for (int i = 0; i < 200; ++i) {
    ev.push_back(i % 2 ? release(0x41) : press(0x41));
    ev.push_back(delay(20));
  }
  auto m = encodeSlotImage(makeRecord(ev));
  ASSERT_TRUE(m);
  EXPECT_EQ(m->triples, kMaxTriples);
  EXPECT_EQ(m->image[2 + 3 * 163], 0x04);  // triple 164 = a release with 20 ms
  EXPECT_EQ(m->image[494], 0);
  EXPECT_EQ(m->image[495], 0);

  // A stored count above 1000 is taken as the record's 1000 events.
  auto r = makeRecord(ev);
  putU32(r, kRecCount, 70000);
  EXPECT_TRUE(encodeSlotImage(r));
}

TEST(MacroEncoding, EncodeMacroWritesTwoChunksIntoTheSlot) {
  VirtualKeyboard keyboard;
  VirtualDriverEndpoint endpoint(keyboard);
  DriverChannel channel(endpoint);
  ASSERT_TRUE(channel.open());
  FakePacer pacer;

  EXPECT_EQ(EncodeMacro(channel, pacer, 49, makeRecord({press(0x41), delay(50), release(0x41)}, 2)), 3);
  auto mem = keyboard.memory();
  size_t a = 0xDFE4;  // slot 49
  EXPECT_EQ(Bytes(mem.begin() + ptrdiff_t(a), mem.begin() + ptrdiff_t(a) + 8),
            (Bytes{0x01, 0x00, 0x0B, 0x00, 0x04, 0x00, 0x00, 0x04}));
  EXPECT_EQ(pacer.pauses(), (std::vector<uint32_t>{20, 20}));

  // Nothing is sent for a record that cannot be encoded.
  auto before = endpoint.requests().size();
  EXPECT_EQ(EncodeMacro(channel, pacer, 0, makeRecord({press(0x11)})), 0);
  EXPECT_EQ(endpoint.requests().size(), before);

  // A refused first chunk leaves the second unsent; EncodeMacro still succeeds.
  endpoint.failNth(1);
  before = endpoint.requests().size();
  EXPECT_EQ(EncodeMacro(channel, pacer, 1, makeRecord({press(0x41)})), 2);
  EXPECT_EQ(endpoint.requests().size(), before + 1);

  SlotImage image{};
  EXPECT_EQ(WriteSlotImage(channel, pacer, 3, nullptr), 0);
  EXPECT_EQ(WriteSlotImage(channel, pacer, 3, &image), 1);
}
