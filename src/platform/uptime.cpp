#include "platform/uptime.h"

#include <time.h>

namespace orlix::platform {

uint64_t upTimeMs() {
  timespec ts{};
  if (::clock_gettime(CLOCK_BOOTTIME, &ts) != 0 && ::clock_gettime(CLOCK_MONOTONIC, &ts) != 0) return 0;
  return uint64_t(ts.tv_sec) * 1000 + uint64_t(ts.tv_nsec) / 1000000;
}

}  // namespace orlix::platform
