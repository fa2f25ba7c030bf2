#pragma once
// Window message numbers exchanged between the parts of the program. They keep
// the values the keyboard's Windows driver program used, so logs and traces of
// both read alike.

#include <cstdint>

namespace orlix::msg {

inline constexpr uint32_t kClose = 0x0010;          // close the window or dialog (as WM_CLOSE)
inline constexpr uint32_t kCommand = 0x0111;        // menu command / 0 (as WM_COMMAND)
inline constexpr uint32_t kHScroll = 0x0114;        // scroll code | position << 16 / bar
inline constexpr uint32_t kVScroll = 0x0115;        // scroll code | position << 16 / bar
inline constexpr uint32_t kLanguageChoice = 0x401;   // wParam 0, lParam language id 1..12
inline constexpr uint32_t kHookKey = 0x40A;          // virtual-key code / key flags
inline constexpr uint32_t kProgress = 0x42B;         // progress 0..100 / 0
inline constexpr uint32_t kLightSelection = 0x450;   // lighting selection recount; colour button x / y
inline constexpr uint32_t kProgressBarValue = 0x450; // progress bar dragged: value / 777
inline constexpr uint32_t kEffectSlot = 0x451;       // 0 / effect slot 0..10
inline constexpr uint32_t kScrollFrameLayout = 0x464; // skinned scroll frame: lay out the clip window
inline constexpr uint32_t kListSelChange = 0x465;    // list control id / item index
inline constexpr uint32_t kTrayNotify = 0x46C;       // 0 / mouse message
inline constexpr uint32_t kListEdit = 0x470;         // list control id / item index: in-place edit ended
inline constexpr uint32_t kMenuChoice = 0x501;       // skinned menu answer
inline constexpr uint32_t kApplyDone = 0x703;        // apply succeeded
inline constexpr uint32_t kApplyFailed = 0x704;      // apply failed: "Setting Error"
inline constexpr uint32_t kStartApply = 0x705;       // start an apply
inline constexpr uint32_t kLightingSend = 0x706;     // 0 / length, 1 / 0, 2 / 0
inline constexpr uint32_t kButtonNotify = 0x70D;     // skinned button notification
inline constexpr uint32_t kKeyEvent = 0x7EB;         // key event word / 0
inline constexpr uint32_t kSliderPos = 0x800;        // position / slider id
inline constexpr uint32_t kHint = 0x805;             // 0 / hint number
inline constexpr uint32_t kRestoreDefaults = 0x806;  // 0 / 0
inline constexpr uint32_t kDeviceChange = 0x0219;    // device-change event / index of the change
// Another process (orlixctl) stored a change of the configuration: take it up.
inline constexpr uint32_t kTakeUpStored = 0x8101;
// A take-up changed the image (wParam: which parts, see main_window_core.h).
inline constexpr uint32_t kStoredTakenUp = 0x8102;

// Scroll codes in the low word of kHScroll / kVScroll.
inline constexpr int kScrollLineUp = 0, kScrollLineDown = 1, kScrollPageUp = 2, kScrollPageDown = 3,
                     kScrollThumbPosition = 4, kScrollThumbTrack = 5, kScrollEnd = 8;

// wParam values of kButtonNotify: the mouse message the button saw.
inline constexpr uintptr_t kLeftButtonDown = 0x201;
inline constexpr uintptr_t kLeftButtonUp = 0x202;

// wParam values of kDeviceChange.
inline constexpr uint32_t kDeviceArrival = 0x8000;
inline constexpr uint32_t kDeviceRemoveComplete = 0x8004;

// wParam values of kLightingSend.
inline constexpr uintptr_t kSendEditedBlock = 0;
inline constexpr uintptr_t kSendEffectSlots = 1;
inline constexpr uintptr_t kSendLedGroups = 2;

}  // namespace orlix::msg
