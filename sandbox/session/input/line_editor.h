// The terminal's line editor (libedit on Linux): one prompt, editing keys, history.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "sandbox/session/input/line_input.h"

namespace sandbox::app {

// A line editor on standard input and output, which must be a terminal. History is read from
// historyFile at start and written back at the end; a file that cannot be used leaves history in
// memory only. Ctrl+D and `stop` end the input.
std::unique_ptr<LineInput> terminalLineEditor(const std::string& prompt, const std::filesystem::path& historyFile,
                                              std::function<bool()> stop);

}  // namespace sandbox::app
