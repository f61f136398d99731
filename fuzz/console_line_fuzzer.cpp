// One console line of arbitrary bytes, on a host with variables (bounded and not, one whose handler
// runs a console line of its own) and a window to toggle.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "bakkesmod/plugin/pluginwindow.h"
#include "bakkesmod/wrappers/cvarmanagerwrapper.h"
#include "sandbox/pluginsdk/host.h"

namespace {

struct IdleWindow : BakkesMod::Plugin::PluginWindow {
    void Render() override {}
    std::string GetMenuName() override { return "probe"; }
    std::string GetMenuTitle() override { return "Probe"; }
    void SetImGuiContext(std::uintptr_t) override {}
    bool ShouldBlockInput() override { return false; }
    bool IsActiveOverlay() override { return false; }
    void OnOpen() override {}
    void OnClose() override {}
};

sandbox::Host& fuzzedHost() {
    static sandbox::Host host;
    static IdleWindow window;
    static const bool ready = [] {
        host.setJournalEnabled(false);
        const auto owner = host.newOwner();
        auto console = host.cvarManagerFor(owner);
        console->registerCvar("plain", "1.0");
        console->registerCvar("bounded", "5", "", true, true, -1.0f, true, 10.0f);
        console->registerCvar("echo", "").addOnValueChanged([console](std::string, CVarWrapper changed) {
            // A handler that runs the value as a line of its own, once.
            if (changed.getStringValue().rfind("echo", 0) != 0) console->executeCommand(changed.getStringValue());
        });
        host.addWindow(owner, &window);
        return true;
    }();
    (void)ready;
    return host;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    sandbox::Host& host = fuzzedHost();
    host.execute(std::string_view(reinterpret_cast<const char*>(data), size));
    host.drawWindows();
    return 0;
}
