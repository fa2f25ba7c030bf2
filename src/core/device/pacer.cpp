#include "core/device/pacer.h"

#include <chrono>
#include <numeric>
#include <thread>

namespace orlix {

void RealPacer::pause(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

uint32_t RealPacer::tickCount() {
  using namespace std::chrono;
  return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

RealPacer& realPacer() {
  static RealPacer p;
  return p;
}

void FakePacer::pause(uint32_t ms) {
  {
    std::lock_guard lock(mutex_);
    pauses_.push_back(ms);
  }
  now_ += ms;
}

std::vector<uint32_t> FakePacer::pauses() const {
  std::lock_guard lock(mutex_);
  return pauses_;
}

uint64_t FakePacer::totalPaused() const {
  std::lock_guard lock(mutex_);
  return std::accumulate(pauses_.begin(), pauses_.end(), uint64_t(0));
}

}  // namespace orlix
