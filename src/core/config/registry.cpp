#include "core/config/registry.h"

namespace orlix {

std::optional<std::vector<uint8_t>> MemoryRegistry::read(const std::string& key, const std::string& value) {
  std::lock_guard lock(mutex_);
  auto it = values_.find({key, value});
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

bool MemoryRegistry::write(const std::string& key, const std::string& value, const std::vector<uint8_t>& bytes) {
  std::lock_guard lock(mutex_);
  if (readOnly_) return false;
  values_[{key, value}] = bytes;
  return true;
}

}  // namespace orlix
