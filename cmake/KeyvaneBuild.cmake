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

# Dear ImGui: Debian's libimgui-dev (1.86) by default; or, with KEYVANE_IMGUI_SOURCE, compiled from a
# source folder for everything (module, stand-in host, sandbox, tests, benchmarks): the host's own
# release, or on Windows, which has no libimgui-dev, Debian's source package of 1.86.
set(KEYVANE_IMGUI_SOURCE "" CACHE PATH "Dear ImGui source folder to build against instead of libimgui-dev")
if(KEYVANE_IMGUI_SOURCE)
  include(${CMAKE_CURRENT_LIST_DIR}/ImGuiFromSource.cmake)
elseif(WIN32)
  message(FATAL_ERROR "The Windows build compiles Dear ImGui from source: set KEYVANE_IMGUI_SOURCE "
                      "(scripts/build-windows unpacks Debian's source package)")
else()
  include(${CMAKE_CURRENT_LIST_DIR}/ImGuiDebian.cmake)
endif()
