// Linux-only test support: child processes started with fork and killed with SIGKILL, dropping to
// an ordinary user, FIFOs, file size limits and private locales. Only the suites marked Linux-only
// in tests/CMakeLists.txt use it.
#pragma once

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>

namespace testsupport {

// A child process running body until it returns (status 0) or is killed.
class ChildProcess {
public:
    explicit ChildProcess(const std::function<void()>& body) {
        pid_ = ::fork();
        if (pid_ == 0) {
            body();
            ::_exit(0);
        }
    }
    ~ChildProcess() {
        if (pid_ > 0 && !reaped_) kill();
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    void send(int signalNumber) { ::kill(pid_, signalNumber); }
    // SIGKILL, then waits; true if the signal is what ended it.
    bool kill() {
        ::kill(pid_, SIGKILL);
        return waitWithin(std::chrono::seconds(10)) == -SIGKILL;
    }
    // Exit status, or minus the signal that ended it; nothing if it is still running by then.
    std::optional<int> waitWithin(std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        int status = 0;
        while (::waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        reaped_ = true;
        return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
    }

private:
    pid_t pid_ = -1;
    bool reaped_ = false;
};

// One byte through a pipe: a child tells its parent that it has got somewhere.
class ReadySignal {
public:
    ReadySignal() { ::pipe(fds_); }
    ~ReadySignal() {
        ::close(fds_[0]);
        if (fds_[1] >= 0) ::close(fds_[1]);
    }
    ReadySignal(const ReadySignal&) = delete;
    ReadySignal& operator=(const ReadySignal&) = delete;
    void signal() { [[maybe_unused]] const auto written = ::write(fds_[1], "!", 1); }
    // In the parent, once its children are started: false when the limit passes first, or when every
    // child that could signal has died (the parent's own write end, closed here, keeps none alive).
    bool waitFor(std::chrono::milliseconds limit = std::chrono::seconds(60)) {
        if (fds_[1] >= 0) {
            ::close(fds_[1]);
            fds_[1] = -1;
        }
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return false;
            pollfd ready{fds_[0], POLLIN, 0};
            const int polled = ::poll(&ready, 1, static_cast<int>(left.count()));
            if (polled < 0 && errno == EINTR) continue;
            if (polled <= 0) return false;
            char byte = 0;
            return ::read(fds_[0], &byte, 1) == 1;
        }
    }

private:
    int fds_[2] = {-1, -1};
};

// As root, this process becomes "nobody" for good, so that file modes bind it as they bind a
// player; as anyone else it stays who it is. False if the change failed.
inline bool dropToPlayer() {
    if (::geteuid() != 0) return true;
    const passwd* nobody = ::getpwnam("nobody");
    return nobody && ::setgroups(0, nullptr) == 0 && ::setgid(nobody->pw_gid) == 0 && ::setuid(nobody->pw_uid) == 0;
}

inline bool makeFifo(const std::filesystem::path& path) { return ::mkfifo(path.c_str(), 0600) == 0; }

// From now on in this process, no file may grow past `bytes`: writes beyond fail as on a full disk.
inline void limitFileSize(rlim_t bytes) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

// Compiles the de_DE locale (a comma for a decimal point) into `folder` and points this process's C
// library at it. False if the machine has no locale sources to compile it from.
inline bool useCommaLocaleFrom(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    const std::string command =
        "localedef -i de_DE -f UTF-8 '" + (folder / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0 && !std::filesystem::exists(folder / "de_DE.UTF-8")) return false;
    return ::setenv("LOCPATH", folder.c_str(), 1) == 0;
}

}  // namespace testsupport
