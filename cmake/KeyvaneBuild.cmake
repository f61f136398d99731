# Shared build settings: strict warnings for our own code, optional sanitizers, Debian's Dear ImGui.

# KEYVANE_SANITIZE: empty; "undefined" (every check, float-cast-overflow included, fatal);
# "address" (AddressSanitizer with its leak checker, and the same undefined-behaviour checks); or
# "thread" (ThreadSanitizer).
set(KEYVANE_SANITIZE "" CACHE STRING "Sanitizer to build with: undefined, address, thread or empty")
set(_kv_ub -fsanitize=undefined,float-cast-overflow,float-divide-by-zero -fno-sanitize-recover=all)
if(KEYVANE_SANITIZE STREQUAL "undefined")
  set(_kv_san ${_kv_ub})
elseif(KEYVANE_SANITIZE STREQUAL "address")
  set(_kv_san -fsanitize=address ${_kv_ub})
elseif(KEYVANE_SANITIZE STREQUAL "thread")
  set(_kv_san -fsanitize=thread)
elseif(NOT KEYVANE_SANITIZE STREQUAL "")
  message(FATAL_ERROR "KEYVANE_SANITIZE must be undefined, address, thread or empty")
endif()
# KEYVANE_FUZZ: the libFuzzer targets of fuzz/, with clang; everything gets libFuzzer's coverage and
# AddressSanitizer.
option(KEYVANE_FUZZ "Build the libFuzzer targets (clang only)" OFF)
if(KEYVANE_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "KEYVANE_FUZZ needs clang (CXX=clang++)")
  endif()
  set(_kv_san -fsanitize=address ${_kv_ub} -fno-sanitize=vptr)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
if(_kv_san)
  add_compile_options(${_kv_san} -fno-omit-frame-pointer)
  add_link_options(${_kv_san})
  # clang leaves the sanitizer runtime out of shared libraries, and the plugin module links with
  # -z defs: every part shares the runtime's shared library instead.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang" AND NOT KEYVANE_SANITIZE STREQUAL "thread")
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-runtime-dir
                    OUTPUT_VARIABLE _kv_runtime_dir OUTPUT_STRIP_TRAILING_WHITESPACE)
    add_link_options(-shared-libsan -Wl,-rpath,${_kv_runtime_dir})
  endif()
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
