#pragma once
// Files the program keeps, such as its settings file: written whole or not at all.
#include <cstddef>
#include <optional>
#include <string>

namespace qorva {

// The whole content of a regular file of at most limit bytes; nothing, and the reason in
// problem, for a file that is missing, unreadable, not a regular file (a folder, a device,
// a pipe) or larger than limit. Never blocks and never reads more than limit + 1 bytes.
std::optional<std::string> ReadRegularFile(const std::string& path, size_t limit,
                                           std::string& problem);

// Writes content beside path, flushes it to disk and renames it over path: a crash
// leaves the old file or the new one. A temporary file a killed save left behind is
// removed first. False when the file cannot be written.
bool ReplaceFileAtomically(const std::string& path, const std::string& content);

// Gives the file the system's hidden attribute where it has one.
void MarkFileHidden(const std::string& path);

} // namespace qorva
