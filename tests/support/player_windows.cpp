// The player on Windows: the test process itself, whom read-only attributes bind as they bind a player.
#include "support/player.h"

namespace testsupport {

std::filesystem::path moduleForPlayer(const std::filesystem::path& module) { return module; }

void handToPlayer(const std::filesystem::path&) {}

bool runAsPlayer(const std::function<bool()>& body, std::chrono::seconds) { return body(); }

}  // namespace testsupport
