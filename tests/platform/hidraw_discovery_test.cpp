#include "platform/hidraw_discovery.h"

#include <gtest/gtest.h>

#include "fake_sysfs.h"

namespace orlix::platform {
namespace {

using test::FakeSysfs;
using test::kKeyboardDescriptor;
using test::kVendorDescriptor;
using test::TempDir;
using Bytes = std::vector<uint8_t>;

TEST(ReportDescriptor, FindsTheVendorCollection) {
  struct Case {
    const char* name;
    Bytes descriptor;
    bool declares;
  };
  const Case cases[] = {
      {"vendor interface", kVendorDescriptor, true},
      {"boot keyboard", kKeyboardDescriptor, false},
      {"empty", {}, false},
      {"32-bit usage carries its page", {0x0B, 0x01, 0x00, 0x01, 0xFF, 0xA1, 0x01, 0xC0}, true},
      {"4-byte usage page item", {0x07, 0x01, 0xFF, 0x00, 0x00, 0x09, 0x01, 0xA1, 0x01}, true},
      {"page given after the usage applies at the collection", {0x09, 0x01, 0x06, 0x01, 0xFF, 0xA1, 0x01}, true},
      {"pop restores the pushed page", {0x06, 0x01, 0xFF, 0xA4, 0x05, 0x01, 0xB4, 0x09, 0x01, 0xA1, 0x01}, true},
      {"usage consumed by an input item", {0x06, 0x01, 0xFF, 0x09, 0x01, 0x81, 0x02, 0xA1, 0x01}, false},
      {"other usage on the vendor page", {0x06, 0x01, 0xFF, 0x09, 0x02, 0xA1, 0x01}, false},
      {"usage 1 on another vendor page", {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01}, false},
      {"long item skipped", {0xFE, 0x02, 0x10, 0xAA, 0xBB, 0x06, 0x01, 0xFF, 0x09, 0x01, 0xA1, 0x01}, true},
      {"long item running past the end", {0xFE, 0x20, 0x10, 0x06, 0x01, 0xFF, 0x09, 0x01, 0xA1, 0x01}, false},
      {"first usage of the collection counts",
       {0x06, 0x01, 0xFF, 0x09, 0x02, 0x09, 0x01, 0xA1, 0x01}, false},
      {"second collection", {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0xC0, 0x06, 0x01, 0xFF, 0x09, 0x01, 0xA1, 0x01}, true},
  };
  for (auto& c : cases) EXPECT_EQ(declaresUsage(c.descriptor, 0xFF01, 1), c.declares) << c.name;
}

TEST(ReportDescriptor, EveryPrefixIsSafeAndOnlyTheWholeCollectionItemCounts) {
  // The collection item ends at byte 7 of the vendor descriptor.
  for (size_t n = 0; n <= kVendorDescriptor.size(); ++n) {
    std::span<const uint8_t> prefix(kVendorDescriptor.data(), n);
    EXPECT_EQ(declaresUsage(prefix, 0xFF01, 1), n >= 7) << n;
  }
}

class HidrawDiscovery : public ::testing::Test {
 protected:
  TempDir dir;
  FakeSysfs sys{dir / "sys"};
};

TEST_F(HidrawDiscovery, AbsentKeyboard) {
  EXPECT_FALSE(findKeyboardNode(sys.root()));
  // Another maker's device with a vendor collection of the same usage.
  auto other = sys.addUsbDevice("1-1", "046d", "c52b");
  sys.addHidraw(other, 2, 0, kVendorDescriptor, "0003:0000046D:0000C52B");
  EXPECT_FALSE(findKeyboardNode(sys.root()));
  // No sysfs at all.
  EXPECT_FALSE(findKeyboardNode(dir / "nowhere"));
}

TEST_F(HidrawDiscovery, TwoInterfacesTheVendorOneIsChosen) {
  auto kb = sys.addUsbDevice("1-2", "24ae", "4009");
  sys.addHidraw(kb, 0, 3, kKeyboardDescriptor);
  sys.addHidraw(kb, 2, 4, kVendorDescriptor);
  auto node = findKeyboardNode(sys.root());
  ASSERT_TRUE(node);
  EXPECT_EQ(node->name, "hidraw4");
  EXPECT_EQ(node->devnode, "/dev/hidraw4");
  EXPECT_EQ(node->interfaceNumber, 2);
  EXPECT_EQ(node->declaresWantedUsage, true);

  auto all = listHidrawNodes(sys.root(), 0x24AE, 0x4009, 0xFF01, 1);
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(all[0].name, "hidraw3");
  EXPECT_EQ(all[0].interfaceNumber, 0);
  EXPECT_EQ(all[0].declaresWantedUsage, false);
}

TEST_F(HidrawDiscovery, DescriptorWinsOverTheInterfaceNumber) {
  auto kb = sys.addUsbDevice("1-2", "24ae", "4009");
  sys.addHidraw(kb, 1, 10, kVendorDescriptor);
  sys.addHidraw(kb, 2, 9, kKeyboardDescriptor);
  auto node = findKeyboardNode(sys.root());
  ASSERT_TRUE(node);
  EXPECT_EQ(node->name, "hidraw10");
}

TEST_F(HidrawDiscovery, UnreadableDescriptorsFallBackToInterfaceTwo) {
  auto kb = sys.addUsbDevice("1-2", "24ae", "4009");
  sys.addHidraw(kb, 0, 11, std::nullopt);
  sys.addHidraw(kb, 2, 12, std::nullopt);
  auto node = findKeyboardNode(sys.root());
  ASSERT_TRUE(node);
  EXPECT_EQ(node->name, "hidraw12");
  EXPECT_FALSE(node->declaresWantedUsage);
  // The fallback belongs to the vendor collection only.
  EXPECT_FALSE(findKeyboardNode(sys.root(), 0x0001, 0x0006));
}

TEST_F(HidrawDiscovery, NodesAreOrderedByNumber) {
  auto kb = sys.addUsbDevice("1-2", "24ae", "4009");
  sys.addHidraw(kb, 2, 10, kVendorDescriptor);
  auto kb2 = sys.addUsbDevice("1-3", "24ae", "4009");
  sys.addHidraw(kb2, 2, 9, kVendorDescriptor);
  EXPECT_EQ(findKeyboardNode(sys.root())->name, "hidraw9");
}

TEST_F(HidrawDiscovery, IdsInEitherCase) {
  for (const char* id : {"0003:000024AE:00004009", "0003:000024ae:00004009"}) {
    TempDir d;
    FakeSysfs s(d / "sys");
    auto kb = s.addUsbDevice("1-2", "24ae", "4009");
    s.addHidraw(kb, 2, 0, kVendorDescriptor, id);
    EXPECT_TRUE(findKeyboardNode(s.root())) << id;
  }
}

TEST_F(HidrawDiscovery, AUhidKeyboardIsFoundByItsHidIdentityAlone) {
  sys.addUhidDevice(0, kVendorDescriptor);
  auto node = findKeyboardNode(sys.root());
  ASSERT_TRUE(node);
  EXPECT_EQ(node->devnode, "/dev/hidraw0");
  EXPECT_EQ(node->interfaceNumber, 2);  // from HID_PHYS
  EXPECT_EQ(node->declaresWantedUsage, true);
}

TEST_F(HidrawDiscovery, TheSameIdsOnAnotherBusAreAnotherDevice) {
  sys.addUhidDevice(0, kVendorDescriptor, "0005:000024AE:00004009");  // Bluetooth
  EXPECT_FALSE(findKeyboardNode(sys.root()));
  EXPECT_TRUE(listHidrawNodes(sys.root(), 0x24AE, 0x4009, 0xFF01, 1).empty());
}

TEST_F(HidrawDiscovery, InterfaceNumberFromThePhysicalPathWithoutTheInterfaceFolder) {
  // A HID device whose parent is not a USB interface (no bInterfaceNumber).
  auto hid = dir / "sys/devices/virtual/0003:24AE:4009.0001";
  std::filesystem::create_directories(hid / "hidraw/hidraw5");
  test::writeText(hid / "uevent", "HID_ID=0003:000024AE:00004009\nHID_PHYS=usb-0000:00:14.0-4/input2\n");
  std::filesystem::create_directory_symlink(hid, hid / "hidraw/hidraw5/device");
  std::filesystem::create_directory_symlink(hid / "hidraw/hidraw5", sys.root() / "class/hidraw/hidraw5");
  auto node = findKeyboardNode(sys.root());
  ASSERT_TRUE(node);
  EXPECT_EQ(node->interfaceNumber, 2);
}

}  // namespace
}  // namespace orlix::platform
