#pragma once
// --set NAME=VALUE, as qorva and qorva-replay take it: each assignment is tried on a fresh
// program in memory while the command line is read, so a bad one is refused before
// anything happens, and applied to the real main window after its start-up.
#include "shell/command_line.h"

#include <string>
#include <vector>

namespace qorva {

class TForm;

void AddSetOption(cli::CommandLine& line, std::vector<std::string>& assignments);
// Applies the assignments as a user's changes; one the controls refuse ends the program
// as a bad command line does.
void ApplySetOptions(TForm& form, const std::vector<std::string>& assignments);

} // namespace qorva
