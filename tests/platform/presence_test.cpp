#include "platform/presence.h"

#include <poll.h>

#include <gtest/gtest.h>

#include <thread>

#include "core/device/virtual_keyboard.h"
#include "fake_sysfs.h"
#include "platform/presence_monitor.h"
#include "platform/vkbd_client.h"
#include "platform/vkbd_server.h"

namespace orlix::platform {
namespace {

using test::FakeSysfs;
using test::TempDir;
using namespace std::chrono_literals;

bool readable(int fd, int timeoutMs = 0) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, timeoutMs) == 1 && (p.revents & POLLIN);
}

TEST(Presence, HardwareIdsOfUsbDevicesFromSysfs) {
  TempDir dir;
  FakeSysfs sys(dir / "sys");
  auto kb = sys.addUsbDevice("1-2", "24ae", "4009", "0100");
  sys.addHidraw(kb, 2, 0, test::kVendorDescriptor);  // adds the interface entry 1-2:1.2 too
  sys.addUsbDevice("1-3", "046d", "c52b", "1211");
  EXPECT_EQ(enumerateUsbHardwareIds(sys.root()),
            (std::vector<std::string>{"USB\\VID_24AE&PID_4009&REV_0100", "USB\\VID_24AE&PID_4009",
                                      "USB\\VID_046D&PID_C52B&REV_1211", "USB\\VID_046D&PID_C52B"}));
  EXPECT_TRUE(enumerateUsbHardwareIds(dir / "nowhere").empty());
}

TEST(Presence, KeyboardPresentAbsentAndInEitherCase) {
  struct Case {
    const char* name;
    const char* vendor;
    const char* product;
    const char* fragment;
    bool present;
  };
  const Case cases[] = {
      {"present", "24ae", "4009", "VID_24AE&PID_4009", true},
      {"upper-case sysfs ids", "24AE", "4009", "VID_24AE&PID_4009", true},
      {"lower-case fragment", "24ae", "4009", "vid_24ae&pid_4009", true},
      {"other product", "24ae", "4008", "VID_24AE&PID_4009", false},
      {"other vendor", "046d", "4009", "VID_24AE&PID_4009", false},
  };
  for (auto& c : cases) {
    TempDir dir;
    FakeSysfs sys(dir / "sys");
    sys.addUsbDevice("1-1", "1d6b", "0002");
    sys.addUsbDevice("1-2", c.vendor, c.product);
    EXPECT_EQ(DevicePresence(sys.root()).isPresent(c.fragment), c.present) << c.name;
  }
}

TEST(Presence, VirtualKeyboardCountsWhilePlugged) {
  TempDir dir;
  FakeSysfs sys(dir / "sys");
  DevicePresence presence(sys.root());
  EXPECT_FALSE(presence.isPresent());
  presence.setVirtualKeyboardPlugged(true);
  EXPECT_TRUE(presence.isPresent());
  EXPECT_TRUE(presence.isPresent("vid_24ae&pid_4009"));
  presence.setVirtualKeyboardPlugged(false);
  EXPECT_FALSE(presence.isPresent());
  // Without any sysfs the keyboard counts as absent.
  EXPECT_FALSE(DevicePresence(dir / "nowhere").isPresent());
}

TEST(Presence, KeyboardAsAHidDeviceWithoutUsbParent) {
  struct Case {
    const char* name;
    std::optional<std::vector<uint8_t>> descriptor;
    const char* hidId;
    bool present;
  };
  const Case cases[] = {
      {"uhid keyboard", test::kVendorDescriptor, "0003:000024AE:00004009", true},
      {"without the vendor collection", test::kKeyboardDescriptor, "0003:000024AE:00004009", false},
      {"descriptor unreadable", std::nullopt, "0003:000024AE:00004009", false},
      {"not on the USB bus", test::kVendorDescriptor, "0005:000024AE:00004009", false},
      {"other product", test::kVendorDescriptor, "0003:000024AE:00004008", false},
  };
  for (auto& c : cases) {
    TempDir dir;
    FakeSysfs sys(dir / "sys");
    sys.addUhidDevice(0, c.descriptor, c.hidId);
    EXPECT_EQ(DevicePresence(sys.root()).isPresent(), c.present) << c.name;
  }
}

TEST(Presence, HidDevicesOfAUsbDeviceAreNamedByTheUsbDeviceOnly) {
  TempDir dir;
  FakeSysfs sys(dir / "sys");
  auto kb = sys.addUsbDevice("1-2", "24ae", "4009", "0100");
  sys.addHidraw(kb, 2, 0, test::kVendorDescriptor);
  EXPECT_TRUE(enumerateHidHardwareIds(sys.root()).empty());
  sys.addUhidDevice(1, test::kVendorDescriptor);
  EXPECT_EQ(enumerateHidHardwareIds(sys.root()), std::vector<std::string>{"USB\\VID_24AE&PID_4009"});
}

TEST(DeviceChanges, UdevEventsOfHidDevices) {
  using Props = std::map<std::string, std::string>;
  const Props uhid{{"SUBSYSTEM", "hid"}, {"HID_ID", "0003:000024AE:00004009"},
                   {"DEVPATH", "/devices/virtual/misc/uhid/0003:24AE:4009.0001"}};
  auto removed = deviceChangeFromUevent("remove", uhid);
  ASSERT_TRUE(removed);
  EXPECT_EQ(removed->interfaceName,
            "\\\\?\\USB#VID_24AE&PID_4009#0003:24AE:4009.0001#{A5DCBF10-6530-11D2-901F-00C04FB951ED}");
  EXPECT_TRUE(isKeyboardRemoval(*removed));
  auto added = deviceChangeFromUevent("add", uhid);
  ASSERT_TRUE(added);
  EXPECT_EQ(added->event, kDeviceArrival);

  // Below a USB device the USB device's own event is the one that counts.
  EXPECT_FALSE(deviceChangeFromUevent(
      "remove", {{"SUBSYSTEM", "hid"}, {"HID_ID", "0003:000024AE:00004009"},
                 {"DEVPATH", "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.2/0003:24AE:4009.0003"}}));
  EXPECT_FALSE(deviceChangeFromUevent("remove", {{"SUBSYSTEM", "hid"}, {"HID_ID", "0005:000024AE:00004009"},
                                                 {"DEVPATH", "/devices/virtual/misc/uhid/0005:24AE:4009.0002"}}));
  EXPECT_FALSE(deviceChangeFromUevent("remove", {{"SUBSYSTEM", "hid"}, {"DEVPATH", "/devices/virtual/x"}}));
}

TEST(DeviceChanges, UdevEventsOfUsbDevices) {
  using Props = std::map<std::string, std::string>;
  const Props keyboard{{"DEVTYPE", "usb_device"}, {"PRODUCT", "24ae/4009/100"},
                       {"DEVPATH", "/devices/pci0000:00/0000:00:14.0/usb1/1-2"}};
  auto removed = deviceChangeFromUevent("remove", keyboard);
  ASSERT_TRUE(removed);
  EXPECT_EQ(removed->event, kDeviceRemoveComplete);
  EXPECT_EQ(removed->interfaceName, "\\\\?\\USB#VID_24AE&PID_4009#1-2#{A5DCBF10-6530-11D2-901F-00C04FB951ED}");
  EXPECT_TRUE(isKeyboardRemoval(*removed));

  auto added = deviceChangeFromUevent("add", keyboard);
  ASSERT_TRUE(added);
  EXPECT_EQ(added->event, kDeviceArrival);
  EXPECT_FALSE(isKeyboardRemoval(*added)) << "arrival does nothing";

  auto mouse = deviceChangeFromUevent("remove", {{"DEVTYPE", "usb_device"}, {"PRODUCT", "46d/c52b/1211"}});
  ASSERT_TRUE(mouse);
  EXPECT_FALSE(isKeyboardRemoval(*mouse)) << "another device's removal does nothing";

  // Ids from the udev database when PRODUCT is missing.
  auto byId = deviceChangeFromUevent(
      "remove", {{"DEVTYPE", "usb_device"}, {"ID_VENDOR_ID", "24ae"}, {"ID_MODEL_ID", "4009"}});
  ASSERT_TRUE(byId);
  EXPECT_TRUE(isKeyboardRemoval(*byId));

  EXPECT_FALSE(deviceChangeFromUevent("bind", keyboard));
  EXPECT_FALSE(deviceChangeFromUevent("change", keyboard));
  EXPECT_FALSE(deviceChangeFromUevent("remove", {{"DEVTYPE", "usb_interface"}, {"PRODUCT", "24ae/4009/100"}}));
  EXPECT_FALSE(deviceChangeFromUevent("remove", {{"DEVTYPE", "usb_device"}, {"PRODUCT", "zz/4009/1"}}));
  EXPECT_FALSE(deviceChangeFromUevent("remove", {{"DEVTYPE", "usb_device"}}));
}

TEST(DeviceChanges, RemovalNameIsMatchedWithoutRegardToCase) {
  EXPECT_TRUE(isKeyboardRemoval({kDeviceRemoveComplete, "\\\\?\\usb#vid_24ae&pid_4009#5&1#{a5dcbf10}"}));
  EXPECT_FALSE(isKeyboardRemoval({0x8006, "\\\\?\\USB#VID_24AE&PID_4009#x"}));
}

TEST(DeviceMonitorTest, PostedChangesMakeTheDescriptorReadableUntilDrained) {
  DeviceMonitor monitor;
  ASSERT_GE(monitor.fd(), 0);
  EXPECT_FALSE(readable(monitor.fd()));
  EXPECT_TRUE(monitor.drain().empty());

  std::thread other([&] { monitor.postVirtualKeyboard(false); });
  other.join();
  monitor.postVirtualKeyboard(true);
  EXPECT_TRUE(readable(monitor.fd(), 1000));
  auto changes = monitor.drain();
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_TRUE(isKeyboardRemoval(changes[0]));
  EXPECT_EQ(changes[0].interfaceName, virtualKeyboardInterfaceName());
  EXPECT_EQ(changes[1].event, kDeviceArrival);
  EXPECT_FALSE(readable(monitor.fd()));
  EXPECT_TRUE(monitor.drain().empty());
}

TEST(DeviceMonitorTest, SystemEventsCanBeWatched) {
  // Without udevd no event arrives, but the monitor must still be made and
  // must not make the descriptor readable by itself.
  DeviceMonitor monitor;
  if (!monitor.watchSystem()) GTEST_SKIP() << "no udev monitor in this build or on this machine";
  EXPECT_TRUE(monitor.watchingSystem());
  for (auto& c : monitor.drain()) EXPECT_TRUE(c.event == kDeviceArrival || c.event == kDeviceRemoveComplete);
}

// The virtual keyboard daemon in this process, on a temporary socket.
class VirtualKeyboardDaemon {
 public:
  explicit VirtualKeyboardDaemon(const std::filesystem::path& dir)
      : socket(dir / "vkbd.sock"), server(keyboard, socket, dir / "state") {
    if (!server.listen()) throw std::runtime_error(server.error());
    thread = std::thread([this] { server.run(); });
  }
  ~VirtualKeyboardDaemon() {
    server.stop();
    thread.join();
  }
  VirtualKeyboard keyboard;
  std::filesystem::path socket;
  VkbdServer server;
  std::thread thread;
};

TEST(DeviceMonitorTest, VirtualKeyboardUnplugArrivesAsKeyboardRemoval) {
  TempDir dir;
  VirtualKeyboardDaemon daemon(dir.path());
  EXPECT_EQ(virtualKeyboardPlugged(daemon.socket), true);

  DeviceMonitor monitor;
  SocketDriverEndpoint endpoint(daemon.socket);
  endpoint.onPresenceChange = [&](bool plugged) { monitor.postVirtualKeyboard(plugged); };
  ASSERT_TRUE(endpoint.open());

  VkbdConnection control;
  ASSERT_TRUE(control.connect(daemon.socket));
  ASSERT_TRUE(control.request(vkbd::kUnplug));
  ASSERT_TRUE(readable(monitor.fd(), 2000));
  auto changes = monitor.drain();
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_TRUE(isKeyboardRemoval(changes[0]));
  EXPECT_EQ(virtualKeyboardPlugged(daemon.socket), false);

  DevicePresence presence(dir / "no-sysfs");
  presence.setVirtualKeyboardPlugged(*virtualKeyboardPlugged(daemon.socket));
  EXPECT_FALSE(presence.isPresent());
  EXPECT_FALSE(virtualKeyboardPlugged(dir / "nobody.sock"));
}

TEST(DeviceMonitorTest, VirtualKeyboardHidHandleOnlyWhilePlugged) {
  TempDir dir;
  VirtualKeyboardDaemon daemon(dir.path());
  VkbdHidLibrary library(daemon.socket);
  intptr_t first = library.OpenHidDevice(0xFF01, 1, 0, 0, 0, 0, 1, 0x40000000);
  intptr_t second = library.OpenHidDevice(0xFF01, 1, 0, 0, 0, 0, 1, 0x40000000);
  EXPECT_NE(first, 0);
  EXPECT_NE(second, 0);
  EXPECT_NE(first, second);
  EXPECT_EQ(library.OpenHidDevice(0xFF00, 1, 0, 0, 0, 0, 1, 0x40000000), 0);  // no such interface
  EXPECT_EQ(library.openHandles(), 2u);
  library.closeHandle(first);
  EXPECT_EQ(library.openHandles(), 1u);

  VkbdConnection control;
  ASSERT_TRUE(control.connect(daemon.socket));
  ASSERT_TRUE(control.request(vkbd::kUnplug));
  EXPECT_EQ(library.OpenHidDevice(0xFF01, 1, 0, 0, 0, 0, 1, 0x40000000), 0);
  EXPECT_EQ(VkbdHidLibrary(dir / "nobody.sock").OpenHidDevice(0xFF01, 1, 0, 0, 0, 0, 1, 0x40000000), 0);
}

}  // namespace
}  // namespace orlix::platform
