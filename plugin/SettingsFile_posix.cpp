// The settings file with POSIX calls. A save writes a temporary of its own beside the file at the end
// of configPath's links and renames it over that file; where no temporary can be made or renamed it
// writes in place, under a lock it never waits long for, so that every state it passes through
// replays as one version. A file replaced under a save sends it back to the name.
#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <optional>
#include <string>
#include <thread>

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

// "what: the system's reason" for the error in errno.
std::string failure(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

bool writeAllAt(int fd, std::string_view text, off_t offset) {
    while (!text.empty()) {
        const ssize_t written = ::pwrite(fd, text.data(), text.size(), offset);
        if (written < 0 && errno == EINTR) continue;
        if (written == 0) errno = EIO;
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

bool sameFile(const struct stat& one, const struct stat& other) {
    return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

// Whether the descriptor still has open the file that carries the name: not removed, not renamed over.
bool stillNamed(int fd, const fs::path& path) {
    struct stat opened {
    }, named{};
    return ::fstat(fd, &opened) == 0 && opened.st_nlink > 0 && ::lstat(path.c_str(), &named) == 0 &&
           sameFile(opened, named);
}

// Removes path only if it is still the file the descriptor has open: what this save made.
void removeIfStill(const fs::path& path, int fd) {
    if (stillNamed(fd, path)) ::unlink(path.c_str());
}

enum class Made { Written, NameTaken, NoPlace, NotWritten };

// An exclusive new file at path with text in it, with like's owner, group and permission bits when
// given (else those any new file gets here). Left open in made for the rename that follows; errno
// says why when it is not Written.
Made makeFile(const fs::path& path, std::string_view text, const struct stat* like, Descriptor& made) {
    made.reset(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666));
    if (!made.valid()) return errno == EEXIST ? Made::NameTaken : Made::NoPlace;
    if (like) {
        struct stat fresh {};
        const bool sameOwner =
            ::fstat(made.get(), &fresh) == 0 && ((fresh.st_uid == like->st_uid && fresh.st_gid == like->st_gid) ||
                                                 ::fchown(made.get(), like->st_uid, like->st_gid) == 0);
        if (!sameOwner || ::fchmod(made.get(), like->st_mode & 07777) != 0) {
            const int why = errno;
            removeIfStill(path, made.get());
            errno = why;
            return Made::NoPlace;
        }
    }
    if (!writeAllAt(made.get(), text, 0)) {
        const int why = errno;
        removeIfStill(path, made.get());
        errno = why;
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
Replacement replaceWithNew(const fs::path& file, std::string_view text, const struct stat* like) {
    // Another name is drawn only if one is taken, which a person or a process could have done, or if
    // the temporary went before its rename.
    for (int attempt = 0; attempt < 8; ++attempt) {
        fs::path temporary = file;
        temporary += temporarySuffix(static_cast<std::uint64_t>(::getpid()));
        Descriptor made(-1);
        switch (makeFile(temporary, text, like, made)) {
        case Made::NameTaken: continue;
        case Made::NoPlace: return {Replaced::NoPlace, failure("cannot be created")};
        case Made::NotWritten: return {Replaced::Failed, failure("cannot be written")};
        case Made::Written:
            if (::rename(temporary.c_str(), file.c_str()) == 0) return {Replaced::Done, {}};
            // The temporary went before its rename (a person removed it): make another.
            if (errno == ENOENT) continue;
            {
                Replacement refused{Replaced::NoPlace, failure("cannot be replaced")};
                removeIfStill(temporary, made.get());
                return refused;
            }
        }
    }
    return {Replaced::NoPlace, "cannot be created: every name for its temporary was taken"};
}

// Takes the exclusive lock on fd without ever blocking: tries again now and then until the patience
// runs out, since any process that can read the file may hold it for as long as it likes. 0, or the
// error that ended the trying (EWOULDBLOCK: still held by then).
int lockWithinPatience(int fd) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kLockPatienceMilliseconds);
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return 0;
        const int why = errno;
        if (why != EWOULDBLOCK && why != EINTR) return why;
        if (std::chrono::steady_clock::now() >= deadline) return EWOULDBLOCK;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

enum class InPlace { Done, Replaced, Failed };

// One write from the start, of the text followed by line ends as far as the old content reached,
// then the cut to the text's length: a kill or a reader meets the old file, the new lines followed by
// empty lines, or the new file. The lock keeps two writers in place from measuring the old length
// under each other's feet; readers take none and need none. Replaced when the file no longer carries
// the name: another writer renamed over it, and what is written here would go nowhere.
InPlace writeInPlace(int fd, const fs::path& file, std::string_view text, std::string& why) {
    if (const int locked = lockWithinPatience(fd); locked != 0) {
        errno = locked;
        why =
            locked == EWOULDBLOCK ? "is locked by another process; not written this time" : failure("cannot be locked");
        return InPlace::Failed;
    }
    InPlace result = InPlace::Done;
    struct stat now {};
    if (!stillNamed(fd, file)) {
        result = InPlace::Replaced;
    } else if (::fstat(fd, &now) != 0) {
        why = failure("cannot be read");
        result = InPlace::Failed;
    } else {
        const std::string covering = coveringText(text, static_cast<std::uintmax_t>(now.st_size));
        // Room first for what grows past the old end, so that a full disk stops the write before it
        // starts rather than in the middle of a line.
        const int room = covering.size() > static_cast<std::size_t>(now.st_size)
                             ? ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(covering.size()))
                             : 0;
        if (room != 0 && errno != EOPNOTSUPP && errno != ENOSYS) {
            why = failure("cannot be written");
            result = InPlace::Failed;
        } else if (!writeAllAt(fd, covering, 0)) {
            why = failure("cannot be written");
            result = InPlace::Failed;
        } else {
            while (::ftruncate(fd, static_cast<off_t>(text.size())) != 0 && errno == EINTR) {}
        }
    }
    ::flock(fd, LOCK_UN);
    return result;
}

}  // namespace

bool writeNewFile(const fs::path& path, std::string_view text) {
    Descriptor made(-1);
    return makeFile(path, text, nullptr, made) == Made::Written;
}

std::string save(const fs::path& configPath, std::string_view text) {
    // Again from the name, each time another writer replaced the file under this save.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::optional<fs::path> file = endOfLinks(configPath);
        if (!file) return "cannot be reached: its links loop or go too deep";
        struct stat seen {};
        if (::lstat(file->c_str(), &seen) != 0) {
            // Nothing there, or a link that leads nowhere: the file it names is made, as a plain write would.
            if (errno != ENOENT) return failure("cannot be reached");
            return replaceWithNew(*file, text, nullptr).why;
        }
        // A device, a FIFO, a socket or a folder: the player's, and left alone.
        if (!S_ISREG(seen.st_mode)) return {};
        // Read as well as write: a file the load could not read keeps settings a later load may still find.
        const Descriptor old(::open(file->c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (!old.valid()) return failure("cannot be opened for reading and writing");
        struct stat opened {};
        if (::fstat(old.get(), &opened) != 0) return failure("cannot be read");
        if (!S_ISREG(opened.st_mode)) return {};
        if (!stillNamed(old.get(), *file)) continue;
        // A second name must go on showing the same file: replacing would part it from this one.
        if (opened.st_nlink == 1) {
            Replacement replaced = replaceWithNew(*file, text, &opened);
            if (replaced.result != Replaced::NoPlace) return std::move(replaced.why);
        }
        std::string why;
        switch (writeInPlace(old.get(), *file, text, why)) {
        case InPlace::Done: return {};
        case InPlace::Failed: return why;
        case InPlace::Replaced: continue;
        }
    }
    return "is replaced by other writers faster than it can be saved; not written this time";
}

void removeLeftoverTemporaries(const fs::path& configPath) {
    const std::optional<fs::path> file = endOfLinks(configPath);
    if (!file) return;
    const std::string fileName = file->filename().string();
    const fs::path folder = file->parent_path().empty() ? fs::path(".") : file->parent_path();
    const std::time_t oldest = std::time(nullptr) - kLeftoverAgeSeconds;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (!name.starts_with(fileName) || !isTemporarySuffix(std::string_view(name).substr(fileName.size()))) {
            continue;
        }
        // Opened, never followed, and judged by what is open: a save makes a regular file of its
        // user's with one name, and a file of another user or with a second name is someone's.
        const Descriptor candidate(
            ::open(entry->path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        struct stat seen {};
        if (candidate.valid() && ::fstat(candidate.get(), &seen) == 0 && S_ISREG(seen.st_mode) &&
            seen.st_uid == ::geteuid() && seen.st_nlink == 1 && seen.st_mtime <= oldest &&
            stillNamed(candidate.get(), entry->path())) {
            ::unlink(entry->path().c_str());
        }
    }
}

}  // namespace settingsfile
