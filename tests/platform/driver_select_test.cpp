#include "platform/driver_select.h"

#include <gtest/gtest.h>

#include "platform/paths.h"
#include "temp_dir.h"

namespace orlix::platform {
namespace {

using Kind = DriverRequest::Kind;

TEST(DriverSelect, ParseEveryFormAndRefuseTheRest) {
  struct Case {
    const char* value;
    bool simulate;
    std::optional<Kind> kind;
    const char* argument;
  };
  const Case cases[] = {
      {"auto", false, Kind::Auto, ""},
      {"", false, Kind::Auto, ""},
      {"sim", false, Kind::Virtual, ""},
      {"sim:/run/x.sock", false, Kind::Virtual, "/run/x.sock"},
      {"hidraw", false, Kind::Hidraw, ""},
      {"hidraw:hidraw3", false, Kind::Hidraw, "hidraw3"},
      {"hidraw:/dev/hidraw3", true, Kind::Virtual, ""},  // --simulate wins
      {"auto", true, Kind::Virtual, ""},
      {"sim:/s", true, Kind::Virtual, "/s"},
      {"simulate", false, std::nullopt, ""},
      {"usb", true, std::nullopt, ""},
      {"hidrawx", false, std::nullopt, ""},
      {"Auto", false, std::nullopt, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    std::string error;
    auto request = parseDriver(c.value, c.simulate, error);
    ASSERT_EQ(request.has_value(), c.kind.has_value());
    if (request) {
      EXPECT_EQ(request->kind, *c.kind);
      EXPECT_EQ(request->argument, c.argument);
      EXPECT_TRUE(error.empty());
    } else {
      EXPECT_EQ(error, std::string("unknown driver '") + c.value + "' (auto, sim[:SOCKET] or hidraw[:DEVICE])");
    }
  }
}

TEST(DriverSelect, ResolveChecksTheNodeAndFallsBackToTheVirtualKeyboard) {
  test::TempDir dir;
  test::ScopedEnv sysfs("ORLIX_SYSFS_ROOT", (dir / "sys").string());
  test::ScopedEnv socket("ORLIX_VKBD_SOCKET", (dir / "vkbd.sock").string());
  std::string error;
  // No keyboard attached: auto is the virtual keyboard at the default socket.
  auto choice = resolveDriver({}, error);
  EXPECT_FALSE(choice.hidraw);
  EXPECT_EQ(choice.socket, dir / "vkbd.sock");
  EXPECT_TRUE(error.empty());
  // An explicit node that is not there is refused with the reason.
  choice = resolveDriver({Kind::Hidraw, (dir / "hidraw9").string()}, error);
  EXPECT_TRUE(choice.hidraw);
  EXPECT_EQ(choice.node, dir / "hidraw9");
  EXPECT_NE(error.find("cannot use"), std::string::npos) << error;
  error.clear();
  choice = resolveDriver({Kind::Hidraw, "hidraw9"}, error);
  EXPECT_EQ(choice.node, "/dev/hidraw9");
  error.clear();
  resolveDriver({Kind::Hidraw, ""}, error);
  EXPECT_NE(error.find("no Orlix keyboard"), std::string::npos) << error;
}

}  // namespace
}  // namespace orlix::platform
