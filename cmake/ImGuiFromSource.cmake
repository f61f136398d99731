# Dear ImGui for the Windows build: Debian's source package of the release libimgui-dev ships (the
# install script unpacks it), compiled the way Debian compiles libimgui.a: stb's rectangle packer and
# TrueType rasteriser come from Debian's stb headers instead of the bundled copies, and IM_ASSERT
# stays on. stb's implementations are compiled here once, as Debian's libstb holds them.
set(KEYVANE_IMGUI_SOURCE_DIR "" CACHE PATH "Unpacked Debian source package of Dear ImGui 1.86")
set(KEYVANE_STB_INCLUDE_DIR "/usr/include/stb" CACHE PATH "Debian's stb headers (libstb-dev)")
if(NOT EXISTS "${KEYVANE_IMGUI_SOURCE_DIR}/imgui.cpp")
  message(FATAL_ERROR "KEYVANE_IMGUI_SOURCE_DIR must name an unpacked Dear ImGui source package "
                      "(scripts/build-windows unpacks Debian's)")
endif()
if(NOT EXISTS "${KEYVANE_STB_INCLUDE_DIR}/stb_truetype.h")
  message(FATAL_ERROR "KEYVANE_STB_INCLUDE_DIR must hold Debian's stb headers (libstb-dev)")
endif()
file(STRINGS "${KEYVANE_IMGUI_SOURCE_DIR}/imgui.h" _kv_imgui_version REGEX "^#define IMGUI_VERSION ")
if(NOT _kv_imgui_version MATCHES "\"1\\.86\"")
  message(FATAL_ERROR "Dear ImGui 1.86 is needed, found: ${_kv_imgui_version}")
endif()

# <stb/...> without adding all of /usr/include, which holds the build machine's own C library.
set(_kv_stb_root "${CMAKE_BINARY_DIR}/stb-include")
file(MAKE_DIRECTORY "${_kv_stb_root}")
file(CREATE_LINK "${KEYVANE_STB_INCLUDE_DIR}" "${_kv_stb_root}/stb" SYMBOLIC)

set(_kv_imgui "${KEYVANE_IMGUI_SOURCE_DIR}")
add_library(imgui_from_source STATIC
  ${_kv_imgui}/imgui.cpp
  ${_kv_imgui}/imgui_demo.cpp
  ${_kv_imgui}/imgui_draw.cpp
  ${_kv_imgui}/imgui_tables.cpp
  ${_kv_imgui}/imgui_widgets.cpp
  ${_kv_imgui}/misc/cpp/imgui_stdlib.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stb_implementations.cpp)
target_include_directories(imgui_from_source SYSTEM PUBLIC ${_kv_imgui} ${_kv_stb_root})
target_compile_definitions(imgui_from_source PRIVATE
  IMGUI_DISABLE_STB_RECT_PACK_IMPLEMENTATION
  "IMGUI_STB_RECT_PACK_FILENAME=<stb/stb_rect_pack.h>"
  IMGUI_DISABLE_STB_TRUETYPE_IMPLEMENTATION
  "IMGUI_STB_TRUETYPE_FILENAME=<stb/stb_truetype.h>")
# Debian's build defines no NDEBUG, so the library's own assertions stay active in it.
target_compile_options(imgui_from_source PRIVATE -UNDEBUG)
add_library(imgui::imgui ALIAS imgui_from_source)
