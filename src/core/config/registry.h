#pragma once
// The registry store: named binary values under keys, as the keyboard's Windows
// driver kept them ("Software\ULMORA\OrlixRGB" value "ConfigInfo", and
// "Software\ULMORA\OrlixCfg\LANGUAGE" value "Language"). On Linux a file-backed
// store stands in; tests use the in-memory one.

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace orlix {

inline constexpr const char* kProfileRegistryKey = "Software\\ULMORA\\OrlixRGB";
inline constexpr const char* kProfileRegistryValue = "ConfigInfo";
inline constexpr const char* kLanguageRegistryKey = "Software\\ULMORA\\OrlixCfg\\LANGUAGE";
inline constexpr const char* kLanguageRegistryValue = "Language";

class Registry {
 public:
  virtual ~Registry() = default;
  // The value's bytes; nothing when the key or value does not exist or cannot be read.
  virtual std::optional<std::vector<uint8_t>> read(const std::string& key, const std::string& value) = 0;
  // Creates the key when needed and replaces the value as a whole. False when the
  // key cannot be created or the value cannot be written; the old value then stays.
  virtual bool write(const std::string& key, const std::string& value, const std::vector<uint8_t>& bytes) = 0;
};

class MemoryRegistry : public Registry {
 public:
  std::optional<std::vector<uint8_t>> read(const std::string& key, const std::string& value) override;
  bool write(const std::string& key, const std::string& value, const std::vector<uint8_t>& bytes) override;
  // Makes every later write fail (for the failure paths).
  void setReadOnly(bool ro) { readOnly_ = ro; }

 private:
  std::mutex mutex_;
  std::map<std::pair<std::string, std::string>, std::vector<uint8_t>> values_;
  bool readOnly_ = false;
};

}  // namespace orlix
