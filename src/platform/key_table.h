#pragma once
// The one table of the keys the program may press: each named virtual-key code with its
// set-1 scan code, the X keysym and the Linux input key code the desktop ports send for
// it, and the characters it types on the US layout. Keysyms and Linux key codes are
// the systems' published numbers, written here so the table stays portable; each
// backend's test holds them against its system's headers.
#include <optional>
#include <span>

namespace qorva {

namespace vk {
constexpr int Tab = 9, Return = 13, Shift = 16, Control = 17, Menu = 18, Pause = 19, Escape = 27,
              Space = 32, Prior = 33, Next = 34, End = 35, Home = 36, Left = 37, Up = 38,
              Right = 39, Down = 40, Insert = 45, Delete = 46, Numpad0 = 96, Multiply = 106,
              Add = 107, Separator = 108, Subtract = 109, Decimal = 110, Divide = 111, Oem1 = 186,
              OemPlus = 187, OemComma = 188, OemMinus = 189, OemPeriod = 190, Oem2 = 191,
              Oem3 = 192, Oem4 = 219, Oem5 = 220, Oem6 = 221, Oem7 = 222, Oem102 = 226;
} // namespace vk

struct KeyRow {
    int vk;
    int scan;
    unsigned long keysym; // 0: none
    int linuxKey;         // 0: none
    char plain, shifted;  // 0: types no character
};

std::span<const KeyRow> KeyTable();
// The row of a virtual-key code; nullptr for a code no key of the table has.
const KeyRow* FindKey(int vk);
// Numpad0 to Divide: keys that type their digits through NumLock.
constexpr bool IsNumpadKey(int vk) {
    return vk >= vk::Numpad0 && vk <= vk::Divide;
}

} // namespace qorva
