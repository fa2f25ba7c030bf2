#pragma once
// The wire protocol between the virtual keyboard daemon (orlix-vkbd) and its
// clients over a Unix stream socket. Described for people in docs/vkbd-protocol.md.
//
// Every frame: u32 little-endian length of what follows (1..kMaxFrameBody), one
// type byte, then the body. A client's requests are answered in order; the
// daemon's notices (0xA0..) may come between answers.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace orlix::vkbd {

inline constexpr uint16_t kProtocolVersion = 1;
inline constexpr uint32_t kMaxFrameBody = 70000;  // a 64 KiB memory image and change

enum Type : uint8_t {
  // client -> daemon
  kHello = 0x01,     // u16 protocol version
  kOpen = 0x02,      // open the device
  kControl = 0x03,   // u32 control code, u32 output size (<= 4096), input bytes
  kClose = 0x04,     // close the device
  kStatus = 0x10,    // -> kText
  kEvent = 0x11,     // u32 key event word
  kUnplug = 0x12,
  kPlug = 0x13,
  kReset = 0x14,
  kDump = 0x15,      // -> kMemory
  kShutdown = 0x16,  // stop the daemon
  kSetVersion = 0x17,  // u8 major, u8 minor
  kLighting = 0x18,  // -> kText: every lighting command received, one hex line each
  // daemon -> client
  kHelloOk = 0x81,   // u16 protocol version
  kResult = 0x82,    // u8 ok
  kControlResult = 0x83,  // u8 ok, then the output bytes when ok
  kText = 0x90,      // UTF-8 text
  kMemory = 0x95,    // 65536 bytes
  kError = 0xFF,     // UTF-8 message
  // notices, daemon -> client, unasked
  kSignal = 0xA0,    // u32 semaphore handle: one pending key event
  kUnplugged = 0xA1,
  kPlugged = 0xA2,
};

inline constexpr uint32_t kMaxControlOutput = 4096;

struct Frame {
  uint8_t type = 0;
  std::vector<uint8_t> body;
};

std::vector<uint8_t> encode(uint8_t type, std::span<const uint8_t> body = {});
std::vector<uint8_t> encodeText(uint8_t type, const std::string& text);
std::vector<uint8_t> encodeU32(uint8_t type, uint32_t value);

// Cuts a byte stream into frames. A length of 0 or above kMaxFrameBody makes
// the stream unusable: error() says why and no further frames come out.
class FrameReader {
 public:
  void feed(std::span<const uint8_t> bytes);
  std::optional<Frame> next();
  bool failed() const { return !error_.empty(); }
  const std::string& error() const { return error_; }
  size_t buffered() const { return buffer_.size() - pos_; }

 private:
  std::vector<uint8_t> buffer_;
  size_t pos_ = 0;
  std::string error_;
};

}  // namespace orlix::vkbd
