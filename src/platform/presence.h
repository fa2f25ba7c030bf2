#pragma once
// Whether the keyboard is attached, and the device-change events that say it
// was removed. USB devices are read from sysfs and named by Windows-style
// hardware ids (USB\VID_24AE&PID_4009&REV_0100), which the presence check
// searches for the keyboard's fragment without regard to case. The virtual
// keyboard counts as a USB device with the keyboard's ids while it is plugged.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/device/messages.h"

namespace orlix::platform {

// The hardware id fragment that names the keyboard.
inline constexpr std::string_view kKeyboardIdFragment = "VID_24AE&PID_4009";
// The USB device interface class, as device interface names end with it.
inline constexpr std::string_view kUsbDeviceInterfaceClass = "{A5DCBF10-6530-11D2-901F-00C04FB951ED}";
// Device-change events (numbers in messages.h).
using msg::kDeviceArrival;
using msg::kDeviceRemoveComplete;
// The revision the virtual keyboard reports as its USB device.
inline constexpr uint16_t kVirtualKeyboardRevision = 0x0100;

bool containsIgnoreCase(std::string_view haystack, std::string_view needle);

// USB\VID_%04X&PID_%04X&REV_%04X and USB\VID_%04X&PID_%04X, upper-case hex.
std::vector<std::string> usbHardwareIds(uint16_t vendor, uint16_t product, uint16_t revision);

// The hardware ids of every USB device under <sysfsRoot>/bus/usb/devices
// (interfaces and entries without ids are skipped); empty when the folder
// cannot be read.
std::vector<std::string> enumerateUsbHardwareIds(const std::filesystem::path& sysfsRoot);

// The keyboard as a HID device of its own, not below any USB device of sysfs
// (the uhid keyboard of orlix-vkbd --uhid): USB\VID_%04X&PID_%04X of every HID
// device under <sysfsRoot>/bus/hid/devices on the USB bus whose report
// descriptor declares the keyboard's vendor collection. HID devices of a USB
// device are left out: the USB device names them already.
std::vector<std::string> enumerateHidHardwareIds(const std::filesystem::path& sysfsRoot);

// True when one of the ids contains the fragment, without regard to case.
bool anyIdContains(const std::vector<std::string>& hardwareIds, std::string_view fragment);

// The present USB devices: sysfs (USB devices and the HID devices above),
// plus the virtual keyboard while it is plugged.
class DevicePresence {
 public:
  explicit DevicePresence(std::filesystem::path sysfsRoot) : sysfsRoot_(std::move(sysfsRoot)) {}
  void setVirtualKeyboardPlugged(bool plugged) { virtualPlugged_ = plugged; }
  std::vector<std::string> hardwareIds() const;
  // Is present(fragment): an unreadable device list counts as absent.
  bool isPresent(std::string_view fragment = kKeyboardIdFragment) const;

 private:
  std::filesystem::path sysfsRoot_;
  bool virtualPlugged_ = false;
};

// Whether the virtual keyboard at socket is plugged; nothing when no daemon answers.
std::optional<bool> virtualKeyboardPlugged(const std::filesystem::path& socket);

// A device-change event as the main window receives it.
struct DeviceChange {
  uint32_t event = 0;         // kDeviceArrival or kDeviceRemoveComplete
  std::string interfaceName;  // \\?\USB#VID_xxxx&PID_xxxx#<instance>#{A5DCBF10-...}
  bool operator==(const DeviceChange&) const = default;
};

// The device interface name of a USB device; instance tells devices apart
// ('#' in it becomes '_').
std::string usbInterfaceName(uint16_t vendor, uint16_t product, std::string_view instance);
// The interface name the virtual keyboard's events carry.
std::string virtualKeyboardInterfaceName();

// A udev event of a USB device (subsystem usb, DEVTYPE usb_device) as a device
// change: "add" is an arrival, "remove" a removal. Vendor and product come from
// PRODUCT (vvvv/pppp/rrrr), else ID_VENDOR_ID and ID_MODEL_ID. A HID device
// (SUBSYSTEM hid) on the USB bus counts too, by its HID_ID, unless its DEVPATH
// lies below a USB host controller (then its USB device has an event of its
// own). Nothing for other actions, other device types, or events without ids.
std::optional<DeviceChange> deviceChangeFromUevent(std::string_view action,
                                                   const std::map<std::string, std::string>& properties);

// The removal the program answers: a removal whose interface name contains the
// fragment, without regard to case. Arrivals and other devices are ignored.
bool isKeyboardRemoval(const DeviceChange& change, std::string_view fragment = kKeyboardIdFragment);

}  // namespace orlix::platform
