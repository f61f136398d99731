# The module for the real host, compiled against the host's SDK folder KEYVANE_HOST_SDK: its
# include/ (through a view of it that GCC can read, when the compiler is GCC), its Dear ImGui
# (imgui/) and, with MSVC, its import library lib/pluginsdk.lib. A MinGW-w64 module cannot link an
# MSVC import library, so with MinGW-w64 this builds the module's objects only, which
# scripts/check-host-sdk checks against that library. The stand-in host and the tests are not built.
set(_sdk ${KEYVANE_HOST_SDK})
foreach(_part include/bakkesmod/plugin/bakkesmodplugin.h lib/pluginsdk.lib imgui/imgui.h)
  if(NOT EXISTS ${_sdk}/${_part})
    message(FATAL_ERROR "KEYVANE_HOST_SDK=${_sdk} is no host SDK folder: it has no ${_part}")
  endif()
endforeach()
if(NOT WIN32)
  message(FATAL_ERROR "KEYVANE_HOST_SDK builds for Windows: use MSVC, or MinGW-w64 "
                      "(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake)")
endif()

# Every module source but the POSIX ones; the SDK's own Dear ImGui.
file(GLOB _module_sources ${PROJECT_SOURCE_DIR}/plugin/*.cpp ${PROJECT_SOURCE_DIR}/overlay/*.cpp)
list(FILTER _module_sources EXCLUDE REGEX "_posix\\.cpp$")
set(_imgui ${_sdk}/imgui)

if(MSVC)
  add_library(Keyvane MODULE ${_module_sources}
    ${_imgui}/imgui.cpp ${_imgui}/imgui_draw.cpp ${_imgui}/imgui_widgets.cpp)
  target_include_directories(Keyvane PRIVATE ${PROJECT_SOURCE_DIR} ${_sdk}/include ${_imgui})
  target_link_libraries(Keyvane PRIVATE ${_sdk}/lib/pluginsdk.lib)
  target_compile_definitions(Keyvane PRIVATE KEYVANE_VERSION="${PROJECT_VERSION}")
  target_compile_options(Keyvane PRIVATE /FC)  # __FILE__ as a full path, as the record wants
  string(REPLACE "." "," KEYVANE_VERSION_COMMAS "${PROJECT_VERSION}")
  configure_file(${PROJECT_SOURCE_DIR}/plugin/Keyvane.rc.in Keyvane.rc @ONLY)
  target_sources(Keyvane PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/Keyvane.rc)
  return()
endif()

find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(_view ${CMAKE_BINARY_DIR}/host-sdk-view)
execute_process(COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/cmake/host_sdk_view.py ${_sdk}/include ${_view}
                RESULT_VARIABLE _view_status)
if(NOT _view_status EQUAL 0)
  message(FATAL_ERROR "could not write the view of ${_sdk}/include")
endif()

add_library(keyvane_host_sdk_objects OBJECT ${_module_sources})
target_include_directories(keyvane_host_sdk_objects PRIVATE ${PROJECT_SOURCE_DIR} ${_view} ${_imgui})
# What MSVC accepts in the SDK's headers and GCC does not: warning pragmas inside class bodies,
# the library's _NODISCARD, and one template instantiated explicitly twice (-fpermissive).
# (CMake drops a function-like macro given as a definition: it goes in as an option.)
target_compile_definitions(keyvane_host_sdk_objects PRIVATE KEYVANE_VERSION="${PROJECT_VERSION}"
  "_NODISCARD=[[nodiscard]]")
target_compile_options(keyvane_host_sdk_objects PRIVATE "-D__pragma(x)=" -fpermissive -w)
