#pragma once
// One of the programs as a child process in a folder of its own: empty standard input,
// both outputs read through pipes, and every wait for the child bounded by a deadline.
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace qorva::test {

class ChildProgram {
  public:
    ChildProgram(const std::string& program, std::vector<std::string> arguments,
                 const std::string& dir) {
        int out[2], err[2];
        if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            const int null = open("/dev/null", O_RDONLY);
            if (chdir(dir.c_str()) != 0 || null < 0) _exit(99);
            dup2(null, 0);
            dup2(out[1], 1);
            dup2(err[1], 2);
            arguments.insert(arguments.begin(), program);
            std::vector<char*> argv;
            for (auto& a : arguments) argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(98);
        }
        close(out[1]);
        close(err[1]);
        outFd_ = out[0];
        errFd_ = err[0];
    }
    ~ChildProgram() {
        if (pid_ > 0 && !reaped_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        closeFd(outFd_);
        closeFd(errFd_);
    }
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    // Reads until standard error holds text; false when the child ends or the time is up.
    bool waitForError(const std::string& text, std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (err_.find(text) == std::string::npos)
            if (!readSome(deadline)) return false;
        return true;
    }
    // Ends the child as Ctrl+C does; its exit code (see finish).
    int interrupt(std::chrono::milliseconds timeout) {
        if (pid_ > 0) kill(pid_, SIGINT);
        return finish(timeout);
    }
    // Reads both outputs to their end and reaps the child: its exit code, or -1 when it
    // did not exit by itself in time (it is killed then).
    int finish(std::chrono::milliseconds timeout) {
        if (pid_ <= 0) return -1;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (readSome(deadline)) {
        }
        if (outFd_ >= 0 || errFd_ >= 0) kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
        reaped_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // Closes our end of the child's standard output: its next write there fails.
    void closeOutput() { closeFd(outFd_); }
    const std::string& out() const { return out_; }
    const std::string& err() const { return err_; }

  private:
    // One read from whichever output has something; false at the end of both or the deadline.
    bool readSome(std::chrono::steady_clock::time_point deadline) {
        pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
        if (outFd_ < 0 && errFd_ < 0) return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || poll(fds, 2, static_cast<int>(left.count())) <= 0) return false;
        drain(fds[0], outFd_, out_);
        drain(fds[1], errFd_, err_);
        return true;
    }
    static void drain(const pollfd& ready, int& fd, std::string& into) {
        if (fd < 0 || !(ready.revents & (POLLIN | POLLHUP | POLLERR))) return;
        char buffer[4096];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0)
            into.append(buffer, static_cast<size_t>(n));
        else
            closeFd(fd);
    }
    static void closeFd(int& fd) {
        if (fd >= 0) close(fd);
        fd = -1;
    }

    pid_t pid_ = -1;
    bool reaped_ = false;
    int outFd_ = -1, errFd_ = -1;
    std::string out_, err_;
};

} // namespace qorva::test
