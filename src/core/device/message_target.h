#pragma once
// Receivers of posted messages (the windows of the program, a recording queue in
// tests, the command-line loop), and the directory that finds them by title.

#include <cstdint>
#include <deque>
#include <mutex>
#include <condition_variable>
#include <optional>
#include <string>
#include <chrono>

namespace orlix {

struct Message {
  uint32_t id = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
  bool operator==(const Message&) const = default;
};

// A receiver of posted messages. post() never blocks on the receiver's thread and
// may be called from any thread; it returns false when the target cannot take it.
class MessageTarget {
 public:
  virtual ~MessageTarget() = default;
  virtual bool post(uint32_t id, uintptr_t wParam, intptr_t lParam) = 0;
};

// Title of the main window; other parts find it by this title.
inline constexpr const char* kMainWindowTitle = "Ulmora Orlix Driver";

// Process-wide directory of targets by title, the stand-in for finding a window
// by its title. A target registers itself while it exists and unregisters before
// it goes away.
namespace windows {
void registerTarget(const std::string& title, MessageTarget* target);
void unregisterTarget(MessageTarget* target);
// Posts to the target registered under title; false when there is none.
bool postTo(const std::string& title, uint32_t id, uintptr_t wParam, intptr_t lParam);
bool exists(const std::string& title);
}  // namespace windows

// A target that queues what it is posted; the command-line loop and tests read it.
class MessageQueue : public MessageTarget {
 public:
  bool post(uint32_t id, uintptr_t wParam, intptr_t lParam) override;
  // Takes the oldest message; waits up to timeout for one.
  std::optional<Message> take(std::chrono::milliseconds timeout = std::chrono::milliseconds(0));
  std::deque<Message> drain();
  size_t size() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  std::deque<Message> queue_;
};

}  // namespace orlix
