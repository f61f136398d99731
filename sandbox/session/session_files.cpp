// The session's folders and the files a user names.
#include "sandbox/session/session_files.h"

#include <cctype>
#include <cerrno>
#include <fstream>
#include <system_error>

namespace sandbox::session {

bool enterHome(const std::filesystem::path& home, std::string& error) {
    std::error_code failure;
    std::filesystem::create_directories(home / "bakkesmod" / "cfg", failure);
    if (failure) {
        error = "cannot prepare the home folder " + home.string() + ": " + failure.message();
        return false;
    }
    std::filesystem::current_path(home, failure);
    if (failure) {
        error = "cannot enter the home folder " + home.string() + ": " + failure.message();
        return false;
    }
    return true;
}

std::string notARegularFile(const std::filesystem::path& path) {
    using std::filesystem::file_type;
    std::error_code failure;
    switch (std::filesystem::status(path, failure).type()) {
    case file_type::regular:
    case file_type::not_found: return "";
    case file_type::directory: return "a folder";
    case file_type::fifo: return "a named pipe";
    case file_type::socket: return "a socket";
    case file_type::block:
    case file_type::character: return "a device";
    default: return "";  // unknown, or out of reach: opening it reports why
    }
}

std::string outputFolderRefusal(const std::filesystem::path& path) {
    if (!path.has_parent_path()) return "";
    const auto folder = path.parent_path();
    std::error_code failure;
    const auto type = std::filesystem::status(folder, failure).type();
    if (type == std::filesystem::file_type::not_found) {
        return "the folder " + folder.string() + " does not exist ('mkdir -p " + folder.string() + "' makes it)";
    }
    if (type != std::filesystem::file_type::directory && type != std::filesystem::file_type::unknown &&
        type != std::filesystem::file_type::none) {
        return folder.string() + " is not a folder";
    }
    return "";
}

std::string openScript(const std::filesystem::path& script, std::ifstream& file) {
    std::error_code failure;
    const auto status = std::filesystem::status(script, failure);
    if (status.type() == std::filesystem::file_type::not_found) return "no such file";
    // A folder opens like a file and then reads as empty: refuse it rather than play nothing.
    if (status.type() == std::filesystem::file_type::directory) return "it is a folder";
    errno = 0;
    file.open(script);
    if (file) return "";
    const int reason = errno != 0 ? errno : EACCES;
    std::string text = std::generic_category().message(reason);
    if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

std::filesystem::path resolveFrom(const std::filesystem::path& startDirectory, const std::filesystem::path& path) {
    if (path.is_absolute()) return path.lexically_normal();
    return (startDirectory / path).lexically_normal();
}

}  // namespace sandbox::session
