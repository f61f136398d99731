// The backdrop is uploaded once as a texture and copied to the screen with a framebuffer blit each
// frame, which keeps it exact to the byte and needs no shader of our own.
#include "sandbox/pictures/frame_renderer.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/glcorearb.h>

#include <backends/imgui_impl_opengl3.h>

#include "sandbox/pictures/backdrop.h"

namespace sandbox::pictures {
namespace {

// GLSL 1.50 is the oldest version every OpenGL 3.3 core context (Mesa's included) must accept.
constexpr const char* kShaderVersion = "#version 150";

}  // namespace

FrameRenderer::FrameRenderer(int width, int height, RenderTarget target)
    : target_(target), width_(width), height_(height) {
    createScreen();
    ImGui_ImplOpenGL3_Init(kShaderVersion);
    // Creates the shaders and the font texture now, before the first frame records its texture id.
    ImGui_ImplOpenGL3_NewFrame();
}

FrameRenderer::~FrameRenderer() {
    ImGui_ImplOpenGL3_Shutdown();
    destroyScreen();
}

void FrameRenderer::resize(int width, int height) {
    if (width == width_ && height == height_) return;
    destroyScreen();
    width_ = width;
    height_ = height;
    createScreen();
}

void FrameRenderer::createScreen() {
    if (target_ == RenderTarget::OwnFramebuffer) {
        glGenRenderbuffers(1, &colourBuffer_);
        glBindRenderbuffer(GL_RENDERBUFFER, colourBuffer_);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width_, height_);
        glGenFramebuffers(1, &screenFramebuffer_);
        glBindFramebuffer(GL_FRAMEBUFFER, screenFramebuffer_);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer_);
    }

    // OpenGL's first row is the bottom one; upload the backdrop bottom-up so the blit keeps it upright.
    Picture backdrop{width_, height_, backdropImage(width_, height_)};
    flipRows(backdrop);
    glGenTextures(1, &backdropTexture_);
    glBindTexture(GL_TEXTURE_2D, backdropTexture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width_, height_, 0, GL_RGBA, GL_UNSIGNED_BYTE, backdrop.rgba.data());
    glGenFramebuffers(1, &backdropFramebuffer_);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, backdropFramebuffer_);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, backdropTexture_, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, screenFramebuffer_);
}

void FrameRenderer::destroyScreen() {
    glDeleteFramebuffers(1, &backdropFramebuffer_);
    glDeleteTextures(1, &backdropTexture_);
    if (screenFramebuffer_) glDeleteFramebuffers(1, &screenFramebuffer_);
    if (colourBuffer_) glDeleteRenderbuffers(1, &colourBuffer_);
    backdropFramebuffer_ = backdropTexture_ = screenFramebuffer_ = colourBuffer_ = 0;
}

void FrameRenderer::draw(ImDrawData* drawData) {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, backdropFramebuffer_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, screenFramebuffer_);
    glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, screenFramebuffer_);
    glViewport(0, 0, width_, height_);
    if (drawData) ImGui_ImplOpenGL3_RenderDrawData(drawData);
}

Picture FrameRenderer::readBack() const {
    Picture picture{width_, height_, std::vector<std::uint8_t>(static_cast<std::size_t>(width_) * height_ * 4)};
    glFinish();
    glBindFramebuffer(GL_READ_FRAMEBUFFER, screenFramebuffer_);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, picture.rgba.data());
    flipRows(picture);
    return picture;
}

}  // namespace sandbox::pictures
