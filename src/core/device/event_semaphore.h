#pragma once
// The counting semaphore the driver releases once per pending key event, and the
// handle table through which a register request names it (the request carries a
// 32-bit handle, as the keyboard's driver expects).

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

namespace orlix {

class EventSemaphore {
 public:
  explicit EventSemaphore(uint32_t maxCount = 8000) : max_(maxCount) {}
  // Adds one to the count; false (count unchanged) at the maximum or once shut down.
  bool release();
  // Waits until the count is positive and takes one; false once shut down.
  bool acquire();
  // Waits at most ms; false on time-out or shut-down.
  bool tryAcquireFor(uint32_t ms);
  // Wakes every waiter for good; used when a process part is torn down (tests).
  void shutdown();
  uint32_t count() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  uint32_t count_ = 0;
  uint32_t max_;
  bool shutdown_ = false;
};

namespace semaphores {
// Publishes a semaphore under a new non-zero handle.
uint32_t add(std::shared_ptr<EventSemaphore> s);
std::shared_ptr<EventSemaphore> find(uint32_t handle);
void remove(uint32_t handle);
}  // namespace semaphores

}  // namespace orlix
