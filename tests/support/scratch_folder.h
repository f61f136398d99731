// A new, empty folder of the test's own under the system's temporary folder, removed with the object.
// Names are random, so parallel test processes never share one.
#pragma once

#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace testsupport {

class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& prefix = "kv") {
        std::random_device entropy;
        const auto base = std::filesystem::temp_directory_path();
        for (;;) {
            path_ = base / (prefix + "-" + std::to_string(entropy()) + std::to_string(entropy()));
            if (std::filesystem::create_directory(path_)) break;  // false: taken, draw again
        }
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

}  // namespace testsupport
