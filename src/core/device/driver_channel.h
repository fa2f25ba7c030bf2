#pragma once
// The driver channel: the only code that talks to the keyboard's driver. It opens
// the device, registers the event semaphore, passes transfers of up to 512 bytes,
// reads 8-byte replies, and runs the event thread that posts each key event word
// to the main window as message 0x7EB.

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <thread>

#include "core/device/driver_endpoint.h"
#include "core/device/event_semaphore.h"
#include "core/device/message_target.h"

namespace orlix {

class DriverChannel {
 public:
  // The channel does not own the endpoint or the HID library; both must outlive it.
  explicit DriverChannel(DriverEndpoint& endpoint, HidLibrary* hidLibrary = nullptr);
  // Stops the event thread (the program proper never does before it exits).
  ~DriverChannel();
  DriverChannel(const DriverChannel&) = delete;
  DriverChannel& operator=(const DriverChannel&) = delete;

  // Remembers the receiver of key events, creates the event semaphore and starts
  // the event thread. True when the HID library is available.
  bool start(MessageTarget* window);
  // Opens the keyboard's vendor HID interface through the HID library (closing a
  // handle already held). False when no handle could be had.
  bool openHidHandle();
  void closeHidHandle();
  intptr_t hidHandle() const { return hidHandle_; }

  // Opens the device and registers the event semaphore. On a refused register the
  // device is closed again, so the channel is either fully open or closed.
  bool open();
  // Sends the release request and closes the device. Always true.
  bool close();
  bool isOpen() const { return open_.load(); }

  // Sends count bytes (0..512) to the keyboard. False without any request when the
  // device is not open, the bytes are missing or there are more than 512.
  bool transfer(const uint8_t* bytes, size_t count);
  bool transfer(std::span<const uint8_t> bytes) { return transfer(bytes.data(), bytes.size()); }
  // Reads the keyboard's 8-byte reply into out. Callers check isOpen() first.
  bool receive8(uint8_t out[8]);

  uint32_t semaphoreHandle() const { return semaphoreHandle_; }
  // Replaces the receiver of key events (posted from the event thread). A post
  // to the previous receiver may still be under way when this returns: before
  // a receiver is destroyed, stopEvents() must be called.
  void setWindow(MessageTarget* window) { window_.store(window); }
  // Stops and joins the event thread: when it returns no post is under way and
  // none follows. The other operations keep working. Idempotent.
  void stopEvents();

 private:
  void eventLoop();

  DriverEndpoint& endpoint_;
  HidLibrary* hidLibrary_;
  intptr_t hidHandle_ = 0;
  std::atomic<bool> open_{false};
  std::atomic<MessageTarget*> window_{nullptr};
  std::shared_ptr<EventSemaphore> semaphore_;
  uint32_t semaphoreHandle_ = 0;
  std::atomic<bool> stop_{false};
  std::thread eventThread_;
};

}  // namespace orlix
