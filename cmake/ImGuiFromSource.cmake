# Dear ImGui compiled from a source folder (KEYVANE_IMGUI_SOURCE): the host's own release, or Debian's
# source package of the release libimgui-dev ships (the Windows build). Compiled the way Debian
# compiles libimgui.a: stb's rectangle packer and TrueType rasteriser come from Debian's stb headers
# instead of the bundled copies, and IM_ASSERT stays on. stb's implementations are compiled here once,
# as Debian's libstb holds them, so both builds rasterise the same glyphs.
set(KEYVANE_STB_INCLUDE_DIR "/usr/include/stb" CACHE PATH "Debian's stb headers (libstb-dev)")
set(_kv_imgui "${KEYVANE_IMGUI_SOURCE}")
if(NOT EXISTS "${_kv_imgui}/imgui.cpp" OR NOT EXISTS "${_kv_imgui}/imgui.h")
  message(FATAL_ERROR "KEYVANE_IMGUI_SOURCE must name a Dear ImGui source folder (imgui.h, imgui.cpp, "
                      "backends/); found none at '${_kv_imgui}'")
endif()
if(NOT EXISTS "${KEYVANE_STB_INCLUDE_DIR}/stb_truetype.h")
  message(FATAL_ERROR "KEYVANE_STB_INCLUDE_DIR must hold Debian's stb headers (libstb-dev)")
endif()
file(STRINGS "${_kv_imgui}/imgui.h" _kv_imgui_version_num REGEX "^#define IMGUI_VERSION_NUM ")
string(REGEX MATCH "[0-9]+" _kv_imgui_version_num "${_kv_imgui_version_num}")
file(STRINGS "${_kv_imgui}/imgui.h" _kv_imgui_version REGEX "^#define IMGUI_VERSION ")
string(REGEX MATCH "[0-9][^\"]*" _kv_imgui_version "${_kv_imgui_version}")
# The overlay names the corner sets of every release from the host's, 1.75, on (overlay/ImGuiRelease.h).
if(NOT _kv_imgui_version_num OR _kv_imgui_version_num LESS 17500)
  message(FATAL_ERROR "Dear ImGui 1.75 or later is needed, found ${_kv_imgui_version} in ${_kv_imgui}")
endif()
set(KEYVANE_IMGUI_RELEASE ${_kv_imgui_version} CACHE INTERNAL "The Dear ImGui release built against")
message(STATUS "Dear ImGui ${_kv_imgui_version} from ${_kv_imgui}")

# <stb/...> without adding all of /usr/include, which holds the build machine's own C library.
set(_kv_stb_root "${CMAKE_BINARY_DIR}/stb-include")
file(MAKE_DIRECTORY "${_kv_stb_root}")
file(CREATE_LINK "${KEYVANE_STB_INCLUDE_DIR}" "${_kv_stb_root}/stb" SYMBOLIC)

add_library(imgui_from_source STATIC
  ${_kv_imgui}/imgui.cpp
  ${_kv_imgui}/imgui_demo.cpp
  ${_kv_imgui}/imgui_draw.cpp
  ${_kv_imgui}/imgui_widgets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stb_implementations.cpp)
# The host's 1.75 has no tables; later releases keep them in a file of their own.
if(EXISTS "${_kv_imgui}/imgui_tables.cpp")
  target_sources(imgui_from_source PRIVATE ${_kv_imgui}/imgui_tables.cpp)
endif()
target_include_directories(imgui_from_source SYSTEM PUBLIC ${_kv_imgui} ${_kv_stb_root})
target_compile_definitions(imgui_from_source PRIVATE
  IMGUI_DISABLE_STB_RECT_PACK_IMPLEMENTATION
  "IMGUI_STB_RECT_PACK_FILENAME=<stb/stb_rect_pack.h>"
  IMGUI_DISABLE_STB_TRUETYPE_IMPLEMENTATION
  "IMGUI_STB_TRUETYPE_FILENAME=<stb/stb_truetype.h>")
# Debian's build defines no NDEBUG, so the library's own assertions stay active in it.
target_compile_options(imgui_from_source PRIVATE -UNDEBUG)
target_link_libraries(imgui_from_source PUBLIC m)

# The OpenGL 3 renderer the sandbox's pictures and live window use (Linux only: the Windows build
# draws no pictures). Releases before 1.84 bring no GL loader of their own and want one named by a
# define: Mesa's own GL headers, with the entry points libGL exports, need no further dependency.
if(NOT WIN32)
  set(_kv_renderer ${_kv_imgui}/backends/imgui_impl_opengl3.cpp)
  target_sources(imgui_from_source PRIVATE ${_kv_renderer})
  if(NOT EXISTS "${_kv_imgui}/backends/imgui_impl_opengl3_loader.h")
    # The renderer's header checks the choice too, so every user of it sees the define.
    target_compile_definitions(imgui_from_source PUBLIC "IMGUI_IMPL_OPENGL_LOADER_CUSTOM=<GL/glcorearb.h>")
    set_property(SOURCE ${_kv_renderer} APPEND PROPERTY COMPILE_DEFINITIONS GL_GLEXT_PROTOTYPES)
    find_library(KEYVANE_IMGUI_GL_LIBRARY NAMES GL REQUIRED)
    target_link_libraries(imgui_from_source PUBLIC ${KEYVANE_IMGUI_GL_LIBRARY})
  else()
    target_link_libraries(imgui_from_source PUBLIC ${CMAKE_DL_LIBS})
  endif()
endif()
add_library(imgui::imgui ALIAS imgui_from_source)
