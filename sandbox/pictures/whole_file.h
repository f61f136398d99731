// A picture or capture written beside its name and put in place only when whole: a full disk, a file
// size limit or a stop before the end leaves the file that had the name as it was.
#pragma once

#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <string>

namespace sandbox::pictures {

class WholeFile {
public:
    // Opens a new temporary in the folder of `file` (made when missing; through a link, the folder
    // of the file it leads to). opened() is false and error says why when none could be made.
    WholeFile(const std::filesystem::path& file, std::string& error);
    ~WholeFile();  // a temporary never put in place is removed
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;

    bool opened() const { return stream_ != nullptr; }

    // Appends bytes to the temporary; false once any write has failed (the first reason is kept).
    bool write(const void* bytes, std::size_t count);
    // Why a write failed ("no space left on device"), or "" while none has.
    std::string writeFailure() const;

    // Closes the temporary and renames it over the file. False and a one-line reason in error if any
    // write failed or the rename did: the temporary is removed and the file keeps what it held.
    bool putInPlace(std::string& error);

private:
    std::filesystem::path file_;       // what the user named
    std::filesystem::path target_;     // where it is written: the file a link leads to
    std::filesystem::path temporary_;  // empty once renamed or removed
    std::FILE* stream_ = nullptr;
    int writeFailure_ = 0;  // errno of the first write that failed
};

}  // namespace sandbox::pictures
