// The player on Linux: "nobody" when the tests run as root, since root ignores file modes.
#include "support/player.h"

#include "support/posix_process.h"
#include "support/scratch_folder.h"

namespace testsupport {

std::filesystem::path moduleForPlayer(const std::filesystem::path& module) {
    namespace fs = std::filesystem;
    if (::geteuid() != 0) return module;
    // Removed when the test process ends; a child that becomes the player ends with _exit and
    // leaves it to its parent.
    static const ScratchFolder folder("kv-player-module");
    static const fs::path copy = [&] {
        const fs::path made = folder / module.filename().string();
        fs::copy_file(module, made, fs::copy_options::overwrite_existing);
        fs::permissions(folder.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                           fs::perms::others_read | fs::perms::others_exec);
        fs::permissions(made, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                  fs::perms::others_read | fs::perms::others_exec);
        return made;
    }();
    return copy;
}

void handToPlayer(const std::filesystem::path& root) {
    const passwd* nobody = ::geteuid() == 0 ? ::getpwnam("nobody") : nullptr;
    if (!nobody) return;
    ::lchown(root.c_str(), nobody->pw_uid, nobody->pw_gid);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        ::lchown(entry.path().c_str(), nobody->pw_uid, nobody->pw_gid);
    }
}

bool runAsPlayer(const std::function<bool()>& body, std::chrono::seconds limit) {
    ChildProcess child([&] { ::_exit(dropToPlayer() && body() ? 0 : 1); });
    return child.started() && child.waitWithin(limit) == 0;
}

}  // namespace testsupport
