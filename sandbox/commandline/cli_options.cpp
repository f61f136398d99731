// Command-line parsing. Every option takes its value as the next word or after "=".
#include "sandbox/commandline/cli_options.h"

#include "sandbox/pluginsdk/host.h"
#include "sandbox/session/language/name_hints.h"
#include "sandbox/session/language/session_command.h"
#include "sandbox/session/language/session_words.h"

namespace sandbox::app {
namespace {

// Wide enough for any picture a player could ask for, narrow enough to stay a number.
constexpr double kSettingLimit = 1e6;

struct Reader {
    const std::vector<std::string>& words;
    std::size_t at = 0;

    bool done() const { return at >= words.size(); }
    const std::string& next() { return words[at++]; }
};

bool isCommandName(const std::string& word) {
    return word == "run" || word == "render" || word == "console" || word == "live" || word == "keys";
}

Command commandNamed(const std::string& word) {
    if (word == "keys") return Command::Keys;
    if (word == "run") return Command::Run;
    if (word == "render") return Command::Render;
    if (word == "console") return Command::Console;
    return Command::Live;
}

// Reads one option and its value into options; returns an error text or "".
std::string readOption(const std::string& name, const std::string& value, CliOptions& options) {
    const Command command = options.command;
    const bool sessionCommand = command != Command::Help && command != Command::Keys;
    if (name == "--home" && sessionCommand) {
        if (value.empty()) return "--home needs a folder";
        options.home = value;
    } else if (name == "--module" && sessionCommand) {
        if (value.empty()) return "--module needs a file";
        options.module = value;
    } else if (name == "--screen" && sessionCommand) {
        const auto read = readScreenSize(value);
        if (!read) return "--screen: " + read.error;
        options.screen = read.value;
    } else if (name == "--rate" &&
               (command == Command::Run || command == Command::Console || command == Command::Live)) {
        const auto read = readDecimal(value, 1.0, 1000.0);
        if (!read) return "--rate: " + read.error;
        options.rate = read.value;
    } else if (name == "--out" && command == Command::Render) {
        if (value.empty()) return "--out needs a file name";
        if (!namesFileOfKind(value, ".png")) {
            return "--out writes a PNG file: the name must end in .png, got '" + value + "'";
        }
        options.out = value;
    } else if ((name == "--scale" || name == "--transparency") && command == Command::Render) {
        const auto read = readDecimal(value, -kSettingLimit, kSettingLimit);
        if (!read) return name + ": " + read.error;
        (name == "--scale" ? options.scale : options.transparency) = value;
    } else if (name == "--zoom" && command == Command::Render) {
        const auto read = readZoom(value);
        if (!read) return "--zoom: " + read.error;
        options.zoom = read.value;
    } else if (name == "--hold" && command == Command::Render) {
        for (const auto& key : splitList(value)) {
            if (Host::keyIndex(key) == 0) return "--hold: " + unknownKeyMessage(key);
            options.hold.push_back(key);
        }
    } else {
        return "unknown option '" + name + "' for this command (see --help)";
    }
    return "";
}

}  // namespace

CliParse parseCommandLine(const std::vector<std::string>& arguments) {
    CliParse parse;
    CliOptions& options = parse.options;
    Reader reader{arguments};
    if (reader.done()) return parse;  // no command: the overview help

    const std::string first = reader.next();
    if (first == "--version" || first == "version") {
        options.command = Command::Version;
        if (!reader.done()) parse.error = "--version takes nothing after it";
        return parse;
    }
    if (first == "--help" || first == "-h" || first == "help") {
        if (!reader.done()) options.helpTopic = reader.next();
        if (!options.helpTopic.empty() && !isCommandName(options.helpTopic)) {
            parse.error = "no help on '" + options.helpTopic + "': the commands are run, render, console, live, keys";
        }
        return parse;
    }
    if (!isCommandName(first)) {
        parse.error = "unknown command '" + first + "': the commands are run, render, console, live, keys (see --help)";
        return parse;
    }
    options.command = commandNamed(first);

    while (!reader.done()) {
        const std::string word = reader.next();
        if (word == "--help" || word == "-h") {
            options.helpTopic = first;
            options.command = Command::Help;
            return parse;
        }
        if (word == "--trace" && (options.command == Command::Run || options.command == Command::Console ||
                                  options.command == Command::Live)) {
            options.trace = true;
        } else if (word == "--window" && options.command == Command::Render) {
            options.window = true;
        } else if (word.rfind("--", 0) == 0) {
            std::string name = word;
            std::string value;
            if (const auto equals = word.find('='); equals != std::string::npos) {
                name = word.substr(0, equals);
                value = word.substr(equals + 1);
            } else if (reader.done()) {
                parse.error = "option " + word + " needs a value";
                return parse;
            } else {
                value = reader.next();
            }
            parse.error = readOption(name, value, options);
            if (!parse.error.empty()) return parse;
        } else if (options.command == Command::Run && options.script.empty()) {
            options.script = word;
        } else {
            parse.error = "unexpected argument '" + word + "' (see keyvane-sandbox " + first + " --help)";
            return parse;
        }
    }
    if (options.command == Command::Run && options.script.empty()) {
        parse.error = "run needs a script file, e.g. keyvane-sandbox run examples/demo.session";
    } else if (options.command == Command::Render && options.out.empty()) {
        parse.error = "render needs --out FILE.png";
    }
    return parse;
}

}  // namespace sandbox::app
