#include "platform/file_store.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace qorva {

bool ReplaceFileAtomically(const std::string& path, const std::string& content) {
    const std::string temporary = path + ".new";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    const bool written = done == content.size() && ::fsync(fd) == 0;
    ::close(fd);
    if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

// Hidden files are a naming convention here, not an attribute: nothing to mark.
void MarkFileHidden(const std::string&) {}

} // namespace qorva
