#include "platform/wayland/wayland_keymap.h"

#include "platform/key_table.h"

#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon.h>

#include <string>

namespace qorva {

namespace {

// XKB numbers keys 8 above the Linux key codes.
constexpr unsigned kXkbOffset = 8;

std::string keyName(unsigned linuxKey) {
    return "<K" + std::to_string(linuxKey) + ">";
}

std::string keysymName(xkb_keysym_t keysym) {
    if (!keysym) return "NoSymbol";
    char name[64];
    xkb_keysym_get_name(keysym, name, sizeof name);
    return name;
}

// What a numeric-pad key types without NumLock, digits 0 to 9 in turn.
constexpr xkb_keysym_t kKeypadMoves[] = {
    XKB_KEY_KP_Insert, XKB_KEY_KP_End,   XKB_KEY_KP_Down, XKB_KEY_KP_Next, XKB_KEY_KP_Left,
    XKB_KEY_KP_Begin,  XKB_KEY_KP_Right, XKB_KEY_KP_Home, XKB_KEY_KP_Up,   XKB_KEY_KP_Prior};

std::string symbolsOf(const KeyRow& key) {
    const auto keysym = static_cast<xkb_keysym_t>(key.keysym);
    const auto levels = [](const std::string& type, xkb_keysym_t first, xkb_keysym_t second) {
        return "type= \"" + type + "\", [ " + keysymName(first) + ", " + keysymName(second) + " ]";
    };
    if (key.vk >= vk::Numpad0 && key.vk < vk::Numpad0 + 10)
        return levels("KEYPAD", kKeypadMoves[key.vk - vk::Numpad0], keysym);
    if (key.vk == vk::Decimal) return levels("KEYPAD", XKB_KEY_KP_Delete, keysym);
    // Characters 32 to 126 are their own keysyms.
    if (key.shifted && key.shifted != key.plain)
        return levels("TWO_LEVEL", keysym, static_cast<xkb_keysym_t>(key.shifted));
    return "type= \"ONE_LEVEL\", [ " + keysymName(keysym) + " ]";
}

const char* const kTypes = R"(xkb_types "qorva" {
    type "ONE_LEVEL" {
        modifiers= none;
        level_name[Level1]= "Any";
    };
    type "TWO_LEVEL" {
        modifiers= Shift;
        map[Shift]= Level2;
        level_name[Level1]= "Base";
        level_name[Level2]= "Shift";
    };
    type "KEYPAD" {
        modifiers= Shift+Mod2;
        map[Mod2]= Level2;
        map[Shift]= Level2;
        level_name[Level1]= "Base";
        level_name[Level2]= "Number";
    };
};
xkb_compat "qorva" {
};
)";

} // namespace

std::string WaylandKeymapText() {
    std::string codes = "xkb_keycodes \"qorva\" {\n    minimum= 8;\n    maximum= 255;\n";
    std::string symbols = "xkb_symbols \"qorva\" {\n";
    const auto add = [&](unsigned linuxKey, const std::string& levels) {
        codes += "    " + keyName(linuxKey) + "= " + std::to_string(linuxKey + kXkbOffset) + ";\n";
        symbols += "    key " + keyName(linuxKey) + " { " + levels + " };\n";
    };
    for (const KeyRow& key : KeyTable())
        if (key.linuxKey) add(static_cast<unsigned>(key.linuxKey), symbolsOf(key));
    add(kLinuxNumLockKey, "type= \"ONE_LEVEL\", [ Num_Lock ]");
    const auto modifierKey = [](int vk) {
        return keyName(static_cast<unsigned>(FindKey(vk)->linuxKey));
    };
    symbols += "    modifier_map Shift { " + modifierKey(vk::Shift) + " };\n";
    symbols += "    modifier_map Control { " + modifierKey(vk::Control) + " };\n";
    symbols += "    modifier_map Mod1 { " + modifierKey(vk::Menu) + " };\n";
    symbols += "    modifier_map Mod2 { " + keyName(kLinuxNumLockKey) + " };\n";
    return "xkb_keymap {\n" + codes + "};\n" + kTypes + symbols + "};\n};\n";
}

} // namespace qorva
