// Fuzzes EncodeMacro: any bytes as a macro record (the first two bytes choose
// the slot). The slot image never reaches past its 496 bytes, and the keyboard
// memory outside the slot's first 496 bytes stays untouched.
#include <algorithm>
#include <cstdlib>

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

  auto memory = keyboard.memory();
  size_t start = device::slotAddress(slot);
  for (size_t a = 0; a < memory.size(); ++a) {
    bool inSlot = a >= start && a < start + kSlotImageSize;
    if (!inSlot && memory[a] != 0) std::abort();
    if (inSlot && encoded && memory[a] != encoded->image[a - start]) std::abort();
  }
  return 0;
}
