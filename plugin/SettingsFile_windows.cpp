// The settings file with Windows calls. A save writes a temporary of its own (CREATE_NEW, with the
// old file's attributes) beside the file configPath reaches and renames it over that file with
// MoveFileExW; where the rename cannot be made (another program holds the file open without delete
// sharing) it writes in place under a lock it never waits long for, so that every state it passes
// through replays as one version; a file replaced under a save sends it back to the name. Not
// ReplaceFileW: under Wine, which runs the game on Linux, it loses a file held open.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "plugin/SettingsFile.h"

namespace settingsfile {

const char* const kLineEnd = "\r\n";

namespace {

namespace fs = std::filesystem;

// "what: the system's reason" for the error GetLastError holds.
std::string failure(const char* what) {
    const DWORD code = GetLastError();
    char text[256] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                  sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == '.')) --length;
    return std::string(what) + ": " + (length ? std::string(text, length) : "error " + std::to_string(code));
}

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
        if (!WriteFile(file, text.data(), chunk, &written, &at)) return false;
        if (written == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
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
        const DWORD why = GetLastError();
        removeMade(made.get());
        SetLastError(why);
        return Made::NotWritten;
    }
    return Made::Written;
}

enum class Replaced { Done, NoPlace, Failed };

struct Replacement {
    Replaced result;
    std::string why;  // for Failed and NoPlace
};

// Failed when the text could not be written whole (a full disk): the old file then stays as it was.
Replacement replaceWithNew(const fs::path& file, std::string_view text, DWORD attributes) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        fs::path temporary = file;
        temporary += temporarySuffix(GetCurrentProcessId());
        switch (makeFile(temporary, text, attributes)) {
        case Made::NameTaken: continue;
        case Made::NoPlace: return {Replaced::NoPlace, failure("cannot be created")};
        case Made::NotWritten: return {Replaced::Failed, failure("cannot be written")};
        case Made::Written:
            if (MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING)) return {Replaced::Done, {}};
            // The temporary went before its rename (a person removed it): make another.
            if (GetLastError() == ERROR_FILE_NOT_FOUND) continue;
            {
                Replacement refused{Replaced::NoPlace, failure("cannot be replaced")};
                DeleteFileW(temporary.c_str());
                return refused;
            }
        }
    }
    return {Replaced::NoPlace, "cannot be created: every name for its temporary was taken"};
}

// The file's identity on its volume, or false.
bool identity(HANDLE file, BY_HANDLE_FILE_INFORMATION& information) {
    return GetFileInformationByHandle(file, &information) != 0;
}

// Whether the handle still has open the file that carries the name: not removed, not renamed over.
bool stillNamed(HANDLE file, const fs::path& path) {
    BY_HANDLE_FILE_INFORMATION opened{}, named{};
    const Handle byName(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return byName.valid() && identity(file, opened) && identity(byName.get(), named) && opened.nNumberOfLinks > 0 &&
           opened.dwVolumeSerialNumber == named.dwVolumeSerialNumber && opened.nFileIndexHigh == named.nFileIndexHigh &&
           opened.nFileIndexLow == named.nFileIndexLow;
}

enum class InPlace { Done, Replaced, Failed };

// One write from the start, of the text followed by line ends as far as the old content reached,
// then the cut to the text's length: a kill or a reader meets the old file, the new lines followed by
// empty lines, or the new file. The lock, on a byte far past any content so that readers never meet
// it, keeps two writers in place from measuring the old length under each other's feet; it is tried
// without waiting, again and again within the patience, since any process may hold it for ever.
InPlace writeInPlace(HANDLE file, const fs::path& path, std::string_view text, std::string& why) {
    OVERLAPPED farByte{};
    farByte.OffsetHigh = 0x7FFFFFFF;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLockPatienceMilliseconds);
    while (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &farByte)) {
        if (GetLastError() != ERROR_LOCK_VIOLATION) {
            why = failure("cannot be locked");
            return InPlace::Failed;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            why = "is locked by another program; not written this time";
            return InPlace::Failed;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    InPlace result = InPlace::Done;
    LARGE_INTEGER size{};
    if (!stillNamed(file, path)) {
        result = InPlace::Replaced;
    } else if (!GetFileSizeEx(file, &size)) {
        why = failure("cannot be read");
        result = InPlace::Failed;
    } else if (!writeAllAt(file, coveringText(text, static_cast<std::uintmax_t>(size.QuadPart)), 0)) {
        why = failure("cannot be written");
        result = InPlace::Failed;
    } else {
        LARGE_INTEGER length{};
        length.QuadPart = static_cast<LONGLONG>(text.size());
        if (SetFilePointerEx(file, length, nullptr, FILE_BEGIN)) SetEndOfFile(file);
    }
    UnlockFileEx(file, 0, 1, 0, &farByte);
    return result;
}

}  // namespace

bool writeNewFile(const fs::path& path, std::string_view text) {
    return makeFile(path, text, FILE_ATTRIBUTE_NORMAL) == Made::Written;
}

std::string save(const fs::path& configPath, std::string_view text) {
    // Again from the name, each time another writer replaced the file under this save.
    for (int attempt = 0; attempt < 8; ++attempt) {
        Handle old(openExisting(configPath));
        if (!old.valid()) {
            // Missing: made as the plain write would. Read-only, a folder, held without write sharing,
            // or anything else the plain write could not open: left as it is, and said.
            const DWORD missing = GetLastError();
            if (missing == ERROR_FILE_NOT_FOUND || missing == ERROR_PATH_NOT_FOUND) {
                return replaceWithNew(configPath, text, FILE_ATTRIBUTE_NORMAL).why;
            }
            const std::string why = failure("cannot be opened for reading and writing");
            // A folder of that name is the player's, left alone as a device is.
            const DWORD attributes = GetFileAttributesW(configPath.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return {};
            return why;
        }
        BY_HANDLE_FILE_INFORMATION information{};
        // A device name such as NUL or CON is the player's, and left alone.
        if (GetFileType(old.get()) != FILE_TYPE_DISK) return {};
        if (!identity(old.get(), information)) return failure("cannot be read");
        // A read-only file is refused to the plain write whoever runs it; Wine, run as root, would
        // open it all the same.
        if (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) return "is read-only";
        const fs::path file = finalPath(old.get(), configPath);
        if (information.nNumberOfLinks == 0) continue;
        // A second name must go on showing the same file: replacing would part it from this one.
        if (information.nNumberOfLinks == 1) {
            // A file open here, even with delete sharing, cannot be replaced.
            old.reset(INVALID_HANDLE_VALUE);
            constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                    FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
            const DWORD attributes = information.dwFileAttributes & kKept;
            Replacement replaced = replaceWithNew(file, text, attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
            if (replaced.result != Replaced::NoPlace) return std::move(replaced.why);
            old.reset(openExisting(file));
            if (!old.valid()) return failure("cannot be opened for reading and writing");
        }
        std::string why;
        switch (writeInPlace(old.get(), file, text, why)) {
        case InPlace::Done: return {};
        case InPlace::Failed: return why;
        case InPlace::Replaced: continue;
        }
    }
    return "is replaced by other writers faster than it can be saved; not written this time";
}

void removeLeftoverTemporaries(const fs::path& configPath) {
    Handle existing(CreateFileW(configPath.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    const fs::path file = existing.valid() ? finalPath(existing.get(), configPath) : configPath;
    const std::wstring fileName = file.filename().wstring();
    fs::path pattern = file;
    pattern += L".*.tmp";
    FILETIME nowTime{};
    GetSystemTimeAsFileTime(&nowTime);
    // File times count 100-nanosecond steps.
    const ULONGLONG oldest = ((static_cast<ULONGLONG>(nowTime.dwHighDateTime) << 32) | nowTime.dwLowDateTime) -
                             static_cast<ULONGLONG>(kLeftoverAgeSeconds) * 10'000'000ULL;
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
        if (!isTemporarySuffix(rest)) continue;
        // Judged and removed through one handle, so that only the file judged can go: one name, old
        // enough that no live save still holds it. Its owner is left to the folder's permissions,
        // which keep another user's file from this one's removal.
        const Handle candidate(CreateFileW((file.parent_path() / name).c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        BY_HANDLE_FILE_INFORMATION information{};
        if (!candidate.valid() || !identity(candidate.get(), information) || information.nNumberOfLinks != 1 ||
            (information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
            continue;
        }
        const ULONGLONG written = (static_cast<ULONGLONG>(information.ftLastWriteTime.dwHighDateTime) << 32) |
                                  information.ftLastWriteTime.dwLowDateTime;
        if (written <= oldest) removeMade(candidate.get());
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

}  // namespace settingsfile
