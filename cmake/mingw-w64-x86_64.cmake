# Cross-build of IL3_Setup.exe for Windows x86_64 with Debian's mingw-w64 (posix threads flavour).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(IL3_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${IL3_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${IL3_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${IL3_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${IL3_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Tests run under Wine in a private prefix (never the user's ~/.wine).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
