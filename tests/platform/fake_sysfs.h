#pragma once
// A fake sysfs tree laid out as the kernel lays out USB HID devices:
//   devices/.../usb1/<port>/                       usb_device (idVendor, idProduct, bcdDevice)
//   devices/.../usb1/<port>/<port>:1.<n>/          usb_interface (bInterfaceNumber)
//   .../<port>:1.<n>/0003:VVVV:PPPP.000K/          hid device (uevent, report_descriptor)
//   .../0003:VVVV:PPPP.000K/hidraw/hidrawM/        hidraw node (uevent, device -> hid device)
//   devices/virtual/misc/uhid/0003:VVVV:PPPP.000K/ a uhid device (no USB parent)
//   bus/usb/devices/<name> -> the device and interface folders
//   bus/hid/devices/<name> -> the hid device folders
//   class/hidraw/hidrawM -> the hidraw node folder

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace orlix::test {

// Report descriptors: the keyboard's vendor collection, and a boot keyboard's.
inline const std::vector<uint8_t> kVendorDescriptor = {
    0x06, 0x01, 0xFF,  // Usage Page (0xFF01)
    0x09, 0x01,        // Usage (1)
    0xA1, 0x01,        // Collection (Application)
    0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x40, 0x09, 0x02, 0x81, 0x02,
    0x09, 0x03, 0xB1, 0x02,
    0xC0};
inline const std::vector<uint8_t> kKeyboardDescriptor = {
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00,
    0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0xC0};

class FakeSysfs {
 public:
  explicit FakeSysfs(std::filesystem::path root) : root_(std::move(root)) {
    std::filesystem::create_directories(root_ / "class" / "hidraw");
    std::filesystem::create_directories(root_ / "bus" / "usb" / "devices");
    std::filesystem::create_directories(root_ / "bus" / "hid" / "devices");
  }
  const std::filesystem::path& root() const { return root_; }

  // A USB device on port (e.g. "1-2"); ids as sysfs writes them (lower-case hex)
  // unless the test wants otherwise.
  std::filesystem::path addUsbDevice(const std::string& port, const std::string& vendor, const std::string& product,
                                     const std::string& bcd = "0100") {
    auto dev = root_ / "devices/pci0000:00/0000:00:14.0/usb1" / port;
    std::filesystem::create_directories(dev);
    writeText(dev / "idVendor", vendor + "\n");
    writeText(dev / "idProduct", product + "\n");
    writeText(dev / "bcdDevice", bcd + "\n");
    writeText(dev / "uevent", "DEVTYPE=usb_device\nPRODUCT=" + vendor + "/" + product + "/" + bcd + "\n");
    std::filesystem::create_directory_symlink(dev, root_ / "bus/usb/devices" / port);
    return dev;
  }

  // Interface n of a device with a HID device and hidraw node number; the
  // descriptor is left out when nothing is given (unreadable).
  std::filesystem::path addHidraw(const std::filesystem::path& usbDevice, int interfaceNumber, int hidrawNumber,
                                  std::optional<std::vector<uint8_t>> descriptor,
                                  const std::string& hidId = "0003:000024AE:00004009") {
    std::string port = usbDevice.filename().string();
    std::string ifName = port + ":1." + std::to_string(interfaceNumber);
    auto iface = usbDevice / ifName;
    std::filesystem::create_directories(iface);
    char num[8];
    std::snprintf(num, sizeof num, "%02x", interfaceNumber);
    writeText(iface / "bInterfaceNumber", std::string(num) + "\n");
    writeText(iface / "uevent", "DEVTYPE=usb_interface\n");
    std::filesystem::create_directory_symlink(iface, root_ / "bus/usb/devices" / ifName);

    return addHidDevice(iface, hidrawNumber, descriptor, hidId,
                        "usb-0000:00:14.0-" + port.substr(2) + "/input" + std::to_string(interfaceNumber));
  }

  // A HID device made through /dev/uhid, as orlix-vkbd --uhid makes it.
  std::filesystem::path addUhidDevice(int hidrawNumber, std::optional<std::vector<uint8_t>> descriptor,
                                      const std::string& hidId = "0003:000024AE:00004009") {
    return addHidDevice(root_ / "devices/virtual/misc/uhid", hidrawNumber, descriptor, hidId, "orlix-vkbd/input2");
  }

 private:
  std::filesystem::path addHidDevice(const std::filesystem::path& parent, int hidrawNumber,
                                     const std::optional<std::vector<uint8_t>>& descriptor, const std::string& hidId,
                                     const std::string& phys) {
    char hidName[32];
    std::snprintf(hidName, sizeof hidName, "0003:24AE:4009.%04X", ++hidCount_);
    auto hid = parent / hidName;
    std::filesystem::create_directories(hid);
    writeText(hid / "uevent", "DRIVER=hid-generic\nHID_ID=" + hidId + "\nHID_NAME=Keyboard\nHID_PHYS=" + phys + "\n");
    if (descriptor) {
      std::ofstream(hid / "report_descriptor", std::ios::binary)
          .write(reinterpret_cast<const char*>(descriptor->data()), std::streamsize(descriptor->size()));
    }
    std::filesystem::create_directory_symlink(hid, root_ / "bus/hid/devices" / hidName);
    std::string node = "hidraw" + std::to_string(hidrawNumber);
    auto raw = hid / "hidraw" / node;
    std::filesystem::create_directories(raw);
    writeText(raw / "uevent", "MAJOR=240\nMINOR=" + std::to_string(hidrawNumber) + "\nDEVNAME=" + node + "\n");
    std::filesystem::create_directory_symlink(hid, raw / "device");
    std::filesystem::create_directory_symlink(raw, root_ / "class/hidraw" / node);
    return raw;
  }

  std::filesystem::path root_;
  int hidCount_ = 0;
};

}  // namespace orlix::test
