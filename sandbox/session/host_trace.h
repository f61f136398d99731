// --trace: the host's journal printed as it happens, one SDK call a line, so a plugin developer sees
// exactly what the plugin asks of the host. Name indices are shown with the key they stand for.
#pragma once

#include <iosfwd>
#include <string>

#include "sandbox/pluginsdk/host.h"

namespace sandbox::session {

class HostTrace {
public:
    explicit HostTrace(std::ostream& out) : out_(out) {}

    // From now on every SDK call a plugin makes on host is printed; the trace must outlive host.
    void follow(Host& host);

    // One call as printed: "trace: GameWrapper::IsKeyPressed(1000 = A)",
    // "trace: CVarManagerWrapper::getCvar("A")", "trace: CVarWrapper::notify() on A".
    static std::string describe(const JournalEntry& entry);

private:
    std::ostream& out_;
};

}  // namespace sandbox::session
