// The plugin object: the one Keyvane the host creates through getPlugin, its fields, and every
// operation the host or the callbacks it holds call. Each group names the file that implements it.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "bakkesmod/plugin/bakkesmodplugin.h"
#include "bakkesmod/plugin/pluginwindow.h"
#include "bakkesmod/wrappers/cvarwrapper.h"
#include "plugin/WatchedKeys.h"

struct FrameDrawing;
struct ImDrawList;
struct ImVec2;

// One watched key. `pressed` is written by the key polling on the game thread while the drawing
// reads it on the render thread, so it is atomic; std::atomic<bool> keeps the size and alignment of
// a bool, so the record's layout is the same as with a plain flag.
struct KeyState {
    std::int32_t nameIndex = 0;        // the game's name index; the key is polled only above 0
    std::atomic<bool> pressed{false};  // held at the last poll
    std::string label;                 // drawn on plain caps

    KeyState() = default;
    explicit KeyState(std::string capLabel) : label(std::move(capLabel)) {}
    // The table build assigns whole records; an atomic member alone would forbid it.
    KeyState(const KeyState& other)
        : nameIndex(other.nameIndex), pressed(other.pressed.load(std::memory_order_relaxed)), label(other.label) {}
    KeyState& operator=(const KeyState& other) {
        nameIndex = other.nameIndex;
        pressed.store(other.pressed.load(std::memory_order_relaxed), std::memory_order_relaxed);
        label = other.label;
        return *this;
    }
};

class Keyvane final : public BakkesMod::Plugin::BakkesModPlugin, public BakkesMod::Plugin::PluginWindow {
public:
    // Load and unload (Keyvane.cpp).
    void onLoad() override;
    void onUnload() override;

    // The host's window interface, in slot order (overlay/OverlayWindow.cpp).
    void Render() override;
    std::string GetMenuName() override;
    std::string GetMenuTitle() override;
    void SetImGuiContext(std::uintptr_t context) override;
    bool ShouldBlockInput() override;
    bool IsActiveOverlay() override;
    void OnOpen() override;
    void OnClose() override;

    // Key polling, hooked to the game's viewport tick (KeyPolling.cpp).
    void onViewportTick(std::string eventName);

    // Writes the two-line configuration file from the current settings (Settings.cpp).
    void saveSettings();

    // Plain bool: ImGui::Begin takes its address as the window's open flag.
    bool windowOpen = false;
    // Written by the console's change handlers, read by the drawing on another thread: atomic, with
    // relaxed order, since each is a lone value that no other write has to be seen with.
    std::atomic<float> scale{1.0f};
    std::atomic<float> transparency{0.0f};
    std::string configPath = "./bakkesmod/cfg/keyvane.cfg";
    std::map<std::string, KeyState> keyTable;

    // The host's timer unit; the window opens this long after load.
    static constexpr float kWindowOpenDelay = 1.0f;

private:
    // Key table and bindings (KeyTable.cpp).
    void buildKeyTable();
    void registerBindings();
    void bindingChanged(std::string previousValue, CVarWrapper binding);

    // Settings (Settings.cpp).
    void registerSettings();
    void loadSavedSettings();
    void scaleChanged(std::string previousValue, CVarWrapper cvar);
    void transparencyChanged(std::string previousValue, CVarWrapper cvar);
    void settingChanged(unsigned setting);

    // What the load's replay did, for saveSettings to tell a file it may replace from one it must
    // keep. The replay itself writes nothing: the file it reads already holds what it sets.
    static constexpr unsigned kScaleSetting = 1, kTransparencySetting = 2;
    bool replaying = false;         // inside loadCfg
    unsigned settingsReplayed = 0;  // the settings the replay reported, as a set of the bits above
    bool keepStoredFile = false;    // the replay left a setting unreported and nothing changed since

    // Window protocol (overlay/OverlayWindow.cpp).
    void executeToggle();
    void openWindowLater();

    // Drawing (overlay/KeyboardDrawing.cpp, overlay/MouseDrawing.cpp). Every drawer of one frame
    // works from the figures Render works out once per frame from the scale it read once, so
    // a change arriving mid-frame cannot tear it.
    using CapRow = std::span<const KeyState* const>;
    void drawKeyRow(ImDrawList* drawList, CapRow caps, ImVec2 start, const FrameDrawing& frame) const;
    void drawTabRow(ImDrawList* drawList, ImVec2 origin, const FrameDrawing& frame) const;
    void drawCapsRow(ImDrawList* drawList, ImVec2 origin, const FrameDrawing& frame) const;
    void drawShiftRow(ImDrawList* drawList, ImVec2 origin, const FrameDrawing& frame) const;
    void drawBottomRow(ImDrawList* drawList, ImVec2 origin, const FrameDrawing& frame) const;
    void drawMouse(ImDrawList* drawList, ImVec2 origin, const FrameDrawing& frame) const;
    void requireDrawnKeys() const;
    CapRow drawnRow(std::size_t first, std::size_t count) const;

    // The 28 entries in kWatchedKeys order, resolved once when the table is built. Map nodes never
    // move and are never removed, so the drawing reads them without walking the tree while a
    // binding change may be inserting into it on another thread.
    std::array<const KeyState*, kWatchedKeyCount> drawnKeys{};
    bool keyTableBuilt = false;  // every entry of drawnKeys resolved

    // Every entry of keyTable in map order, for the polling to walk without the tree; redone on
    // the game thread whenever the table has grown.
    std::vector<KeyState*> pollOrder;
};
