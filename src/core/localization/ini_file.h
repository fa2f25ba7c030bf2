#pragma once
// A small reader and editor for INI text: [section] lines and key=value lines.
// Sections and keys compare without regard to A-Z case; values are trimmed of
// blanks, and a value in matching quotes loses them.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace orlix::localization {

// The value of key in section, nothing when either is missing.
std::optional<std::string> iniValue(std::string_view text, std::string_view section, std::string_view key);
// The same read from a file; `fallback` when the file, section or key is missing.
std::string readIniFileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view fallback);
// A value read as a decimal integer the way the ini readers of the old system
// did: leading blanks, an optional sign, digits up to the first non-digit; 0
// when there are none. Values beyond the int range are clamped.
int iniInteger(std::string_view value);
// Returns text with key in section set to value: the first such key line is
// replaced, else the line is added at the end of the section, else a new
// section is appended. Other lines stay as they are.
std::string iniSetValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace orlix::localization
