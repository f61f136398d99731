// Lines of a stream.
#include "sandbox/session/input/line_input.h"

#include <istream>

namespace sandbox::app {

bool StreamLineInput::next(std::string& line) { return static_cast<bool>(std::getline(stream_, line)); }

}  // namespace sandbox::app
