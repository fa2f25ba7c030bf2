#pragma once
// The configuration's files on disk. Writes go to a temporary file beside the
// target that is renamed over it, so a crash or a failed write never leaves a
// truncated profile file or Macro.cfg behind.

#include "core/config/file_store.h"

namespace orlix::platform {

class DiskFileStore : public FileStore {
 public:
  std::optional<std::vector<uint8_t>> read(const std::string& path, size_t maxBytes, FileError& error) override;
  std::optional<size_t> readInto(const std::string& path, std::span<uint8_t> into, FileError& error) override;
  FileError write(const std::string& path, std::span<const uint8_t> bytes) override;
  bool exists(const std::string& path) override;
};

}  // namespace orlix::platform
