// An OpenGL 3.3 core context without any display: EGL on Mesa's surfaceless platform (software
// rendering with llvmpipe when there is no GPU). It draws only into framebuffer objects.
#pragma once

#include <memory>
#include <string>

namespace sandbox::pictures {

class OffscreenGl {
public:
    // Creates the context and makes it current on the calling thread; null and a one-line reason
    // in error if this machine cannot.
    static std::unique_ptr<OffscreenGl> create(std::string& error);
    ~OffscreenGl();
    OffscreenGl(const OffscreenGl&) = delete;
    OffscreenGl& operator=(const OffscreenGl&) = delete;

private:
    OffscreenGl() = default;
    void* display_ = nullptr;  // EGLDisplay
    void* context_ = nullptr;  // EGLContext
};

}  // namespace sandbox::pictures
