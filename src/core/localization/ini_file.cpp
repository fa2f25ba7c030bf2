#include "core/localization/ini_file.h"

#include <climits>
#include <fstream>
#include <sstream>
#include <vector>

namespace orlix::localization {

namespace {

std::string_view trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t' || s[b] == '\r' || s[b] == '\n')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n')) --e;
  return s.substr(b, e - b);
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

std::vector<std::string_view> lines(std::string_view text) {
  std::vector<std::string_view> out;
  size_t start = 0;
  while (start < text.size()) {
    size_t nl = text.find('\n', start);
    if (nl == std::string_view::npos) nl = text.size();
    out.push_back(text.substr(start, nl - start));
    start = nl + 1;
  }
  return out;
}

// The section name of a "[name]" line.
std::optional<std::string_view> sectionOf(std::string_view line) {
  line = trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return trim(line.substr(1, close - 1));
}

// The key of a "key=value" line, and the value.
bool keyValueOf(std::string_view line, std::string_view& key, std::string_view& value) {
  std::string_view t = trim(line);
  if (t.empty() || t[0] == ';' || t[0] == '#') return false;
  size_t eq = t.find('=');
  if (eq == std::string_view::npos) return false;
  key = trim(t.substr(0, eq));
  value = trim(t.substr(eq + 1));
  return true;
}

// Removes a UTF-8 byte order mark from the start of text; true when there was one.
bool dropByteOrderMark(std::string_view& text) {
  if (text.substr(0, 3) != "\xEF\xBB\xBF") return false;
  text.remove_prefix(3);
  return true;
}

}  // namespace

std::optional<std::string> iniValue(std::string_view text, std::string_view section, std::string_view key) {
  dropByteOrderMark(text);
  bool in = false;
  for (std::string_view line : lines(text)) {
    if (auto s = sectionOf(line)) {
      in = equalsIgnoreCase(*s, section);
      continue;
    }
    std::string_view k, v;
    if (in && keyValueOf(line, k, v) && equalsIgnoreCase(k, key)) {
      if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
      return std::string(v);
    }
  }
  return std::nullopt;
}

std::string readIniFileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, std::string_view fallback) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::string(fallback);
  std::ostringstream ss;
  ss << in.rdbuf();
  auto v = iniValue(ss.str(), section, key);
  return v ? *v : std::string(fallback);
}

int iniInteger(std::string_view value) {
  size_t i = 0;
  while (i < value.size() && (value[i] == ' ' || value[i] == '\t')) ++i;
  bool negative = false;
  if (i < value.size() && (value[i] == '-' || value[i] == '+')) negative = value[i++] == '-';
  long long v = 0;
  for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
    v = v * 10 + (value[i] - '0');
    if (v > INT_MAX) v = INT_MAX + 1LL;  // keeps the clamp below exact for INT_MIN
  }
  if (negative) v = -v;
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return int(v);
}

std::string iniSetValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value) {
  // The mark is no part of the first line: without this, a first-line section
  // header would go unseen and the key would land in a new section after it.
  const bool bom = dropByteOrderMark(text);
  std::vector<std::string_view> ls = lines(text);
  const std::string newLine = std::string(key) + "=" + std::string(value);
  // Line ending of the file, so a CRLF file stays CRLF.
  const std::string eol = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
  auto strip = [](std::string_view l) {
    if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
    return l;
  };
  std::vector<std::string> out;
  bool in = false, done = false;
  std::optional<size_t> lastInSection;
  for (std::string_view raw : ls) {
    std::string_view line = strip(raw);
    if (auto s = sectionOf(line)) {
      if (in && !done && lastInSection) {
        out.insert(out.begin() + long(*lastInSection + 1), newLine);
        done = true;
      }
      in = equalsIgnoreCase(*s, section);
      out.emplace_back(line);
      if (in) lastInSection = out.size() - 1;
      continue;
    }
    std::string_view k, v;
    if (in && !done && keyValueOf(line, k, v) && equalsIgnoreCase(k, key)) {
      out.push_back(newLine);
      done = true;
      continue;
    }
    out.emplace_back(line);
    if (in && !trim(line).empty()) lastInSection = out.size() - 1;
  }
  if (!done) {
    if (in && lastInSection) {
      out.insert(out.begin() + long(*lastInSection + 1), newLine);
    } else {
      std::string header(1, '[');
      header += section;
      header += ']';
      out.push_back(std::move(header));
      out.push_back(newLine);
    }
  }
  std::string result = bom ? "\xEF\xBB\xBF" : "";
  for (const auto& l : out) result += l + eol;
  return result;
}

}  // namespace orlix::localization
