// runWithStreams on Linux: fork and exec, with a deadline.
#include "support/program_run.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

const char* const kProgramLineEnd = "\n";

void setEnvironment(const std::string& name, const std::string& value) { setenv(name.c_str(), value.c_str(), 1); }

// The program runs in a child of its own, with no shell between: its exit status, or 128 plus the
// signal that ended it, as a shell reports it. One still running after kProgramPatienceSeconds is
// killed, and the run reports -1.
int runWithStreams(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                   const std::filesystem::path& in, const std::filesystem::path& input,
                   const std::filesystem::path& outFile, const std::filesystem::path& errFile) {
    std::vector<std::string> words{program.string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const std::string inputName = input.empty() ? "/dev/null" : input.string();
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        // In the folder first: names of streams are taken from there, as a shell's redirections are.
        if (::chdir(in.c_str()) != 0) ::_exit(126);
        const int streams[3] = {::open(inputName.c_str(), O_RDONLY),
                                ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644),
                                ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)};
        for (int stream = 0; stream < 3; ++stream) {
            if (streams[stream] < 0 || ::dup2(streams[stream], stream) < 0) ::_exit(126);
            if (streams[stream] > 2) ::close(streams[stream]);
        }
        // A bare name (timeout, bash) is looked up on PATH, as a shell would.
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(kProgramPatienceSeconds);
    int raw = 0;
    for (;;) {
        const pid_t ended = ::waitpid(child, &raw, WNOHANG);
        if (ended == child) break;
        if (ended < 0 && errno != EINTR) return -1;
        if (std::chrono::steady_clock::now() > giveUp) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &raw, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

}  // namespace testsupport
