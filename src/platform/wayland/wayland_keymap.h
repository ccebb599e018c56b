#pragma once
// The keymap the Wayland port uploads to the compositor, built from the key table: every key
// at its Linux key code (XKB counts from 8 more), the US symbols on the first level and the
// shifted character on the second, the numeric pad's digits under NumLock (Mod2). The
// compositor hands it to the focused client as the keyboard's own map, so what arrives
// never depends on the layout the desktop is set to.
#include <string>

namespace qorva {

std::string WaylandKeymapText();

// The Linux key code of NumLock, which the keymap adds beside the table's keys.
constexpr unsigned kLinuxNumLockKey = 69;

} // namespace qorva
