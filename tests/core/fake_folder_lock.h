#pragma once
// The data folder's lock as flock behaves for separate descriptors: one holder
// at a time, and a holder in another process can keep it.

#include <memory>

#include "core/config/config_sync.h"

namespace orlix {

struct FakeFolderLock : ConfigFolderLock {
  bool heldElsewhere = false;  // another process holds it past every wait
  int acquired = 0;
  std::weak_ptr<void> live;

  std::shared_ptr<void> acquire() override {
    if (heldElsewhere || !live.expired()) return nullptr;
    ++acquired;
    auto token = std::make_shared<int>(0);
    live = token;
    return token;
  }
  bool held() const { return !live.expired(); }
};

}  // namespace orlix
