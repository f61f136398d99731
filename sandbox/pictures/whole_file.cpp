// The temporary of a picture: named after the file with a random suffix, created exclusively so an
// existing file is never reused, and renamed over the file, which readers then see whole or not yet.
#include "sandbox/pictures/whole_file.h"

#include <cctype>
#include <cerrno>
#include <random>
#include <system_error>

namespace sandbox::pictures {
namespace {

// "no space left on device": the system's reason, in the lower case of the rest of the line.
std::string systemReason(int code) {
    std::string text = std::generic_category().message(code);
    if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

// The file the name leads to once every link is followed; the name itself when it leads nowhere.
std::filesystem::path followLinks(const std::filesystem::path& file) {
    std::error_code failure;
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(file, failure); ++hops) {
        const auto target = std::filesystem::canonical(file, failure);
        if (!failure) return target;
        // A link to a file not there yet: the picture is made where the link points.
        const auto next = std::filesystem::read_symlink(file, failure);
        if (failure) break;
        return next.is_absolute() ? next : (file.parent_path() / next).lexically_normal();
    }
    return file;
}

}  // namespace

WholeFile::WholeFile(const std::filesystem::path& file, std::string& error) : file_(file), target_(followLinks(file)) {
    std::error_code folderFailure;
    if (target_.has_parent_path()) std::filesystem::create_directories(target_.parent_path(), folderFailure);
    std::random_device seed;
    std::mt19937_64 random(seed());
    int reason = 0;
    for (int attempt = 0; attempt < 100 && !stream_; ++attempt) {
        auto candidate = target_;
        // Appended piece by piece: GCC 12 at -O3 takes "." + text for an overlapping copy (-Wrestrict).
        candidate += ".";
        candidate += std::to_string(random() % 1'000'000'000);
        candidate += ".tmp";
        errno = 0;
        // "x": the C library's O_EXCL, so a file of that name, or a link there, is never written.
        stream_ = std::fopen(candidate.string().c_str(), "wbx");
        reason = errno;
        if (stream_)
            temporary_ = candidate;
        else if (reason != EEXIST)
            break;
    }
    if (!stream_) error = "cannot create " + file.string() + ": " + systemReason(reason != 0 ? reason : EIO);
}

WholeFile::~WholeFile() {
    if (stream_) std::fclose(stream_);
    std::error_code ignored;
    if (!temporary_.empty()) std::filesystem::remove(temporary_, ignored);
}

bool WholeFile::write(const void* bytes, std::size_t count) {
    if (writeFailure_ != 0) return false;
    errno = 0;
    if (std::fwrite(bytes, 1, count, stream_) == count) return true;
    writeFailure_ = errno != 0 ? errno : EIO;
    return false;
}

std::string WholeFile::writeFailure() const { return writeFailure_ != 0 ? systemReason(writeFailure_) : ""; }

bool WholeFile::putInPlace(std::string& error) {
    errno = 0;
    // The last buffered bytes reach the disk here, so a full disk shows at the close as often as not.
    const bool closed = std::fclose(stream_) == 0;
    const int closeReason = errno;
    stream_ = nullptr;
    std::error_code failure;
    if (writeFailure_ != 0 || !closed) {
        const int reason = writeFailure_ != 0 ? writeFailure_ : closeReason;
        error = "cannot write " + file_.string() + ": " + systemReason(reason != 0 ? reason : EIO) +
                "; the file is as it was";
    } else {
        std::filesystem::rename(temporary_, target_, failure);
        if (!failure) {
            temporary_.clear();
            return true;
        }
        error = "cannot put " + file_.string() + " in place: " + failure.message() + "; the file is as it was";
    }
    std::filesystem::remove(temporary_, failure);
    temporary_.clear();
    return false;
}

}  // namespace sandbox::pictures
