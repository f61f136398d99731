// Temporary homes, named with a random suffix so that two commands run at once never share one.
#include "sandbox/commandline/temporary_home.h"

#include <random>
#include <system_error>

namespace sandbox::commandline {

TemporaryHome::TemporaryHome(std::string& error) {
    std::error_code failure;
    const auto temporary = std::filesystem::temp_directory_path(failure);
    if (failure) {
        error = "no temporary folder for a fresh home: " + failure.message();
        return;
    }
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto candidate = temporary / ("keyvane-sandbox-" + std::to_string(random() % 1'000'000'000));
        // create_directory reports false for a folder that already exists: someone else's, try again.
        if (std::filesystem::create_directory(candidate, failure)) {
            // The user's alone, whatever the umask: the temporary folder is everyone's.
            std::filesystem::permissions(candidate, std::filesystem::perms::owner_all, failure);
            if (!failure && std::filesystem::is_empty(candidate, failure) && !failure) {
                path_ = candidate;
                return;
            }
            continue;  // another user got in before the mode changed: theirs now, left alone
        }
        if (failure) break;
    }
    error = "cannot make a fresh home in " + temporary.string() + (failure ? ": " + failure.message() : "");
}

TemporaryHome::~TemporaryHome() {
    if (path_.empty()) return;
    std::error_code ignored;
    // The session made the home its working folder; leave it before removing it.
    if (std::filesystem::current_path(ignored) == path_) {
        std::filesystem::current_path(path_.parent_path(), ignored);
    }
    std::filesystem::remove_all(path_, ignored);
}

std::string homeRefusal(const std::filesystem::path& home) {
    // The first part of the path that exists decides: a folder takes the rest, anything else cannot.
    for (auto part = home;; part = part.parent_path()) {
        std::error_code failure;
        const auto type = std::filesystem::status(part, failure).type();
        if (type == std::filesystem::file_type::not_found && part.has_relative_path()) continue;
        if (type == std::filesystem::file_type::directory || type == std::filesystem::file_type::not_found ||
            type == std::filesystem::file_type::none || type == std::filesystem::file_type::unknown) {
            return "";
        }
        return part == home ? "it is not a folder" : part.string() + " is not a folder";
    }
}

}  // namespace sandbox::commandline
