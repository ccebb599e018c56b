#include "platform/wayland/wayland_keymap.h"

#include <xkbcommon/xkbcommon.h>

#include <cstdlib>

namespace qorva {

std::string WaylandKeymapText(std::string& error) {
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES);
    if (!context) {
        error = "cannot start libxkbcommon";
        return {};
    }
    const xkb_rule_names names{"evdev", "pc105", "us", "", ""};
    xkb_keymap* keymap = xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS);
    std::string text;
    if (keymap) {
        char* compiled = xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1);
        if (compiled) text = compiled;
        std::free(compiled);
        xkb_keymap_unref(keymap);
    }
    xkb_context_unref(context);
    if (text.empty()) error = "cannot compile the US keymap (is xkb-data installed?)";
    return text;
}

} // namespace qorva
