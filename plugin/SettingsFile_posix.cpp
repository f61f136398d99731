// The settings file with POSIX calls. A save writes a temporary of its own beside the file at the end
// of configPath's links and renames it over that file; where no temporary can be made or renamed it
// writes in place, under a lock, so that every state it passes through replays as one version.
#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>

#include "plugin/SettingsFile.h"

namespace settingsfile {

const char* const kLineEnd = "\n";

namespace {

namespace fs = std::filesystem;

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    void reset(int fd) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

bool writeAllAt(int fd, std::string_view text, off_t offset) {
    while (!text.empty()) {
        const ssize_t written = ::pwrite(fd, text.data(), text.size(), offset);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(written));
        offset += written;
    }
    return true;
}

// The name at the end of path's links, as open() would reach it; nothing for a loop or a chain longer
// than the kernel follows, where the plain write fails too.
std::optional<fs::path> endOfLinks(fs::path path) {
    for (int hop = 0; hop <= 40; ++hop) {
        struct stat seen {};
        if (::lstat(path.c_str(), &seen) != 0 || !S_ISLNK(seen.st_mode)) return path;
        std::string target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<std::size_t>(length) == target.size()) return std::nullopt;
        target.resize(static_cast<std::size_t>(length));
        const fs::path next(target);
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return std::nullopt;
}

// Removes path only if it is still the file the descriptor has open: what this save made.
void removeIfStill(const fs::path& path, int fd) {
    struct stat made {
    }, named{};
    if (::fstat(fd, &made) == 0 && ::lstat(path.c_str(), &named) == 0 && made.st_dev == named.st_dev &&
        made.st_ino == named.st_ino) {
        ::unlink(path.c_str());
    }
}

enum class Made { Written, NameTaken, NoPlace, NotWritten };

// An exclusive new file at path with text in it, with like's owner, group and permission bits when
// given (else those any new file gets here). Left open in made for the rename that follows.
Made makeFile(const fs::path& path, std::string_view text, const struct stat* like, Descriptor& made) {
    made.reset(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666));
    if (!made.valid()) return errno == EEXIST ? Made::NameTaken : Made::NoPlace;
    if (like) {
        struct stat fresh {};
        const bool sameOwner =
            ::fstat(made.get(), &fresh) == 0 && ((fresh.st_uid == like->st_uid && fresh.st_gid == like->st_gid) ||
                                                 ::fchown(made.get(), like->st_uid, like->st_gid) == 0);
        if (!sameOwner || ::fchmod(made.get(), like->st_mode & 07777) != 0) {
            removeIfStill(path, made.get());
            return Made::NoPlace;
        }
    }
    if (!writeAllAt(made.get(), text, 0)) {
        removeIfStill(path, made.get());
        return Made::NotWritten;
    }
    return Made::Written;
}

enum class Replaced { Done, NoPlace };

// Done also when the text could not be written whole (a full disk): the old file then stays as it was.
Replaced replaceWithNew(const fs::path& file, std::string_view text, const struct stat* like) {
    // Another name is drawn only if one is taken, which a person or a process could have done, or if
    // the temporary went before its rename.
    for (int attempt = 0; attempt < 8; ++attempt) {
        fs::path temporary = file;
        temporary += temporarySuffix(static_cast<std::uint64_t>(::getpid()));
        Descriptor made(-1);
        switch (makeFile(temporary, text, like, made)) {
        case Made::NameTaken: continue;
        case Made::NoPlace: return Replaced::NoPlace;
        case Made::NotWritten: return Replaced::Done;
        case Made::Written:
            if (::rename(temporary.c_str(), file.c_str()) == 0) return Replaced::Done;
            // Another process's load took the temporary for a killed save's leftover: make another.
            if (errno == ENOENT) continue;
            removeIfStill(temporary, made.get());
            return Replaced::NoPlace;
        }
    }
    return Replaced::NoPlace;
}

// One write from the start, of the text followed by line ends as far as the old content reached,
// then the cut to the text's length: a kill or a reader meets the old file, the new lines followed by
// empty lines, or the new file. The lock keeps two writers in place from measuring the old length
// under each other's feet; readers take none and need none.
void writeInPlace(int fd, std::string_view text) {
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) return;
    }
    struct stat now {};
    if (::fstat(fd, &now) == 0 && writeAllAt(fd, coveringText(text, static_cast<std::uintmax_t>(now.st_size)), 0)) {
        while (::ftruncate(fd, static_cast<off_t>(text.size())) != 0 && errno == EINTR) {}
    }
    ::flock(fd, LOCK_UN);
}

}  // namespace

bool writeNewFile(const fs::path& path, std::string_view text) {
    Descriptor made(-1);
    return makeFile(path, text, nullptr, made) == Made::Written;
}

void save(const fs::path& configPath, std::string_view text) {
    const std::optional<fs::path> file = endOfLinks(configPath);
    if (!file) return;
    struct stat seen {};
    if (::lstat(file->c_str(), &seen) != 0) {
        // Nothing there, or a link that leads nowhere: the file it names is made, as a plain write would.
        if (errno == ENOENT) replaceWithNew(*file, text, nullptr);
        return;
    }
    // A device, a FIFO, a socket or a folder: the player's, and left alone.
    if (!S_ISREG(seen.st_mode)) return;
    // Read as well as write: a file the load could not read keeps settings a later load may still find.
    const Descriptor old(::open(file->c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat opened {};
    if (!old.valid() || ::fstat(old.get(), &opened) != 0 || !S_ISREG(opened.st_mode)) return;
    // A second name must go on showing the same file: replacing would part it from this one.
    if (opened.st_nlink == 1 && replaceWithNew(*file, text, &opened) == Replaced::Done) return;
    writeInPlace(old.get(), text);
}

void removeLeftoverTemporaries(const fs::path& configPath) {
    const std::optional<fs::path> file = endOfLinks(configPath);
    if (!file) return;
    const std::string fileName = file->filename().string();
    const fs::path folder = file->parent_path().empty() ? fs::path(".") : file->parent_path();
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        // Saves make regular files only: a link or folder of that name is someone else's.
        if (name.starts_with(fileName) && isTemporarySuffix(std::string_view(name).substr(fileName.size())) &&
            entry->is_regular_file(error) && !entry->is_symlink(error)) {
            ::unlink(entry->path().c_str());
        }
    }
}

}  // namespace settingsfile
