// A configuration file of arbitrary bytes, replayed by the host onto the plugin's own variables.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "bakkesmod/wrappers/cvarmanagerwrapper.h"
#include "sandbox/pluginsdk/host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static sandbox::Host host;
    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("keyvane-replay-fuzz-" + std::to_string(::getpid()) + ".cfg");
    static const bool ready = [] {
        host.setJournalEnabled(false);
        auto console = host.cvarManagerFor(host.newOwner());
        console->registerCvar("kvanescale", "1.0");
        console->registerCvar("kvanetransparency", "0");
        console->registerCvar("A", "A");
        return true;
    }();
    (void)ready;
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    host.loadConfig(file);
    return 0;
}
