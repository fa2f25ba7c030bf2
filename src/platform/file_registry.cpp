#include "platform/file_registry.h"

#include <fstream>
#include <iterator>

#include "platform/paths.h"

namespace orlix::platform {

std::filesystem::path FileRegistry::pathOf(const std::string& key, const std::string& value) const {
  std::filesystem::path p = folder_;
  size_t start = 0;
  while (start <= key.size()) {
    size_t end = key.find('\\', start);
    if (end == std::string::npos) end = key.size();
    std::string part = key.substr(start, end - start);
    if (!part.empty() && part != "." && part != "..") p /= part;
    start = end + 1;
  }
  return p / value;
}

std::optional<std::vector<uint8_t>> FileRegistry::read(const std::string& key, const std::string& value) {
  std::ifstream in(pathOf(key, value), std::ios::binary);
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
