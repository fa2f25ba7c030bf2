#pragma once
// How long the system has been running, for the main window's first show: a
// program started with the user's session (within five minutes of boot) stays
// in the tray, one started later shows its window.

#include <cstdint>

namespace orlix::platform {

inline constexpr uint64_t kFirstShowUpTimeMs = 300000;

// Milliseconds since boot, time spent suspended included (CLOCK_BOOTTIME).
// 64 bits: it does not wrap after 49.7 days as a 32-bit tick count would.
uint64_t upTimeMs();

// True when the window shows itself at its first show.
constexpr bool showsWindowAtFirstShow(uint64_t upTimeMs) { return upTimeMs > kFirstShowUpTimeMs; }

}  // namespace orlix::platform
