// keyvane-sandbox's entry point: reads the command line and starts the chosen command.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "cli_options.h"
#include "help_text.h"
#include "live_mode.h"
#include "pictures.h"
#include "script_runner.h"
#include "session.h"
#include "workplace.h"

namespace {

using namespace sandbox::app;

constexpr const char* kProgram = "keyvane-sandbox";
// Long enough for the plugin's window to open (one second after load) and a few key polls.
constexpr double kRenderWaitSeconds = 1.5;

int failWith(const std::string& message, int status)
{
    std::cerr << kProgram << ": " << message << '\n';
    return status;
}

// Loads the module into a fresh session; false after reporting why not.
bool loadModule(Session& session)
{
    try {
        session.execute(LoadModule{});
        return true;
    } catch (const CommandError& error) {
        std::cerr << kProgram << ": " << error.what() << '\n';
        return false;
    }
}

int runScript(const CliOptions& options, SessionOptions sessionOptions)
{
    const auto script = resolveFrom(sessionOptions.startDirectory, options.script);
    std::ifstream file(script);
    // A folder opens like a file here and then reads as empty: refuse it rather than play nothing.
    if (!file || std::filesystem::is_directory(script)) {
        return failWith("cannot read the script " + options.script.string(), kExitBadInput);
    }
    Session session(std::move(sessionOptions));
    if (!loadModule(session)) return kExitBadInput;
    const int status = runLines(session, file, options.script.string(), LineMode::Script, std::cout, std::cerr);
    if (!session.picturesWritten().empty()) {
        std::cout << "pictures written:\n";
        for (const auto& picture : session.picturesWritten()) std::cout << "  " << picture.string() << '\n';
    }
    return status;
}

int render(const CliOptions& options, SessionOptions sessionOptions)
{
    const auto out = resolveFrom(sessionOptions.startDirectory, options.out);
    std::vector<SessionCommand> commands{SetGame{sandbox::GameMode::OnlineMatch}, SetMatch{false}};
    if (options.scale) commands.push_back(ConsoleLine{"kvanescale " + *options.scale});
    if (options.transparency) commands.push_back(ConsoleLine{"kvanetransparency " + *options.transparency});
    if (!options.hold.empty()) commands.push_back(SetKeys{options.hold, true});
    commands.push_back(Wait{kRenderWaitSeconds});
    commands.push_back(Snapshot{out.string()});

    Session session(std::move(sessionOptions));
    if (!loadModule(session)) return kExitBadInput;
    for (const auto& command : commands) {
        try {
            session.execute(command);
        } catch (const CommandError& error) {
            return failWith(error.what(), kExitBadInput);
        }
    }
    std::cout << out.string() << '\n';
    return kExitOk;
}

int console(SessionOptions sessionOptions)
{
    Session session(std::move(sessionOptions));
    if (!loadModule(session)) return kExitBadInput;
    return runLines(session, std::cin, "<stdin>", LineMode::Console, std::cout, std::cerr, isatty(0) != 0);
}

}  // namespace

int main(int argc, char** argv)
{
    const CliParse parse = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parse.error.empty()) return failWith(parse.error, kExitBadInput);
    const CliOptions& options = parse.options;
    if (options.command == Command::Help) {
        std::cout << helpText(options.helpTopic);
        return kExitOk;
    }

    if (!kPicturesAvailable && (options.command == Command::Render || options.command == Command::Live)) {
        return failWith(std::string(options.command == Command::Render ? "render" : "live") + ": " +
                            kPicturesNeedLinux,
                        kExitBadInput);
    }

    SessionOptions sessionOptions;
    sessionOptions.startDirectory = std::filesystem::current_path();
    sessionOptions.home = options.home.empty() ? sessionOptions.startDirectory
                                               : resolveFrom(sessionOptions.startDirectory, options.home);
    sessionOptions.module = options.module ? resolveFrom(sessionOptions.startDirectory, *options.module)
                                           : defaultModulePath();
    sessionOptions.screen = options.screen;
    sessionOptions.rate = options.rate;
    try {
        switch (options.command) {
        case Command::Run: return runScript(options, std::move(sessionOptions));
        case Command::Render: return render(options, std::move(sessionOptions));
        case Command::Console: return console(std::move(sessionOptions));
        case Command::Live: return runLive(sessionOptions, std::cout, std::cerr);
        case Command::Help: break;
        }
    } catch (const SetupError& error) {
        return failWith(error.what(), kExitSetup);
    }
    return kExitOk;
}
