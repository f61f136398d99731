// keyvane-sandbox as a user runs it, the same table on Linux and under Wine: scripts and the
// console, settings files in the platform's line ends, modules and scripts the program refuses,
// each with its exit status and exactly what it prints.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "sandbox_program.h"

using namespace sandbox_test;

namespace {

// Texts below are written with '\n'; the program prints, and the plugin writes, the platform's
// line ends. "{folder}/" stands for the test's folder.
struct ProgramCase {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;   // written into the folder first
    std::vector<std::pair<std::string, std::string>> copies;  // files copied into it: from, as
    std::vector<std::string> arguments;
    const char* input;  // the file standard input comes from; "" for none
    int status;
    std::string out;
    std::string err;  // exactly, or its first line when errIsStart
    bool errIsStart = false;
    std::string settings = {};        // what home/bakkesmod/cfg/keyvane.cfg holds after the run; "" unchecked
    std::string windowSettings = {};  // a line home/imgui.ini holds after the run; "" unchecked
};

std::string inPlatformLines(std::string text, const std::filesystem::path& folder) {
    const std::string inFolder = (folder / "").string();
    for (auto at = text.find("{folder}/"); at != std::string::npos; at = text.find("{folder}/")) {
        text.replace(at, 9, inFolder);
    }
    std::string converted;
    for (char c : text) c == '\n' ? converted += testsupport::kProgramLineEnd : converted += c;
    return converted;
}

const std::vector<ProgramCase>& programCases() {
    static const std::vector<ProgramCase> cases{
        {"UnloadSavesTheSettingsFile",
         {{"scale.session", "kvanescale 1.5\nunload\n"}},
         {},
         {"run", "scale.session", "--home", "home"},
         "",
         0,
         "",
         "",
         false,
         "kvanescale \"1.500000\"\nkvanetransparency \"0.000000\"\n"},
        {"AMatchPlaysWithTicksFramesADragAndAReload",
         {{"match.session", "game online\nwait 1.5\nhold A LeftMouseButton\ntick\nframe 3\ndrag 40 20\n"
                            "kvanetransparency 0.5\nunload\nload\nkvanetransparency\n"}},
         {},
         {"run", "match.session", "--home", "home"},
         "",
         0,
         "kvanetransparency \"0.500000\"\n",
         "",
         false,
         "",
         "[Window][Keyvane Display]"},
        {"AnUnknownCommandStopsTheScriptAfterTheLinesBeforeIt",
         {{"unknown.session", "wait 0.5\nkvanescale 2\nkvanesize 2\n"}},
         {},
         {"run", "unknown.session", "--home", "home"},
         "",
         2,
         "",
         "unknown.session:3: unknown command: kvanesize (did you mean kvanescale?)\n",
         false,
         "kvanescale \"2.000000\"\nkvanetransparency \"0.000000\"\n"},
        {"UnloadSavesAndLoadReplaysTheSavedSettings",
         {{"reload.session", "kvanescale 0.5\nunload\nload\nkvanescale\nunload\nunload\nkvanescale 3\n"}},
         {},
         {"run", "reload.session", "--home", "home"},
         "",
         2,
         "kvanescale \"0.500000\"\n",
         "reload.session:6: unload: no module is loaded\n"},
        {"TheConsoleRepliesAndCarriesOnAfterABadLine",
         {{"input", "kvanescale 0.75\nhold Nothing\nkvanescale\n"}},
         {},
         {"console", "--home", "home"},
         "input",
         2,
         "kvanescale \"0.75\"\n",
         "<stdin>:2: unknown key name 'Nothing'",
         true},
        {"AFileThatIsNoLibraryIsRefusedWithTheSystemsReason",
         {{"fake.module", "not a library\n"}, {"empty.session", ""}},
         {},
         {"run", "empty.session", "--module", "fake.module", "--home", "home"},
         "",
         2,
         "",
         "keyvane-sandbox: {folder}/fake.module: not a loadable module (",
         true},
        {"AMissingModuleIsRefusedInOneLine",
         {{"empty.session", ""}},
         {},
         {"run", "empty.session", "--module", "gone.module", "--home", "home"},
         "",
         2,
         "",
         "keyvane-sandbox: {folder}/gone.module: no such module file\n"},
        {"AModuleWithAnotherInterfaceVersionIsRefusedWithTheValuesFound",
         {{"empty.session", ""}},
         {{KEYVANE_WRONG_VERSION_MODULE, "wrong.module"}},
         {"run", "empty.session", "--module", "wrong.module", "--home", "home"},
         "",
         2,
         "",
         "keyvane-sandbox: {folder}/wrong.module: plugin record has interface version 94 and kind 1; this host "
         "loads version 95, kind 1\n"},
        {"AMissingScriptIsRefused",
         {},
         {},
         {"run", "nosuch.session", "--home", "home"},
         "",
         2,
         "",
         "keyvane-sandbox: cannot read the script nosuch.session: no such file\n"},
        {"AFolderIsNoScript",
         {},
         {},
         {"run", ".", "--home", "home"},
         "",
         2,
         "",
         "keyvane-sandbox: cannot read the script .: it is a folder\n"},
        {"AHomeThatIsAFileIsAnInputError",
         {{"empty.session", ""}, {"file", "x"}},
         {},
         {"run", "empty.session", "--home", "file"},
         "",
         2,
         "",
         "keyvane-sandbox: --home file: it is not a folder\n"},
        {"VersionIsTheProjects", {}, {}, {"--version"}, "", 0, "keyvane-sandbox 1.0.0.4\n", ""},
        {"ABadOptionIsNamed",
         {},
         {},
         {"render", "--scale", "big"},
         "",
         2,
         "",
         "keyvane-sandbox: --scale: expected a number from -1e+06 to 1e+06, got 'big'\n"},
    };
    return cases;
}

class ProgramRuns : public testing::TestWithParam<ProgramCase> {};

TEST_P(ProgramRuns, ExitWithTheirStatusAndPrintExactlyThis) {
    const ProgramCase& program = GetParam();
    ScratchFolder folder;
    for (const auto& [name, text] : program.files) writeText(folder / name, text);
    for (const auto& [from, name] : program.copies) std::filesystem::copy_file(from, folder / name);
    const ProgramRun run =
        runSandbox(program.arguments, folder.path(), *program.input ? folder / program.input : std::filesystem::path());
    EXPECT_EQ(run.status, program.status) << run.err;
    EXPECT_EQ(run.out, inPlatformLines(program.out, folder.path()));
    const std::string err = inPlatformLines(program.err, folder.path());
    if (program.errIsStart) {
        EXPECT_EQ(run.err.rfind(err, 0), 0u) << run.err;
        // One line: the system's reason follows, and nothing after it.
        // The reason follows on the same line, whole (no "%1" left of a system message), and ends it.
        const std::size_t lineEnd = std::strlen(testsupport::kProgramLineEnd);
        EXPECT_GT(run.err.size(), err.size() + 3) << run.err;
        EXPECT_EQ(run.err.find("%1"), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find(testsupport::kProgramLineEnd), run.err.size() - lineEnd) << run.err;
    } else {
        EXPECT_EQ(run.err, err);
    }
    if (!program.settings.empty()) {
        EXPECT_EQ(readText(folder / "home" / "bakkesmod" / "cfg" / "keyvane.cfg"),
                  inPlatformLines(program.settings, folder.path()));
    }
    if (!program.windowSettings.empty()) {
        EXPECT_NE(readText(folder / "home" / "imgui.ini").find(program.windowSettings), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(Program, ProgramRuns, testing::ValuesIn(programCases()),
                         [](const testing::TestParamInfo<ProgramCase>& run) { return run.param.name; });

TEST(Program, EachCommandsHelpDescribesEveryOptionItTakesWithExamplesAndKeysListsTheGamesNames) {
    ScratchFolder folder;
    const std::vector<std::string> session{"--home", "--screen", "--module", "--rate", "--trace"};
    const std::vector<std::pair<std::string, std::vector<std::string>>> commands{
        {"run", session},
        {"console", session},
        {"live", session},
        {"render",
         {"--out", "--scale", "--transparency", "--hold", "--window", "--zoom", "--home", "--screen", "--module"}},
        {"keys", {"--home", "--module"}}};
    for (const auto& [command, options] : commands) {
        const ProgramRun run = runSandbox({command, "--help"}, folder.path());
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out.rfind("keyvane-sandbox " + command, 0), 0u) << run.out;
        EXPECT_NE(run.out.find("Example"), std::string::npos) << command;
        EXPECT_EQ(runSandbox({"help", command}, folder.path()).out, run.out) << command;
        for (const auto& option : options) {
            // One line each: the option, what it does and an example that uses it.
            const std::string lineEnd = testsupport::kProgramLineEnd;
            const std::size_t at = run.out.find(lineEnd + "  " + option + " ");
            ASSERT_NE(at, std::string::npos) << command << ' ' << option;
            const std::size_t start = at + lineEnd.size();
            const std::string line = run.out.substr(start, run.out.find(lineEnd, start) - start);
            EXPECT_NE(line.find(option, option.size() + 2), std::string::npos) << line;
        }
    }
    const ProgramRun keys = runSandbox({"keys"}, folder.path());
    EXPECT_EQ(keys.status, 0);
    // The plugin's keys are marked as polled; the others are not.
    EXPECT_NE(keys.out.find(inPlatformLines("* LeftShift             printed \"Shift\"\n", folder.path())),
              std::string::npos)
        << keys.out;
    EXPECT_NE(keys.out.find(inPlatformLines("\n  H\n", folder.path())), std::string::npos) << keys.out;
}

}  // namespace
