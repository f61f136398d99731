// Reading session lines: the sandbox's own keywords, and everything else handed to the host console.
#include "session_command.h"

#include "number_text.h"

namespace sandbox::app {
namespace {

ParsedLine failure(std::string message)
{
    ParsedLine parsed;
    parsed.error = std::move(message);
    return parsed;
}

ParsedLine success(SessionCommand command)
{
    ParsedLine parsed;
    parsed.command = std::move(command);
    return parsed;
}

ParsedLine parseCount(const std::string& keyword, const std::vector<std::string>& arguments,
                      bool isTick)
{
    if (arguments.size() > 1) return failure(keyword + " takes at most one count, e.g. '" + keyword + " 10'");
    long count = 1;
    if (arguments.size() == 1) {
        const auto read = readCount(arguments[0], 0, kMaxTicksOrFrames);
        if (!read) return failure(keyword + ": " + read.error);
        count = static_cast<long>(read.value);
    }
    if (isTick) return success(Tick{count});
    return success(DrawFrames{count});
}

ParsedLine parseGame(const std::vector<std::string>& arguments)
{
    const char* usage = "game takes one of menu, local, online, training";
    if (arguments.size() != 1) return failure(usage);
    const std::string& word = arguments[0];
    if (word == "menu") return success(SetGame{GameMode::Menu});
    if (word == "local") return success(SetGame{GameMode::LocalMatch});
    if (word == "online") return success(SetGame{GameMode::OnlineMatch});
    if (word == "training") return success(SetGame{GameMode::CustomTraining});
    return failure(std::string(usage) + ", got '" + word + "'");
}

ParsedLine parseMatch(const std::vector<std::string>& arguments)
{
    const char* usage = "match takes one of running, ended";
    if (arguments.size() != 1) return failure(usage);
    if (arguments[0] == "running") return success(SetMatch{false});
    if (arguments[0] == "ended") return success(SetMatch{true});
    return failure(std::string(usage) + ", got '" + arguments[0] + "'");
}

ParsedLine parseDrag(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 2) return failure("drag takes two pixel distances, e.g. 'drag 200 -50'");
    const auto dx = readDecimal(arguments[0], -kMaxDragPixels, kMaxDragPixels);
    if (!dx) return failure("drag DX: " + dx.error);
    const auto dy = readDecimal(arguments[1], -kMaxDragPixels, kMaxDragPixels);
    if (!dy) return failure("drag DY: " + dy.error);
    return success(Drag{static_cast<float>(dx.value), static_cast<float>(dy.value)});
}

// A "#" starts a comment, except inside double quotes, where the host console takes it as text.
std::string_view withoutComment(std::string_view line)
{
    bool quoted = false;
    for (std::size_t at = 0; at < line.size(); ++at) {
        if (line[at] == '"') quoted = !quoted;
        if (line[at] == '#' && !quoted) return line.substr(0, at);
    }
    return line;
}

}  // namespace

std::vector<std::string> splitWords(std::string_view text)
{
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < text.size()) {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
        std::size_t end = at;
        while (end < text.size() && text[end] != ' ' && text[end] != '\t') ++end;
        if (end > at) words.emplace_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}

ParsedLine parseSessionLine(std::string_view line)
{
    // A trailing CR comes from files saved on Windows; the host console never sees it.
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = withoutComment(line);
    const auto words = splitWords(line);
    if (words.empty()) {
        ParsedLine parsed;
        parsed.empty = true;
        return parsed;
    }
    const std::string& keyword = words[0];
    const std::vector<std::string> arguments(words.begin() + 1, words.end());

    if (keyword == "game") return parseGame(arguments);
    if (keyword == "match") return parseMatch(arguments);
    if (keyword == "hold" || keyword == "release") {
        if (arguments.empty()) return failure(keyword + " needs at least one key name, e.g. '" + keyword + " A LeftMouseButton'");
        return success(SetKeys{arguments, keyword == "hold"});
    }
    if (keyword == "tick") return parseCount(keyword, arguments, true);
    if (keyword == "frame") return parseCount(keyword, arguments, false);
    if (keyword == "wait") {
        if (arguments.size() != 1) return failure("wait takes one duration in seconds, e.g. 'wait 1.5'");
        const auto seconds = readDecimal(arguments[0], 0.0, kMaxWaitSeconds);
        if (!seconds) return failure("wait: " + seconds.error);
        return success(Wait{seconds.value});
    }
    if (keyword == "drag") return parseDrag(arguments);
    if (keyword == "snapshot") {
        if (arguments.size() != 1) return failure("snapshot takes one file name ending in .png, e.g. 'snapshot out/a.png'");
        const std::string& file = arguments[0];
        if (file.size() < 5 || file.substr(file.size() - 4) != ".png") {
            return failure("snapshot writes PNG files: the name must end in .png, got '" + file + "'");
        }
        return success(Snapshot{file});
    }
    if (keyword == "record") {
        if (arguments.size() != 1) {
            return failure("record takes a file name ending in .gif, or 'stop': 'record out/a.gif' ... 'record stop'");
        }
        if (arguments[0] == "stop") return success(StopRecording{});
        const std::string& file = arguments[0];
        if (file.size() < 5 || file.substr(file.size() - 4) != ".gif") {
            return failure("record writes animated GIF files: the name must end in .gif, got '" + file + "'");
        }
        return success(StartRecording{file});
    }
    if (keyword == "unload" || keyword == "load") {
        if (!arguments.empty()) return failure(keyword + " takes no arguments");
        if (keyword == "unload") return success(UnloadModule{});
        return success(LoadModule{});
    }
    // Everything else is the host's: variables, bindings, togglemenu, or an unknown command that
    // the host will refuse when the line runs.
    const auto first = line.find_first_not_of(" \t");
    const auto last = line.find_last_not_of(" \t");
    return success(ConsoleLine{std::string(line.substr(first, last - first + 1))});
}

}  // namespace sandbox::app
