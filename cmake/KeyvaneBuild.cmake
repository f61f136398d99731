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

# Dear ImGui 1.86: Debian's library on Linux, Debian's sources built for the Windows module.
if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/ImGuiFromSource.cmake)
else()
  include(${CMAKE_CURRENT_LIST_DIR}/ImGuiDebian.cmake)
endif()
