// What turns a session's frames into pictures. The session core builds every frame but draws no
// pixel: the pictures part renders frames offscreen (sandbox/pictures/offscreen_pictures.h); a
// session without a picture maker (the Windows build, a live window) refuses snapshot and record.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

struct ImDrawData;

namespace sandbox::session {

// The part of the screen a snapshot keeps, in screen pixels from the top left, each pixel
// repeated zoom times across and down (nearest neighbour, so caps and labels stay sharp).
struct PictureArea {
    int left = 0;
    int top = 0;
    int width = 0;  // 0: the whole screen
    int height = 0;
    int zoom = 1;
};

// An animated capture being written, one frame at a time as the session draws them.
class FrameRecording {
public:
    virtual ~FrameRecording() = default;  // a recording never finished leaves the file as it was
    // The frame, shown for `seconds`; "" or a one-line reason the file could not take it.
    virtual std::string addFrame(ImDrawData* frame, double seconds) = 0;
    virtual bool hasFrames() const = 0;
    // Writes the last frame and closes the file; "" or why not. A recording started to be cut keeps
    // area of every frame (width 0: the whole screen), enlarged by its zoom; others ignore it.
    virtual std::string finish(const PictureArea& area) = 0;
    virtual const std::filesystem::path& file() const = 0;
};

class PictureMaker {
public:
    virtual ~PictureMaker() = default;
    // The frame's area (inside the screen), written as a PNG file; "" or a one-line reason.
    virtual std::string writeSnapshot(ImDrawData* frame, const std::filesystem::path& file,
                                      const PictureArea& area) = 0;
    // Starts an animated GIF capture, to be cut to an area at its end if cutAtEnd; null and a one-line
    // reason in error if it cannot.
    virtual std::unique_ptr<FrameRecording> startRecording(const std::filesystem::path& file, bool cutAtEnd,
                                                           std::string& error) = 0;
};

// Makes a session's picture maker for a screen of width x height, once the session's Dear ImGui
// context exists and is current (a renderer keeps its state in it). Null and a one-line reason in
// error if this machine cannot make pictures.
using PictureMakerFactory = std::function<std::unique_ptr<PictureMaker>(int width, int height, std::string& error)>;

}  // namespace sandbox::session
