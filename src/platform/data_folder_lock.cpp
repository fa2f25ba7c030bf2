#include "platform/data_folder_lock.h"

#include <cstdio>

#include "platform/paths.h"

namespace orlix::platform {

std::shared_ptr<void> DataFolderLock::acquire() {
  std::string error;
  std::shared_ptr<FolderLock> lock = FolderLock::acquire(folder_, timeoutMs_, error);
  if (!lock) std::fprintf(stderr, "orlix: %s\n", error.c_str());
  return lock;
}

}  // namespace orlix::platform
