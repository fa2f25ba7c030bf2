#pragma once
// The registry store as files: value V of key "A\B\C" is the file
// <folder>/A/B/C/V holding the value's bytes, replaced atomically on write. A
// key's unnamed (default) value is the file "@" in the key's folder. Names are
// escaped so that each one is a single file name inside the folder: '%' as
// %25, '/' as %2F, a leading '@' as %40, "." and ".." as %2E and %2E%2E.
// Empty key parts are skipped.

#include <filesystem>

#include "core/config/registry.h"

namespace orlix::platform {

class FileRegistry : public Registry {
 public:
  explicit FileRegistry(std::filesystem::path folder) : folder_(std::move(folder)) {}
  // Nothing when the value's file does not exist, is not a regular file or
  // cannot be read.
  std::optional<std::vector<uint8_t>> read(const std::string& key, const std::string& value) override;
  // Creates the key's folders (mode 0700) and replaces the file atomically.
  // False, with the old value left in place, when a folder cannot be created
  // (for instance a file stands where a folder is needed) or the file cannot
  // be written.
  bool write(const std::string& key, const std::string& value, const std::vector<uint8_t>& bytes) override;
  // The file that holds a value.
  std::filesystem::path pathOf(const std::string& key, const std::string& value) const;

 private:
  std::filesystem::path folder_;
};

}  // namespace orlix::platform
