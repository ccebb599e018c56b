#pragma once
// The monitor saved as a text file, one line per monitor line.
#include <string>
#include <string_view>
#include <vector>

namespace qorva {

// A monitor line as it is shown and saved: without the CR and LF that ended it.
inline std::string_view MonitorLine(const std::string& line) {
    std::string_view shown = line;
    while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r')) shown.remove_suffix(1);
    return shown;
}

// Writes lines to path, replacing an existing file: a new file beside it, then renamed
// over it, so a failed write leaves the old file. Returns an empty text on success,
// otherwise the message for the user: "Cannot create file "path". reason".
std::string WriteMonitorFile(const std::string& path, const std::vector<std::string>& lines);

} // namespace qorva
