#include "platform/file_store.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qorva {

std::optional<std::string> ReadRegularFile(const std::string& path, size_t limit,
                                           std::string& problem) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        problem = std::strerror(errno);
        return std::nullopt;
    }
    struct stat status {};
    std::string content;
    if (fstat(fd, &status) != 0) {
        problem = std::strerror(errno);
    } else if (!S_ISREG(status.st_mode)) {
        problem = "is not a regular file";
    } else if (static_cast<unsigned long long>(status.st_size) > limit) {
        problem = "is larger than " + std::to_string(limit) + " bytes";
    } else {
        char buffer[65536];
        ssize_t n = 0;
        while (content.size() <= limit && (n = ::read(fd, buffer, sizeof buffer)) > 0)
            content.append(buffer, static_cast<size_t>(n));
        if (n < 0) problem = std::strerror(errno);
        if (content.size() > limit) problem = "is larger than " + std::to_string(limit) + " bytes";
    }
    ::close(fd);
    if (!problem.empty()) return std::nullopt;
    return content;
}

bool ReplaceFileAtomically(const std::string& path, const std::string& content) {
    const std::string temporary = path + ".new";
    // Never written through: a file or link left there is removed, and the new one made.
    std::remove(temporary.c_str());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
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
