#include "platform/presence.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

#include "core/device/vkbd_protocol.h"
#include "platform/hidraw_discovery.h"
#include "platform/sysfs.h"
#include "platform/vkbd_client.h"

namespace orlix::platform {

namespace fs = std::filesystem;

bool containsIgnoreCase(std::string_view haystack, std::string_view needle) {
  auto lower = [](char c) { return char(std::tolower(static_cast<unsigned char>(c))); };
  auto it = std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(),
                        [&](char a, char b) { return lower(a) == lower(b); });
  return it != haystack.end() || needle.empty();
}

std::vector<std::string> usbHardwareIds(uint16_t vendor, uint16_t product, uint16_t revision) {
  char full[64], shortId[64];
  std::snprintf(full, sizeof full, "USB\\VID_%04X&PID_%04X&REV_%04X", vendor, product, revision);
  std::snprintf(shortId, sizeof shortId, "USB\\VID_%04X&PID_%04X", vendor, product);
  return {full, shortId};
}

std::vector<std::string> enumerateUsbHardwareIds(const fs::path& sysfsRoot) {
  std::vector<fs::path> devices;
  std::error_code ec;
  fs::directory_iterator it(sysfsRoot / "bus" / "usb" / "devices", ec), end;
  for (; !ec && it != end; it.increment(ec)) devices.push_back(it->path());
  std::sort(devices.begin(), devices.end());
  std::vector<std::string> ids;
  for (auto& d : devices) {
    // Interfaces (1-2:1.0) have no idVendor; only devices carry ids.
    auto vendor = sysfs::readHexAttribute(d / "idVendor");
    auto product = sysfs::readHexAttribute(d / "idProduct");
    if (!vendor || !product || *vendor > 0xFFFF || *product > 0xFFFF) continue;
    auto revision = sysfs::readHexAttribute(d / "bcdDevice").value_or(0);
    for (auto& id : usbHardwareIds(uint16_t(*vendor), uint16_t(*product), uint16_t(revision & 0xFFFF)))
      ids.push_back(std::move(id));
  }
  return ids;
}

namespace {
// Whether a sysfs device folder lies below a USB device (one with idVendor).
bool belowUsbDevice(const fs::path& device) {
  std::error_code ec;
  fs::path real = fs::canonical(device, ec);
  if (ec) return false;
  for (fs::path p = real.parent_path(); !p.empty() && p != p.root_path(); p = p.parent_path())
    if (fs::exists(p / "idVendor", ec)) return true;
  return false;
}
}  // namespace

std::vector<std::string> enumerateHidHardwareIds(const fs::path& sysfsRoot) {
  std::vector<fs::path> devices;
  std::error_code ec;
  fs::directory_iterator it(sysfsRoot / "bus" / "hid" / "devices", ec), end;
  for (; !ec && it != end; it.increment(ec)) devices.push_back(it->path());
  std::sort(devices.begin(), devices.end());
  std::vector<std::string> ids;
  for (auto& d : devices) {
    auto id = parseHidId(sysfs::readUevent(d / "uevent")["HID_ID"]);
    if (!id || id->bus != kHidBusUsb || belowUsbDevice(d)) continue;
    auto descriptor = sysfs::readBinary(d / "report_descriptor");
    if (!descriptor || !declaresUsage(*descriptor, kVendorUsagePage, kVendorUsage)) continue;
    ids.push_back(usbHardwareIds(id->vendor, id->product, 0).back());
  }
  return ids;
}

bool anyIdContains(const std::vector<std::string>& hardwareIds, std::string_view fragment) {
  return std::any_of(hardwareIds.begin(), hardwareIds.end(),
                     [&](const std::string& id) { return containsIgnoreCase(id, fragment); });
}

std::vector<std::string> DevicePresence::hardwareIds() const {
  auto ids = enumerateUsbHardwareIds(sysfsRoot_);
  for (auto& id : enumerateHidHardwareIds(sysfsRoot_)) ids.push_back(std::move(id));
  if (virtualPlugged_)
    for (auto& id : usbHardwareIds(0x24AE, 0x4009, kVirtualKeyboardRevision)) ids.push_back(std::move(id));
  return ids;
}

bool DevicePresence::isPresent(std::string_view fragment) const { return anyIdContains(hardwareIds(), fragment); }

std::optional<bool> virtualKeyboardPlugged(const fs::path& socket) {
  VkbdConnection c;
  if (!c.connect(socket, 1000)) return std::nullopt;
  auto r = c.request(vkbd::kStatus, {}, 2000);
  if (!r || r->type != vkbd::kText) return std::nullopt;
  std::istringstream text(std::string(r->body.begin(), r->body.end()));
  std::string line;
  while (std::getline(text, line))
    if (line.rfind("plugged ", 0) == 0) return line.substr(8) == "yes";
  return std::nullopt;
}

std::string usbInterfaceName(uint16_t vendor, uint16_t product, std::string_view instance) {
  char head[64];
  std::snprintf(head, sizeof head, "\\\\?\\USB#VID_%04X&PID_%04X#", vendor, product);
  std::string name = head;
  for (char c : instance) name += c == '#' ? '_' : c;
  name += '#';
  name += kUsbDeviceInterfaceClass;
  return name;
}

std::string virtualKeyboardInterfaceName() { return usbInterfaceName(0x24AE, 0x4009, "orlix-vkbd"); }

std::optional<DeviceChange> deviceChangeFromUevent(std::string_view action,
                                                   const std::map<std::string, std::string>& props) {
  uint32_t event = action == "add" ? kDeviceArrival : action == "remove" ? kDeviceRemoveComplete : 0;
  if (!event) return std::nullopt;
  auto get = [&](const char* key) -> std::string {
    auto it = props.find(key);
    return it == props.end() ? std::string() : it->second;
  };
  std::string devpath = get("DEVPATH");
  std::string instance = devpath.substr(devpath.rfind('/') == std::string::npos ? 0 : devpath.rfind('/') + 1);
  if (get("SUBSYSTEM") == "hid") {
    // A HID device of a USB device: that device's own event reports it.
    if (devpath.find("/usb") != std::string::npos) return std::nullopt;
    auto id = parseHidId(get("HID_ID"));
    if (!id || id->bus != kHidBusUsb) return std::nullopt;
    return DeviceChange{event, usbInterfaceName(id->vendor, id->product, instance)};
  }
  if (get("DEVTYPE") != "usb_device") return std::nullopt;
  std::optional<uint32_t> vendor, product;
  std::string p = get("PRODUCT");
  auto a = p.find('/');
  auto b = a == std::string::npos ? a : p.find('/', a + 1);
  if (b != std::string::npos) {
    vendor = sysfs::parseHex(std::string_view(p).substr(0, a));
    product = sysfs::parseHex(std::string_view(p).substr(a + 1, b - a - 1));
  }
  if (!vendor || !product) {
    vendor = sysfs::parseHex(get("ID_VENDOR_ID"));
    product = sysfs::parseHex(get("ID_MODEL_ID"));
  }
  if (!vendor || !product || *vendor > 0xFFFF || *product > 0xFFFF) return std::nullopt;
  return DeviceChange{event, usbInterfaceName(uint16_t(*vendor), uint16_t(*product), instance)};
}

bool isKeyboardRemoval(const DeviceChange& change, std::string_view fragment) {
  return change.event == kDeviceRemoveComplete && containsIgnoreCase(change.interfaceName, fragment);
}

}  // namespace orlix::platform
