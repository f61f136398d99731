// The call journal: every SDK call a plugin makes, in order, for tests to read and for a listener
// to hear as it happens.
#include <charconv>
#include <mutex>

#include "host_state.h"

namespace sandbox {

namespace {
std::atomic<Host::State*> currentState{nullptr};

template <typename Number>
std::string shortestText(Number value) {
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return error == std::errc{} ? std::string(buffer, end) : std::string("?");
}
}  // namespace

Host::State* currentHostState() { return currentState.load(); }
void setCurrentHostState(Host::State* state) { currentState.store(state); }

std::string journalText(bool value) { return value ? "true" : "false"; }
std::string journalText(float value) { return shortestText(value); }
std::string journalText(double value) { return shortestText(value); }
std::string journalText(int value) { return std::to_string(value); }
std::string journalText(const char* text) { return text; }
std::string journalText(std::string_view text) { return std::string(text); }

void Host::State::recordEntry(const char* operation, std::vector<std::string> arguments) {
    std::lock_guard lock(journalMutex);
    if (!journalEnabled && !journalListener) return;
    JournalEntry entry{operation, std::move(arguments)};
    if (journalListener) journalListener(entry);
    if (journalEnabled) journal.push_back(std::move(entry));
}

std::vector<JournalEntry> Host::journal() const {
    std::lock_guard lock(state_->journalMutex);
    return state_->journal;
}

void Host::clearJournal() {
    std::lock_guard lock(state_->journalMutex);
    state_->journal.clear();
}

void Host::setJournalListener(JournalListener listener) {
    std::lock_guard lock(state_->journalMutex);
    state_->journalHeard.store(static_cast<bool>(listener));
    state_->journalListener = std::move(listener);
}

void Host::setJournalEnabled(bool enabled) {
    std::lock_guard lock(state_->journalMutex);
    state_->journalEnabled.store(enabled);
}

}  // namespace sandbox
