#pragma once
// The apply: writes the configuration image into the keyboard. The starting
// thread builds the LED group commands and asks the main window to send them
// (0x706, wParam 2); a worker thread places every macro bound to a key in a
// macro slot with its directory entry, writes the key table, and reports 0x703
// (success) or 0x704 ("Setting Error") to the main window, with progress
// 0..100 (0x42B) and a final close (WM_CLOSE) to the progress target.

#include <functional>
#include <mutex>
#include <thread>

#include "core/config/config_image.h"
#include "core/device/pacer.h"

namespace orlix {

class DriverChannel;
class MessageTarget;

namespace apply {
inline constexpr uint32_t kPauseAfterSlotMapReset = 20;
inline constexpr uint32_t kPauseAfterProgressStart = 500;
inline constexpr uint32_t kPauseBeforeKeyTable = 10;
inline constexpr uint32_t kPauseBeforeSuccess = 300;
}  // namespace apply

struct ApplyContext {
  ConfigImage& image;
  DriverChannel& channel;
  Pacer& pacer;
  std::mutex& applyLock;  // held by the worker until the key table is written
  // Held by the worker while it changes a key table entry. The main window's
  // profile save during the apply (the answer to 0x706) reads the key table:
  // it holds this lock meanwhile, so it sees each entry either before or after
  // the worker's change, never in the middle of one.
  std::mutex keyTableLock{};
};

// The start of an apply (the answer to 0x705): builds the LED group commands,
// refreshes the keyboard page's keys (when given), posts 0x706 with wParam 2 to
// the main window and starts the worker with the progress target. The caller
// runs its progress loop and joins the returned thread. From here until the
// worker's result message, only the worker changes the key table and the
// macro slot map.
std::thread startApply(ApplyContext& ctx, MessageTarget& progress, const std::function<void()>& refreshAllKeys = {});

// The worker's body. Without a main window it does nothing but close the
// progress target (so a progress dialog never stays open).
void runApplyWorker(ApplyContext& ctx, MessageTarget& progress);

}  // namespace orlix
