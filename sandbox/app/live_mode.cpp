// The live window's three threads and the input that flows between them.
//
// Threads: main (GLFW events, which GLFW allows only there), game (timers, viewport ticks and console
// lines typed in the terminal) and render (Dear ImGui frames and OpenGL). The host is safe to call
// from any of them; the plugin is called on the game and render threads only.
#include "live_mode.h"

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <chrono>
#include <deque>
#include <iostream>
#include <mutex>
#include <thread>

#include <GLFW/glfw3.h>

#include "frame_renderer.h"
#include "key_mapping.h"
#include "sandbox/host.h"
#include "sandbox/plugin_module.h"
#include "sandbox/ui_context.h"
#include "script_runner.h"
#include "session_command.h"
#include "workplace.h"

namespace sandbox::app {
namespace {

constexpr int kTerminalPollMilliseconds = 100;

// Set by Ctrl+C; the main thread then closes the window the normal way, so settings get saved.
std::atomic<bool> interrupted{false};

void onInterrupt(int) { interrupted = true; }

// Everything the three threads share. Atomics for the mouse, a locked queue for terminal lines.
struct LiveState {
    Host host;
    std::atomic<bool> stopping{false};
    std::atomic<float> mouseX{-1e30f};
    std::atomic<float> mouseY{-1e30f};
    std::atomic<bool> leftButtonDown{false};
    std::mutex linesLock;
    std::deque<std::string> terminalLines;
    std::ostream* out = nullptr;
    std::ostream* err = nullptr;
};

LiveState* stateOf(GLFWwindow* window) { return static_cast<LiveState*>(glfwGetWindowUserPointer(window)); }

void onKey(GLFWwindow* window, int key, int scancode, int action, int)
{
    const std::string name = gameKeyName(key, glfwGetKeyName(key, scancode));
    if (!name.empty()) stateOf(window)->host.setKeyHeld(name, action != GLFW_RELEASE);
}

void onMouseButton(GLFWwindow* window, int button, int action, int)
{
    LiveState& state = *stateOf(window);
    const std::string name = gameMouseButtonName(button);
    if (!name.empty()) state.host.setKeyHeld(name, action != GLFW_RELEASE);
    if (button == GLFW_MOUSE_BUTTON_LEFT) state.leftButtonDown = action != GLFW_RELEASE;
}

void onCursor(GLFWwindow* window, double x, double y)
{
    LiveState& state = *stateOf(window);
    state.mouseX = static_cast<float>(x);
    state.mouseY = static_cast<float>(y);
}

// Runs one terminal line on the game thread, where the game runs console commands.
void runTerminalLine(LiveState& state, const std::string& line)
{
    const ParsedLine parsed = parseSessionLine(line);
    if (parsed.empty) return;
    if (!parsed.error.empty()) {
        *state.err << "<stdin>: " << parsed.error << std::endl;
        return;
    }
    if (const auto* console = std::get_if<ConsoleLine>(&parsed.command)) {
        const CommandResult result = state.host.execute(console->text);
        if (!result.message.empty()) (result.ok ? *state.out : *state.err) << result.message << std::endl;
    } else if (const auto* game = std::get_if<SetGame>(&parsed.command)) {
        state.host.setGameMode(game->mode);
    } else if (const auto* match = std::get_if<SetMatch>(&parsed.command)) {
        state.host.setMatchEnded(match->ended);
    } else {
        *state.err << "<stdin>: live mode runs console commands, 'game' and 'match' only; your keys "
                      "and mouse do the rest" << std::endl;
    }
}

void gameThread(LiveState& state, double rate)
{
    const auto period = std::chrono::duration<double>(1.0 / rate);
    auto next = std::chrono::steady_clock::now();
    while (!state.stopping) {
        next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(period);
        std::this_thread::sleep_until(next);
        std::deque<std::string> lines;
        {
            std::lock_guard<std::mutex> guard(state.linesLock);
            lines.swap(state.terminalLines);
        }
        for (const auto& line : lines) runTerminalLine(state, line);
        state.host.advance(1.0 / rate);
        state.host.fireEvent(kViewportTickEvent);
    }
}

// Reads the terminal without blocking past a poll, so that closing the window always ends it.
void terminalThread(LiveState& state)
{
    std::string pending;
    char buffer[512];
    while (!state.stopping) {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        if (poll(&input, 1, kTerminalPollMilliseconds) <= 0) continue;
        const ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
        if (count <= 0) return;   // end of input: the window stays until it is closed
        pending.append(buffer, static_cast<std::size_t>(count));
        std::lock_guard<std::mutex> guard(state.linesLock);
        for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
            state.terminalLines.push_back(pending.substr(0, end));
            pending.erase(0, end + 1);
        }
    }
}

void renderThread(LiveState& state, GLFWwindow* window, UiContext& ui, const ScreenSize& screen)
{
    glfwMakeContextCurrent(window);
    glfwSwapInterval(1);
    ImGui::SetCurrentContext(ui.context());
    {
        FrameRenderer renderer(screen.width, screen.height, RenderTarget::WindowFramebuffer);
        auto last = std::chrono::steady_clock::now();
        while (!state.stopping) {
            const auto now = std::chrono::steady_clock::now();
            const float delta = std::chrono::duration<float>(now - last).count();
            last = now;
            ui.setMouse(ImVec2(state.mouseX, state.mouseY), state.leftButtonDown);
            renderer.draw(ui.frame(state.host, delta));
            glfwSwapBuffers(window);
        }
        ImGui::SetCurrentContext(ui.context());
    }
    glfwMakeContextCurrent(nullptr);
}

}  // namespace

int runLive(const SessionOptions& options, std::ostream& out, std::ostream& err)
{
    std::string error;
    if (!enterHome(options.home, error)) {
        err << "keyvane-sandbox: " << error << '\n';
        return kExitSetup;
    }
    if (!glfwInit()) {
        err << "keyvane-sandbox: live needs a display (no window system found; try 'render' or 'run')\n";
        return kExitSetup;
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(options.screen.width, options.screen.height,
                                          "Keyvane sandbox (live)", nullptr, nullptr);
    if (!window) {
        glfwTerminate();
        err << "keyvane-sandbox: cannot open an OpenGL 3.3 window on this display\n";
        return kExitSetup;
    }

    int status = kExitOk;
    {
        LiveState state;
        state.out = &out;
        state.err = &err;
        glfwSetWindowUserPointer(window, &state);
        state.host.setJournalEnabled(false);
        state.host.setLogListener([&err](const std::string& line) { err << line << std::endl; });
        state.host.setGameMode(GameMode::OnlineMatch);
        state.host.setMatchEnded(false);
        UiContext ui(ImVec2(static_cast<float>(options.screen.width), static_cast<float>(options.screen.height)),
                     options.home / kWindowSettingsFile);
        std::unique_ptr<PluginModule> module;
        try {
            module = PluginModule::load(state.host, options.module, ui.context());
        } catch (const LoadError& failure) {
            err << "keyvane-sandbox: " << failure.what() << '\n';
            status = kExitBadInput;
        }
        if (module) {
            glfwSetKeyCallback(window, onKey);
            glfwSetMouseButtonCallback(window, onMouseButton);
            glfwSetCursorPosCallback(window, onCursor);
            out << "live: close the window to stop; type console commands here (kvanescale 1.5)" << std::endl;
            std::thread render(renderThread, std::ref(state), window, std::ref(ui), options.screen);
            std::thread game(gameThread, std::ref(state), options.rate);
            std::thread terminal(terminalThread, std::ref(state));
            std::signal(SIGINT, onInterrupt);
            while (!glfwWindowShouldClose(window) && !interrupted) glfwWaitEventsTimeout(0.05);
            state.stopping = true;
            render.join();
            game.join();
            terminal.join();
            module.reset();
        }
        glfwSetWindowUserPointer(window, nullptr);
    }
    glfwDestroyWindow(window);
    glfwTerminate();
    return status;
}

}  // namespace sandbox::app
