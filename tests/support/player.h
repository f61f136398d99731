// Running part of a test as the player, an ordinary user whom file modes bind: on Linux a child
// process that drops to "nobody" when the test runs as root (player_posix.cpp); on Windows the test
// process itself, whose files' read-only attributes bind it already (player_windows.cpp).
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>

namespace testsupport {

// The module file where the player can load it from: the file itself, except as root on Linux, where
// the build may lie in a home no one else can enter (a clone in /root, mode 700); then a copy in a
// folder of its own under the system's temporary folder that everyone can read, made once per
// process. The stand-in SDK library needs no copy: the test process has it loaded before the player
// starts, and the module finds it there by name.
std::filesystem::path moduleForPlayer(const std::filesystem::path& module);

// Hands everything under root to the player (as root: to "nobody"; otherwise nothing to do).
void handToPlayer(const std::filesystem::path& root);

// Runs body as the player; true if it returned true within the limit. A body that is still running
// then is ended: a save that blocks fails the test instead of hanging it.
bool runAsPlayer(const std::function<bool()>& body, std::chrono::seconds limit = std::chrono::seconds(20));

}  // namespace testsupport
