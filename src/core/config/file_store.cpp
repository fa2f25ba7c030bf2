#include "core/config/file_store.h"

#include <algorithm>

namespace orlix {

namespace {
std::string folderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}
}  // namespace

std::optional<size_t> FileStore::readInto(const std::string& path, std::span<uint8_t> into, FileError& error) {
  auto bytes = read(path, into.size(), error);
  if (!bytes) return std::nullopt;
  std::copy(bytes->begin(), bytes->end(), into.begin());
  return bytes->size();
}

std::optional<std::vector<uint8_t>> MemoryFileStore::read(const std::string& path, size_t maxBytes,
                                                          FileError& error) {
  auto it = files_.find(path);
  if (it == files_.end()) {
    error = FileError::NotFound;
    return std::nullopt;
  }
  error = FileError::None;
  const auto& f = it->second;
  return std::vector<uint8_t>(f.begin(), f.begin() + ptrdiff_t(std::min(maxBytes, f.size())));
}

FileError MemoryFileStore::write(const std::string& path, std::span<const uint8_t> bytes) {
  for (const auto& key : {path, std::string()}) {
    auto it = failing_.find(key);
    if (it != failing_.end()) return it->second;
  }
  if (!folders_.count(folderOf(path))) return FileError::NotFound;
  files_[path].assign(bytes.begin(), bytes.end());
  ++writes_;
  return FileError::None;
}

bool MemoryFileStore::exists(const std::string& path) { return files_.count(path) != 0; }

void MemoryFileStore::addFolder(const std::string& folder) {
  std::string f = folder;
  while (f.size() > 1 && f.back() == '/') f.pop_back();
  folders_.insert(f);
}

const std::vector<uint8_t>* MemoryFileStore::find(const std::string& path) const {
  auto it = files_.find(path);
  return it == files_.end() ? nullptr : &it->second;
}

void MemoryFileStore::failWrites(FileError error, const std::string& path) { failing_[path] = error; }

}  // namespace orlix
