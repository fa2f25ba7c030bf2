#include "platform/hidraw_discovery.h"

#include <algorithm>
#include <cctype>
#include <limits>

#include "platform/sysfs.h"

namespace orlix::platform {

namespace fs = std::filesystem;

bool declaresUsage(std::span<const uint8_t> d, uint16_t usagePage, uint16_t usage) {
  constexpr uint8_t kTypeMain = 0, kTypeGlobal = 1, kTypeLocal = 2;
  constexpr uint8_t kTagUsagePage = 0x0, kTagPush = 0xA, kTagPop = 0xB;  // global
  constexpr uint8_t kTagUsage = 0x0;                                     // local
  constexpr uint8_t kTagCollection = 0xA;                                // main
  constexpr uint8_t kLongItem = 0xFE;
  const uint32_t wanted = (uint32_t(usagePage) << 16) | usage;

  uint32_t page = 0;
  std::vector<uint32_t> pageStack;
  // Local usages waiting for the next main item: value and whether it was a
  // 32-bit usage that carries its own page.
  std::vector<std::pair<uint32_t, bool>> usages;
  size_t i = 0;
  while (i < d.size()) {
    uint8_t prefix = d[i];
    if (prefix == kLongItem) {
      if (i + 1 >= d.size()) break;
      i += 3 + size_t(d[i + 1]);
      continue;
    }
    size_t n = prefix & 3;
    if (n == 3) n = 4;
    if (i + 1 + n > d.size()) break;
    uint32_t data = 0;
    for (size_t b = 0; b < n; ++b) data |= uint32_t(d[i + 1 + b]) << (8 * b);
    i += 1 + n;
    uint8_t type = (prefix >> 2) & 3, tag = prefix >> 4;
    if (type == kTypeGlobal) {
      if (tag == kTagUsagePage) page = data & 0xFFFF;
      else if (tag == kTagPush) pageStack.push_back(page);
      else if (tag == kTagPop && !pageStack.empty()) {
        page = pageStack.back();
        pageStack.pop_back();
      }
    } else if (type == kTypeLocal) {
      if (tag == kTagUsage) usages.emplace_back(data, n == 4);
    } else if (type == kTypeMain) {
      if (tag == kTagCollection && !usages.empty()) {
        auto [value, extended] = usages.front();
        uint32_t full = extended ? value : (page << 16) | (value & 0xFFFF);
        if (full == wanted) return true;
      }
      usages.clear();
    }
  }
  return false;
}

std::optional<HidId> parseHidId(std::string_view id) {
  auto a = id.find(':');
  auto b = a == std::string_view::npos ? a : id.find(':', a + 1);
  if (b == std::string_view::npos) return std::nullopt;
  auto bus = sysfs::parseHex(id.substr(0, a));
  auto v = sysfs::parseHex(id.substr(a + 1, b - a - 1));
  auto p = sysfs::parseHex(id.substr(b + 1));
  if (!bus || !v || !p || *bus > 0xFFFF || *v > 0xFFFF || *p > 0xFFFF) return std::nullopt;
  return HidId{uint16_t(*bus), uint16_t(*v), uint16_t(*p)};
}

namespace {
// "hidraw12" -> 12, for ordering; names without a number sort last.
long nodeNumber(const std::string& name) {
  size_t i = name.size();
  while (i > 0 && std::isdigit(static_cast<unsigned char>(name[i - 1]))) --i;
  if (i == name.size() || name.size() - i > 9) return std::numeric_limits<long>::max();
  return std::stol(name.substr(i));
}

// The USB interface number: bInterfaceNumber of the HID device's parent, else
// the "inputN" end of HID_PHYS.
int interfaceNumberOf(const fs::path& hidDevice, const std::string& phys) {
  std::error_code ec;
  fs::path real = fs::canonical(hidDevice, ec);
  if (!ec) {
    if (auto n = sysfs::readHexAttribute(real.parent_path() / "bInterfaceNumber")) return int(*n);
  }
  auto pos = phys.rfind("input");
  if (pos != std::string::npos && pos + 5 < phys.size()) {
    std::string digits = phys.substr(pos + 5);
    if (std::all_of(digits.begin(), digits.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
      return std::stoi(digits);
  }
  return -1;
}
}  // namespace

std::vector<HidrawNode> listHidrawNodes(const fs::path& sysfsRoot, uint16_t vendor, uint16_t product,
                                        uint16_t usagePage, uint16_t usage) {
  std::vector<HidrawNode> nodes;
  std::error_code ec;
  fs::directory_iterator it(sysfsRoot / "class" / "hidraw", ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::string name = it->path().filename().string();
    fs::path hidDevice = it->path() / "device";
    auto uevent = sysfs::readUevent(hidDevice / "uevent");
    HidrawNode node;
    node.name = name;
    // The keyboard is a USB device: the same ids on another bus are another device.
    auto id = parseHidId(uevent["HID_ID"]);
    if (!id || id->bus != kHidBusUsb || id->vendor != vendor || id->product != product) continue;
    node.vendor = id->vendor;
    node.product = id->product;
    auto own = sysfs::readUevent(it->path() / "uevent");
    // DEVNAME is relative to /dev in sysfs; an absolute one is taken as it is.
    node.devnode = fs::path("/dev") / (own.count("DEVNAME") ? own["DEVNAME"] : name);
    node.interfaceNumber = interfaceNumberOf(hidDevice, uevent["HID_PHYS"]);
    if (auto d = sysfs::readBinary(hidDevice / "report_descriptor"); d && !d->empty())
      node.declaresWantedUsage = declaresUsage(*d, usagePage, usage);
    nodes.push_back(std::move(node));
  }
  std::sort(nodes.begin(), nodes.end(), [](const HidrawNode& a, const HidrawNode& b) {
    return nodeNumber(a.name) < nodeNumber(b.name);
  });
  return nodes;
}

std::optional<HidrawNode> findKeyboardNode(const fs::path& sysfsRoot, uint16_t usagePage, uint16_t usage) {
  auto nodes = listHidrawNodes(sysfsRoot, kKeyboardVendorId, kKeyboardProductId, usagePage, usage);
  for (auto& n : nodes)
    if (n.declaresWantedUsage == true) return n;
  // Without a readable descriptor, the vendor interface is known by its number.
  if (usagePage == kVendorUsagePage && usage == kVendorUsage)
    for (auto& n : nodes)
      if (!n.declaresWantedUsage && n.interfaceNumber == kVendorInterfaceNumber) return n;
  return std::nullopt;
}

}  // namespace orlix::platform
