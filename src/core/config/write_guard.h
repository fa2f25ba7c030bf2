#pragma once
// A hook around the writes of the stored configuration, for a process that
// shares the data folder with others: the writer gets the chance to take the
// folder's lock and to take up what other processes stored before its own
// image is serialised and written.

#include <functional>

namespace orlix {

enum class StoredPart { Profile, ProfileTable, Macros };

class WriteGuard {
 public:
  virtual ~WriteGuard() = default;
  // Runs write, which serialises the image and stores part; returns its
  // result. False without running write when the write may not happen now.
  virtual bool guard(StoredPart part, const std::function<bool()>& write) = 0;
};

}  // namespace orlix
