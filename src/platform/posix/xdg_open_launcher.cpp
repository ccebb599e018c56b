#include "platform/posix/xdg_open_launcher.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace qorva {

namespace {

// Starts xdg-open on one argument in a grandchild, so nothing waits for it and no
// zombie stays behind.
bool spawnDetached(const std::string& argument) {
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        pid_t opener = 0;
        char* argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(argument.c_str()),
                        nullptr};
        _exit(posix_spawnp(&opener, "xdg-open", nullptr, nullptr, argv, environ) == 0 ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

bool XdgOpenLauncher::open(const std::string& target) {
    return spawnDetached(target);
}

void XdgOpenLauncher::showInFileExplorer(const std::string& target) {
    spawnDetached(folderOf(target));
}

} // namespace qorva
