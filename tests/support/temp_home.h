// A fresh working directory for one test: the plugin's ./bakkesmod/cfg/keyvane.cfg lives there.
#pragma once

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "support/scratch_folder.h"

namespace testsupport {

class TempHome {
public:
    // withConfigFolder: whether ./bakkesmod/cfg exists, as it does in an installed host.
    explicit TempHome(bool withConfigFolder = true) {
        if (withConfigFolder) std::filesystem::create_directories(root() / "bakkesmod" / "cfg");
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(root());
    }
    ~TempHome() {
        // Leave the folder before it goes: a process cannot remove its own working folder on Windows.
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::filesystem::path& root() const { return folder_.path(); }
    std::filesystem::path configFile() const { return root() / "bakkesmod" / "cfg" / "keyvane.cfg"; }

private:
    ScratchFolder folder_{"keyvane-home"};
    std::filesystem::path previous_;
};

inline std::optional<std::string> readFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

inline void writeFile(const std::filesystem::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

}  // namespace testsupport
