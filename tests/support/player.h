// Running part of a test as the player, an ordinary user whom file modes bind: on Linux a child
// process that drops to "nobody" when the test runs as root (player_posix.cpp); on Windows the test
// process itself, whose files' read-only attributes bind it already (player_windows.cpp).
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>

namespace testsupport {

// Hands everything under root to the player (as root: to "nobody"; otherwise nothing to do).
void handToPlayer(const std::filesystem::path& root);

// Runs body as the player; true if it returned true within the limit. A body that is still running
// then is ended: a save that blocks fails the test instead of hanging it.
bool runAsPlayer(const std::function<bool()>& body, std::chrono::seconds limit = std::chrono::seconds(20));

}  // namespace testsupport
