// runProgram: the program's output goes to scratch files in its folder, read back once it has ended.
#include "support/program_run.h"

#include <fstream>
#include <sstream>

namespace testsupport {
namespace {

std::string takeFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    in.close();
    std::filesystem::remove(file);
    return text.str();
}

}  // namespace

ProgramRun runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& in, const std::filesystem::path& input) {
    const auto outFile = in / ".program-out";
    const auto errFile = in / ".program-err";
    ProgramRun run;
    run.status = runWithStreams(program, arguments, in, input, outFile, errFile);
    run.out = takeFile(outFile);
    run.err = takeFile(errFile);
    return run;
}

}  // namespace testsupport
