#pragma once
// The desktop keyboard ports this build has, by the names --keys takes for them.
#include "platform/desktop_keyboard.h"

#include <memory>
#include <string>
#include <vector>

namespace qorva {

std::vector<std::string> DesktopKeyNames();
// Opens the named port on the session's display or device; nullptr and a one-line reason
// when it cannot be used or this build does not have it.
std::unique_ptr<DesktopKeyboard> OpenDesktopKeyboard(const std::string& name, std::string& error);

} // namespace qorva
