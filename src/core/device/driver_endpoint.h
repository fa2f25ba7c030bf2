#pragma once
// The driver endpoint: what the driver channel talks to. Implementations are the
// in-process virtual keyboard (tests), the socket to orlix-vkbd and the hidraw
// node of a real keyboard. All of them must accept calls from several threads at
// once (the user-interface thread, the apply worker and the event thread).

#include <cstdint>
#include <span>

namespace orlix {

class DriverEndpoint {
 public:
  virtual ~DriverEndpoint() = default;
  // Opens the device; false when it is not there.
  virtual bool open() = 0;
  // One driver request: `in` is the input buffer, `out` receives the output
  // (empty for requests without output). Returns true when the driver accepted
  // the request. Never blocks for long: a dead endpoint answers false at once.
  virtual bool control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out) = 0;
  // Closes the device; harmless when it is not open.
  virtual void close() = 0;
};

// The keyboard maker's HID helper library, whose one entry point opens the
// keyboard's vendor HID interface and returns a handle (0 = none). The program
// holds that handle and does no I/O through it.
class HidLibrary {
 public:
  virtual ~HidLibrary() = default;
  virtual intptr_t OpenHidDevice(uint32_t usagePage, uint32_t usage, uint32_t a3, uint32_t a4,
                                 uint32_t a5, uint32_t a6, uint32_t a7, uint32_t access) = 0;
  virtual void closeHandle(intptr_t handle) = 0;
};

}  // namespace orlix
