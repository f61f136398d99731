// The terminal's line editor (libedit on Linux): one prompt, editing keys, history.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "sandbox/session/input/line_input.h"

namespace sandbox::session {

// A line editor on standard input and output, which must be a terminal. History is read from
// historyFile at start and written back at the end; a file that cannot be used leaves history in
// memory only; so does anything at historyFile but a regular file, with a warning on standard error.
// Ctrl+D and `stop` end the input; when `interrupted` says so (Ctrl+C), the line being typed is
// dropped and a fresh prompt shown.
std::unique_ptr<LineInput> terminalLineEditor(const std::string& prompt, const std::filesystem::path& historyFile,
                                              std::function<bool()> stop, std::function<bool()> interrupted);

}  // namespace sandbox::session
