#include "shell/control_assignment.h"

#include "platform/controls.h"

namespace qorva {

std::string ApplyAssignment(TForm& form, const std::string& assignment) {
    const auto equals = assignment.find('=');
    if (equals == std::string::npos || equals == 0)
        return "expected NAME=VALUE, got '" + assignment + "'";
    const std::string name = assignment.substr(0, equals);
    const std::string value = assignment.substr(equals + 1);
    TControl* control = form.find(name);
    if (!control) return "no control named '" + name + "'";
    if (!control->setFromText(value))
        return "'" + value + "' is not a value for " + control->kind() + " '" + name + "'";
    return {};
}

} // namespace qorva
