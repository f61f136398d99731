// The settings file with Windows calls. A save writes a temporary of its own (CREATE_NEW, with the
// old file's attributes) beside the file configPath reaches and renames it over that file with
// MoveFileExW; where the rename cannot be made (another program holds the file open without delete
// sharing) it writes in place under a lock, so that every state it passes through replays as one
// version. Not ReplaceFileW: under Wine, which runs the game on Linux, it loses a file held open.
#include <windows.h>

#include <algorithm>
#include <string>

#include "plugin/SettingsFile.h"

namespace settingsfile {

const char* const kLineEnd = "\r\n";

namespace {

namespace fs = std::filesystem;

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() { reset(INVALID_HANDLE_VALUE); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    void reset(HANDLE handle) {
        if (valid()) CloseHandle(handle_);
        handle_ = handle;
    }

private:
    HANDLE handle_;
};

// Read as well as write, as the plain write's "w" never could without write access, and sharing
// everything: other readers and writers keep their handles.
HANDLE openExisting(const fs::path& path) {
    return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool writeAllAt(HANDLE file, std::string_view text, std::uint64_t offset) {
    while (!text.empty()) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file, text.data(), chunk, &written, &at) || written == 0) return false;
        text.remove_prefix(written);
        offset += written;
    }
    return true;
}

// The file an open handle reaches past every link: the temporary goes beside it and replaces it.
fs::path finalPath(HANDLE file, const fs::path& fallback) {
    std::wstring name(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()), FILE_NAME_NORMALIZED);
    if (length >= name.size()) {
        name.resize(length + 1);
        length = GetFinalPathNameByHandleW(file, name.data(), static_cast<DWORD>(name.size()), FILE_NAME_NORMALIZED);
    }
    if (length == 0 || length >= name.size()) return fallback;
    name.resize(length);
    return fs::path(name);
}

enum class Made { Written, NameTaken, NoPlace, NotWritten };

// Removed through its own handle, so that only the file this save made can go.
void removeMade(HANDLE made) {
    FILE_DISPOSITION_INFO removal{TRUE};
    SetFileInformationByHandle(made, FileDispositionInfo, &removal, sizeof removal);
}

Made makeFile(const fs::path& path, std::string_view text, DWORD attributes) {
    Handle made(CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW, attributes, nullptr));
    if (!made.valid()) {
        const DWORD why = GetLastError();
        return why == ERROR_FILE_EXISTS || why == ERROR_ALREADY_EXISTS ? Made::NameTaken : Made::NoPlace;
    }
    if (!writeAllAt(made.get(), text, 0)) {
        removeMade(made.get());
        return Made::NotWritten;
    }
    return Made::Written;
}

enum class Replaced { Done, NoPlace };

// Done also when the text could not be written whole (a full disk): the old file then stays as it was.
Replaced replaceWithNew(const fs::path& file, std::string_view text, DWORD attributes) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        fs::path temporary = file;
        temporary += temporarySuffix(GetCurrentProcessId());
        switch (makeFile(temporary, text, attributes)) {
        case Made::NameTaken: continue;
        case Made::NoPlace: return Replaced::NoPlace;
        case Made::NotWritten: return Replaced::Done;
        case Made::Written:
            if (MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING)) return Replaced::Done;
            // Another process's load took the temporary for a killed save's leftover: make another.
            if (GetLastError() == ERROR_FILE_NOT_FOUND) continue;
            DeleteFileW(temporary.c_str());
            return Replaced::NoPlace;
        }
    }
    return Replaced::NoPlace;
}

// One write from the start, of the text followed by line ends as far as the old content reached,
// then the cut to the text's length: a kill or a reader meets the old file, the new lines followed by
// empty lines, or the new file. The lock, on a byte far past any content so that readers never meet
// it, keeps two writers in place from measuring the old length under each other's feet.
void writeInPlace(HANDLE file, std::string_view text) {
    OVERLAPPED farByte{};
    farByte.OffsetHigh = 0x7FFFFFFF;
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &farByte)) return;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) &&
        writeAllAt(file, coveringText(text, static_cast<std::uintmax_t>(size.QuadPart)), 0)) {
        LARGE_INTEGER length{};
        length.QuadPart = static_cast<LONGLONG>(text.size());
        if (SetFilePointerEx(file, length, nullptr, FILE_BEGIN)) SetEndOfFile(file);
    }
    UnlockFileEx(file, 0, 1, 0, &farByte);
}

}  // namespace

bool writeNewFile(const fs::path& path, std::string_view text) {
    return makeFile(path, text, FILE_ATTRIBUTE_NORMAL) == Made::Written;
}

void save(const fs::path& configPath, std::string_view text) {
    Handle old(openExisting(configPath));
    if (!old.valid()) {
        // Missing: made as the plain write would. Read-only, a folder, held without write sharing,
        // or anything else the plain write could not open: left as it is.
        if (GetLastError() == ERROR_FILE_NOT_FOUND) replaceWithNew(configPath, text, FILE_ATTRIBUTE_NORMAL);
        return;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    // A device name such as NUL or CON is the player's, and left alone. A read-only file is refused
    // to the plain write whoever runs it; Wine, run as root, would open it all the same.
    if (GetFileType(old.get()) != FILE_TYPE_DISK || !GetFileInformationByHandle(old.get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY)) {
        return;
    }
    const fs::path file = finalPath(old.get(), configPath);
    // A second name must go on showing the same file: replacing would part it from this one.
    if (information.nNumberOfLinks == 1) {
        // A file open here, even with delete sharing, cannot be replaced.
        old.reset(INVALID_HANDLE_VALUE);
        constexpr DWORD kKept =
            FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
        const DWORD attributes = information.dwFileAttributes & kKept;
        if (replaceWithNew(file, text, attributes ? attributes : FILE_ATTRIBUTE_NORMAL) == Replaced::Done) return;
        old.reset(openExisting(file));
        if (!old.valid()) return;
    }
    writeInPlace(old.get(), text);
}

void removeLeftoverTemporaries(const fs::path& configPath) {
    Handle existing(CreateFileW(configPath.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    const fs::path file = existing.valid() ? finalPath(existing.get(), configPath) : configPath;
    const std::wstring fileName = file.filename().wstring();
    fs::path pattern = file;
    pattern += L".*.tmp";
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        // Saves make plain files only: a folder or link of that name is someone else's.
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        const std::wstring name = found.cFileName;
        if (!name.starts_with(fileName)) continue;
        std::string rest;
        for (wchar_t c : name.substr(fileName.size())) rest += c < 0x80 ? static_cast<char>(c) : '?';
        if (isTemporarySuffix(rest)) DeleteFileW((file.parent_path() / name).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace settingsfile
