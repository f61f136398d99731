// Puts one Dear ImGui frame on the screen: the backdrop, then the frame's draw data (OpenGL 3 backend).
//
// Offscreen it draws into its own framebuffer object and can read the screen back as a picture; in a
// real window it draws into the window's framebuffer.
//
// Needs a current OpenGL 3.3 context and the host's Dear ImGui context current while it is built,
// used and destroyed.
#pragma once

#include <imgui.h>

#include "sandbox/pictures/png_file.h"

namespace sandbox::pictures {

enum class RenderTarget { OwnFramebuffer, WindowFramebuffer };

class FrameRenderer {
public:
    // Initialises the OpenGL 3 backend on the current Dear ImGui context and uploads the font atlas,
    // so every later frame of that context refers to the uploaded font texture.
    FrameRenderer(int width, int height, RenderTarget target);
    ~FrameRenderer();
    FrameRenderer(const FrameRenderer&) = delete;
    FrameRenderer& operator=(const FrameRenderer&) = delete;

    // A screen of another size: the backdrop is drawn anew for it (a resized window).
    void resize(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }

    void draw(ImDrawData* drawData);  // backdrop, then the frame; null draws the backdrop only
    Picture readBack() const;         // the screen as last drawn, rows top to bottom

private:
    void createScreen();  // the screen's framebuffer (offscreen) and the backdrop, at the current size
    void destroyScreen();

    RenderTarget target_;
    int width_;
    int height_;
    unsigned screenFramebuffer_ = 0;  // 0 is the window's own
    unsigned colourBuffer_ = 0;
    unsigned backdropFramebuffer_ = 0;  // read source of the backdrop copy
    unsigned backdropTexture_ = 0;
};

}  // namespace sandbox::pictures
