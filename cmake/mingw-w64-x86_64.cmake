# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (the posix-thread
# variant, so std::thread and friends work) and a static runtime, so the
# executables need no DLL beside them. Tests run through wine when it is there.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(WORDLARK_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${WORDLARK_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${WORDLARK_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${WORDLARK_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${WORDLARK_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Debian's wine64 package puts its loader outside PATH.
find_program(WORDLARK_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CACHE)
if(WORDLARK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WORDLARK_WINE})
endif()
