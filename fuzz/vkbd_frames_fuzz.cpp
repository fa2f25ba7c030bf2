// Feeds arbitrary client bytes through the daemon's frame reader and hands every
// control frame to the keyboard model, as the daemon does.
#include <cstddef>
#include <cstdint>

#include "core/device/virtual_keyboard.h"
#include "core/device/vkbd_protocol.h"
#include "core/util/bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orlix;
  static VirtualKeyboard keyboard;
  VirtualKeyboard::Session session;
  session.signal = [](uint32_t) { return true; };
  vkbd::FrameReader reader;
  // Split the input in two feeds to exercise partial frames.
  size_t half = size / 2;
  reader.feed({data, half});
  reader.feed({data + half, size - half});
  while (auto f = reader.next()) {
    if (f->type != vkbd::kControl || f->body.size() < 8) continue;
    uint32_t code = getU32(f->body, 0);
    uint32_t outSize = getU32(f->body, 4) % (vkbd::kMaxControlOutput + 1);
    std::vector<uint8_t> in(f->body.begin() + 8, f->body.end());
    std::vector<uint8_t> out(outSize);
    keyboard.control(session, code, in, out);
  }
  keyboard.detach(session);
  return 0;
}
