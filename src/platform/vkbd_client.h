#pragma once
// Client side of the virtual keyboard daemon's socket: a connection with a
// reader thread that matches answers to requests and acts on the daemon's
// notices, and the driver endpoint built on it.

#include <atomic>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>

#include "core/device/driver_endpoint.h"
#include "core/device/vkbd_protocol.h"

namespace orlix::platform {

class VkbdConnection {
 public:
  VkbdConnection() = default;
  ~VkbdConnection();
  VkbdConnection(const VkbdConnection&) = delete;
  VkbdConnection& operator=(const VkbdConnection&) = delete;

  // Connects and exchanges the protocol version, all within timeoutMs (a
  // stopped daemon never holds the caller longer). False (with error()) when no
  // daemon answers at path in time or it speaks another version.
  bool connect(const std::filesystem::path& path, int timeoutMs = 2000);
  bool connected() const { return alive_.load(); }
  const std::string& error() const { return error_; }

  // Sends one request and waits at most timeoutMs for its answer. Nothing when
  // the connection is gone or no answer came in time; an answer that comes
  // later is dropped, never returned for a later request. A kError answer is
  // returned as it is.
  std::optional<vkbd::Frame> request(uint8_t type, std::span<const uint8_t> body = {}, int timeoutMs = 5000);

  // Called on the reader thread for every notice (kSignal, kUnplugged, kPlugged)
  // and once with type 0 when the connection is lost.
  std::function<void(const vkbd::Frame&)> onNotice;

  void disconnect();

 private:
  void readLoop();

  int fd_ = -1;
  std::atomic<bool> alive_{false};
  std::string error_;
  std::thread reader_;
  std::mutex requestMutex_;  // one request in flight per connection
  std::mutex answerMutex_;
  std::condition_variable answerCv_;
  // Answers numbered in arrival order; requests are numbered as they are sent.
  std::deque<std::pair<uint64_t, vkbd::Frame>> answers_;
  uint64_t sent_ = 0;      // guarded by requestMutex_
  uint64_t received_ = 0;  // reader thread only (reset before it starts)
};

// The keyboard driver reached through orlix-vkbd. Key event notices release the
// semaphore the driver channel registered, as the kernel driver would.
class SocketDriverEndpoint : public DriverEndpoint {
 public:
  explicit SocketDriverEndpoint(std::filesystem::path socketPath);
  bool open() override;
  bool control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out) override;
  void close() override;
  // Called (on the reader thread) when the daemon says the keyboard was unplugged
  // or plugged, or the daemon went away (plugged = false).
  std::function<void(bool plugged)> onPresenceChange;
  VkbdConnection& connection() { return connection_; }

 private:
  bool ensureConnected();
  std::filesystem::path path_;
  VkbdConnection connection_;
};

// The keyboard maker's HID helper for the virtual keyboard: OpenHidDevice gives
// a handle for the keyboard's vendor interface (usage page 0xFF01, usage 1)
// while the virtual keyboard at the socket is plugged, as the helper opens a
// plugged keyboard's node; 0 when it is unplugged or no daemon answers. The
// handle is only held.
class VkbdHidLibrary : public HidLibrary {
 public:
  explicit VkbdHidLibrary(std::filesystem::path socketPath) : path_(std::move(socketPath)) {}
  intptr_t OpenHidDevice(uint32_t usagePage, uint32_t usage, uint32_t a3, uint32_t a4, uint32_t a5, uint32_t a6,
                         uint32_t a7, uint32_t access) override;
  void closeHandle(intptr_t handle) override;
  size_t openHandles() const;

 private:
  std::filesystem::path path_;
  mutable std::mutex mutex_;
  std::set<intptr_t> open_;
  intptr_t next_ = 1;
};

}  // namespace orlix::platform
