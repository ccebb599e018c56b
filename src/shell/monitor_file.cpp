#include "shell/monitor_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace qorva {

namespace {

std::string cannotCreate(const std::string& path, const std::string& reason) {
    return "Cannot create file \"" + path + "\". " + reason;
}

bool writeAll(std::FILE* file, const std::vector<std::string>& lines) {
    for (const auto& line : lines)
        if (const std::string_view shown = MonitorLine(line);
            std::fwrite(shown.data(), 1, shown.size(), file) != shown.size() ||
            std::fputc('\n', file) == EOF)
            return false;
    return std::fflush(file) == 0;
}

} // namespace

std::string WriteMonitorFile(const std::string& path, const std::vector<std::string>& lines) {
    const std::string temporary = path + ".new";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) return cannotCreate(path, std::strerror(errno));
    const bool written = writeAll(file, lines);
    const int writeError = errno;
    if (std::fclose(file) != 0 || !written) {
        std::remove(temporary.c_str());
        return cannotCreate(path, std::strerror(written ? errno : writeError));
    }
    std::error_code renamed;
    std::filesystem::rename(temporary, path, renamed);
    if (renamed) {
        std::remove(temporary.c_str());
        return cannotCreate(path, renamed.message());
    }
    return {};
}

} // namespace qorva
