// EGL set-up for offscreen rendering. Only the surfaceless platform is used: it needs neither an X
// server nor a GPU, so pictures come out the same on a build machine and on a desktop.
#include "sandbox/pictures/offscreen_gl.h"

#include "sandbox/pictures/mesa_residency.h"

#include <cstdio>

#include <EGL/egl.h>
#include <EGL/eglext.h>

namespace sandbox::pictures {
namespace {

std::string eglFailure(const char* step) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(eglGetError()));
    return std::string("offscreen OpenGL: ") + step + " failed (EGL error " + code +
           "); Mesa's EGL (Debian packages libegl-mesa0 and libgl1-mesa-dri) is needed";
}

}  // namespace

std::unique_ptr<OffscreenGl> OffscreenGl::create(std::string& error) {
    const auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) {
        error = eglFailure("looking up eglGetPlatformDisplayEXT");
        return nullptr;
    }
    EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0, minor = 0;
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) {
        error = eglFailure("opening the surfaceless display");
        return nullptr;
    }
    std::unique_ptr<OffscreenGl> gl(new OffscreenGl);
    gl->display_ = display;
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error = eglFailure("choosing desktop OpenGL");
        return nullptr;
    }
    const EGLint contextAttributes[] = {
        EGL_CONTEXT_MAJOR_VERSION,           3,       EGL_CONTEXT_MINOR_VERSION, 3, EGL_CONTEXT_OPENGL_PROFILE_MASK,
        EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT, EGL_NONE};
    EGLContext context = eglCreateContext(display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT) {
        error = eglFailure("creating an OpenGL 3.3 context");
        return nullptr;
    }
    gl->context_ = context;
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        error = eglFailure("making the context current");
        return nullptr;
    }
    keepMesaLoadedToTheEnd();
    return gl;
}

OffscreenGl::~OffscreenGl() {
    if (context_) {
        eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display_, context_);
    }
    if (display_) eglTerminate(display_);
}

}  // namespace sandbox::pictures
