#pragma once
// Pauses and tick counts. Every paced operation takes a Pacer, so unit tests run
// with a fake clock and benchmarks can add up the prescribed pauses.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace orlix {

class Pacer {
 public:
  virtual ~Pacer() = default;
  virtual void pause(uint32_t ms) = 0;
  // Milliseconds since an arbitrary start, wrapping like a 32-bit tick count.
  virtual uint32_t tickCount() = 0;
};

// The real clock (steady clock; the thread sleeps).
class RealPacer : public Pacer {
 public:
  void pause(uint32_t ms) override;
  uint32_t tickCount() override;
};
RealPacer& realPacer();

// A clock that only moves when paused; records every pause. Thread-safe.
class FakePacer : public Pacer {
 public:
  void pause(uint32_t ms) override;
  uint32_t tickCount() override { return now_.load(); }
  void advance(uint32_t ms) { now_ += ms; }
  std::vector<uint32_t> pauses() const;
  uint64_t totalPaused() const;

 private:
  std::atomic<uint32_t> now_{1000};
  mutable std::mutex mutex_;
  std::vector<uint32_t> pauses_;
};

}  // namespace orlix
