// Running the keyvane-sandbox program from a test: its exit status and what it printed, plus a
// scratch folder that disappears with the test.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace sandbox_test {

struct ProgramRun {
    int status = -1;
    std::string out;
    std::string err;
};

class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kv-sandbox-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~ScratchFolder() { std::filesystem::remove_all(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline std::string readText(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeText(const std::filesystem::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
}

inline std::string shellQuoted(const std::string& word)
{
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Where a run without --home keeps its session: the user's state folder, here inside `in`, so a test
// never touches the real one.
inline std::filesystem::path stateFolderIn(const std::filesystem::path& in) { return in / "state"; }

// Runs the program with these arguments in folder `in`, standard input from `input` (a file name
// inside `in`, or /dev/null).
inline ProgramRun runSandbox(const std::vector<std::string>& arguments, const std::filesystem::path& in,
                             const std::string& input = "/dev/null")
{
    std::string command = "cd " + shellQuoted(in.string()) + " && XDG_STATE_HOME=" +
                          shellQuoted(stateFolderIn(in).string()) + " " + shellQuoted(KEYVANE_SANDBOX_PROGRAM);
    for (const auto& argument : arguments) command += " " + shellQuoted(argument);
    const auto outFile = in / ".sandbox-out";
    const auto errFile = in / ".sandbox-err";
    command += " <" + shellQuoted(input) + " >" + shellQuoted(outFile.string()) + " 2>" + shellQuoted(errFile.string());
    const int raw = std::system(command.c_str());
    ProgramRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = readText(outFile);
    run.err = readText(errFile);
    std::filesystem::remove(outFile);
    std::filesystem::remove(errFile);
    return run;
}

}  // namespace sandbox_test
