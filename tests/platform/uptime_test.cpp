#include "platform/uptime.h"

#include <gtest/gtest.h>

#include <fstream>

namespace orlix::platform {
namespace {

TEST(UpTime, AgreesWithTheKernelsUptime) {
  double seconds = 0;
  std::ifstream("/proc/uptime") >> seconds;
  uint64_t ms = upTimeMs();
  ASSERT_GT(seconds, 0);
  EXPECT_NEAR(double(ms), seconds * 1000, 2000);
  EXPECT_GE(upTimeMs(), ms);
}

TEST(UpTime, FirstShowNeedsMoreThanFiveMinutes) {
  EXPECT_FALSE(showsWindowAtFirstShow(0));
  EXPECT_FALSE(showsWindowAtFirstShow(300000));
  EXPECT_TRUE(showsWindowAtFirstShow(300001));
  // Past 2^32 ms (49.7 days) the window still shows.
  EXPECT_TRUE(showsWindowAtFirstShow((uint64_t(1) << 32) + 1000));
}

}  // namespace
}  // namespace orlix::platform
