#pragma once
// The driver endpoint for a real keyboard, on its vendor hidraw node. It does
// what the keyboard's own driver does with the same requests: a transfer to the
// keyboard becomes a HID feature report (SET_REPORT, report 0, on that
// interface), the 8-byte read a GET_REPORT of the feature report, register and
// release need no I/O, and every input report of the interface is one pending
// key event (its first 32-bit little-endian word) for which the registered
// semaphore is released once.

#include <atomic>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <span>
#include <string>
#include <thread>

#include "core/device/driver_endpoint.h"

namespace orlix::platform {

// The system calls on hidraw nodes, behind an interface so tests can record
// them. Results: >= 0 on success, -errno on failure.
class HidrawIo {
 public:
  virtual ~HidrawIo() = default;
  // open(2) with flags (O_RDWR, O_WRONLY, ...); returns the descriptor.
  virtual int open(const std::filesystem::path& node, int flags) = 0;
  virtual void close(int fd) = 0;
  // HIDIOCSFEATURE: report[0] is the report id, then the data.
  virtual int setFeature(int fd, std::span<const uint8_t> report) = 0;
  // HIDIOCGFEATURE: report[0] holds the report id on entry; on return the
  // data follows it. Returns the length including the id byte.
  virtual int getFeature(int fd, std::span<uint8_t> report) = 0;
  // Waits for the next input report and returns its length; 0 when
  // cancelRead(fd) was called; -errno when the node failed or hung up
  // (keyboard unplugged).
  virtual int readReport(int fd, std::span<uint8_t> buffer) = 0;
  // Makes a readReport on fd, running or next, return 0.
  virtual void cancelRead(int fd) = 0;
};

// The real system calls (open, ioctl, poll and read).
std::shared_ptr<HidrawIo> systemHidrawIo();

class HidrawDriverEndpoint : public DriverEndpoint {
 public:
  explicit HidrawDriverEndpoint(std::filesystem::path node, std::shared_ptr<HidrawIo> io = systemHidrawIo());
  ~HidrawDriverEndpoint() override;
  HidrawDriverEndpoint(const HidrawDriverEndpoint&) = delete;
  HidrawDriverEndpoint& operator=(const HidrawDriverEndpoint&) = delete;

  // Opens the node for reading and writing and starts reading its input
  // reports. False (see error()) when the node cannot be opened.
  bool open() override;
  bool control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out) override;
  // Stops reading and closes the node.
  void close() override;

  const std::filesystem::path& node() const { return node_; }
  // The reason of the last failed open, as strerror text.
  const std::string& error() const { return error_; }
  // Called on the reader thread once when the node hangs up or fails
  // (the keyboard was unplugged); the endpoint then stops reading. It must
  // not close the endpoint itself (close waits for that thread): post instead,
  // for instance to a DeviceMonitor.
  std::function<void()> onHangUp;

  // Pending key events not yet fetched, and input reports handled since the
  // endpoint was made (for tests and diagnostics).
  size_t pendingEvents() const;
  uint64_t reportsRead() const { return reportsRead_.load(); }

 private:
  void readLoop(int fd);
  void onReport(std::span<const uint8_t> report);
  bool transferOut(int fd, std::span<const uint8_t> payload);
  bool transferIn(int fd, size_t count, std::span<const uint8_t> in, std::span<uint8_t> out);

  std::filesystem::path node_;
  std::shared_ptr<HidrawIo> io_;
  std::string error_;
  // Held shared by requests and exclusively by open and close, so a request
  // never uses a descriptor that close has given back.
  mutable std::shared_mutex fdMutex_;
  std::atomic<int> fd_{-1};
  std::atomic<uint32_t> semaphore_{0};
  std::atomic<uint64_t> reportsRead_{0};
  std::thread reader_;
  mutable std::mutex eventsMutex_;
  std::deque<uint32_t> events_;
};

// The keyboard maker's HID helper as a hidraw node opener: OpenHidDevice finds
// the keyboard's node declaring usagePage:usage under the sysfs root and opens
// it (access 0x40000000 write-only, 0x80000000 read-only, both read-write). The
// handle is the descriptor + 1, so 0 stays "none".
class HidrawHidLibrary : public HidLibrary {
 public:
  explicit HidrawHidLibrary(std::filesystem::path sysfsRoot, std::shared_ptr<HidrawIo> io = systemHidrawIo());
  intptr_t OpenHidDevice(uint32_t usagePage, uint32_t usage, uint32_t a3, uint32_t a4, uint32_t a5, uint32_t a6,
                         uint32_t a7, uint32_t access) override;
  void closeHandle(intptr_t handle) override;

 private:
  std::filesystem::path sysfsRoot_;
  std::shared_ptr<HidrawIo> io_;
};

}  // namespace orlix::platform
