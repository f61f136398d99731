// A home that lives only as long as one command: render takes one when no --home is given, so a
// picture never changes the settings a player keeps in the default home.
#pragma once

#include <filesystem>
#include <string>

namespace sandbox::commandline {

class TemporaryHome {
public:
    // A new, empty folder in the system's temporary folder; path() is empty and error says why when
    // none could be made.
    explicit TemporaryHome(std::string& error);
    ~TemporaryHome();  // removes the folder and everything in it
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Why `home` cannot be a home because of what it names ("it is a file"), or "": a path whose
// existing part is a folder. Other failures (permissions) are found when the session enters it.
std::string homeRefusal(const std::filesystem::path& home);

}  // namespace sandbox::commandline
