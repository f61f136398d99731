// Running session commands against the host. Game time only moves in tick and wait; frames draw
// what the plugin would draw at that moment.
#include "sandbox/session/session.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <optional>
#include <ostream>

#include <imgui.h>
#include <imgui_internal.h>

#include "sandbox/hostapp/plugin_module.h"
#include "sandbox/hostapp/ui_context.h"
#include "sandbox/pluginsdk/host.h"
#include "sandbox/session/host_trace.h"
#include "sandbox/session/language/name_hints.h"
#include "sandbox/session/overlay_absence.h"
#include "sandbox/session/progress_line.h"
#include "sandbox/session/session_files.h"

namespace sandbox::session {
namespace {

// The mouse leaves the screen after a drag, as it starts: Dear ImGui's "no mouse" position.
const ImVec2 kNoMouse(-FLT_MAX, -FLT_MAX);
// How far a dragging hand moves in one frame.
constexpr float kDragPixelsPerFrame = 12.0f;
// The largest screen a session takes: a zoomed picture grows no larger.
constexpr int kMaxPictureSide = 8192;

// "no overlay: why", or for a window that shows in part what shows.
std::string overlayNoteText(const OverlayAbsence& note);

template <typename... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
template <typename... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

std::string overlayNoteText(const OverlayAbsence& note) {
    return note.partial ? note.text : "no overlay: " + note.text;
}

}  // namespace

Session::Session(SessionOptions options) : options_(std::move(options)) {
    std::string error;
    host_ = std::make_unique<Host>();
    // What the host logs on its own (a configuration line it refused, a plugin's log line) is shown
    // as it happens; errors of the session's own lines are reported with their file and line.
    host_->setLogListener([this](const std::string& line) { notes() << line << '\n'; });
    // A long session would otherwise keep every SDK call it ever made.
    host_->setJournalEnabled(false);
    if (options_.trace) options_.trace->follow(*host_);
    const ImVec2 screen(static_cast<float>(options_.screen.width), static_cast<float>(options_.screen.height));
    // The library reads and writes its settings file with a plain fopen: a pipe there would hang.
    std::optional<std::filesystem::path> settingsFile = options_.home / kWindowSettingsFile;
    if (const std::string what = notARegularFile(*settingsFile); !what.empty()) {
        notes() << "keyvane-sandbox: " << settingsFile->string() << " is " << what
                << ", not a file; window places are neither read nor saved\n";
        settingsFile.reset();
    }
    ui_ = std::make_unique<UiContext>(screen, settingsFile);
    if (options_.pictures) {
        pictureMaker_ = options_.pictures(options_.screen.width, options_.screen.height, error);
        if (!pictureMaker_) throw SetupError(error);
    }
}

Session::~Session() {
    try {
        finishRecording();
    } catch (const CommandError&) {
        // Nothing to report to at this point; the file keeps the frames written so far.
    }
    module_.reset();
    // A renderer's backend data lives in the host's context: it must be current while it goes.
    ImGui::SetCurrentContext(ui_->context());
    pictureMaker_.reset();
    ui_.reset();
}

std::string Session::execute(const SessionCommand& command) {
    stopIfAsked();
    std::string reply;
    const float frameSeconds = static_cast<float>(1.0 / options_.rate);
    std::visit(Overloaded{
                   [&](const ConsoleLine& line) { reply = runConsoleLine(line); },
                   [&](const SetGame& game) { host_->setGameMode(game.mode); },
                   [&](const SetMatch& match) { host_->setMatchEnded(match.ended); },
                   [&](const SetKeys& keys) { setKeys(keys); },
                   [&](const Tick& tick) {
                       for (long i = 0; i < tick.count; ++i) {
                           stopIfAsked();
                           host_->fireEvent(kViewportTickEvent);
                       }
                   },
                   [&](const DrawFrames& frames) { drawFrames(frames.count, frameSeconds); },
                   [&](const Wait& waitFor) { wait(waitFor.seconds); },
                   [&](const Drag& dragBy) { drag(dragBy.dx, dragBy.dy); },
                   [&](const Snapshot& picture) { snapshot(picture); },
                   [&](const StartRecording& record) { startRecording(record); },
                   [&](const StopRecording&) {
                       if (!recording_) throw CommandError("record stop: nothing is being recorded");
                       finishRecording();
                   },
                   [&](const UnloadModule&) { unload(); },
                   [&](const LoadModule&) { loadModule(); },
               },
               command);
    return reply;
}

std::ostream& Session::notes() const {
    static std::ostream nowhere(nullptr);  // a stream without a buffer drops what it is given
    return options_.notes ? *options_.notes : nowhere;
}

void Session::noteUnpolledKeys(const std::string& what) {
    for (const auto& name : keysHeld_) {
        if (host_->keyPolled(name) || !unpolledTold_.insert(name).second) continue;
        notes() << what << ": " << name << " is held, but no plugin has polled it, so nothing shows it\n";
    }
}

void Session::noteUnknownKeyNames(std::string_view what) {
    for (const auto& name : host_->takeUnknownKeyNames()) {
        std::string line = std::string(what) + ": the plugin asked for the key named '" + name +
                           "', which the game does not know (the host answered 0), so it changes nothing";
        const auto closest = closestKeyNames(name);
        if (!closest.empty()) line += " (did you mean " + closest[0] + "?)";
        notes() << line << '\n';
    }
}

std::string Session::runConsoleLine(const ConsoleLine& line) {
    host_->takeUnknownKeyNames();  // what earlier work asked is not this line's doing
    const CommandResult result = host_->execute(line.text);
    noteUnknownKeyNames(line.text);
    if (!result.ok) {
        // The host names an unknown command first in its message; the closest known word helps.
        const std::string_view unknown = "unknown command: ";
        if (result.message.starts_with(unknown)) {
            throw CommandError(withCommandHint(result.message, std::string_view(result.message).substr(unknown.size()),
                                               host_->variableNames()));
        }
        throw CommandError(result.message);
    }
    return result.message;
}

void Session::setKeys(const SetKeys& keys) {
    // Every name is checked before any key changes, so a bad line leaves the keys as they were.
    for (const auto& name : keys.names) {
        if (Host::keyIndex(name) == 0) throw CommandError(unknownKeyMessage(name));
    }
    for (const auto& name : keys.names) {
        host_->setKeyHeld(name, keys.held);
        if (keys.held) {
            keysHeld_.insert(name);
        } else {
            keysHeld_.erase(name);
        }
    }
}

ImDrawData* Session::drawFrame(float deltaSeconds) {
    ImDrawData* drawData = ui_->frame(*host_, deltaSeconds);
    if (recording_) {
        if (const std::string error = recording_->addFrame(drawData, deltaSeconds); !error.empty()) {
            recording_.reset();
            throw CommandError("record: " + error + "; the recording stopped");
        }
        noteRecordedAbsence();
        noteUnpolledKeys("record " + recordingName_);
        if (recordingAsked_.window) {
            if (const auto area = overlayOnScreen()) {
                if (!recordedWindow_) {
                    recordedWindow_ = area;
                } else {
                    PictureArea& all = *recordedWindow_;
                    const int right = std::max(all.left + all.width, area->left + area->width);
                    const int bottom = std::max(all.top + all.height, area->top + area->height);
                    all.left = std::min(all.left, area->left);
                    all.top = std::min(all.top, area->top);
                    all.width = right - all.left;
                    all.height = bottom - all.top;
                }
            }
        }
    }
    return drawData;
}

ImGuiWindow* Session::drawnOverlay() {
    auto* pluginWindow = module_ ? module_->window() : nullptr;
    if (!pluginWindow) return nullptr;
    ImGui::SetCurrentContext(ui_->context());
    // The plugin names its window; the library finds it by that title.
    ImGuiWindow* window = ImGui::FindWindowByName(pluginWindow->GetMenuTitle().c_str());
    return window && window->Active ? window : nullptr;
}

std::optional<PictureArea> Session::overlayOnScreen() {
    const ImGuiWindow* window = drawnOverlay();
    if (!window) return std::nullopt;
    // Clamped as floats first, since a window dragged far off screen lies beyond what an int holds.
    const ImVec2 screen = ui_->displaySize();
    const int left = static_cast<int>(std::floor(std::clamp(window->Pos.x, 0.0f, screen.x)));
    const int top = static_cast<int>(std::floor(std::clamp(window->Pos.y, 0.0f, screen.y)));
    const int right = static_cast<int>(std::ceil(std::clamp(window->Pos.x + window->Size.x, 0.0f, screen.x)));
    const int bottom = static_cast<int>(std::ceil(std::clamp(window->Pos.y + window->Size.y, 0.0f, screen.y)));
    if (right <= left || bottom <= top) return std::nullopt;
    return PictureArea{left, top, right - left, bottom - top, 1};
}

std::optional<OverlayAbsence> Session::overlayAbsence() {
    if (drawnOverlay()) return std::nullopt;
    auto* pluginWindow = module_ ? module_->window() : nullptr;
    return whyNoOverlay(*host_, pluginWindow ? pluginWindow->GetMenuName() : std::string(), module_ != nullptr);
}

std::optional<OverlayAbsence> Session::overlayNote() {
    const ImGuiWindow* window = drawnOverlay();
    if (!window) return overlayAbsence();
    const ImGuiStyle& style = ImGui::GetStyle();
    const ImVec2 screen = ui_->displaySize();
    WindowGeometry geometry;
    geometry.x = window->Pos.x;
    geometry.y = window->Pos.y;
    geometry.width = window->Size.x;
    geometry.height = window->Size.y;
    geometry.minWidth = style.WindowMinSize.x;
    geometry.minHeight = style.WindowMinSize.y;
    geometry.keptWidth = std::max(style.DisplayWindowPadding.x, style.DisplaySafeAreaPadding.x);
    geometry.keptHeight = std::max(style.DisplayWindowPadding.y, style.DisplaySafeAreaPadding.y);
    geometry.screenWidth = screen.x;
    geometry.screenHeight = screen.y;
    return whyOverlayCut(*host_, geometry);
}

// A recording tells each new cause once, not once a frame: a minute in the menu is one line.
void Session::noteRecordedAbsence() {
    const auto absence = overlayNote();
    const auto cause = absence ? std::optional(absence->cause) : std::nullopt;
    if (cause == recordingAbsence_) return;
    if (absence) {
        char clock[32];
        std::snprintf(clock, sizeof clock, "%.2f", host_->clock());
        notes() << "record " << recordingName_ << ": " << (absence->partial ? "" : "no overlay ") << "from game time "
                << clock << " s: " << absence->text << '\n';
    }
    recordingAbsence_ = cause;
}

void Session::drawFrames(long count, float deltaSeconds) {
    for (long i = 0; i < count; ++i) {
        stopIfAsked();
        drawFrame(deltaSeconds);
    }
}

void Session::stopIfAsked() const {
    if (options_.stop && options_.stop()) throw Interrupted();
}

void Session::wait(double seconds) {
    const long steps = static_cast<long>(std::ceil(seconds * options_.rate - 1e-9));
    const double start = host_->clock();
    ProgressLine progress(options_.progress, "wait", seconds);
    for (long taken = 1; taken <= steps; ++taken) {
        stopIfAsked();
        // Each step lands on its exact share of the wait, so rounding never leaves a timer that is
        // due at the end of the wait unfired.
        const double target = start + (taken == steps ? seconds : seconds * taken / steps);
        const double delta = target - host_->clock();
        step(delta > 0 ? delta : 0);
        drawFrame(static_cast<float>(seconds / steps));
        progress.update(host_->clock() - start, taken);
    }
}

void Session::step(double seconds) {
    host_->advance(seconds);
    host_->fireEvent(kViewportTickEvent);
}

void Session::drag(float dx, float dy) {
    // Start from the state of the world right now, not from the last frame drawn.
    drawFrame(static_cast<float>(1.0 / options_.rate));
    ImGuiWindow* window = drawnOverlay();
    if (!window) throw CommandError("drag: the overlay window is not on screen: " + overlayAbsence()->text);
    // Grab the middle of the part of the window that is on screen. The plugin lays out no widget,
    // so every point of the window is background that the library lets the user drag by.
    const ImVec2 screen = ui_->displaySize();
    const float left = std::max(window->Pos.x, 0.0f);
    const float top = std::max(window->Pos.y, 0.0f);
    const float right = std::min(window->Pos.x + window->Size.x, screen.x);
    const float bottom = std::min(window->Pos.y + window->Size.y, screen.y);
    if (right - left < 1.0f || bottom - top < 1.0f) {
        throw CommandError("drag: no part of the overlay window is on screen to grab");
    }
    const ImVec2 grab((left + right) * 0.5f, (top + bottom) * 0.5f);
    const float frameSeconds = static_cast<float>(1.0 / options_.rate);
    ui_->setMouse(grab, false);  // hover first, as a hand does
    drawFrame(frameSeconds);
    ui_->setMouse(grab, true);
    drawFrame(frameSeconds);
    // The hand moves a few pixels a frame, so an animated capture shows the window travel.
    const int steps = std::max(1, static_cast<int>(std::ceil(std::hypot(dx, dy) / kDragPixelsPerFrame)));
    for (int step = 1; step <= steps; ++step) {
        stopIfAsked();
        const float share = static_cast<float>(step) / static_cast<float>(steps);
        ui_->setMouse(ImVec2(grab.x + dx * share, grab.y + dy * share), true);
        drawFrame(frameSeconds);
    }
    ui_->setMouse(ImVec2(grab.x + dx, grab.y + dy), false);
    drawFrame(frameSeconds);
    ui_->setMouse(kNoMouse, false);
    drawFrame(frameSeconds);
}

void Session::snapshot(const Snapshot& picture) {
    if (!pictureMaker_) throw CommandError(std::string("snapshot: ") + kPicturesNeedLinux);
    const auto path = resolveFrom(options_.startDirectory, picture.file);
    if (const std::string what = notARegularFile(path); !what.empty()) {
        throw CommandError("snapshot: " + path.string() + " is " + what + ", not a file; nothing was written");
    }
    if (const std::string refusal = outputFolderRefusal(path); !refusal.empty()) {
        throw CommandError("snapshot: " + refusal + "; nothing was written");
    }
    ImDrawData* drawData = drawFrame(static_cast<float>(1.0 / options_.rate));
    PictureArea area;
    area.zoom = picture.zoom;
    const auto note = overlayNote();
    if (note && !note->partial) {
        if (picture.window) throw CommandError("snapshot --window: no overlay window to cut out: " + note->text);
    } else if (picture.window) {
        const auto onScreen = overlayOnScreen();
        if (!onScreen) throw CommandError("snapshot --window: no part of the overlay window is on screen");
        area = *onScreen;
        area.zoom = picture.zoom;
    }
    const int width = area.width > 0 ? area.width : options_.screen.width;
    const int height = area.height > 0 ? area.height : options_.screen.height;
    if (std::max(width, height) * area.zoom > kMaxPictureSide) {
        throw CommandError("snapshot: --zoom " + std::to_string(area.zoom) + " would make a picture of " +
                           std::to_string(width * area.zoom) + "x" + std::to_string(height * area.zoom) +
                           " pixels; at most " + std::to_string(kMaxPictureSide) + " a side");
    }
    if (const std::string error = pictureMaker_->writeSnapshot(drawData, path, area); !error.empty()) {
        throw CommandError("snapshot: " + error);
    }
    if (note) notes() << "snapshot " << picture.file << ": " << overlayNoteText(*note) << '\n';
    noteUnpolledKeys("snapshot " + picture.file);
    pictures_.push_back(path);
}

void Session::startRecording(const StartRecording& record) {
    if (!pictureMaker_) throw CommandError(std::string("record: ") + kPicturesNeedLinux);
    if (recording_) {
        throw CommandError("record: already recording " + recording_->file().string() + " (record stop first)");
    }
    const auto path = resolveFrom(options_.startDirectory, record.file);
    if (const std::string what = notARegularFile(path); !what.empty()) {
        throw CommandError("record: " + path.string() + " is " + what + ", not a file; nothing was written");
    }
    if (const std::string refusal = outputFolderRefusal(path); !refusal.empty()) {
        throw CommandError("record: " + refusal + "; nothing was written");
    }
    if (!record.window && std::max(options_.screen.width, options_.screen.height) * record.zoom > kMaxPictureSide) {
        throw CommandError("record: --zoom " + std::to_string(record.zoom) + " would make frames of more than " +
                           std::to_string(kMaxPictureSide) + " pixels a side");
    }
    std::string error;
    recording_ = pictureMaker_->startRecording(path, record.window || record.zoom > 1, error);
    recordingName_ = record.file;
    recordingAsked_ = record;
    recordingAbsence_.reset();
    recordedWindow_.reset();
    if (!recording_) throw CommandError("record: " + error);
}

void Session::finishRecording() {
    if (!recording_) return;
    // A recording stopped before any frame was drawn shows the screen as it is now.
    if (!recording_->hasFrames()) drawFrame(static_cast<float>(1.0 / options_.rate));
    std::unique_ptr<FrameRecording> recording = std::move(recording_);
    PictureArea area;
    area.zoom = recordingAsked_.zoom;
    if (recordingAsked_.window && recordedWindow_) {
        area = *recordedWindow_;
        area.zoom = recordingAsked_.zoom;
    } else if (recordingAsked_.window) {
        notes() << "record " << recordingName_ << " --window: no frame showed the overlay window; the capture keeps "
                << "the whole screen\n";
    }
    const int width = area.width > 0 ? area.width : options_.screen.width;
    const int height = area.height > 0 ? area.height : options_.screen.height;
    if (std::max(width, height) * area.zoom > kMaxPictureSide)
        area.zoom = std::max(1, kMaxPictureSide / std::max(width, height));
    if (const std::string error = recording->finish(area); !error.empty()) throw CommandError("record stop: " + error);
    pictures_.push_back(recording->file());
}

void Session::loadModule() {
    if (module_) throw CommandError("load: the module is already loaded (unload it first)");
    try {
        module_ = PluginModule::load(*host_, options_.module, ui_->context());
    } catch (const LoadError& failure) {
        throw CommandError(failure.what());
    }
    noteUnknownKeyNames("load");  // a binding kept in the settings
}

void Session::unload() {
    if (!module_) throw CommandError("unload: no module is loaded");
    module_.reset();
}

bool Session::endModule() {
    module_.reset();
    return host_->pluginLogLines() == 0;
}

}  // namespace sandbox::session
