#pragma once
// The registry store as files: value V of key "A\B\C" is the file
// <folder>/A/B/C/V holding the value's bytes, replaced atomically on write.

#include <filesystem>

#include "core/config/registry.h"

namespace orlix::platform {

class FileRegistry : public Registry {
 public:
  explicit FileRegistry(std::filesystem::path folder) : folder_(std::move(folder)) {}
  std::optional<std::vector<uint8_t>> read(const std::string& key, const std::string& value) override;
  bool write(const std::string& key, const std::string& value, const std::vector<uint8_t>& bytes) override;
  std::filesystem::path pathOf(const std::string& key, const std::string& value) const;

 private:
  std::filesystem::path folder_;
};

}  // namespace orlix::platform
