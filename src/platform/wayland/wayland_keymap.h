#pragma once
// The keymap the Wayland port uploads to the compositor: the US layout on a 105-key PC
// keyboard under the evdev rules, compiled by libxkbcommon from the system's XKB data. It
// holds every key of the key table at its Linux key code (XKB counts from 8 more), and
// the compositor hands it to the focused client as the keyboard's own map, so what arrives
// never depends on the layout the desktop is set to. (A keymap written out key by key from
// the table typed characters, but LibreOffice on GTK 3 ignored its arrow keys.)
#include <string>

namespace qorva {

// The keymap's text; empty, with the reason in error, when the XKB data is missing.
std::string WaylandKeymapText(std::string& error);

} // namespace qorva
