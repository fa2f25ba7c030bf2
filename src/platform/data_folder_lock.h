#pragma once
// The data folder's lock (FolderLock on <data>/.orlix.lock) for the window
// program: a short, bounded wait on the thread that asks, never a long stall.

#include <filesystem>
#include <memory>
#include <string>

#include "core/config/config_sync.h"

namespace orlix::platform {

class DataFolderLock : public ConfigFolderLock {
 public:
  DataFolderLock(std::filesystem::path folder, int timeoutMs) : folder_(std::move(folder)), timeoutMs_(timeoutMs) {}
  // The lock, or nothing after timeoutMs (the reason goes to the error stream).
  std::shared_ptr<void> acquire() override;

 private:
  std::filesystem::path folder_;
  int timeoutMs_;
};

}  // namespace orlix::platform
