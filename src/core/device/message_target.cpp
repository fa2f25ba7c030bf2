#include "core/device/message_target.h"

#include <map>
#include <utility>
#include <vector>
#include <algorithm>

namespace orlix {
namespace windows {
namespace {
std::mutex& dirMutex() {
  static std::mutex m;
  return m;
}
std::vector<std::pair<std::string, MessageTarget*>>& dir() {
  static std::vector<std::pair<std::string, MessageTarget*>> d;
  return d;
}
}  // namespace

void registerTarget(const std::string& title, MessageTarget* target) {
  std::lock_guard lock(dirMutex());
  dir().emplace_back(title, target);
}

void unregisterTarget(MessageTarget* target) {
  std::lock_guard lock(dirMutex());
  auto& d = dir();
  d.erase(std::remove_if(d.begin(), d.end(), [&](auto& e) { return e.second == target; }), d.end());
}

bool postTo(const std::string& title, uint32_t id, uintptr_t wParam, intptr_t lParam) {
  std::lock_guard lock(dirMutex());
  for (auto& [t, target] : dir())
    if (t == title) return target->post(id, wParam, lParam);
  return false;
}

bool exists(const std::string& title) {
  std::lock_guard lock(dirMutex());
  for (auto& e : dir())
    if (e.first == title) return true;
  return false;
}
}  // namespace windows

bool MessageQueue::post(uint32_t id, uintptr_t wParam, intptr_t lParam) {
  // Notified under the lock: a reader that takes this message may destroy the
  // queue at once, and the poster must be done with it by then.
  std::lock_guard lock(mutex_);
  queue_.push_back({id, wParam, lParam});
  cv_.notify_all();
  return true;
}

std::optional<Message> MessageQueue::take(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  if (!cv_.wait_for(lock, timeout, [&] { return !queue_.empty(); })) return std::nullopt;
  Message m = queue_.front();
  queue_.pop_front();
  return m;
}

std::deque<Message> MessageQueue::drain() {
  std::lock_guard lock(mutex_);
  return std::exchange(queue_, {});
}

size_t MessageQueue::size() const {
  std::lock_guard lock(mutex_);
  return queue_.size();
}

}  // namespace orlix
