#pragma once
// A model of the keyboard together with its kernel driver, so that everything
// runs and is tested without the hardware: the 64 KiB memory that memory writes
// fill, the version it answers, the lighting commands it received and a queue of
// pending key events. It accepts exactly the requests the real driver accepts and
// refuses everything else.

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "core/device/driver_endpoint.h"

namespace orlix {

class VirtualKeyboard {
 public:
  static constexpr size_t kMemorySize = 65536;

  // One client of the driver (an open device handle). signal(handle) releases
  // the event semaphore the client registered under that handle.
  struct Session {
    std::function<bool(uint32_t handle)> signal;
  };

  enum class LogKind { Out, In, Event };
  // Called for every transfer to the keyboard (Out), every 8-byte reply read (In)
  // and every key event word fetched (Event), under the model's lock.
  std::function<void(LogKind, std::span<const uint8_t>)> onLog;
  // Called with the whole memory after every accepted memory write and after a
  // reset, under the model's lock (so it must not call back into the model).
  std::function<void(std::span<const uint8_t>)> onMemoryWritten;

  VirtualKeyboard();

  // A driver request from a session. Returns whether the driver accepted it.
  bool control(Session& session, uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out);
  // The session went away (handle closed or connection lost).
  void detach(Session& session);

  // True while plugged in; an unplugged keyboard refuses every request.
  bool plugged() const;
  void setPlugged(bool plugged);
  // Queues a key event word and signals the client that receives events.
  bool pushEvent(uint32_t word);
  // A press of a host-function key: bits 15..14 set, subtype in 11..8, key in 7..0.
  static uint32_t hostKeyEvent(int keyIndex, int subtype);
  // Back to the state of a new keyboard (memory zero, nothing queued or received).
  void reset();

  void setVersion(uint8_t major, uint8_t minor);
  std::vector<uint8_t> memory() const;
  void loadMemory(std::span<const uint8_t> bytes);
  std::vector<std::vector<uint8_t>> lightingCommands() const;
  size_t pendingEvents() const;
  size_t malformedWrites() const;

 private:
  bool transferLocked(std::span<const uint8_t> payload);

  mutable std::mutex mutex_;
  std::vector<uint8_t> memory_;
  uint8_t versionMajor_ = 1, versionMinor_ = 6;
  bool plugged_ = true;
  bool replyReady_ = false;
  std::vector<std::vector<uint8_t>> lighting_;
  std::deque<uint32_t> events_;
  size_t malformed_ = 0;
  // Registered clients; key events go to the one registered last.
  std::vector<std::pair<Session*, uint32_t>> registered_;
};

// The virtual keyboard as an in-process driver endpoint (tests, benchmarks).
class VirtualDriverEndpoint : public DriverEndpoint {
 public:
  explicit VirtualDriverEndpoint(VirtualKeyboard& keyboard);
  ~VirtualDriverEndpoint() override;
  bool open() override;
  bool control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out) override;
  void close() override;
  // Makes every later request fail, as a driver that died.
  void setFailing(bool failing) { failing_ = failing; }
  // Fails the n-th request from now (1 = the next one); 0 disables.
  void failNth(int n) { failAfter_ = n; }
  // Every request block seen, in order (copies).
  std::vector<std::vector<uint8_t>> requests() const;

 private:
  VirtualKeyboard& keyboard_;
  VirtualKeyboard::Session session_;
  bool isOpen_ = false;
  std::atomic<bool> failing_{false};
  std::atomic<int> failAfter_{0};
  mutable std::mutex mutex_;
  std::vector<std::vector<uint8_t>> requests_;
};

// A person-readable decoding of the keyboard memory: the key table at 0x0C00,
// the macro directory and every used macro slot.
std::string describeMemory(std::span<const uint8_t> memory);

}  // namespace orlix
