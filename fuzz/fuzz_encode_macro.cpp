// Fuzzes EncodeMacro: any bytes as a macro record (the first two bytes choose
// the slot). The slot image never reaches past its 496 bytes, and the keyboard
// memory outside the slot's first 496 bytes stays untouched.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/device/device_commands.h"
#include "core/device/driver_channel.h"
#include "core/device/virtual_keyboard.h"
#include "core/macros/macro_encoding.h"
#include "core/macros/macro_record.h"

using namespace orlix;
using namespace orlix::macros;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  int slot = data[0] % device::kSlotCount;
  MacroRecord record{};
  std::copy_n(data + 1, std::min(size - 1, record.size()), record.begin());

  static VirtualKeyboard keyboard;
  static VirtualDriverEndpoint endpoint(keyboard);
  static DriverChannel channel(endpoint);
  static bool opened = channel.open();
  if (!opened) std::abort();
  keyboard.reset();
  FakePacer pacer;

  auto encoded = encodeSlotImage(record);
  int result = EncodeMacro(channel, pacer, slot, record);
  if (bool(encoded) != (result != 0)) std::abort();
  if (result > int(kMaxTriples) + 1) std::abort();

  // Compared a region at a time (a byte loop over 64 KiB took most of a run).
  auto memory = keyboard.memory();
  static const std::vector<uint8_t> zeros(VirtualKeyboard::kMemorySize);
  if (memory.size() != zeros.size()) std::abort();
  size_t start = device::slotAddress(slot), end = start + kSlotImageSize;
  if (end > memory.size()) std::abort();
  if (std::memcmp(memory.data(), zeros.data(), start) != 0) std::abort();
  if (std::memcmp(memory.data() + end, zeros.data(), memory.size() - end) != 0) std::abort();
  if (encoded && std::memcmp(memory.data() + start, encoded->image.data(), kSlotImageSize) != 0) std::abort();
  return 0;
}
