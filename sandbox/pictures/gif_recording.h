// An animated GIF written frame by frame while a session draws (giflib). Each frame lasts its share
// of session time; unchanged frames only lengthen the one before, and a frame after the first holds
// just the rectangle that changed, so a mostly still screen makes a small file that loops forever.
//
// Colours are kept exactly when a frame's changed rectangle has at most 256 of them (the overlay
// and the backdrop usually do); otherwise that frame's colours are reduced by giflib's median cut.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "sandbox/pictures/png_file.h"

struct GifFileType;

namespace sandbox::pictures {

class WholeFile;

// GIF delays count hundredths of a second, and browsers slow down any frame shorter than two.
inline constexpr int kShortestGifFrameCentiseconds = 2;

class GifRecording {
public:
    // Starts a capture of pictures of this size, written beside the file (parent folders are made
    // when missing), which takes its name when it is finished whole. Null and a one-line reason in
    // error if it cannot start.
    static std::unique_ptr<GifRecording> start(const std::filesystem::path& file, int width, int height,
                                               std::string& error);
    ~GifRecording();  // a recording never finished is dropped: the file keeps what it held
    GifRecording(const GifRecording&) = delete;
    GifRecording& operator=(const GifRecording&) = delete;

    // The screen as drawn, shown for `seconds`. Frames shorter than two hundredths of a second give
    // way to the next different one. False and a reason if the file cannot be written.
    bool addFrame(const Picture& picture, double seconds, std::string& error);
    bool hasFrames() const { return started_; }

    // Writes the last frame and puts the capture in place; on failure the file keeps what it held.
    bool finish(std::string& error);

    const std::filesystem::path& file() const { return file_; }

private:
    GifRecording() = default;
    bool writeFrame(const Picture& picture, long centiseconds, std::string& error);
    std::string failure(const char* step) const;

    std::filesystem::path file_;
    std::unique_ptr<WholeFile> out_;
    GifFileType* gif_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    bool started_ = false;     // a frame is pending
    Picture pending_;          // the frame on screen now, not yet written
    double pendingStart_ = 0;  // seconds since the recording started
    double now_ = 0;
    Picture written_;  // the screen as the file shows it so far
};

}  // namespace sandbox::pictures
