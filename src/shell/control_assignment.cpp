#include "shell/control_assignment.h"

#include "platform/controls.h"

namespace qorva {

namespace {

std::string indexRange(const std::string& name, size_t items) {
    return name + "=-1 to " + name + "=" + std::to_string(static_cast<int>(items) - 1);
}

std::string pageNames(const std::string& name, const TPageControl& pages) {
    std::string names;
    for (int i = 0; i < pages.PageCount(); ++i)
        names += (i == 0 ? "" : i + 1 == pages.PageCount() ? " or " : ", ") + pages.Page(i)->Name();
    return name + "= with " + names;
}

// What a control takes from the command line, said the way it is written there.
std::string allowedFor(const TControl& control) {
    const std::string& name = control.Name();
    if (dynamic_cast<const TCheckBox*>(&control) || dynamic_cast<const TRadioButton*>(&control))
        return name + "=0 or " + name + "=1";
    if (const auto* group = dynamic_cast<const TRadioGroup*>(&control))
        return indexRange(name, group->Items().size());
    if (const auto* combo = dynamic_cast<const TComboBox*>(&control))
        return indexRange(name, combo->Items().size());
    if (const auto* pages = dynamic_cast<const TPageControl*>(&control))
        return pageNames(name, *pages);
    return "NAME=VALUE for a control that has a value (" + name + " is a " + control.kind() + ")";
}

} // namespace

std::string ApplyAssignment(TForm& form, const std::string& assignment) {
    const auto equals = assignment.find('=');
    if (equals == std::string::npos || equals == 0) return "NAME=VALUE";
    TControl* control = form.find(assignment.substr(0, equals));
    if (!control) return "NAME=VALUE with the name of a control of the main window";
    if (!control->setFromText(assignment.substr(equals + 1))) return allowedFor(*control);
    return {};
}

} // namespace qorva
