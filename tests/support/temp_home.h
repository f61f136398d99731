// A fresh working directory for one test: the plugin's ./bakkesmod/cfg/keyvane.cfg lives there.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace testsupport {

class TempHome {
public:
    // withConfigFolder: whether ./bakkesmod/cfg exists, as it does in an installed host.
    explicit TempHome(bool withConfigFolder = true) {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "home";
        for (char& c : name) {
            if (c == '/') c = '_';
        }
        root_ = std::filesystem::path(::testing::TempDir()) /
                ("keyvane-" + std::to_string(::getpid()) + "-" + name);
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
        if (withConfigFolder) std::filesystem::create_directories(root_ / "bakkesmod" / "cfg");
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(root_);
    }
    ~TempHome() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(root_, ignored);
    }
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path configFile() const { return root_ / "bakkesmod" / "cfg" / "keyvane.cfg"; }

private:
    std::filesystem::path root_;
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
