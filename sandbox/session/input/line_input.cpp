// Lines of a stream, read a line or a buffer at a time, whichever is shorter, so a console's stream
// gives each line as soon as it is typed.
#include "sandbox/session/input/line_input.h"

#include <istream>

namespace sandbox::session {

bool StreamLineInput::next(std::string& line) {
    char buffer[64 * 1024];
    while (!lines_.take(line, refusal_)) {
        if (lines_.ended()) return false;
        stream_.getline(buffer, sizeof buffer);
        const auto count = static_cast<std::size_t>(stream_.gcount());
        if (stream_.good()) {  // the line's end was read, and counted
            lines_.append(std::string_view(buffer, count - 1));
            lines_.append("\n");
        } else if (stream_.eof() || stream_.bad()) {
            lines_.append(std::string_view(buffer, count));
            lines_.end();
        } else {  // the buffer filled before the line's end
            lines_.append(std::string_view(buffer, count));
            stream_.clear();
        }
    }
    return true;
}

}  // namespace sandbox::session
