// The scene every benchmark measures in: the plugin loaded by the stand-in host with a Dear ImGui
// context, its window open, in a running online match with a few keys held, the journal off as in
// a long session, in a working folder of its own where the plugin keeps its settings file.
#pragma once

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <system_error>

#include "sandbox/hostapp/plugin_module.h"
#include "sandbox/hostapp/ui_context.h"
#include "sandbox/pluginsdk/host.h"

namespace bench {

inline constexpr const char* kTickEvent = "Function Engine.GameViewportClient.Tick";
inline constexpr const char* kHeldKeys[] = {"A", "Z", "SpaceBar", "LeftMouseButton"};

// A fresh working folder with ./bakkesmod/cfg, entered while it lives; other runs on the machine
// each get their own.
class BenchHome {
public:
    BenchHome()
        : previous_(std::filesystem::current_path()),
          root_(std::filesystem::temp_directory_path() / ("keyvane-bench-" + std::to_string(std::random_device{}()))) {
        std::filesystem::create_directories(root_ / "bakkesmod" / "cfg");
        std::filesystem::current_path(root_);
    }
    ~BenchHome() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(root_, ignored);
    }
    BenchHome(const BenchHome&) = delete;
    BenchHome& operator=(const BenchHome&) = delete;

private:
    std::filesystem::path previous_;
    std::filesystem::path root_;
};

struct RunningOverlay {
    RunningOverlay() {
        host.setJournalEnabled(false);
        module = sandbox::PluginModule::load(host, KEYVANE_MODULE_PATH, ui.context());
        host.advance(1.0);  // the plugin's timer opens its window
        host.setGameMode(sandbox::GameMode::OnlineMatch);
        for (const char* key : kHeldKeys) host.setKeyHeld(key, true);
        host.fireEvent(kTickEvent);
    }
    ImDrawData* frame() { return ui.frame(host); }

    BenchHome home;
    sandbox::Host host;
    sandbox::UiContext ui{ImVec2(1280, 720)};
    std::unique_ptr<sandbox::PluginModule> module;
};

}  // namespace bench
