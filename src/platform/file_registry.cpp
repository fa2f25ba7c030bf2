#include "platform/file_registry.h"

#include <fstream>
#include <iterator>

#include "platform/paths.h"

namespace orlix::platform {

namespace {
// The unnamed value's file; a value really named "@" is written "%40".
constexpr const char* kDefaultValueFile = "@";

// A key part or value name as one file name: '%', '/' and a leading '@' are
// percent-escaped, and "." and ".." become "%2E" and "%2E%2E", so every name
// maps to its own file inside the store.
std::string fileName(const std::string& name) {
  if (name == ".") return "%2E";
  if (name == "..") return "%2E%2E";
  std::string out;
  for (size_t i = 0; i < name.size(); ++i) {
    char c = name[i];
    if (c == '%') out += "%25";
    else if (c == '/') out += "%2F";
    else if (c == '@' && i == 0) out += "%40";
    else out += c;
  }
  return out;
}
}  // namespace

std::filesystem::path FileRegistry::pathOf(const std::string& key, const std::string& value) const {
  std::filesystem::path p = folder_;
  size_t start = 0;
  while (start <= key.size()) {
    size_t end = key.find('\\', start);
    if (end == std::string::npos) end = key.size();
    std::string part = key.substr(start, end - start);
    // Doubled and trailing backslashes add no level.
    if (!part.empty()) p /= fileName(part);
    start = end + 1;
  }
  return p / (value.empty() ? std::string(kDefaultValueFile) : fileName(value));
}

std::optional<std::vector<uint8_t>> FileRegistry::read(const std::string& key, const std::string& value) {
  auto file = pathOf(key, value);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool FileRegistry::write(const std::string& key, const std::string& value, const std::vector<uint8_t>& bytes) {
  auto file = pathOf(key, value);
  if (!ensureFolder(file.parent_path())) return false;
  return writeFileAtomically(file, bytes.data(), bytes.size());
}

}  // namespace orlix::platform
