// SharedLibrary on Windows: LoadLibraryW, GetProcAddress, FreeLibrary, with the system's own message
// for a library that cannot be loaded.
#include "sandbox/hostapp/shared_library.h"

#include <windows.h>

namespace sandbox {
namespace {

// FormatMessage's text for an error code, on one line and without the closing full stop.
std::string systemMessage(DWORD code) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length && text ? std::string(text, length) : std::string();
    LocalFree(text);
    for (char& c : message) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    // Some messages leave a place for the file's name ("%1 is not a valid Win32 application"); the
    // caller names the file already.
    for (auto at = message.find("%1"); at != std::string::npos; at = message.find("%1"))
        message.replace(at, 2, "the file");
    while (!message.empty() && (message.back() == ' ' || message.back() == '.')) message.pop_back();
    return message.empty() ? "system error " + std::to_string(code) : message;
}

}  // namespace

std::unique_ptr<SharedLibrary> SharedLibrary::open(const std::filesystem::path& path, std::string& reason) {
    // No error dialog for a file that is no library: a host reports it in its own words.
    const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE handle = LoadLibraryW(path.c_str());
    const DWORD error = GetLastError();
    SetErrorMode(previousMode);
    if (handle) return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle));
    reason = systemMessage(error);
    return nullptr;
}

SharedLibrary::~SharedLibrary() { FreeLibrary(static_cast<HMODULE>(handle_)); }

void* SharedLibrary::symbol(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace sandbox
