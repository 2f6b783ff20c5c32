// Synthetic pointer and key input with the semantics of the calls the remote
// control is written against: event flags combined in one call, relative moves
// in pixels, absolute positions normalised to 0..65535 over the primary screen
// (or over the whole virtual desk), wheel data in 120ths of a notch, keys named
// by virtual-key codes.
//
// Calls are fire-and-forget, like the calls they stand in for. Each thread that
// injects input uses a display connection of its own, opened on its first call;
// without a display the calls do nothing.
#pragma once

#include <cstdint>

namespace platform {

// Pointer event flags; several may be combined in one call. They act in this
// order: move, left down, left up, right down, right up, middle down, middle
// up, wheel, horizontal wheel.
inline constexpr uint32_t kMouseEventMove = 0x0001;
inline constexpr uint32_t kMouseEventLeftDown = 0x0002;
inline constexpr uint32_t kMouseEventLeftUp = 0x0004;
inline constexpr uint32_t kMouseEventRightDown = 0x0008;
inline constexpr uint32_t kMouseEventRightUp = 0x0010;
inline constexpr uint32_t kMouseEventMiddleDown = 0x0020;
inline constexpr uint32_t kMouseEventMiddleUp = 0x0040;
inline constexpr uint32_t kMouseEventWheel = 0x0800;
inline constexpr uint32_t kMouseEventHWheel = 0x1000;
inline constexpr uint32_t kMouseEventVirtualDesk = 0x4000;
inline constexpr uint32_t kMouseEventAbsolute = 0x8000;

// One notch of the wheel.
inline constexpr int32_t kWheelDelta = 120;

// Key event flag: release instead of press.
inline constexpr uint32_t kKeyEventKeyUp = 0x0002;

// Virtual-key codes the program itself names.
inline constexpr uint8_t kVkBack = 0x08;
inline constexpr uint8_t kVkReturn = 0x0D;
inline constexpr uint8_t kVkShift = 0x10;
inline constexpr uint8_t kVkControl = 0x11;
inline constexpr uint8_t kVkMenu = 0x12;
inline constexpr uint8_t kVkSpace = 0x20;

// With kMouseEventMove: dx, dy are pixels, or with kMouseEventAbsolute a
// position 0..65535 over the primary screen (over the virtual desk with
// kMouseEventVirtualDesk). With a wheel flag, data is the distance in 120ths
// of a notch, positive away from the user (up, or right for the horizontal
// wheel); parts of a notch add up across calls on the same thread.
void SendMouseInput(uint32_t flags, int32_t dx, int32_t dy, int32_t data);

// Presses (flags 0) or releases (kKeyEventKeyUp) the key of a virtual-key
// code. The scan code is accepted for the callers' sake and not used. Codes
// without a key on this keyboard do nothing.
void SendKeyInput(uint8_t virtual_key, uint8_t scan_code, uint32_t flags);

// The keysym value standing for a virtual-key code, 0 when the code has none.
// Letters map to their lower-case keysyms: the code names the key, not the
// character, as on the system the codes come from.
uint32_t VirtualKeyToKeysym(uint8_t virtual_key);

}  // namespace platform
