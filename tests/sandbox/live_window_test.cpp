// keyvane-sandbox live in a real window on a virtual X display (Xvfb): a line typed in the terminal
// runs, and SIGTERM or SIGHUP end the program the way closing the window does, saving first.
//
// Skipped where Xvfb is not installed; scripts/install puts it on every build machine.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "sandbox_program.h"

using namespace sandbox_test;
using namespace std::chrono_literals;

namespace {

// Generous: a loaded build machine may take long to start a display and a software renderer.
constexpr auto kPatience = 60s;

bool onPath(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Waits for a child without blocking for ever; its raw status, or -1 if it outlived the patience.
int waitForExit(pid_t child) {
    const auto giveUp = std::chrono::steady_clock::now() + kPatience;
    while (std::chrono::steady_clock::now() < giveUp) {
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) return status;
        std::this_thread::sleep_for(20ms);
    }
    return -1;
}

// A virtual display of its own, chosen by Xvfb and told through a pipe.
class VirtualDisplay {
public:
    VirtualDisplay() {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) return;
        server_ = fork();
        if (server_ == 0) {
            close(pipeEnds[0]);
            const int devNull = open("/dev/null", O_RDWR);
            dup2(devNull, STDIN_FILENO);
            dup2(devNull, STDOUT_FILENO);
            dup2(devNull, STDERR_FILENO);
            const std::string fd = std::to_string(pipeEnds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x720x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(pipeEnds[1]);
        std::string number;
        char c = 0;
        while (read(pipeEnds[0], &c, 1) == 1 && c != '\n') number += c;
        close(pipeEnds[0]);
        if (!number.empty()) name_ = ":" + number;
    }
    ~VirtualDisplay() {
        if (server_ > 0) {
            kill(server_, SIGTERM);
            waitForExit(server_);
        }
    }
    const std::string& name() const { return name_; }

private:
    pid_t server_ = -1;
    std::string name_;
};

pid_t startLive(const std::string& display, const std::filesystem::path& folder) {
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(folder.c_str()) != 0) _exit(126);
        const int input = open("input", O_RDONLY);
        const int output = open("out", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(input, STDIN_FILENO);
        dup2(output, STDOUT_FILENO);
        dup2(output, STDERR_FILENO);
        setenv("DISPLAY", display.c_str(), 1);
        execl(KEYVANE_SANDBOX_PROGRAM, KEYVANE_SANDBOX_PROGRAM, "live", "--home", "home", "--trace",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    return child;
}

// Waits until the file holds `text` `times` times.
bool waitForText(const std::filesystem::path& file, const std::string& text, int times = 1) {
    const auto giveUp = std::chrono::steady_clock::now() + kPatience;
    while (std::chrono::steady_clock::now() < giveUp) {
        const std::string content = readText(file);
        int found = 0;
        for (auto at = content.find(text); at != std::string::npos && found < times; at = content.find(text, at + 1)) {
            ++found;
        }
        if (found >= times) return true;
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

}  // namespace

TEST(LiveWindow, SigtermAndSighupSaveTheSettingsAndTheWindowPlaceLikeClosingTheWindow) {
    if (!onPath("Xvfb")) GTEST_SKIP() << "Xvfb is not installed (scripts/install adds it)";
    VirtualDisplay display;
    ASSERT_FALSE(display.name().empty()) << "Xvfb did not start";
    for (int stopSignal : {SIGTERM, SIGHUP}) {
        ScratchFolder folder;
        // One terminal line, then the end of input, which leaves the window open.
        writeText(folder / "input", "kvanescale 0.5\n");
        const pid_t live = startLive(display.name(), folder.path());
        // The plugin rewrites its file at every change, so the file shows the line has run.
        ASSERT_TRUE(waitForText(folder / "home/bakkesmod/cfg/keyvane.cfg", "0.500000")) << readText(folder / "out");
        EXPECT_TRUE(waitForText(folder / "out", "live: close the window"));
        // The plugin opens its window one second after load; the trace shows its frames asking
        // whether the match has ended, and a second such frame means the first one is complete.
        ASSERT_TRUE(waitForText(folder / "out", "trace: ServerWrapper::GetbMatchEnded", 2)) << readText(folder / "out");
        kill(live, stopSignal);
        const int status = waitForExit(live);
        ASSERT_NE(status, -1) << "still running after signal " << stopSignal;
        ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << stopSignal << ": " << readText(folder / "out");
        EXPECT_EQ(WEXITSTATUS(status), 128 + stopSignal) << readText(folder / "out");
        EXPECT_EQ(readText(folder / "home/bakkesmod/cfg/keyvane.cfg"),
                  "kvanescale \"0.500000\"\nkvanetransparency \"0.000000\"\n");
        EXPECT_NE(readText(folder / "home/imgui.ini").find("[Window][Keyvane Display]"), std::string::npos)
            << "signal " << stopSignal;
    }
}
