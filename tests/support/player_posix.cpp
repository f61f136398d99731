// The player on Linux: "nobody" when the tests run as root, since root ignores file modes.
#include "support/player.h"

#include "support/posix_process.h"

namespace testsupport {

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
