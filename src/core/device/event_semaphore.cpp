#include "core/device/event_semaphore.h"

#include <chrono>
#include <map>

namespace orlix {

bool EventSemaphore::release() {
  {
    std::lock_guard lock(mutex_);
    if (shutdown_ || count_ >= max_) return false;
    ++count_;
  }
  cv_.notify_one();
  return true;
}

bool EventSemaphore::acquire() {
  std::unique_lock lock(mutex_);
  cv_.wait(lock, [&] { return count_ > 0 || shutdown_; });
  if (shutdown_) return false;
  --count_;
  return true;
}

bool EventSemaphore::tryAcquireFor(uint32_t ms) {
  std::unique_lock lock(mutex_);
  if (!cv_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return count_ > 0 || shutdown_; }))
    return false;
  if (shutdown_) return false;
  --count_;
  return true;
}

void EventSemaphore::shutdown() {
  {
    std::lock_guard lock(mutex_);
    shutdown_ = true;
  }
  cv_.notify_all();
}

uint32_t EventSemaphore::count() const {
  std::lock_guard lock(mutex_);
  return count_;
}

namespace semaphores {
namespace {
std::mutex gMutex;
std::map<uint32_t, std::shared_ptr<EventSemaphore>> gTable;
uint32_t gNext = 0x100;
}  // namespace

uint32_t add(std::shared_ptr<EventSemaphore> s) {
  std::lock_guard lock(gMutex);
  uint32_t h = gNext;
  gNext += 4;
  gTable[h] = std::move(s);
  return h;
}

std::shared_ptr<EventSemaphore> find(uint32_t handle) {
  std::lock_guard lock(gMutex);
  auto it = gTable.find(handle);
  return it == gTable.end() ? nullptr : it->second;
}

void remove(uint32_t handle) {
  std::lock_guard lock(gMutex);
  gTable.erase(handle);
}
}  // namespace semaphores

}  // namespace orlix
