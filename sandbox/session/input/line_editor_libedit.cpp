// The terminal line editor on libedit: emacs-style editing keys, a history that persists in the
// home, and a character reader that polls, so a caller's stop (Ctrl+C, a closed window) ends the
// wait cleanly and libedit always hands the terminal back in its normal mode.
#include <histedit.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cwchar>

#include "sandbox/session/input/line_editor.h"
#include "sandbox/session/input/line_splitter.h"
#include "sandbox/session/session_files.h"

namespace sandbox::session {
namespace {

constexpr int kStopCheckMilliseconds = 100;
constexpr int kHistoryLines = 1000;

class LibeditLineEditor : public LineInput {
public:
    LibeditLineEditor(std::string prompt, std::filesystem::path historyFile, std::function<bool()> stop,
                      std::function<bool()> interrupted)
        : prompt_(std::move(prompt)), historyFile_(std::move(historyFile)), stop_(std::move(stop)),
          interrupted_(std::move(interrupted)) {
        // libedit opens the file with a plain fopen: a pipe there would hang the prompt.
        if (const std::string what = notARegularFile(historyFile_); !what.empty()) {
            std::fprintf(stderr, "keyvane-sandbox: %s is %s, not a file; the console keeps no history there\n",
                         historyFile_.string().c_str(), what.c_str());
            historyFile_.clear();
        }
        takeTypedAhead();
        // Multi-byte characters are decoded by the terminal's own encoding.
        std::setlocale(LC_CTYPE, "");
        history_ = history_init();
        history(history_, &event_, H_SETSIZE, kHistoryLines);
        history(history_, &event_, H_SETUNIQUE, 1);
        if (!historyFile_.empty()) history(history_, &event_, H_LOAD, historyFile_.c_str());
        editor_ = el_init("keyvane-sandbox", stdin, stdout, stderr);
        el_set(editor_, EL_CLIENTDATA, this);
        el_set(editor_, EL_PROMPT, &LibeditLineEditor::promptOf);
        el_set(editor_, EL_EDITOR, "emacs");
        el_set(editor_, EL_HIST, history, history_);
        el_set(editor_, EL_GETCFN, &LibeditLineEditor::readCharacter);
        el_source(editor_, nullptr);  // the user's ~/.editrc, as every libedit program reads it
    }

    ~LibeditLineEditor() override {
        if (!historyFile_.empty()) history(history_, &event_, H_SAVE, historyFile_.c_str());
        el_end(editor_);
        history_end(history_);
    }

    bool next(std::string& line) override {
        if (typedAhead_.take(line, refusal_)) {
            // Already echoed by the terminal as it was typed; it runs as if typed at the prompt.
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.find_first_not_of(" \t") != std::string::npos) history(history_, &event_, H_ENTER, line.c_str());
            return true;
        }
        refusal_.clear();
        int count = 0;
        const char* text = el_gets(editor_, &count);
        while (lineDropped_) {
            // Ctrl+C: whatever was typed goes, and a fresh prompt starts on the next line.
            lineDropped_ = false;
            std::fputs("^C\n", stdout);
            std::fflush(stdout);
            text = el_gets(editor_, &count);
        }
        if (!text || count <= 0) {
            std::fputc('\n', stdout);  // the shell's prompt starts on a line of its own
            std::fflush(stdout);
            return false;
        }
        line.assign(text, static_cast<std::size_t>(count));
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        if (line.find_first_not_of(" \t") != std::string::npos) history(history_, &event_, H_ENTER, line.c_str());
        return true;
    }

private:
    // Lines typed while the session was still starting wait whole in the terminal's queue (it is
    // still in its line mode); they are taken now, before the editor changes the terminal's mode,
    // and run first.
    void takeTypedAhead() {
        char buffer[4096];
        for (;;) {
            pollfd input{STDIN_FILENO, POLLIN, 0};
            if (poll(&input, 1, 0) <= 0 || !(input.revents & POLLIN)) break;
            const ssize_t count = read(STDIN_FILENO, buffer, sizeof buffer);
            if (count <= 0) break;
            typedAhead_.append(std::string_view(buffer, static_cast<std::size_t>(count)));
        }
        typedAhead_.end();
    }

    static char* promptOf(EditLine* editor) {
        void* self = nullptr;
        el_get(editor, EL_CLIENTDATA, &self);
        return static_cast<LibeditLineEditor*>(self)->prompt_.data();
    }

    // libedit's character source: 1 with a character, 0 for the end of input, -1 for an error.
    static int readCharacter(EditLine* editor, wchar_t* character) {
        void* data = nullptr;
        el_get(editor, EL_CLIENTDATA, &data);
        auto& self = *static_cast<LibeditLineEditor*>(data);
        std::mbstate_t shift{};
        for (;;) {
            if (self.interrupted_ && self.interrupted_()) {
                self.lineDropped_ = true;
                return 0;
            }
            if (self.stop_ && self.stop_()) return 0;
            pollfd input{STDIN_FILENO, POLLIN, 0};
            if (poll(&input, 1, kStopCheckMilliseconds) <= 0) continue;
            char byte = 0;
            const ssize_t count = read(STDIN_FILENO, &byte, 1);
            if (count == 0) return 0;
            if (count < 0) {
                if (errno == EINTR) continue;
                return -1;
            }
            const std::size_t decoded = std::mbrtowc(character, &byte, 1, &shift);
            if (decoded == static_cast<std::size_t>(-2)) continue;  // more bytes of one character
            if (decoded == static_cast<std::size_t>(-1)) {
                shift = std::mbstate_t{};  // not this encoding: drop the byte
                continue;
            }
            return 1;
        }
    }

    std::string prompt_;
    std::filesystem::path historyFile_;
    std::function<bool()> stop_;
    std::function<bool()> interrupted_;
    bool lineDropped_ = false;
    LineSplitter typedAhead_;
    EditLine* editor_ = nullptr;
    History* history_ = nullptr;
    HistEvent event_{};
};

}  // namespace

std::unique_ptr<LineInput> terminalLineEditor(const std::string& prompt, const std::filesystem::path& historyFile,
                                              std::function<bool()> stop, std::function<bool()> interrupted) {
    return std::make_unique<LibeditLineEditor>(prompt, historyFile, std::move(stop), std::move(interrupted));
}

}  // namespace sandbox::session
