// The host console: one command line at a time, and configuration files replayed line by line.
#include <fstream>
#include <sstream>

#include "host_state.h"

namespace sandbox {

namespace {

struct Tokens {
    std::vector<std::string> words;
    std::string error;   // empty when the line split cleanly
};

// Splits at blanks; double quotes group a value that may hold blanks (the quotes are dropped).
Tokens tokenize(std::string_view line) {
    Tokens tokens;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
        if (at == line.size()) break;
        std::string word;
        bool quoted = false;
        while (at < line.size() && (quoted || (line[at] != ' ' && line[at] != '\t'))) {
            if (line[at] == '"') {
                quoted = !quoted;
            } else {
                word += line[at];
            }
            ++at;
        }
        if (quoted) {
            tokens.error = "unterminated double quote";
            return tokens;
        }
        tokens.words.push_back(std::move(word));
    }
    return tokens;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

}  // namespace

CommandResult Host::State::execute(std::string_view rawLine) {
    const std::string_view line = trimmed(rawLine);
    auto fail = [this](std::string message) {
        std::lock_guard lock(mutex);
        consoleLog.push_back(message);
        return CommandResult{false, std::move(message)};
    };
    if (line.empty()) return {};
    Tokens tokens = tokenize(line);
    if (!tokens.error.empty()) return fail(tokens.error + ": " + std::string(line));
    const auto& words = tokens.words;

    if (words[0] == "togglemenu") {
        if (words.size() != 2) return fail("usage: togglemenu MENU");
        if (!toggleWindow(words[1])) return fail("togglemenu: no window is registered as \"" + words[1] + "\"");
        return {};
    }

    Variable* variable = nullptr;
    std::string value;
    {
        std::lock_guard lock(mutex);
        variable = findVariable(words[0]);
        if (variable) value = variable->value;
    }
    if (!variable) return fail("unknown command: " + words[0]);
    if (words.size() == 1) return {true, words[0] + " \"" + value + "\""};
    if (words.size() > 2) {
        return fail(words[0] + ": takes one value; put a value with blanks in double quotes");
    }
    setValue(*variable, words[1]);
    return {};
}

bool Host::State::loadConfig(const std::filesystem::path& path) {
    // The whole file is read before any line runs: a handler may rewrite the file it came from.
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    std::ostringstream content;
    content << file.rdbuf();
    file.close();

    std::istringstream lines(content.str());
    for (std::string line; std::getline(lines, line);) {
        const std::string_view command = trimmed(line);
        if (command.empty() || command.starts_with("//")) continue;
        execute(command);
    }
    return true;
}

CommandResult Host::execute(std::string_view line) { return state_->execute(line); }

bool Host::loadConfig(const std::filesystem::path& path) { return state_->loadConfig(path); }

std::vector<std::string> Host::consoleLog() const {
    std::lock_guard lock(state_->mutex);
    return state_->consoleLog;
}

void Host::log(std::string line) {
    std::lock_guard lock(state_->mutex);
    state_->consoleLog.push_back(std::move(line));
}

}  // namespace sandbox
