#include "platform/desktop_ports.h"

#if QORVA_HAVE_X11
#include "platform/x11/x11_keyboard.h"
#endif
#if QORVA_HAVE_UINPUT
#include "platform/uinput/uinput_keyboard.h"
#endif
#if QORVA_HAVE_WAYLAND
#include "platform/wayland/wayland_keyboard.h"
#endif

#include <cstdlib>

namespace qorva {

std::vector<std::string> DesktopKeyNames() {
    std::vector<std::string> names;
#if QORVA_HAVE_X11
    names.push_back("x11");
#endif
#if QORVA_HAVE_WAYLAND
    names.push_back("wayland");
#endif
#if QORVA_HAVE_UINPUT
    names.push_back("uinput");
#endif
    return names;
}

std::unique_ptr<DesktopKeyboard> OpenDesktopKeyboard(const std::string& name, std::string& error) {
#if QORVA_HAVE_X11
    if (name == "x11") {
        const char* display = std::getenv("DISPLAY");
        return X11Keyboard::open(display ? display : "", error);
    }
#endif
#if QORVA_HAVE_WAYLAND
    if (name == "wayland") return WaylandKeyboard::open("", error);
#endif
#if QORVA_HAVE_UINPUT
    if (name == "uinput") return UinputKeyboard::open(error);
#endif
    error = "this build has no " + name + " keyboard port";
    return nullptr;
}

} // namespace qorva
