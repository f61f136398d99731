// Whether this build of keyvane-sandbox makes pictures. The Linux build renders every frame with
// OpenGL and can write it as PNG or show it in a window; the Windows build builds every frame's draw
// list as the game does but rasterises nothing (no_pictures.cpp stands in for the renderer there).
#pragma once

namespace sandbox::app {

inline constexpr bool kPicturesAvailable = KEYVANE_SANDBOX_PICTURES;
inline constexpr const char* kPicturesNeedLinux = "pictures need the Linux build of keyvane-sandbox";

}  // namespace sandbox::app
