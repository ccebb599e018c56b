#include "shell/set_option.h"

#include "shell/control_assignment.h"
#include "shell/memory_world.h"

namespace qorva {

namespace {

// What --set takes instead of assignment; empty when a fresh program takes it. The
// real program's controls take the same values.
std::string checkAssignment(const std::string& assignment) {
    MemoryProgram program;
    return ApplyAssignment(program.frm.form, assignment);
}

} // namespace

void AddSetOption(cli::CommandLine& line, std::vector<std::string>& assignments) {
    line.option("--set", "NAME=VALUE", "set a control of the main window before START",
                cli::Collect(assignments, checkAssignment));
}

void ApplySetOptions(TForm& form, const std::vector<std::string>& assignments) {
    for (const auto& assignment : assignments)
        if (const std::string allowed = ApplyAssignment(form, assignment); !allowed.empty())
            cli::Fail(cli::Refusal("--set", allowed, assignment));
}

} // namespace qorva
