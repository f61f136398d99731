// Name suggestions: key names from the game's names and the names printed on the keys themselves,
// commands from the words a session knows.
#include "sandbox/session/language/name_hints.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <tuple>

#include "sandbox/pluginsdk/host.h"
#include "sandbox/session/language/session_command.h"

namespace sandbox::session {
namespace {

constexpr std::size_t kMostHints = 3;

// What a keyboard prints on keys the game spells otherwise, with the game's name of the key.
struct PrintedName {
    std::string_view printed;
    std::string_view gameName;
};
constexpr std::array<PrintedName, 5> kPrintedNames{{
    {"Caps", "CapsLock"},
    {"Shift", "LeftShift"},
    {"Ctrl", "LeftControl"},
    {"Alt", "LeftAlt"},
    {"Space", "SpaceBar"},
}};
constexpr std::array<const char*, 10> kDigitNames{"Zero", "One", "Two",   "Three", "Four",
                                                  "Five", "Six", "Seven", "Eight", "Nine"};

// What the console and the line loop take besides the host's variables.
constexpr std::string_view kOwnWords[] = {"togglemenu", "help", "quit", "exit"};

std::string lowered(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

bool isSubsequence(std::string_view part, std::string_view whole) {
    std::size_t at = 0;
    for (char c : whole) {
        if (at < part.size() && part[at] == c) ++at;
    }
    return at == part.size();
}

const PrintedName* printedNameOf(std::string_view gameName) {
    for (const auto& key : kPrintedNames) {
        if (key.gameName == gameName) return &key;
    }
    return nullptr;
}

}  // namespace

std::size_t typingDistance(std::string_view a, std::string_view b) {
    // Three rows of the optimal-string-alignment table: two letters typed the wrong way round
    // ("hodl") are one slip, as a person counts them.
    std::vector<std::size_t> before(b.size() + 1), above(b.size() + 1), row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) above[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            row[j] = std::min({above[j] + 1, row[j - 1] + 1, above[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                row[j] = std::min(row[j], before[j - 2] + 1);
            }
        }
        std::swap(before, above);
        std::swap(above, row);
    }
    return above[b.size()];
}

std::vector<std::string> closestKeyNames(std::string_view name) {
    const std::string typed = lowered(name);
    if (typed.empty()) return {};
    for (const auto& key : kPrintedNames) {
        if (lowered(key.printed) == typed) return {std::string(key.gameName)};
    }
    if (typed.size() == 1 && typed[0] >= '0' && typed[0] <= '9') return {kDigitNames[typed[0] - '0']};

    // (kind of match, distance, length, table position): smaller is closer. Only the closest kind
    // found is offered: a name that starts with what was typed beats one that merely contains it.
    using Closeness = std::tuple<int, std::size_t, std::size_t, std::size_t>;
    std::vector<std::pair<Closeness, std::string>> found;
    const auto& names = Host::keyNames();
    const std::size_t typoLimit = std::max<std::size_t>(1, typed.size() / 3);
    for (std::size_t position = 0; position < names.size(); ++position) {
        const std::string& original = names[position];
        const std::string candidate = lowered(original);
        if (candidate == typed) return {original};
        const std::size_t distance = typingDistance(typed, candidate);
        const std::size_t at = typed.size() >= 2 ? candidate.find(typed) : std::string::npos;
        int kind = 0;
        if (at == 0) {
            kind = 1;  // a prefix: "Esc" for Escape
        } else if (at != std::string::npos && std::isupper(static_cast<unsigned char>(original[at]))) {
            kind = 2;  // a whole word of the name: "Control" for LeftControl
        } else if (at != std::string::npos) {
            kind = 3;
        } else if (typed.size() >= 2 && candidate[0] == typed[0] && isSubsequence(typed, candidate)) {
            kind = 4;  // an abbreviation: "LMB" for LeftMouseButton
        } else if (distance <= typoLimit) {
            kind = 5;
        } else {
            continue;
        }
        found.push_back({Closeness{kind, distance, candidate.size(), position}, original});
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> closest;
    for (const auto& [closeness, candidate] : found) {
        if (closest.size() == kMostHints || std::get<0>(closeness) != std::get<0>(found[0].first)) break;
        closest.push_back(candidate);
    }
    return closest;
}

std::string unknownKeyMessage(std::string_view name) {
    std::string message = "unknown key name '" + std::string(name) + "' (";
    const auto closest = closestKeyNames(name);
    if (closest.empty()) return message + "'keyvane-sandbox keys' lists the game's key names)";
    message += "did you mean ";
    for (std::size_t i = 0; i < closest.size(); ++i) {
        if (i > 0) message += i + 1 == closest.size() ? " or " : ", ";
        message += closest[i];
    }
    return message + "?)";
}

std::string keyListing(const std::function<bool(const std::string&)>& polled) {
    std::string listing = "The game's key names, as hold, release, --hold and the binding variables take them,\n"
                          "with what the keyboard prints on a key the game names otherwise.\n";
    if (polled) listing += "* marks a key the loaded plugin polls: holding any other one shows nothing.\n";
    listing += '\n';
    for (const auto& name : Host::keyNames()) {
        std::string line = (polled && polled(name) ? "* " : "  ") + name;
        if (const PrintedName* key = printedNameOf(name)) {
            line.resize(24, ' ');
            line += "printed \"" + std::string(key->printed) + "\"";
        }
        listing += line + '\n';
    }
    return listing;
}

std::string closestCommand(std::string_view typed, const std::vector<std::string>& known) {
    const std::string lower = lowered(typed);
    // One slip for every three letters: "hodl" is hold, "kvanesize" kvanescale; a word of one or two
    // letters is too short to guess from, unless only its case was wrong.
    const std::size_t limit = lower.size() / 3;
    std::string best;
    std::size_t bestDistance = limit + 1;
    auto consider = [&](std::string_view candidate) {
        const std::size_t distance = typingDistance(lower, lowered(candidate));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = candidate;
        }
    };
    for (const auto& name : known) consider(name);
    for (const auto word : sessionKeywords()) consider(word);
    for (const auto word : kOwnWords) consider(word);
    return best;
}

std::string withCommandHint(const std::string& message, std::string_view typed, const std::vector<std::string>& known) {
    const std::string closest = closestCommand(typed, known);
    return closest.empty() ? message : message + " (did you mean " + closest + "?)";
}

}  // namespace sandbox::session
