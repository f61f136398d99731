# Shared build settings: strict warnings for our own code, optional sanitizers, Debian's Dear ImGui.

# KEYVANE_SANITIZE: empty, "undefined" (every check, float-cast-overflow included, fatal) or "address".
set(KEYVANE_SANITIZE "" CACHE STRING "Sanitizer to build with: undefined, address or empty")
if(KEYVANE_SANITIZE STREQUAL "undefined")
  set(_kv_san -fsanitize=undefined,float-cast-overflow,float-divide-by-zero -fno-sanitize-recover=all
              -fno-omit-frame-pointer)
  add_compile_options(${_kv_san})
  add_link_options(${_kv_san})
elseif(KEYVANE_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(NOT KEYVANE_SANITIZE STREQUAL "")
  message(FATAL_ERROR "KEYVANE_SANITIZE must be undefined, address or empty")
endif()

# Warnings are errors in code we write; third-party headers come in as system headers.
function(keyvane_strict target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Werror)
endfunction()

# Debian's libimgui-dev: a static library (backends included) and its headers under include/imgui.
# Its font atlas is built with stb, which the static library leaves to the program: Debian's
# static libstb keeps every user of it free of a run-time dependency.
find_path(IMGUI_INCLUDE_DIR imgui.h PATH_SUFFIXES imgui REQUIRED)
find_library(IMGUI_LIBRARY NAMES libimgui.a imgui REQUIRED)
find_library(STB_LIBRARY NAMES libstb.a stb REQUIRED)
add_library(imgui::imgui STATIC IMPORTED GLOBAL)
set_target_properties(imgui::imgui PROPERTIES
  IMPORTED_LOCATION "${IMGUI_LIBRARY}"
  INTERFACE_INCLUDE_DIRECTORIES "${IMGUI_INCLUDE_DIR}"
  INTERFACE_LINK_LIBRARIES "${STB_LIBRARY};m")
