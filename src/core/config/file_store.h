#pragma once
// The files the configuration lives in (profile files, Macro.cfg, exported
// configurations), as the core sees them. The platform layer keeps them on disk;
// tests keep them in memory. Every write replaces a file as a whole, so a failed
// or interrupted write leaves the previous content in place.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace orlix {

enum class FileError {
  None,
  NotFound,      // the file, or the folder it should be in, does not exist
  AccessDenied,  // no permission
  Other,
};

class FileStore {
 public:
  virtual ~FileStore() = default;
  // The first maxBytes bytes of the file (all of a shorter file). Nothing on
  // failure, with error saying why.
  virtual std::optional<std::vector<uint8_t>> read(const std::string& path, size_t maxBytes, FileError& error) = 0;
  // The same read straight into `into`: the first into.size() bytes of the file
  // (all of a shorter file), returning how many it read. Nothing on failure,
  // with error saying why; `into` is then as it was, or all zero when reading
  // failed part-way. A store that keeps files elsewhere reads, then copies.
  virtual std::optional<size_t> readInto(const std::string& path, std::span<uint8_t> into, FileError& error);
  // Creates or replaces the file with bytes. FileError::None on success; on any
  // failure the previous file (if any) is unchanged.
  virtual FileError write(const std::string& path, std::span<const uint8_t> bytes) = 0;
  virtual bool exists(const std::string& path) = 0;
};

// Files in memory (tests). A file can only be written into a folder that was
// added; "/" separates folders.
class MemoryFileStore : public FileStore {
 public:
  std::optional<std::vector<uint8_t>> read(const std::string& path, size_t maxBytes, FileError& error) override;
  FileError write(const std::string& path, std::span<const uint8_t> bytes) override;
  bool exists(const std::string& path) override;

  void addFolder(const std::string& folder);
  void put(const std::string& path, std::vector<uint8_t> bytes) { files_[path] = std::move(bytes); }
  void remove(const std::string& path) { files_.erase(path); }
  const std::vector<uint8_t>* find(const std::string& path) const;
  // Writes to path (or to every path when empty) fail with error from now on.
  void failWrites(FileError error, const std::string& path = {});
  void clearFailures() { failing_.clear(); }
  int writes() const { return writes_; }

 private:
  std::map<std::string, std::vector<uint8_t>> files_;
  std::set<std::string> folders_;
  std::map<std::string, FileError> failing_;
  int writes_ = 0;
};

}  // namespace orlix
