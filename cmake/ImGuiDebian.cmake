# Dear ImGui from Debian's libimgui-dev: a static library (backends included) and its headers under
# include/imgui. Its font atlas is built with stb, which the static library leaves to the program:
# Debian's static libstb keeps every user of it free of a run-time dependency.
find_path(IMGUI_INCLUDE_DIR imgui.h PATH_SUFFIXES imgui REQUIRED)
find_library(IMGUI_LIBRARY NAMES libimgui.a imgui REQUIRED)
find_library(STB_LIBRARY NAMES libstb.a stb REQUIRED)
add_library(imgui::imgui STATIC IMPORTED GLOBAL)
set_target_properties(imgui::imgui PROPERTIES
  IMPORTED_LOCATION "${IMGUI_LIBRARY}"
  INTERFACE_INCLUDE_DIRECTORIES "${IMGUI_INCLUDE_DIR}"
  INTERFACE_LINK_LIBRARIES "${STB_LIBRARY};m")
file(STRINGS "${IMGUI_INCLUDE_DIR}/imgui.h" _kv_imgui_version REGEX "^#define IMGUI_VERSION ")
string(REGEX MATCH "[0-9][^\"]*" _kv_imgui_version "${_kv_imgui_version}")
set(KEYVANE_IMGUI_RELEASE ${_kv_imgui_version} CACHE INTERNAL "The Dear ImGui release built against")
