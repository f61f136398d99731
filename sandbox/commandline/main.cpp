// keyvane-sandbox's entry point: reads the command line and starts the chosen command.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>

#include "sandbox/commandline/checked_output.h"
#include "sandbox/commandline/cli_options.h"
#include "sandbox/commandline/help_text.h"
#include "sandbox/commandline/picture_support.h"
#include "sandbox/commandline/program_location.h"
#include "sandbox/commandline/standard_streams.h"
#include "sandbox/commandline/temporary_home.h"
#include "sandbox/commandline/user_home.h"
#include "sandbox/session/host_trace.h"
#include "sandbox/session/input/line_input.h"
#include "sandbox/session/input/stop_signals.h"
#include "sandbox/session/language/name_hints.h"
#include "sandbox/session/line_loop.h"
#include "sandbox/session/session.h"
#include "sandbox/session/session_files.h"

namespace {

using namespace sandbox::commandline;
using namespace sandbox::session;

constexpr const char* kProgram = "keyvane-sandbox";
// Long enough for the plugin's window to open (one second after load) and a few key polls.
constexpr double kRenderWaitSeconds = 1.5;

int failWith(const std::string& message, int status) {
    std::cerr << kProgram << ": " << message << '\n';
    return status;
}

// Loads the module into a fresh session; false after reporting why not.
bool loadModule(Session& session) {
    try {
        session.loadModule();
        return true;
    } catch (const CommandError& error) {
        std::cerr << kProgram << ": " << error.what() << '\n';
        return false;
    }
}

// A stop signal ended the command: the session has finished its capture and saved, and the program
// ends as a shell expects of a program such a signal ended (130 for Ctrl+C).
int stoppedBySignal() {
    std::cerr << kProgram << ": stopped by " << stopSignalName() << '\n';
    return stopExitStatus();
}

// Finishes a capture left open, reporting a file that could not be finished; false if so.
bool finishCapture(Session& session) {
    try {
        session.finishRecording();
        return true;
    } catch (const CommandError& error) {
        std::cerr << kProgram << ": " << error.what() << '\n';
        return false;
    }
}

void listPicturesWritten(const Session& session) {
    if (session.picturesWritten().empty()) return;
    std::cout << "pictures written:\n";
    for (const auto& picture : session.picturesWritten()) std::cout << "  " << picture.string() << '\n';
}

int runScript(const CliOptions& options, SessionOptions sessionOptions) {
    // '-' is standard input, as for other command-line tools.
    const bool fromStandardInput = options.script == "-";
    std::ifstream file;
    if (!fromStandardInput) {
        const auto script = resolveFrom(sessionOptions.startDirectory, options.script);
        if (const std::string reason = openScript(script, file); !reason.empty()) {
            // Opening a named pipe waits for a writer; a stop signal ends the wait.
            if (stopRequested()) return stoppedBySignal();
            return failWith("cannot read the script " + options.script.string() + ": " + reason, kExitBadInput);
        }
    }
    int status = kExitOk;
    {
        Session session(std::move(sessionOptions));
        if (!loadModule(session)) return kExitBadInput;
        StreamLineInput lines(fromStandardInput ? static_cast<std::istream&>(std::cin) : file, /*stopAtLongLine=*/true);
        try {
            status = runLines(session, lines, fromStandardInput ? "<stdin>" : options.script.string(), LineMode::Script,
                              std::cout, std::cerr);
        } catch (const Interrupted&) {}
        // An animated capture still open at the end is finished before the session ends.
        if (!finishCapture(session) && status == kExitOk) status = kExitBadInput;
        if (!session.endModule() && status == kExitOk) status = kExitSetup;
        listPicturesWritten(session);
    }
    return stopRequested() ? stoppedBySignal() : status;
}

// A render that fails in a fresh home names it, as the place its settings were read from.
int renderFailed(int status, const std::optional<TemporaryHome>& temporary) {
    if (temporary) {
        std::cerr << kProgram << ": the render ran in the fresh home " << temporary->path().string()
                  << ", removed now (--home DIR keeps one)\n";
    }
    return status;
}

int render(const CliOptions& options, SessionOptions sessionOptions, const std::optional<TemporaryHome>& temporary) {
    const auto out = resolveFrom(sessionOptions.startDirectory, options.out);
    std::vector<SessionCommand> commands{SetGame{sandbox::GameMode::OnlineMatch}, SetMatch{false}};
    if (options.scale) commands.push_back(ConsoleLine{"kvanescale " + *options.scale});
    if (options.transparency) commands.push_back(ConsoleLine{"kvanetransparency " + *options.transparency});
    if (!options.hold.empty()) commands.push_back(SetKeys{options.hold, true});
    commands.push_back(Wait{kRenderWaitSeconds});
    commands.push_back(Snapshot{out.string(), options.window, options.zoom});

    Session session(std::move(sessionOptions));
    if (!loadModule(session)) return renderFailed(kExitBadInput, temporary);
    for (const auto& command : commands) {
        try {
            session.execute(command);
        } catch (const CommandError& error) {
            return renderFailed(failWith(error.what(), kExitBadInput), temporary);
        } catch (const Interrupted&) {
            return stoppedBySignal();
        }
    }
    std::cout << out.string() << '\n';
    return session.endModule() ? kExitOk : kExitSetup;
}

// The listing marks the keys the plugin polls on a tick of an online match, as the host saw it ask.
int listKeys(SessionOptions sessionOptions) {
    Session session(std::move(sessionOptions));
    try {
        session.loadModule();
        // A plugin may poll only while a match is played.
        session.execute(SetGame{sandbox::GameMode::OnlineMatch});
        session.execute(SetMatch{false});
        session.execute(Tick{1});
    } catch (const CommandError& error) {
        std::cerr << kProgram << ": keys: " << error.what() << "; no key is marked\n";
        std::cout << keyListing();
        return kExitOk;
    }
    std::cout << keyListing([&](const std::string& name) { return session.host().keyPolled(name); });
    return kExitOk;
}

int console(SessionOptions sessionOptions) {
    const auto historyFile = sessionOptions.home / kConsoleHistoryFile;
    Session session(std::move(sessionOptions));
    if (!loadModule(session)) return kExitBadInput;
    // A stop signal ends the input as Ctrl+D does, so the session still saves; Ctrl+C at the prompt
    // only clears the line.
    const auto lines = standardInputLines("> ", historyFile, stopRequested, takeInterruptAtPrompt);
    if (standardInputIsTerminal()) std::cout << "Type 'help' for the session language, 'quit' to leave.\n";
    int status = kExitOk;
    try {
        status = runLines(session, *lines, "<stdin>", LineMode::Console, std::cout, std::cerr);
    } catch (const Interrupted&) {}
    if (!finishCapture(session)) status = kExitBadInput;
    if (!session.endModule() && status == kExitOk) status = kExitSetup;
    return stopRequested() ? stoppedBySignal() : status;
}

// The session's home: --home, a fresh temporary one for render, or the user's own folder, named
// once so its files can be found. Returns the exit status of a failure, or kExitOk.
int chooseHome(const CliOptions& options, SessionOptions& sessionOptions, std::optional<TemporaryHome>& temporary) {
    if (!options.home.empty()) {
        sessionOptions.home = resolveFrom(sessionOptions.startDirectory, options.home);
        if (const std::string refusal = homeRefusal(sessionOptions.home); !refusal.empty()) {
            return failWith("--home " + options.home.string() + ": " + refusal, kExitBadInput);
        }
        return kExitOk;
    }
    std::string error;
    if (options.command == Command::Render || options.command == Command::Keys) {
        // A picture shows the settings it was asked for and leaves the player's stored ones alone.
        temporary.emplace(error);
        if (temporary->path().empty()) return failWith(error, kExitSetup);
        sessionOptions.home = temporary->path();
        // Named only where it matters: a trace shows what the session did in it.
        if (options.trace) {
            std::cerr << kProgram << ": home " << sessionOptions.home.string()
                      << ", fresh and removed at the end, so your stored settings stay as they are"
                         " (--home DIR renders with the settings kept there)\n";
        }
        return kExitOk;
    }
    sessionOptions.home = defaultHome(error);
    if (sessionOptions.home.empty()) return failWith(error, kExitSetup);
    std::cerr << kProgram << ": home " << sessionOptions.home.string()
              << " (settings and window places; --home DIR for another)\n";
    return kExitOk;
}

// Another user who can change the home's folders could link the files kept there to this user's own.
int refuseForeignHome(const std::filesystem::path& home) {
    const std::string why = foreignHome(home);
    if (why.empty()) return kExitOk;
    return failWith("home " + home.string() + " refused: " + why + "; give a folder of your own with --home DIR",
                    kExitBadInput);
}

int runCommand(int argc, char** argv) {
    const CliParse parse = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parse.error.empty()) return failWith(parse.error, kExitBadInput);
    const CliOptions& options = parse.options;
    switch (options.command) {
    case Command::Help: std::cout << helpText(options.helpTopic); return kExitOk;
    case Command::Version: std::cout << kProgram << ' ' << KEYVANE_VERSION << '\n'; return kExitOk;
    default: break;
    }

    if (!buildMakesPictures() && (options.command == Command::Render || options.command == Command::Live)) {
        return failWith(std::string(options.command == Command::Render ? "render" : "live") + ": " + kPicturesNeedLinux,
                        kExitBadInput);
    }

    // From here on a stop signal ends the command at its next frame, and the program saves as it
    // would at its end.
    watchStopSignals();
    SessionOptions sessionOptions;
    sessionOptions.startDirectory = std::filesystem::current_path();
    std::optional<TemporaryHome> temporaryHome;
    if (const int status = chooseHome(options, sessionOptions, temporaryHome); status != kExitOk) return status;
    if (const int status = refuseForeignHome(sessionOptions.home); status != kExitOk) return status;
    // The plugin and the host keep their files in the working folder, as in the game.
    if (std::string error; !enterHome(sessionOptions.home, error)) return failWith(error, kExitSetup);
    sessionOptions.module =
        options.module ? resolveFrom(sessionOptions.startDirectory, *options.module) : defaultModulePath();
    sessionOptions.screen = options.screen;
    sessionOptions.rate = options.rate;
    if (options.command != Command::Keys) sessionOptions.pictures = sessionPictures();
    sessionOptions.stop = stopRequested;
    sessionOptions.notes = &std::cerr;
    if (standardErrorIsTerminal()) sessionOptions.progress = &std::cerr;
    HostTrace trace(std::cerr);
    if (options.trace) sessionOptions.trace = &trace;
    try {
        switch (options.command) {
        case Command::Run: return runScript(options, std::move(sessionOptions));
        case Command::Render: return render(options, std::move(sessionOptions), temporaryHome);
        case Command::Console: return console(std::move(sessionOptions));
        case Command::Keys: return listKeys(std::move(sessionOptions));
        case Command::Live: {
            const int status = runLiveWindow(sessionOptions, std::cout, std::cerr);
            return stopRequested() ? stoppedBySignal() : status;
        }
        default: break;
        }
    } catch (const SetupError& error) {
        return failWith(error.what(), kExitSetup);
    }
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    openClosedStandardStreams();
    ignoreFileSizeLimitSignal();
    // Standard output goes through a buffer that notices a failed write; it is put back before the
    // stream's own clean-up at exit flushes it.
    CheckedOutput output(stopForClosedOutput);
    std::streambuf* const original = std::cout.rdbuf(&output);
    int status = runCommand(argc, argv);
    std::cout.flush();
    std::cout.rdbuf(original);
    if (output.failure().empty()) return status;
    if (stopExitStatus() == 0) {
        std::cerr << kProgram << ": cannot write standard output: " << output.failure() << '\n';
        return status == kExitOk ? kExitSetup : status;
    }
    // A closed pipe stops a session, which says so; found only by the last lines, it still ends as
    // SIGPIPE ends a program.
    return status == kExitOk ? stopExitStatus() : status;
}
