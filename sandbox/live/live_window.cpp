// The live window's four threads and what flows between them.
//
// Threads: main (GLFW events and the window title, which GLFW allows only there), game (timers,
// viewport ticks and the console lines typed in the terminal), render (Dear ImGui frames and
// OpenGL) and terminal (reading lines). The host is safe to call from any of them; the plugin is
// called on the game and render threads only.
#include "sandbox/live/live_window.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <deque>
#include <future>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include <GLFW/glfw3.h>

#include "sandbox/hostapp/ui_context.h"
#include "sandbox/live/frame_memory.h"
#include "sandbox/live/frame_pacer.h"
#include "sandbox/live/key_mapping.h"
#include "sandbox/pictures/frame_renderer.h"
#include "sandbox/pictures/mesa_residency.h"
#include "sandbox/pluginsdk/host.h"
#include "sandbox/session/input/line_input.h"
#include "sandbox/session/input/stop_signals.h"
#include "sandbox/session/language/session_command.h"
#include "sandbox/session/language/session_help.h"
#include "sandbox/session/line_loop.h"
#include "sandbox/session/session_files.h"

namespace sandbox::live {

using pictures::FrameRenderer;
using pictures::keepMesaLoadedToTheEnd;
using pictures::RenderTarget;
using session::CommandError;
using session::kConsoleHistoryFile;
using session::kExitBadInput;
using session::kExitOk;
using session::kExitSetup;
using session::kLiveRefusal;
using session::LineAction;
using session::LineMode;
using session::liveHelpText;
using session::runLines;
using session::runsLive;
using session::ScreenSize;
using session::Session;
using session::SessionCommand;
using session::SessionOptions;
using session::SetGame;
using session::SetMatch;
using session::SetupError;
using session::standardInputLines;
using session::stopRequested;
using session::watchStopSignals;
namespace {

constexpr const char* kWindowTitle = "Keyvane sandbox (live)";
constexpr double kEventWaitSeconds = 0.05;
constexpr auto kTitleRefresh = std::chrono::seconds(1);
constexpr auto kStoppedCheck = std::chrono::milliseconds(50);

// A terminal line waiting for the game thread, which runs the session's commands in the game.
struct PendingCommand {
    SessionCommand command;
    std::promise<CommandResult> result;
};

// Everything the threads share. Atomics for the mouse and the window size, a locked queue for lines.
struct LiveState {
    explicit LiveState(Session& liveSession) : session(liveSession), host(liveSession.host()) {}
    Session& session;
    Host& host;
    std::atomic<bool> stopping{false};
    std::atomic<bool> quitTyped{false};
    std::atomic<float> mouseX{-1e30f};
    std::atomic<float> mouseY{-1e30f};
    std::atomic<bool> leftButtonDown{false};
    std::atomic<int> framebufferWidth{0};
    std::atomic<int> framebufferHeight{0};
    std::atomic<long> framesShown{0};
    std::atomic<bool> uncovered{false};  // the window system lost the picture: draw it again
    std::mutex commandsLock;
    std::deque<std::shared_ptr<PendingCommand>> commands;
};

LiveState* stateOf(GLFWwindow* window) { return static_cast<LiveState*>(glfwGetWindowUserPointer(window)); }

void onKey(GLFWwindow* window, int key, int scancode, int action, int) {
    const std::string name = gameKeyName(key, glfwGetKeyName(key, scancode));
    if (!name.empty()) stateOf(window)->host.setKeyHeld(name, action != GLFW_RELEASE);
}

void onMouseButton(GLFWwindow* window, int button, int action, int) {
    LiveState& state = *stateOf(window);
    const std::string name = gameMouseButtonName(button);
    if (!name.empty()) state.host.setKeyHeld(name, action != GLFW_RELEASE);
    if (button == GLFW_MOUSE_BUTTON_LEFT) state.leftButtonDown = action != GLFW_RELEASE;
}

void onCursor(GLFWwindow* window, double x, double y) {
    LiveState& state = *stateOf(window);
    state.mouseX = static_cast<float>(x);
    state.mouseY = static_cast<float>(y);
}

void onRefresh(GLFWwindow* window) { stateOf(window)->uncovered = true; }

void onFramebufferSize(GLFWwindow* window, int width, int height) {
    LiveState& state = *stateOf(window);
    state.framebufferWidth = width;
    state.framebufferHeight = height;
}

// One terminal command, on the game thread, which the session runs or refuses.
CommandResult runOnGameThread(LiveState& state, const SessionCommand& command) {
    // Time, frames, pictures and keys belong to the window's threads and the user's hands.
    if (!runsLive(command)) return {false, kLiveRefusal};
    try {
        return {true, state.session.execute(command)};
    } catch (const CommandError& error) {
        return {false, error.what()};
    }
}

// The terminal's side: hands the command over and waits for its reply, so that the reply comes
// before the next prompt.
std::string runFromTerminal(LiveState& state, const SessionCommand& command) {
    auto pending = std::make_shared<PendingCommand>();
    pending->command = command;
    std::future<CommandResult> reply = pending->result.get_future();
    {
        std::lock_guard<std::mutex> guard(state.commandsLock);
        state.commands.push_back(pending);
    }
    while (reply.wait_for(kStoppedCheck) != std::future_status::ready) {
        if (state.stopping) throw CommandError("the window closed before the line ran");
    }
    CommandResult result = reply.get();
    if (!result.ok) throw CommandError(result.message);
    return result.message;
}

void gameThread(LiveState& state, double rate) {
    const auto period =
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(1.0 / rate));
    auto next = std::chrono::steady_clock::now();
    while (!state.stopping) {
        next += period;
        std::this_thread::sleep_until(next);
        std::deque<std::shared_ptr<PendingCommand>> commands;
        {
            std::lock_guard<std::mutex> guard(state.commandsLock);
            commands.swap(state.commands);
        }
        for (const auto& pending : commands) pending->result.set_value(runOnGameThread(state, pending->command));
        state.session.step(1.0 / rate);
    }
}

void terminalThread(LiveState& state, std::filesystem::path historyFile, std::ostream& out, std::ostream& err) {
    const auto lines = standardInputLines("> ", historyFile, [&state] { return state.stopping.load(); });
    const LineAction run = [&state](const SessionCommand& command) { return runFromTerminal(state, command); };
    bool quit = false;
    runLines(*lines, "<stdin>", LineMode::Console, run, liveHelpText(), out, err, &quit);
    // At the end of input the window stays until it is closed; 'quit' closes it.
    if (quit) state.quitTyped = true;
}

void renderThread(LiveState& state, GLFWwindow* window, ScreenSize screen, double rate, double displayHz) {
    UiContext& ui = state.session.ui();
    glfwMakeContextCurrent(window);
    glfwSwapInterval(1);
    ImGui::SetCurrentContext(ui.context());
    {
        FrameRenderer renderer(screen.width, screen.height, RenderTarget::WindowFramebuffer);
        auto last = std::chrono::steady_clock::now();
        FramePacer pacer(rate, displayHz, last);
        FrameMemory shown;
        while (!state.stopping) {
            const int width = state.framebufferWidth;
            const int height = state.framebufferHeight;
            if (width > 0 && height > 0 && (width != renderer.width() || height != renderer.height())) {
                renderer.resize(width, height);
                ui.setDisplaySize(ImVec2(static_cast<float>(width), static_cast<float>(height)));
            }
            const auto now = std::chrono::steady_clock::now();
            const float delta = std::chrono::duration<float>(now - last).count();
            last = now;
            ui.setMouse(ImVec2(state.mouseX, state.mouseY), state.leftButtonDown);
            // Every frame runs the plugin, as the game's would; only a changed picture is drawn.
            ImDrawData* drawData = ui.frame(state.host, delta);
            if (state.uncovered.exchange(false)) shown.forget();
            const bool unchanged = shown.sameAsLast(drawData, renderer.width(), renderer.height());
            const bool present = !unchanged || pacer.finding();
            if (present) {
                renderer.draw(drawData);
                glfwSwapBuffers(window);
            }
            ++state.framesShown;
            std::this_thread::sleep_until(pacer.nextFrame(std::chrono::steady_clock::now(), present));
        }
        ImGui::SetCurrentContext(ui.context());
    }
    glfwMakeContextCurrent(nullptr);
}

double displayRefreshHz() {
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    return mode ? mode->refreshRate : 0.0;
}

// Shows the frame rate in the title once a second; only the main thread may set it.
class TitleRate {
public:
    explicit TitleRate(GLFWwindow* window) : window_(window), since_(std::chrono::steady_clock::now()) {}

    void update(long framesShown) {
        const auto now = std::chrono::steady_clock::now();
        if (now - since_ < kTitleRefresh) return;
        const double seconds = std::chrono::duration<double>(now - since_).count();
        const long framesPerSecond = std::lround(static_cast<double>(framesShown - frames_) / seconds);
        const std::string title = std::string(kWindowTitle) + " - " + std::to_string(framesPerSecond) + " fps";
        glfwSetWindowTitle(window_, title.c_str());
        since_ = now;
        frames_ = framesShown;
    }

private:
    GLFWwindow* window_;
    std::chrono::steady_clock::time_point since_;
    long frames_ = 0;
};

}  // namespace

int runLive(const SessionOptions& options, std::ostream& out, std::ostream& err) {
    // The session sets up the home, the host and its UI context; the window brings its own renderer.
    SessionOptions liveOptions = options;
    liveOptions.pictures = {};
    liveOptions.notes = &err;
    // The window's own loop watches the stop signals; a command from its terminal always completes.
    liveOptions.stop = {};
    std::optional<Session> session;
    try {
        session.emplace(std::move(liveOptions));
    } catch (const SetupError& error) {
        err << "keyvane-sandbox: " << error.what() << '\n';
        return kExitSetup;
    }
    if (!glfwInit()) {
        err << "keyvane-sandbox: live needs a display (no window system found; try 'render' or 'run')\n";
        return kExitSetup;
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_RESIZABLE, GLFW_TRUE);
    GLFWwindow* window = glfwCreateWindow(options.screen.width, options.screen.height, kWindowTitle, nullptr, nullptr);
    if (!window) {
        glfwTerminate();
        err << "keyvane-sandbox: cannot open an OpenGL 3.3 window on this display\n";
        return kExitSetup;
    }
    keepMesaLoadedToTheEnd();

    int status = kExitOk;
    {
        LiveState state(*session);
        glfwSetWindowUserPointer(window, &state);
        int width = 0;
        int height = 0;
        glfwGetFramebufferSize(window, &width, &height);
        state.framebufferWidth = width;
        state.framebufferHeight = height;
        bool loaded = false;
        try {
            session->execute(SetGame{GameMode::OnlineMatch});
            session->execute(SetMatch{false});
            session->loadModule();
            loaded = true;
        } catch (const CommandError& failure) {
            err << "keyvane-sandbox: " << failure.what() << '\n';
            status = kExitBadInput;
        }
        if (loaded) {
            glfwSetKeyCallback(window, onKey);
            glfwSetMouseButtonCallback(window, onMouseButton);
            glfwSetCursorPosCallback(window, onCursor);
            glfwSetFramebufferSizeCallback(window, onFramebufferSize);
            glfwSetWindowRefreshCallback(window, onRefresh);
            out << "live: close the window, Ctrl+C or 'quit' to stop; type console commands here "
                   "(kvanescale 1.5, help)"
                << std::endl;
            watchStopSignals();
            std::thread render(renderThread, std::ref(state), window, options.screen, options.rate, displayRefreshHz());
            std::thread game(gameThread, std::ref(state), options.rate);
            std::thread terminal(terminalThread, std::ref(state), options.home / kConsoleHistoryFile, std::ref(out),
                                 std::ref(err));
            TitleRate title(window);
            while (!glfwWindowShouldClose(window) && !stopRequested() && !state.quitTyped) {
                glfwWaitEventsTimeout(kEventWaitSeconds);
                title.update(state.framesShown);
            }
            state.stopping = true;
            render.join();
            game.join();
            terminal.join();
            // Lines still queued when the game thread stopped get no reply; their waiters have gone.
        }
        glfwSetWindowUserPointer(window, nullptr);
    }
    // The module unloads, saving its settings, and the window settings are written, before the
    // window goes. A save the plugin said it could not make fails the run, as in the other commands.
    if (!session->endModule() && status == kExitOk) status = kExitSetup;
    session.reset();
    glfwDestroyWindow(window);
    glfwTerminate();
    return status;
}

}  // namespace sandbox::live
