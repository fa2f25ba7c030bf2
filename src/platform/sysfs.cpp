#include "platform/sysfs.h"

#include <charconv>
#include <fstream>

namespace orlix::platform::sysfs {

namespace {
std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
    s.remove_suffix(1);
  return s;
}
}  // namespace

std::optional<std::string> readAttribute(const std::filesystem::path& file) {
  std::ifstream in(file);
  if (!in) return std::nullopt;
  std::string line;
  if (!std::getline(in, line) && !in.eof()) return std::nullopt;
  if (in.bad()) return std::nullopt;
  return std::string(trim(line));
}

std::optional<uint32_t> parseHex(std::string_view text) {
  text = trim(text);
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.remove_prefix(2);
  if (text.empty()) return std::nullopt;
  uint32_t v = 0;
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v, 16);
  if (ec != std::errc() || p != text.data() + text.size()) return std::nullopt;
  return v;
}

std::optional<uint32_t> readHexAttribute(const std::filesystem::path& file) {
  auto text = readAttribute(file);
  if (!text) return std::nullopt;
  return parseHex(*text);
}

std::map<std::string, std::string> readUevent(const std::filesystem::path& file) {
  std::map<std::string, std::string> out;
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    auto eq = line.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    out[line.substr(0, eq)] = std::string(trim(std::string_view(line).substr(eq + 1)));
  }
  return out;
}

std::optional<std::vector<uint8_t>> readBinary(const std::filesystem::path& file, size_t maxBytes) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<uint8_t> bytes(maxBytes);
  in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(maxBytes));
  if (in.bad()) return std::nullopt;
  bytes.resize(size_t(in.gcount()));
  return bytes;
}

}  // namespace orlix::platform::sysfs
