#pragma once
// Finding the keyboard's vendor interface among the hidraw nodes, through sysfs.
// The sysfs root is a parameter, so tests run on a fake tree.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace orlix::platform {

inline constexpr uint16_t kKeyboardVendorId = 0x24AE;
inline constexpr uint16_t kKeyboardProductId = 0x4009;
// The interface the keyboard's own driver talks to: usage page 0xFF01, usage 1,
// which is USB interface 2 of the keyboard.
inline constexpr uint16_t kVendorUsagePage = 0xFF01;
inline constexpr uint16_t kVendorUsage = 0x0001;
inline constexpr int kVendorInterfaceNumber = 2;

// True when the HID report descriptor opens a collection whose usage is
// usagePage:usage (a 16-bit usage under the usage page in force, or a 32-bit
// extended usage). Walks items by their size bits; a truncated last item ends
// the walk.
bool declaresUsage(std::span<const uint8_t> descriptor, uint16_t usagePage, uint16_t usage);

// The bus of a HID device on USB (BUS_USB), as HID_ID names it.
inline constexpr uint16_t kHidBusUsb = 0x0003;

struct HidId {
  uint16_t bus = 0, vendor = 0, product = 0;
};
// HID_ID of a HID device's uevent ("0003:000024AE:00004009", hex in either
// case); nothing when it is not three hex fields of at most 16 bits.
std::optional<HidId> parseHidId(std::string_view id);

struct HidrawNode {
  std::string name;                // "hidraw3"
  std::filesystem::path devnode;   // "/dev/hidraw3" (from the node's DEVNAME)
  uint16_t vendor = 0;
  uint16_t product = 0;
  int interfaceNumber = -1;        // USB interface; -1 when unknown
  // Whether the report descriptor declares the usage looked for; nothing when
  // the descriptor could not be read.
  std::optional<bool> declaresWantedUsage;
};

// Every hidraw node under <sysfsRoot>/class/hidraw whose HID device is
// vendor:product on the USB bus (a USB device or a uhid one declaring bus USB),
// in node number order, with declaresWantedUsage answered for usagePage:usage.
std::vector<HidrawNode> listHidrawNodes(const std::filesystem::path& sysfsRoot, uint16_t vendor, uint16_t product,
                                        uint16_t usagePage, uint16_t usage);

// The keyboard's node for usagePage:usage: the first node whose descriptor
// declares it; failing that, the first node on interface 2 whose descriptor
// could not be read. Nothing when the keyboard is absent.
std::optional<HidrawNode> findKeyboardNode(const std::filesystem::path& sysfsRoot,
                                           uint16_t usagePage = kVendorUsagePage, uint16_t usage = kVendorUsage);

}  // namespace orlix::platform
