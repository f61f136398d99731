// The host console: one command line at a time, configuration files replayed line by line, and the
// console log.
#include <algorithm>
#include <fstream>
#include <string>

#include "host_state.h"

namespace sandbox {

namespace {

struct Tokens {
    std::vector<std::string> words;
    std::string error;  // empty when the line split cleanly
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

Host::LineWords Host::splitLine(std::string_view line) {
    Tokens tokens = tokenize(line);
    return {std::move(tokens.words), std::move(tokens.error)};
}

CommandResult Host::State::execute(std::string_view rawLine, ErrorLog errorLog) {
    const std::string_view line = trimmed(rawLine);
    auto fail = [this, errorLog](std::string message) {
        if (errorLog != ErrorLog::None) writeLog(message, errorLog == ErrorLog::LogAndListener);
        return CommandResult{false, std::move(message)};
    };
    if (line.empty()) return {};
    Tokens tokens = tokenize(line);
    if (!tokens.error.empty()) return fail(tokens.error + ": " + std::string(line));
    const auto& words = tokens.words;

    // A toggle only asks the drawing thread: the drawing itself runs it, so it needs no game turn.
    if (words[0] == "togglemenu") {
        if (words.size() != 2) return fail("usage: togglemenu MENU");
        if (!toggleWindow(words[1])) return fail("togglemenu: no window is registered as \"" + words[1] + "\"");
        return {};
    }

    std::lock_guard turn(gameThread);
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

namespace {

// Why the file cannot be replayed, or empty, with its size when it can. Only a regular file (or a
// link to one) is read, so a FIFO never blocks the replay and a device never feeds it without end.
std::string refusal(const std::filesystem::path& path, std::size_t& size) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!std::filesystem::exists(status)) return "no such file";
    if (!std::filesystem::is_regular_file(status)) return "not a regular file";
    const auto measured = std::filesystem::file_size(path, error);
    if (error) return "cannot be read";
    size = static_cast<std::size_t>(std::min<std::uintmax_t>(measured, Host::kMaxConfigBytes));
    return {};
}

// A file past the limit keeps its whole lines within it, so that what a plugin stored at its start
// still reaches it; the line the limit cuts is dropped, since half a value is another value.
void keepWholeLinesWithinLimit(std::string& content) {
    const bool cutAtLineEnd = content[Host::kMaxConfigBytes] == '\r' || content[Host::kMaxConfigBytes] == '\n';
    content.resize(Host::kMaxConfigBytes);
    if (cutAtLineEnd) return;
    const auto lastEnd = content.find_last_of("\r\n");
    content.resize(lastEnd == std::string::npos ? 0 : lastEnd + 1);
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

bool Host::State::loadConfig(const std::filesystem::path& path) {
    const std::string name = path.string();
    std::size_t size = 0;
    if (const std::string why = refusal(path, size); !why.empty()) {
        writeLog(name + ": " + why);
        return false;
    }
    // The whole file is read before any line runs: a handler may rewrite the file it came from.
    // Read to its measured size and one byte more; should it have grown since, on up to the limit.
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        writeLog(name + ": cannot be read");
        return false;
    }
    std::string content(size + 1, '\0');
    file.read(content.data(), static_cast<std::streamsize>(content.size()));
    std::size_t read = static_cast<std::size_t>(file.gcount());
    if (read == content.size()) {
        content.resize(kMaxConfigBytes + 1);
        file.read(content.data() + read, static_cast<std::streamsize>(content.size() - read));
        read += static_cast<std::size_t>(file.gcount());
    }
    content.resize(read);
    file.close();
    const bool whole = content.size() <= kMaxConfigBytes;
    if (!whole) {
        writeLog(name + ": larger than 1 MiB; only the lines within its first 1 MiB are replayed");
        keepWholeLinesWithinLimit(content);
    }

    std::lock_guard turn(gameThread);
    std::string_view rest(content);
    if (rest.starts_with(kByteOrderMark)) rest.remove_prefix(kByteOrderMark.size());
    for (long lineNumber = 1; !rest.empty(); ++lineNumber) {
        // A line ends at LF, CR LF or CR alone: a file saved by an old editor is still replayed.
        const auto end = rest.find_first_of("\r\n");
        const std::string_view command = trimmed(rest.substr(0, end));
        std::size_t next = end == std::string_view::npos ? rest.size() : end + 1;
        if (end != std::string_view::npos && rest[end] == '\r' && rest.substr(next).starts_with('\n')) ++next;
        rest.remove_prefix(next);
        if (command.empty() || command.starts_with("//")) continue;
        const CommandResult result = execute(command, ErrorLog::None);
        if (!result.ok) writeLog(name + ":" + std::to_string(lineNumber) + ": " + result.message);
    }
    return whole;
}

void Host::State::writeLog(std::string line, bool toListener) {
    if (toListener) {
        std::lock_guard order(logListenerMutex);
        if (logListener) logListener(line);
    }
    std::lock_guard lock(mutex);
    // A console keeps so many lines and bytes back: when either is full, the oldest lines go until
    // half of both is free, so the cost of dropping stays proportional to what was written.
    if (consoleLog.size() >= Host::kConsoleLogLines || consoleLogBytes + line.size() > Host::kConsoleLogBytes) {
        std::size_t dropped = 0;
        while (dropped < consoleLog.size() && (consoleLog.size() - dropped > Host::kConsoleLogLines / 2 ||
                                               consoleLogBytes > Host::kConsoleLogBytes / 2)) {
            consoleLogBytes -= consoleLog[dropped].size();
            ++dropped;
        }
        consoleLog.erase(consoleLog.begin(), consoleLog.begin() + static_cast<std::ptrdiff_t>(dropped));
    }
    consoleLogBytes += line.size();
    consoleLog.push_back(std::move(line));
}

CommandResult Host::execute(std::string_view line) { return state_->execute(line, State::ErrorLog::LogOnly); }

bool Host::loadConfig(const std::filesystem::path& path) { return state_->loadConfig(path); }

std::vector<std::string> Host::consoleLog() const {
    std::lock_guard lock(state_->mutex);
    return state_->consoleLog;
}

void Host::log(std::string line) { state_->writeLog(std::move(line)); }

std::size_t Host::pluginLogLines() const {
    std::lock_guard lock(state_->mutex);
    return state_->pluginLogLines;
}

void Host::setLogListener(std::function<void(const std::string&)> listener) {
    std::lock_guard order(state_->logListenerMutex);
    state_->logListener = std::move(listener);
}

void Host::runAsGame(const std::function<void()>& work) {
    std::lock_guard turn(state_->gameThread);
    work();
}

}  // namespace sandbox
