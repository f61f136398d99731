// A session: the stand-in host, its Dear ImGui context, the plugin module and, when given, what
// makes its pictures, driven one session command at a time.
//
// Scripts, the console, the render command and the live window all go through it, so they behave
// alike. A live window drives time and frames from its own threads (step, ui) and hands the session
// only the commands that run beside it (runsLive). The session has no process-wide side effect: the
// program makes the home its working folder before it starts one (enterHome).
#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "sandbox/session/language/session_command.h"
#include "sandbox/session/number_text.h"
#include "sandbox/session/overlay_absence.h"
#include "sandbox/session/picture_maker.h"

struct ImDrawData;
struct ImGuiWindow;

namespace sandbox {
class Host;
class PluginModule;
class UiContext;
}  // namespace sandbox

namespace sandbox::session {

class HostTrace;

struct SessionOptions {
    std::filesystem::path home;            // the working directory, where the window settings are kept
    std::filesystem::path startDirectory;  // relative snapshot names are taken from here
    std::filesystem::path module;          // what load loads
    ScreenSize screen;
    double rate = 60.0;            // ticks and frames per second of game time in wait
    HostTrace* trace = nullptr;    // prints every SDK call the plugin makes, when given
    PictureMakerFactory pictures;  // none: snapshot and record are refused
    // Asked before each command and between frames; once true, the running command stops with
    // Interrupted. None: commands always run to their end.
    std::function<bool()> stop;
    std::ostream* progress = nullptr;  // a terminal where long waits show how far they have got
    // Where the session tells what a picture or a line did not do (no overlay, a key no plugin
    // polls) and what the host logs on its own.
    std::ostream* notes = nullptr;  // none: they are dropped
};

// The machine cannot run a session (no EGL, home not writable); the program stops with status 1.
class SetupError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One command could not be run; what() is one line without file or line number. Nothing that the
// command would have changed has changed, except where its message says otherwise.
class CommandError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The stop condition held (a signal arrived): the command stopped at a frame's edge, with every frame
// drawn so far captured. Not a CommandError, so the line loops let it through to their caller.
class Interrupted : public std::runtime_error {
public:
    Interrupted() : std::runtime_error("interrupted") {}
};

inline constexpr const char* kViewportTickEvent = "Function Engine.GameViewportClient.Tick";
inline constexpr const char* kPicturesNeedLinux = "pictures need the Linux build of keyvane-sandbox";

class Session {
public:
    // Sets up the host, its UI context and the picture maker in the home, which is the working folder
    // by now. The module is not loaded yet. Throws SetupError.
    explicit Session(SessionOptions options);
    ~Session();  // finishes a recording, unloads the module, then writes the window settings file
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Runs one command; returns the host's reply (possibly empty). Throws CommandError.
    std::string execute(const SessionCommand& command);

    // Loads the module, as 'load' does; a live session's set-up does it too. Throws CommandError.
    void loadModule();

    // Unloads the module if it is loaded, as the session's end does. False if the plugin wrote to the
    // host's console during the session: it does so only when something failed, such as a save of
    // its settings, and the program then ends with status 1.
    bool endModule();

    // Ends an animated capture still running, as 'record stop' does; nothing if none is. Throws
    // CommandError if the file cannot be finished.
    void finishRecording();

    // One step of the game's clock: it moves on by seconds, firing due timers, then the viewport
    // ticks. wait takes such steps; a live window's game thread takes one per period.
    void step(double seconds);

    Host& host() { return *host_; }
    UiContext& ui() { return *ui_; }  // a live window's render thread draws its frames here
    const std::vector<std::filesystem::path>& picturesWritten() const { return pictures_; }

private:
    std::string runConsoleLine(const ConsoleLine& line);
    void setKeys(const SetKeys& keys);
    ImDrawData* drawFrame(float deltaSeconds);  // one frame, captured when recording
    void drawFrames(long count, float deltaSeconds);
    void wait(double seconds);
    void drag(float dx, float dy);
    void snapshot(const Snapshot& picture);
    ImGuiWindow* drawnOverlay();  // the plugin's window in the last frame drawn, or null
    // The whole pixels of the screen that the overlay window covers in the last frame; none if none.
    std::optional<PictureArea> overlayOnScreen();
    // Why the last frame drew no overlay; none when it drew one.
    std::optional<OverlayAbsence> overlayAbsence();
    // Why the last frame shows no overlay, or only part of it; none when it shows whole.
    std::optional<OverlayAbsence> overlayNote();
    void noteRecordedAbsence();
    // One line for each held key no plugin has polled yet, once a key; what names the picture.
    void noteUnpolledKeys(const std::string& what);
    void noteUnknownKeyNames(std::string_view what);  // the names the plugin asked for, answered 0
    std::ostream& notes() const;
    void startRecording(const StartRecording& record);
    void unload();
    void stopIfAsked() const;

    SessionOptions options_;
    std::unique_ptr<Host> host_;
    std::unique_ptr<UiContext> ui_;
    std::unique_ptr<PictureMaker> pictureMaker_;
    std::unique_ptr<PluginModule> module_;
    std::unique_ptr<FrameRecording> recording_;
    std::string recordingName_;                     // as typed, for what is told about its frames
    std::optional<OverlayCause> recordingAbsence_;  // the cause last told for the recording's frames
    StartRecording recordingAsked_;                 // its --window and --zoom
    // The smallest rectangle, in screen pixels inside the screen, holding the overlay window in every
    // recorded frame so far; none before a frame showed it.
    std::optional<PictureArea> recordedWindow_;
    std::vector<std::filesystem::path> pictures_;
    std::set<std::string> keysHeld_;      // as the session's lines hold them
    std::set<std::string> unpolledTold_;  // held keys already told as polled by no plugin
};

}  // namespace sandbox::session
