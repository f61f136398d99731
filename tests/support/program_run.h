// Running a program from a test and collecting its exit status and what it printed (program_run.cpp):
// through the shell on Linux (program_run_posix.cpp), CreateProcess on Windows (program_run_windows.cpp).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

inline constexpr int kProgramPatienceSeconds = 300;

struct ProgramRun {
    int status = -1;  // the exit status; -1 if the program could not start or did not exit
    std::string out;
    std::string err;
};

// Runs `program` with `arguments` in the folder `in`; standard input comes from the file `input`,
// or from the null device when it is empty. A program still running after kProgramPatienceSeconds is
// ended, and its status is then not 0.
ProgramRun runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& in, const std::filesystem::path& input = {});

// How a program's printed lines and text-mode files end on this platform: "\n", or "\r\n" on Windows.
extern const char* const kProgramLineEnd;

// Sets a variable of this process's environment, which every program it runs from then on inherits.
void setEnvironment(const std::string& name, const std::string& value);

// The platform's part: runs the program with its standard streams on these files (input empty: the
// null device) and returns its exit status, or -1.
int runWithStreams(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                   const std::filesystem::path& in, const std::filesystem::path& input,
                   const std::filesystem::path& outFile, const std::filesystem::path& errFile);

}  // namespace testsupport
