#pragma once
#include <string>

namespace qorva {

class TForm;

// Applies "NAME=VALUE" to the control of that name as a user's change would. Returns an
// empty text on success, otherwise what may be assigned instead ("Ausgabeart=-1 to
// Ausgabeart=3").
std::string ApplyAssignment(TForm& form, const std::string& assignment);

} // namespace qorva
