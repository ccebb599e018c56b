#pragma once
#include <string>

namespace qorva {

// The folder that holds the running program, where its data files are installed; "."
// when the system cannot tell.
std::string ProgramDirectory();

} // namespace qorva
