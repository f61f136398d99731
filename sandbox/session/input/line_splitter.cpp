// The line splitter: only the bytes of each new read are searched for a line end.
#include "sandbox/session/input/line_splitter.h"

namespace sandbox::session {

void LineSplitter::append(std::string_view bytes) {
    while (!bytes.empty() && !ended_) {
        const std::size_t end = bytes.find('\n');
        const std::string_view part = bytes.substr(0, end);
        currentLength_ += part.size();
        if (currentLength_ <= kMaxLineBytes) {
            current_.append(part);
        } else if (!current_.empty()) {
            std::string().swap(current_);  // give the memory back, not only the length
        }
        if (currentLength_ > kMaxLineBytes && stopAtLimit_) {
            finishLine(true);
            ended_ = true;
            return;
        }
        if (end == std::string_view::npos) return;
        finishLine(false);
        bytes.remove_prefix(end + 1);
    }
}

void LineSplitter::end() {
    if (ended_) return;
    if (currentLength_ > 0) finishLine(false);
    ended_ = true;
}

void LineSplitter::finishLine(bool cut) {
    // A cut line's true length is unknown: it is known to pass the limit.
    ready_.push_back(Line{std::move(current_), cut ? kMaxLineBytes : currentLength_, cut});
    current_.clear();
    currentLength_ = 0;
}

bool LineSplitter::take(std::string& line, std::string& refusal) {
    if (ready_.empty()) return false;
    Line& next = ready_.front();
    refusal.clear();
    line.clear();
    if (next.cut || next.length > kMaxLineBytes) {
        refusal = "line too long (" + std::string(next.cut ? "more than " : "") + std::to_string(next.length) +
                  " bytes; the limit is 1 MiB)";
    } else {
        line.swap(next.text);
    }
    // An editor that writes a UTF-8 byte-order mark puts it before the first word, where it would be
    // an invisible part of that word.
    if (!tookLine_ && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
    tookLine_ = true;
    ready_.pop_front();
    return true;
}

}  // namespace sandbox::session
