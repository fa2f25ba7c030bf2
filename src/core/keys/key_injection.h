#pragma once
// Synthetic key events sent to the desktop, as if typed on a keyboard.

#include <cstdint>
#include <vector>

namespace orlix::keys {

// Flags of a synthetic key event.
inline constexpr uint32_t kInjectExtended = 0x1;
inline constexpr uint32_t kInjectKeyUp = 0x2;

class KeyInjector {
 public:
  virtual ~KeyInjector() = default;
  // Sends one key transition of virtual key vk (scan code and extra info are
  // passed on as given). Never fails: where the desktop takes no synthetic
  // events the call does nothing.
  virtual void keybd_event(uint8_t vk, uint8_t scan, uint32_t flags, uintptr_t extraInfo) = 0;
};

// Sends nothing: the desktop has no way to take synthetic events.
class NullKeyInjector : public KeyInjector {
 public:
  void keybd_event(uint8_t, uint8_t, uint32_t, uintptr_t) override {}
};

// Keeps every event (tests).
class RecordingKeyInjector : public KeyInjector {
 public:
  struct Event {
    uint8_t vk;
    uint8_t scan;
    uint32_t flags;
    uintptr_t extraInfo;
    bool operator==(const Event&) const = default;
  };
  std::vector<Event> events;
  void keybd_event(uint8_t vk, uint8_t scan, uint32_t flags, uintptr_t extraInfo) override {
    events.push_back({vk, scan, flags, extraInfo});
  }
};

}  // namespace orlix::keys
