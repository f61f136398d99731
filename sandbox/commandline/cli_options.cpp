// Command-line parsing. Every option takes its value as the next word or after "=".
#include "sandbox/commandline/cli_options.h"

#include <algorithm>

#include "sandbox/commandline/help_text.h"
#include "sandbox/pluginsdk/host.h"
#include "sandbox/session/language/name_hints.h"
#include "sandbox/session/language/session_command.h"
#include "sandbox/session/language/session_help.h"
#include "sandbox/session/language/session_words.h"

namespace sandbox::commandline {

using session::findSessionWord;
using session::namesFileOfKind;
using session::readDecimal;
using session::readScreenSize;
using session::readZoom;
using session::SessionWord;
using session::splitList;
using session::typingDistance;
using session::unknownKeyMessage;
using session::WordKind;
namespace {

// Wide enough for any picture a player could ask for, narrow enough to stay a number.
constexpr double kSettingLimit = 1e6;

struct Reader {
    const std::vector<std::string>& words;
    std::size_t at = 0;

    bool done() const { return at >= words.size(); }
    const std::string& next() { return words[at++]; }
};

constexpr std::string_view kCommandNames[] = {"run", "render", "console", "live", "keys"};

bool isCommandName(const std::string& word) {
    for (const auto name : kCommandNames) {
        if (word == name) return true;
    }
    return false;
}

Command commandNamed(const std::string& word) {
    if (word == "keys") return Command::Keys;
    if (word == "run") return Command::Run;
    if (word == "render") return Command::Render;
    if (word == "console") return Command::Console;
    return Command::Live;
}

// The options a command takes; flags take no value.
struct OptionName {
    std::string_view name;
    bool flag;
};
std::vector<OptionName> optionsOf(Command command) {
    if (command == Command::Keys) return {{"--home", false}, {"--module", false}};
    std::vector<OptionName> names{{"--home", false}, {"--module", false}, {"--screen", false}, {"--trace", true}};
    if (command == Command::Render) {
        for (const char* name : {"--out", "--scale", "--transparency", "--zoom", "--hold"})
            names.push_back({name, false});
        names.push_back({"--window", true});
    } else {
        names.push_back({"--rate", false});
    }
    return names;
}

std::string commandHint(const std::string& typed) {
    std::string best;
    std::size_t bestDistance = typed.size() / 3 + 1;
    for (const auto name : kCommandNames) {
        if (const std::size_t distance = typingDistance(typed, name); distance < bestDistance) {
            bestDistance = distance;
            best = name;
        }
    }
    return best.empty() ? "" : " (did you mean " + best + "?)";
}

// "unknown option '--scael' for render (did you mean --scale?)"
std::string unknownOption(const std::string& name, const std::string& command, const std::vector<OptionName>& known) {
    std::string best;
    std::size_t bestDistance = name.size() / 3 + 1;
    for (const auto& option : known) {
        if (const std::size_t distance = typingDistance(name, option.name); distance < bestDistance) {
            bestDistance = distance;
            best = option.name;
        }
    }
    return "unknown option '" + name + "' for " + command +
           (best.empty() ? " (see keyvane-sandbox " + command + " --help)" : " (did you mean " + best + "?)");
}

// Options typed before the command ("--home /tmp/x run s.session") are read as if they followed it.
// Returns the position of the command word, or the size of words when there is none.
std::size_t commandPosition(const std::vector<std::string>& words) {
    std::size_t at = 0;
    while (at < words.size() && words[at].starts_with("--")) {
        const std::string& word = words[at];
        const bool flag = word == "--trace" || word == "--window" || word.find('=') != std::string::npos;
        at += flag ? 1 : 2;
    }
    return at;
}

// Reads one option the command takes, with its value, into options; returns an error text or "".
std::string readOption(const std::string& name, const std::string& value, CliOptions& options) {
    if (name == "--home") {
        if (value.empty()) return "--home needs a folder";
        options.home = value;
    } else if (name == "--module") {
        if (value.empty()) return "--module needs a file";
        options.module = value;
    } else if (name == "--screen") {
        const auto read = readScreenSize(value);
        if (!read) return "--screen: " + read.error;
        options.screen = read.value;
    } else if (name == "--rate") {
        const auto read = readDecimal(value, 1.0, 1000.0);
        if (!read) return "--rate: " + read.error;
        options.rate = read.value;
    } else if (name == "--out") {
        if (value.empty()) return "--out needs a file name";
        if (!namesFileOfKind(value, ".png")) {
            return "--out writes a PNG file: the name must end in .png, got '" + value + "'";
        }
        options.out = value;
    } else if (name == "--scale" || name == "--transparency") {
        const auto read = readDecimal(value, -kSettingLimit, kSettingLimit);
        if (!read) return name + ": " + read.error;
        (name == "--scale" ? options.scale : options.transparency) = value;
    } else if (name == "--zoom") {
        const auto read = readZoom(value);
        if (!read) return "--zoom: " + read.error;
        options.zoom = read.value;
    } else if (name == "--hold") {
        for (const auto& key : splitList(value)) {
            if (Host::keyIndex(key) == 0) return "--hold: " + unknownKeyMessage(key);
            options.hold.push_back(key);
        }
    }
    return "";
}

}  // namespace

CliParse parseCommandLine(const std::vector<std::string>& typed) {
    CliParse parse;
    CliOptions& options = parse.options;
    if (typed.empty()) return parse;  // no command: the overview help

    std::vector<std::string> arguments = typed;
    const std::string& lead = typed[0];
    if (lead.starts_with("--") && lead != "--help" && lead != "--version") {
        const std::size_t at = commandPosition(typed);
        if (at >= typed.size() || !isCommandName(typed[at])) {
            parse.error = "options go after the command: keyvane-sandbox COMMAND [OPTIONS], e.g. keyvane-sandbox "
                          "run s.session " +
                          lead + " ...";
            return parse;
        }
        arguments.clear();
        arguments.push_back(typed[at]);
        arguments.insert(arguments.end(), typed.begin(), typed.begin() + static_cast<std::ptrdiff_t>(at));
        arguments.insert(arguments.end(), typed.begin() + static_cast<std::ptrdiff_t>(at) + 1, typed.end());
    }
    Reader reader{arguments};
    const std::string first = reader.next();
    if (first == "--version" || first == "version") {
        options.command = Command::Version;
        if (!reader.done()) parse.error = "--version takes nothing after it";
        return parse;
    }
    if (first == "--help" || first == "-h" || first == "help") {
        if (!reader.done()) options.helpTopic = reader.next();
        if (!options.helpTopic.empty() && !isHelpTopic(options.helpTopic)) {
            parse.error = helpTopicRefusal(options.helpTopic);
        }
        return parse;
    }
    if (!isCommandName(first)) {
        parse.error = "unknown command '" + first + "'" + commandHint(first) +
                      ": the commands are run, render, console, live, keys (see --help)";
        // A word of the session language typed as a command: say where it goes.
        if (const SessionWord* word = findSessionWord(first); word && word->kind == WordKind::Session) {
            parse.error +=
                "; '" + first + "' is a line of a session script or the console (keyvane-sandbox help " + first + ")";
        }
        return parse;
    }
    options.command = commandNamed(first);
    const std::vector<OptionName> known = optionsOf(options.command);

    while (!reader.done()) {
        const std::string word = reader.next();
        if (word == "--help" || word == "-h") {
            options.helpTopic = first;
            options.command = Command::Help;
            return parse;
        }
        if (word.starts_with("--")) {
            std::string name = word;
            std::optional<std::string> value;
            if (const auto equals = word.find('='); equals != std::string::npos) {
                name = word.substr(0, equals);
                value = word.substr(equals + 1);
            }
            const auto option = std::find_if(known.begin(), known.end(),
                                             [&](const OptionName& candidate) { return candidate.name == name; });
            if (option == known.end()) {
                parse.error = unknownOption(name, first, known);
                return parse;
            }
            if (option->flag) {
                if (value) {
                    parse.error = name + " takes no value";
                    return parse;
                }
                (name == "--trace" ? options.trace : options.window) = true;
                continue;
            }
            if (!value) {
                if (reader.done()) {
                    parse.error = "option " + name + " needs a value";
                    return parse;
                }
                value = reader.next();
            }
            parse.error = readOption(name, *value, options);
            if (!parse.error.empty()) return parse;
        } else if (options.command == Command::Run && options.script.empty()) {
            options.script = word;
        } else {
            parse.error = "unexpected argument '" + word + "' (see keyvane-sandbox " + first + " --help)";
            return parse;
        }
    }
    if (options.command == Command::Run && options.script.empty()) {
        parse.error = "run needs a script file, e.g. keyvane-sandbox run examples/demo.session ('-' reads standard "
                      "input)";
    } else if (options.command == Command::Render && options.out.empty()) {
        parse.error = "render needs --out FILE.png";
    }
    return parse;
}

}  // namespace sandbox::commandline
