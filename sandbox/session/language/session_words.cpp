// The language's lexical rules, in one place.
#include "sandbox/session/language/session_words.h"

#include "sandbox/pluginsdk/host.h"

namespace sandbox::session {

std::string_view lineContent(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    bool quoted = false;
    for (std::size_t at = 0; at < line.size(); ++at) {
        if (line[at] == '"') quoted = !quoted;
        if (line[at] == '#' && !quoted) {
            line = line.substr(0, at);
            break;
        }
    }
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = line.find_last_not_of(" \t");
    return line.substr(first, last - first + 1);
}

Words splitWords(std::string_view content) {
    // The console's own reading, so that a line means the same to the session and to the host.
    Host::LineWords split = Host::splitLine(content);
    Words words{std::move(split.words), {}};
    if (!split.error.empty()) words.error = "a double quote is left open";
    return words;
}

bool namesFileOfKind(std::string_view file, std::string_view suffix) {
    return file.size() > suffix.size() && file.ends_with(suffix);
}

std::vector<std::string> splitList(std::string_view text) {
    std::vector<std::string> items;
    for (;;) {
        const auto comma = text.find(',');
        items.emplace_back(text.substr(0, comma));
        if (comma == std::string_view::npos) return items;
        text.remove_prefix(comma + 1);
    }
}

}  // namespace sandbox::session
