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
