#include "platform/program_directory.h"

#include <climits>
#include <unistd.h>

namespace qorva {

std::string ProgramDirectory() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return ".";
    const std::string program(path, static_cast<size_t>(n));
    const size_t slash = program.rfind('/');
    return slash == std::string::npos ? "." : program.substr(0, slash == 0 ? 1 : slash);
}

} // namespace qorva
