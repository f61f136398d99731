// Printing journal entries as the host records them.
#include "sandbox/session/host_trace.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <ostream>
#include <vector>

namespace sandbox::session {
namespace {

// The game key a name-index argument stands for, or "".
std::string keyNameOf(const std::string& argument) {
    int index = 0;
    const auto [end, failure] = std::from_chars(argument.data(), argument.data() + argument.size(), index);
    if (failure != std::errc{} || end != argument.data() + argument.size()) return "";
    static const std::map<int, std::string> namesByIndex = [] {
        std::map<int, std::string> names;
        for (const auto& name : Host::keyNames()) names.emplace(Host::keyIndex(name), name);
        return names;
    }();
    const auto found = namesByIndex.find(index);
    return found == namesByIndex.end() ? "" : found->second;
}

}  // namespace

std::string HostTrace::describe(const JournalEntry& entry) {
    // The journal keeps every argument as text; these are the SDK's string parameters, quoted so an
    // empty description or a value like "1.0" reads as the text it is.
    static const std::map<std::string, std::vector<std::size_t>, std::less<>> textArguments{
        {"CVarManagerWrapper::registerCvar", {0, 1, 2}},
        {"CVarManagerWrapper::getCvar", {0}},
        {"CVarManagerWrapper::executeCommand", {0}},
        {"CVarManagerWrapper::loadCfg", {0}},
        {"CVarManagerWrapper::log", {0}},
        {"GameWrapper::GetFNameIndexByString", {0}},
        {"GameWrapper::HookEvent", {0}},
        {"CVarWrapper::setValue", {1}},
    };
    const auto texts = textArguments.find(entry.operation);
    // A variable handle's calls name the variable first; it reads better as the receiver.
    const bool onVariable = entry.operation.rfind("CVarWrapper::", 0) == 0 && !entry.arguments.empty();
    std::string line = "trace: " + entry.operation + '(';
    for (std::size_t i = onVariable ? 1 : 0; i < entry.arguments.size(); ++i) {
        if (i > (onVariable ? 1u : 0u)) line += ", ";
        const std::string& argument = entry.arguments[i];
        const bool isText = texts != textArguments.end() &&
                            std::find(texts->second.begin(), texts->second.end(), i) != texts->second.end();
        line += isText ? '"' + argument + '"' : argument;
        if (entry.operation == "GameWrapper::IsKeyPressed") {
            if (const std::string key = keyNameOf(argument); !key.empty()) line += " = " + key;
        }
    }
    line += ')';
    if (onVariable) line += " on " + entry.arguments[0];
    return line;
}

void HostTrace::follow(Host& host) {
    // The host never runs two listener calls at once, so the stream needs no lock of its own.
    host.setJournalListener([this](const JournalEntry& entry) { out_ << describe(entry) << '\n' << std::flush; });
}

}  // namespace sandbox::session
