# Cross-building for 64-bit Windows with Debian's MinGW-w64 toolchain (posix thread model, which
# gives the standard library its std::mutex and std::thread). Test programs run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KEYVANE_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KEYVANE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KEYVANE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KEYVANE_MINGW_PREFIX}-windres)
set(CMAKE_OBJDUMP ${KEYVANE_MINGW_PREFIX}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${KEYVANE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program and library carries its own copy of the C++ and GCC run-times and of winpthread,
# so that a built file imports only Windows' own libraries and our own DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

find_program(KEYVANE_WINE NAMES wine64 wine)
if(KEYVANE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KEYVANE_WINE})
endif()
