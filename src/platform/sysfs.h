#pragma once
// Reading sysfs attribute files. Every reader takes the file's path, so device
// discovery runs unchanged on a fake tree in tests.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace orlix::platform::sysfs {

// The first line of a text attribute without surrounding white space; nothing
// when the file cannot be read.
std::optional<std::string> readAttribute(const std::filesystem::path& file);

// A hexadecimal attribute such as idVendor ("24ae", "24AE" or "0x24ae"); nothing
// when unreadable, empty, not hexadecimal or wider than 32 bits.
std::optional<uint32_t> readHexAttribute(const std::filesystem::path& file);
std::optional<uint32_t> parseHex(std::string_view text);

// KEY=VALUE lines of a uevent file (also of a udev event's properties).
std::map<std::string, std::string> readUevent(const std::filesystem::path& file);

// A binary attribute (report_descriptor), at most maxBytes; nothing when unreadable.
std::optional<std::vector<uint8_t>> readBinary(const std::filesystem::path& file, size_t maxBytes = 65536);

}  // namespace orlix::platform::sysfs
