// Reading session lines: the sandbox's own keywords, and everything else handed to the host console.
#include "sandbox/session/language/session_command.h"

#include "sandbox/session/language/session_help.h"
#include "sandbox/session/language/session_words.h"
#include "sandbox/session/number_text.h"

namespace sandbox::session {
namespace {

ParsedLine failure(std::string message) {
    ParsedLine parsed;
    parsed.error = std::move(message);
    return parsed;
}

ParsedLine success(SessionCommand command) {
    ParsedLine parsed;
    parsed.command = std::move(command);
    return parsed;
}

ParsedLine parseCount(const std::string& keyword, const std::vector<std::string>& arguments, bool isTick) {
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

ParsedLine parseGame(const std::vector<std::string>& arguments) {
    const char* usage = "game takes one of menu, local, online, training";
    if (arguments.size() != 1) return failure(usage);
    const std::string& word = arguments[0];
    if (word == "menu") return success(SetGame{GameMode::Menu});
    if (word == "local") return success(SetGame{GameMode::LocalMatch});
    if (word == "online") return success(SetGame{GameMode::OnlineMatch});
    if (word == "training") return success(SetGame{GameMode::CustomTraining});
    return failure(std::string(usage) + ", got '" + word + "'");
}

ParsedLine parseMatch(const std::vector<std::string>& arguments) {
    const char* usage = "match takes one of running, ended";
    if (arguments.size() != 1) return failure(usage);
    if (arguments[0] == "running") return success(SetMatch{false});
    if (arguments[0] == "ended") return success(SetMatch{true});
    return failure(std::string(usage) + ", got '" + arguments[0] + "'");
}

bool isSessionKeyword(std::string_view word) {
    for (const auto keyword : sessionKeywords()) {
        if (word == keyword) return true;
    }
    return false;
}

ParsedLine parseDrag(const std::vector<std::string>& arguments) {
    if (arguments.size() != 2) return failure("drag takes two pixel distances, e.g. 'drag 200 -50'");
    const auto dx = readDecimal(arguments[0], -kMaxDragPixels, kMaxDragPixels);
    if (!dx) return failure("drag DX: " + dx.error);
    const auto dy = readDecimal(arguments[1], -kMaxDragPixels, kMaxDragPixels);
    if (!dy) return failure("drag DY: " + dy.error);
    return success(Drag{static_cast<float>(dx.value), static_cast<float>(dy.value)});
}

// --window and --zoom N after a picture's file name, as snapshot and record take them; "" or why not.
template <typename Picture>
std::string readPictureOptions(const std::string& keyword, const char* usage, const std::vector<std::string>& arguments,
                               Picture& picture) {
    for (std::size_t at = 1; at < arguments.size(); ++at) {
        if (arguments[at] == "--window") {
            picture.window = true;
        } else if (arguments[at] == "--zoom" && at + 1 < arguments.size()) {
            const auto zoom = readZoom(arguments[++at]);
            if (!zoom) return keyword + " --zoom: " + zoom.error;
            picture.zoom = zoom.value;
        } else {
            return std::string(usage) + "; got '" + arguments[at] + "'";
        }
    }
    return "";
}

ParsedLine parseSnapshot(const std::vector<std::string>& arguments) {
    const char* usage = "snapshot takes a file name ending in .png, then --window and --zoom N if wanted, e.g. "
                        "'snapshot out/a.png --window --zoom 2'";
    if (arguments.empty()) return failure(usage);
    Snapshot snapshot{arguments[0]};
    if (!namesFileOfKind(snapshot.file, ".png")) {
        return failure("snapshot writes PNG files: the name must end in .png, got '" + snapshot.file + "'");
    }
    if (std::string error = readPictureOptions("snapshot", usage, arguments, snapshot); !error.empty()) {
        return failure(std::move(error));
    }
    return success(std::move(snapshot));
}

ParsedLine parseRecord(const std::vector<std::string>& arguments) {
    const char* usage = "record takes a file name ending in .gif, then --window and --zoom N if wanted, or 'stop': "
                        "'record out/a.gif --window' ... 'record stop'";
    if (arguments.empty()) return failure(usage);
    if (arguments[0] == "stop") {
        if (arguments.size() > 1) return failure("record stop takes nothing after it");
        return success(StopRecording{});
    }
    StartRecording record{arguments[0]};
    if (!namesFileOfKind(record.file, ".gif")) {
        return failure("record writes animated GIF files: the name must end in .gif, got '" + record.file + "'");
    }
    if (std::string error = readPictureOptions("record", usage, arguments, record); !error.empty()) {
        return failure(std::move(error));
    }
    return success(std::move(record));
}

}  // namespace

std::span<const std::string_view> sessionKeywords() {
    static const std::vector<std::string_view> keywords = [] {
        std::vector<std::string_view> words;
        for (const auto& word : sessionVocabulary()) {
            if (word.kind == WordKind::Session) words.push_back(word.word);
        }
        return words;
    }();
    return keywords;
}

NumberRead<int> readZoom(std::string_view text) {
    const auto read = readCount(text, 1, kMaxZoom);
    NumberRead<int> zoom;
    zoom.value = static_cast<int>(read.value);
    zoom.error = read.error;
    return zoom;
}

ParsedLine parseSessionLine(std::string_view line) {
    const std::string_view content = lineContent(line);
    if (content.empty()) {
        ParsedLine parsed;
        parsed.empty = true;
        return parsed;
    }
    const Words split = splitWords(content);
    // Everything but the sandbox's own keywords is the host's: variables, bindings, togglemenu, or
    // an unknown command that the host will refuse when the line runs. It gets the line as typed.
    if (split.words.empty() || !isSessionKeyword(split.words[0])) return success(ConsoleLine{std::string(content)});
    if (!split.error.empty()) return failure(split.words[0] + ": " + split.error);
    const auto& words = split.words;
    const std::string& keyword = words[0];
    const std::vector<std::string> arguments(words.begin() + 1, words.end());

    if (keyword == "game") return parseGame(arguments);
    if (keyword == "match") return parseMatch(arguments);
    if (keyword == "hold" || keyword == "release") {
        if (arguments.empty())
            return failure(keyword + " needs at least one key name, e.g. '" + keyword + " A LeftMouseButton'");
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
    if (keyword == "snapshot") return parseSnapshot(arguments);
    if (keyword == "record") return parseRecord(arguments);
    if (keyword == "unload" || keyword == "load") {
        if (!arguments.empty()) return failure(keyword + " takes no arguments");
        if (keyword == "unload") return success(UnloadModule{});
        return success(LoadModule{});
    }
    return failure("the session has no reading of '" + keyword + "'");
}

std::string_view commandWord(const SessionCommand& command) {
    static constexpr std::string_view kWordOf[] = {"VARIABLE", "game",   "match", "hold",     "tick",
                                                   "frame",    "wait",   "drag",  "snapshot", "record",
                                                   "record",   "unload", "load"};
    static_assert(std::size(kWordOf) == std::variant_size_v<SessionCommand>);
    if (const auto* keys = std::get_if<SetKeys>(&command)) return keys->held ? "hold" : "release";
    return kWordOf[command.index()];
}

bool runsLive(const SessionCommand& command) {
    const SessionWord* word = findSessionWord(commandWord(command));
    return word && word->runsLive;
}

}  // namespace sandbox::session
