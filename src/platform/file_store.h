#pragma once
// Files the program keeps, such as its settings file: written whole or not at all.
#include <string>

namespace qorva {

// Writes content beside path, flushes it to disk and renames it over path: a crash
// leaves the old file or the new one. False when the file cannot be written.
bool ReplaceFileAtomically(const std::string& path, const std::string& content);

// Gives the file the system's hidden attribute where it has one.
void MarkFileHidden(const std::string& path);

} // namespace qorva
