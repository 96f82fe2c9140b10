# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (POSIX threads variant).
# Test programs run under Wine, which CTest uses as the emulator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained executables: Wine then needs none of the compiler's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(SCRIVLE_WINE NAMES wine wine64)
if(SCRIVLE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${SCRIVLE_WINE})
endif()
