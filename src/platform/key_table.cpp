#include "platform/key_table.h"

#include <algorithm>

namespace qorva {

namespace {

constexpr KeyRow kKeys[] = {
    {vk::Tab, 0x0F, 0xFF09, 15, 0, 0},
    {vk::Return, 0x1C, 0xFF0D, 28, 0, 0},
    {vk::Shift, 0x2A, 0xFFE1, 42, 0, 0},
    {vk::Control, 0x1D, 0xFFE3, 29, 0, 0},
    {vk::Menu, 0x38, 0xFFE9, 56, 0, 0},
    {vk::Pause, 0x45, 0xFF13, 119, 0, 0},
    {vk::Escape, 0x01, 0xFF1B, 1, 0, 0},
    {vk::Space, 0x39, 0x0020, 57, ' ', ' '},
    {vk::Prior, 0x49, 0xFF55, 104, 0, 0},
    {vk::Next, 0x51, 0xFF56, 109, 0, 0},
    {vk::End, 0x4F, 0xFF57, 107, 0, 0},
    {vk::Home, 0x47, 0xFF50, 102, 0, 0},
    {vk::Left, 0x4B, 0xFF51, 105, 0, 0},
    {vk::Up, 0x48, 0xFF52, 103, 0, 0},
    {vk::Right, 0x4D, 0xFF53, 106, 0, 0},
    {vk::Down, 0x50, 0xFF54, 108, 0, 0},
    {vk::Insert, 0x52, 0xFF63, 110, 0, 0},
    {vk::Delete, 0x53, 0xFFFF, 111, 0, 0},
    {'0', 0x0B, 0x0030, 11, '0', ')'},
    {'1', 0x02, 0x0031, 2, '1', '!'},
    {'2', 0x03, 0x0032, 3, '2', '@'},
    {'3', 0x04, 0x0033, 4, '3', '#'},
    {'4', 0x05, 0x0034, 5, '4', '$'},
    {'5', 0x06, 0x0035, 6, '5', '%'},
    {'6', 0x07, 0x0036, 7, '6', '^'},
    {'7', 0x08, 0x0037, 8, '7', '&'},
    {'8', 0x09, 0x0038, 9, '8', '*'},
    {'9', 0x0A, 0x0039, 10, '9', '('},
    {'A', 0x1E, 0x0061, 30, 'a', 'A'},
    {'B', 0x30, 0x0062, 48, 'b', 'B'},
    {'C', 0x2E, 0x0063, 46, 'c', 'C'},
    {'D', 0x20, 0x0064, 32, 'd', 'D'},
    {'E', 0x12, 0x0065, 18, 'e', 'E'},
    {'F', 0x21, 0x0066, 33, 'f', 'F'},
    {'G', 0x22, 0x0067, 34, 'g', 'G'},
    {'H', 0x23, 0x0068, 35, 'h', 'H'},
    {'I', 0x17, 0x0069, 23, 'i', 'I'},
    {'J', 0x24, 0x006A, 36, 'j', 'J'},
    {'K', 0x25, 0x006B, 37, 'k', 'K'},
    {'L', 0x26, 0x006C, 38, 'l', 'L'},
    {'M', 0x32, 0x006D, 50, 'm', 'M'},
    {'N', 0x31, 0x006E, 49, 'n', 'N'},
    {'O', 0x18, 0x006F, 24, 'o', 'O'},
    {'P', 0x19, 0x0070, 25, 'p', 'P'},
    {'Q', 0x10, 0x0071, 16, 'q', 'Q'},
    {'R', 0x13, 0x0072, 19, 'r', 'R'},
    {'S', 0x1F, 0x0073, 31, 's', 'S'},
    {'T', 0x14, 0x0074, 20, 't', 'T'},
    {'U', 0x16, 0x0075, 22, 'u', 'U'},
    {'V', 0x2F, 0x0076, 47, 'v', 'V'},
    {'W', 0x11, 0x0077, 17, 'w', 'W'},
    {'X', 0x2D, 0x0078, 45, 'x', 'X'},
    {'Y', 0x15, 0x0079, 21, 'y', 'Y'},
    {'Z', 0x2C, 0x007A, 44, 'z', 'Z'},
    {vk::Numpad0, 0x52, 0xFFB0, 82, '0', '0'},
    {vk::Numpad0 + 1, 0x4F, 0xFFB1, 79, '1', '1'},
    {vk::Numpad0 + 2, 0x50, 0xFFB2, 80, '2', '2'},
    {vk::Numpad0 + 3, 0x51, 0xFFB3, 81, '3', '3'},
    {vk::Numpad0 + 4, 0x4B, 0xFFB4, 75, '4', '4'},
    {vk::Numpad0 + 5, 0x4C, 0xFFB5, 76, '5', '5'},
    {vk::Numpad0 + 6, 0x4D, 0xFFB6, 77, '6', '6'},
    {vk::Numpad0 + 7, 0x47, 0xFFB7, 71, '7', '7'},
    {vk::Numpad0 + 8, 0x48, 0xFFB8, 72, '8', '8'},
    {vk::Numpad0 + 9, 0x49, 0xFFB9, 73, '9', '9'},
    {vk::Multiply, 0x37, 0xFFAA, 55, '*', '*'},
    {vk::Add, 0x4E, 0xFFAB, 78, '+', '+'},
    {vk::Subtract, 0x4A, 0xFFAD, 74, '-', '-'},
    {vk::Decimal, 0x53, 0xFFAE, 83, 0, 0},
    {vk::Divide, 0x35, 0xFFAF, 98, '/', '/'},
    {vk::Oem1, 0x27, 0x003B, 39, ';', ':'},
    {vk::OemPlus, 0x0D, 0x003D, 13, '=', '+'},
    {vk::OemComma, 0x33, 0x002C, 51, ',', '<'},
    {vk::OemMinus, 0x0C, 0x002D, 12, '-', '_'},
    {vk::OemPeriod, 0x34, 0x002E, 52, '.', '>'},
    {vk::Oem2, 0x35, 0x002F, 53, '/', '?'},
    {vk::Oem3, 0x29, 0x0060, 41, '`', '~'},
    {vk::Oem4, 0x1A, 0x005B, 26, '[', '{'},
    {vk::Oem5, 0x2B, 0x005C, 43, '\\', '|'},
    {vk::Oem6, 0x1B, 0x005D, 27, ']', '}'},
    {vk::Oem7, 0x28, 0x0027, 40, '\'', '"'},
    // The extra key beside left Shift on ISO keyboards: no keysym of its own, the X11 port
    // lends it to a key of the live keymap that no other row names.
    {vk::Oem102, 0x56, 0x0000, 86, 0, 0},
};

} // namespace

std::span<const KeyRow> KeyTable() {
    return kKeys;
}

const KeyRow* FindKey(int vk) {
    const auto* row = std::find_if(std::begin(kKeys), std::end(kKeys),
                                   [vk](const KeyRow& key) { return key.vk == vk; });
    return row == std::end(kKeys) ? nullptr : row;
}

} // namespace qorva
