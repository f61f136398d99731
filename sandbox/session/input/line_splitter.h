// Cuts input bytes into lines of at most kMaxLineBytes, in time linear in the input: each byte is
// looked at once, whatever the reads' sizes, and a line past the limit is dropped as it arrives, so
// endless input without a line end holds at most the limit in memory.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace sandbox::session {

inline constexpr std::size_t kMaxLineBytes = 1024 * 1024;

class LineSplitter {
public:
    // stopAtLimit: a line past the limit ends the input there, for a reader that stops at its first
    // bad line anyway and must not read an endless one (a script of /dev/zero) to its end.
    explicit LineSplitter(bool stopAtLimit = false) : stopAtLimit_(stopAtLimit) {}

    void append(std::string_view bytes);
    void end();  // the input has ended: a last line without its end still counts
    bool ended() const { return ended_ && ready_.empty(); }

    // The next whole line, without its end (the first also without a UTF-8 byte-order mark); false
    // if none is ready. A line past the limit comes out
    // empty, with refusal saying so ("line too long (N bytes; the limit is 1 MiB)"); else refusal
    // is emptied.
    bool take(std::string& line, std::string& refusal);

private:
    struct Line {
        std::string text;
        std::size_t length = 0;
        bool cut = false;  // the limit stopped the input before the line's end
    };
    void finishLine(bool cut);

    bool stopAtLimit_;
    bool ended_ = false;
    std::string current_;
    std::size_t currentLength_ = 0;  // of the line being read, including bytes already dropped
    std::deque<Line> ready_;
    bool tookLine_ = false;
};

}  // namespace sandbox::session
