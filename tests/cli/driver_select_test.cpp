#include <sys/stat.h>

#include <gtest/gtest.h>

#include <sstream>
#include <thread>

#include "../platform/fake_sysfs.h"
#include "cli/cli.h"
#include "core/device/virtual_keyboard.h"
#include "platform/hidraw_endpoint.h"
#include "platform/vkbd_client.h"
#include "platform/vkbd_server.h"

namespace orlix::cli {
namespace {

using test::ScopedEnv;
using test::TempDir;

class DriverSelect : public ::testing::Test {
 protected:
  DriverSelect() : sysfs("ORLIX_SYSFS_ROOT", (dir / "sys").string()), socket("ORLIX_VKBD_SOCKET", (dir / "vkbd.sock").string()) {}

  std::unique_ptr<DriverEndpoint> select(const std::string& driver, std::string& error, bool simulate = false) {
    Context ctx{GlobalOptions{}, out, err, "orlixctl"};
    ctx.options.driver = driver;
    ctx.options.simulate = simulate;
    return openDriverEndpoint(ctx, error);
  }
  // Attaches a keyboard whose vendor node is a FIFO the test can open.
  std::filesystem::path attachKeyboard() {
    auto kb = sys.addUsbDevice("1-2", "24ae", "4009");
    sys.addHidraw(kb, 0, 3, test::kKeyboardDescriptor);
    auto raw = sys.addHidraw(kb, 2, 4, test::kVendorDescriptor);
    auto node = dir / "hidraw4";
    ::mkfifo(node.c_str(), 0600);
    test::writeText(raw / "uevent", "MAJOR=240\nMINOR=4\nDEVNAME=" + node.string() + "\n");
    return node;
  }

  TempDir dir;
  test::FakeSysfs sys{dir / "sys"};
  ScopedEnv sysfs, socket;
  std::ostringstream out, err;
};

TEST_F(DriverSelect, HidrawFindsTheKeyboardsNodeOrSaysItIsAbsent) {
  std::string error;
  EXPECT_FALSE(select("hidraw", error));
  EXPECT_NE(error.find("no Orlix keyboard"), std::string::npos) << error;

  auto node = attachKeyboard();
  auto endpoint = select("hidraw", error);
  ASSERT_TRUE(endpoint) << error;
  auto* hidraw = dynamic_cast<platform::HidrawDriverEndpoint*>(endpoint.get());
  ASSERT_TRUE(hidraw);
  EXPECT_EQ(hidraw->node(), node);
}

TEST_F(DriverSelect, HidrawWithAnExplicitDevice) {
  auto node = attachKeyboard();
  std::string error;
  auto endpoint = select("hidraw:" + node.string(), error);
  ASSERT_TRUE(endpoint) << error;
  EXPECT_EQ(dynamic_cast<platform::HidrawDriverEndpoint&>(*endpoint).node(), node);

  EXPECT_FALSE(select("hidraw:" + (dir / "missing").string(), error));
  EXPECT_NE(error.find("missing"), std::string::npos) << error;
  // A bare name is looked for in /dev.
  EXPECT_FALSE(select("hidraw:no-such-hidraw", error));
  EXPECT_NE(error.find("/dev/no-such-hidraw"), std::string::npos) << error;
}

TEST_F(DriverSelect, AutoPrefersTheRealKeyboard) {
  std::string error;
  EXPECT_FALSE(select("auto", error));
  EXPECT_NE(error.find("no keyboard found"), std::string::npos) << error;

  auto node = attachKeyboard();
  auto endpoint = select("auto", error);
  ASSERT_TRUE(endpoint) << error;
  EXPECT_EQ(dynamic_cast<platform::HidrawDriverEndpoint&>(*endpoint).node(), node);
}

TEST_F(DriverSelect, AutoFallsBackToTheVirtualKeyboard) {
  VirtualKeyboard keyboard;
  platform::VkbdServer server(keyboard, dir / "vkbd.sock", dir / "state");
  ASSERT_TRUE(server.listen()) << server.error();
  std::thread serving([&] { server.run(); });
  std::string error;
  auto endpoint = select("auto", error);
  EXPECT_TRUE(dynamic_cast<platform::SocketDriverEndpoint*>(endpoint.get())) << error;
  // --simulate never takes the real keyboard.
  attachKeyboard();
  endpoint = select("auto", error, true);
  EXPECT_TRUE(dynamic_cast<platform::SocketDriverEndpoint*>(endpoint.get())) << error;
  server.stop();
  serving.join();
}

TEST_F(DriverSelect, UnknownDriver) {
  std::string error;
  EXPECT_FALSE(select("usb", error));
  EXPECT_NE(error.find("unknown driver 'usb'"), std::string::npos) << error;
  EXPECT_FALSE(select("hidrawx", error));
}

}  // namespace
}  // namespace orlix::cli
