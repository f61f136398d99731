// One plugin module loaded on a fresh stand-in host, in a fresh home, as the host loads it.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "plugin/Keyvane.h"
#include "sandbox/hostapp/plugin_module.h"
#include "sandbox/hostapp/ui_context.h"
#include "sandbox/pluginsdk/host.h"
#include "support/temp_home.h"

namespace testsupport {

inline constexpr const char* kTickEvent = "Function Engine.GameViewportClient.Tick";

// The keys in the order the plugin walks its table (byte-wise order of the names).
inline const std::vector<std::string> kKeysInMapOrder{"A",           "C",
                                                      "CapsLock",    "D",
                                                      "E",           "F",
                                                      "Five",        "Four",
                                                      "G",           "LeftAlt",
                                                      "LeftControl", "LeftMouseButton",
                                                      "LeftShift",   "MiddleMouseButton",
                                                      "One",         "Q",
                                                      "R",           "RightMouseButton",
                                                      "S",           "SpaceBar",
                                                      "T",           "Tab",
                                                      "Three",       "Two",
                                                      "V",           "W",
                                                      "X",           "Z"};

struct PluginSession {
    // withUi: whether the host has a Dear ImGui context (1280 x 720) to hand to the plugin.
    explicit PluginSession(bool withConfigFolder = true, bool withUi = false) : home(withConfigFolder) {
        if (withUi) ui = std::make_unique<sandbox::UiContext>(ImVec2(1280, 720));
    }
    ~PluginSession() { unload(); }

    void load() { module = sandbox::PluginModule::load(host, modulePath, ui ? ui->context() : nullptr); }
    void unload() { module.reset(); }

    Keyvane& keyvane() { return static_cast<Keyvane&>(module->plugin()); }
    std::vector<sandbox::JournalEntry> journalSince(std::size_t start) const {
        auto all = host.journal();
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(start, all.size())), all.end()};
    }

    std::filesystem::path modulePath = KEYVANE_MODULE_PATH;  // what load loads
    TempHome home;
    sandbox::Host host;
    std::unique_ptr<sandbox::UiContext> ui;
    std::unique_ptr<sandbox::PluginModule> module;
};

}  // namespace testsupport
