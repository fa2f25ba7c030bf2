#include <gtest/gtest.h>

#include "core/config/config_image.h"
#include "core/runtime/key_action_runtime.h"

using namespace orlix;
using namespace orlix::runtime;

namespace {
struct RuntimeFixture : ::testing::Test {
  std::unique_ptr<ConfigImage> image = makeConfigImage();
  RecordingHostActions host;
  std::vector<RecordingHostActions::Call> run(uint32_t w) {
    host.calls.clear();
    EXPECT_EQ(onKeyEvent(*image, host, w), 1);
    return host.calls;
  }
};
}  // namespace

TEST_F(RuntimeFixture, OpensPlaysAndStartsByTheEventWord) {
  image->setActionText(9, u"/usr/bin/gedit");
  image->setActionText(5, u"/home/u/My Music/a b.wav");
  image->setActionText(7, u"/home/u/My Files");

  auto c = run(0x0000C209);
  ASSERT_EQ(c.size(), 1u);
  EXPECT_EQ(c[0].what, "open");
  EXPECT_EQ(c[0].text, u"/usr/bin/gedit");

  c = run(0x0000C805);  // web address: opened unchanged, spaces and all
  EXPECT_EQ(c[0].text, u"/home/u/My Music/a b.wav");
  c = run(0x0000C305);
  EXPECT_EQ(c[0].what, "sound");
  c = run(0x0000C407);  // file with a space: wrapped in quotes
  EXPECT_EQ(c[0].text, u"\"/home/u/My Files\"");
  c = run(0x0000C509);
  EXPECT_EQ(c[0].text, u"/usr/bin/gedit");

  c = run(0xFFFFC905);  // the upper 16 bits are ignored
  ASSERT_EQ(c.size(), 1u);
  EXPECT_EQ(c[0].program, "ScreenGrab");
  EXPECT_EQ(c[0].args, (std::vector<std::string>{"-t", "desktop", "-p"}));
  EXPECT_EQ(run(0x0000CA00)[0].args[1], "window");
  EXPECT_EQ(run(0x0000CB00)[0].args[1], "region");
}

TEST_F(RuntimeFixture, IgnoredEvents) {
  image->setActionText(9, u"/usr/bin/gedit");
  for (uint32_t w : {0x00004209u,   // bit 15 clear
                     0x00008209u,   // bit 14 clear
                     0x0000C609u,   // subtype 6: no action
                     0x0000C709u, 0x0000C009u, 0x0000CF09u,
                     0x0000C20Au,   // key 10 has no action text
                     0x0000C2B5u,   // key index 181: no key extra record
                     0x0000C9FFu})
    EXPECT_TRUE(run(w).empty()) << std::hex << w;
}

// The keys an imported profile brings that the runtime would act on.
TEST(HostFunctionKeys, ListsOnlyCodesTheRuntimeActsOn) {
  auto image = makeConfigImage();
  image->keyTable.fill(0);
  auto host = [](int s) { return 3u | (uint32_t(0xC0 | s) << 24); };
  image->keyTable[9] = host(runtime::kOpen);
  image->setActionText(9, u"/home/u/notes.txt");
  image->keyTable[10] = host(runtime::kShotRegion);
  image->keyTable[11] = host(6);                    // a subtype without an action
  image->keyTable[12] = 3u | (0x80u << 24);         // not a host function byte
  image->keyTable[13] = 2u | (uint32_t(0xC2) << 24);  // another type
  image->keyTable[180] = host(runtime::kSound);
  image->setActionText(180, u"-x.wav");
  auto keys = runtime::hostFunctionKeys(*image);
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0].keyIndex, 9);
  EXPECT_EQ(runtime::describe(keys[0]), "key 9 (Q): open /home/u/notes.txt");
  EXPECT_EQ(keys[1].keyIndex, 10);
  EXPECT_EQ(keys[1].subtype, runtime::kShotRegion);
  EXPECT_TRUE(keys[1].text.empty());
  EXPECT_EQ(keys[2].keyIndex, 180);
  EXPECT_NE(runtime::describe(keys[2]).find("play sound -x.wav"), std::string::npos);
}
