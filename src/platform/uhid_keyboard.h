#pragma once
// The virtual keyboard presented to the kernel through /dev/uhid as the real
// keyboard would present itself: bus USB, 24AE:4009, one vendor collection
// (usage page 0xFF01, usage 1) with an unnumbered 512-byte feature report and a
// 4-byte input report. The kernel's HID stack then gives it a hidraw node that
// the program finds and drives as it drives the real keyboard:
//   HIDIOCSFEATURE on the node -> UHID_SET_REPORT -> a transfer to the driver
//   HIDIOCGFEATURE on the node -> UHID_GET_REPORT -> the driver's 8-byte reply
//   a key event the driver queues -> UHID_INPUT2 -> an input report on the node

#include <linux/uhid.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "core/device/driver_endpoint.h"

namespace orlix {
class EventSemaphore;
}

namespace orlix::platform {

class SocketDriverEndpoint;

inline constexpr const char* kUhidNode = "/dev/uhid";
inline constexpr size_t kUhidInputReportSize = 4;
inline constexpr size_t kUhidFeatureReportSize = 512;

// The report descriptor the uhid keyboard declares.
std::span<const uint8_t> uhidReportDescriptor();

// The keyboard side of the uhid device: answers the kernel's report requests
// from a driver endpoint (the keyboard model) and fetches the key events that
// become input reports. It does no I/O on /dev/uhid itself (UhidFront does),
// so tests drive it with events they build.
class UhidKeyboard {
 public:
  // driver must outlive this object.
  explicit UhidKeyboard(DriverEndpoint& driver);
  ~UhidKeyboard();
  UhidKeyboard(const UhidKeyboard&) = delete;
  UhidKeyboard& operator=(const UhidKeyboard&) = delete;

  // Opens the driver and registers for its key events. False when the driver
  // is absent (an unplugged virtual keyboard) or refuses the registration.
  bool attach();
  // Releases the registration and closes the driver.
  void detach();

  // The answer to one event read from /dev/uhid: UHID_SET_REPORT_REPLY for a
  // SET_REPORT, UHID_GET_REPORT_REPLY for a GET_REPORT (err non-zero when the
  // request is not the feature report 0 or the driver refused it); nothing for
  // events that take no answer (START, STOP, OPEN, CLOSE, OUTPUT).
  std::optional<uhid_event> answer(const uhid_event& request);

  // Waits for the driver to signal a key event; false once stopWaiting() ran.
  bool waitForEvent();
  void stopWaiting();
  // The oldest key event word the driver holds (one event request), if any.
  std::optional<uint32_t> fetchEvent();

  // UHID_CREATE2 of the keyboard (name, bus, ids, descriptor).
  static uhid_event createRequest();
  // UHID_INPUT2 carrying the event word, little-endian, as the whole report.
  static uhid_event inputReport(uint32_t word);

 private:
  DriverEndpoint& driver_;
  std::shared_ptr<EventSemaphore> semaphore_;
  uint32_t semaphoreHandle_ = 0;
  std::atomic<bool> attached_{false};
};

// The uhid keyboard of the virtual keyboard daemon: it opens /dev/uhid, talks
// to the daemon through the daemon's own socket (so the model, memory.bin,
// transfers.log and `orlixctl sim` stay as they are), creates the HID device
// while the virtual keyboard is plugged and destroys it on unplug.
class UhidFront {
 public:
  UhidFront(std::filesystem::path socket, std::filesystem::path node = kUhidNode);
  ~UhidFront();
  UhidFront(const UhidFront&) = delete;
  UhidFront& operator=(const UhidFront&) = delete;

  // Opens the uhid node for reading and writing. False with error() (one line,
  // with a hint about root) when it cannot.
  bool open();
  // Starts serving on its own threads; the daemon must be listening at the
  // socket and start answering soon after.
  void start();
  // Destroys the device and ends the threads. Idempotent.
  void stop();
  const std::string& error() const { return error_; }

 private:
  void serve();
  void forwardEvents();
  void post(bool plugged);
  bool write(const uhid_event& event);
  void plug();
  void unplug();

  std::filesystem::path socket_, node_;
  std::unique_ptr<SocketDriverEndpoint> endpoint_;
  std::unique_ptr<UhidKeyboard> keyboard_;
  std::string error_;
  int fd_ = -1;
  int wake_ = -1;
  std::atomic<bool> stopping_{false};
  bool created_ = false;
  std::mutex changesMutex_;
  std::vector<bool> changes_;
  std::thread serveThread_, eventThread_;
};

}  // namespace orlix::platform
