# Cross-compiles the Windows programs on Linux with MinGW-w64 (Debian package
# g++-mingw-w64-x86-64):
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The programs are linked statically, so the .exe files need no MinGW DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KW39_MINGW_PREFIX x86_64-w64-mingw32)

# Debian ships a "-posix" and a "-win32" thread-model variant. GoogleTest needs
# std::mutex, which only the posix variant has; the programs start no threads,
# and static linking puts the little of winpthread they use into the .exe.
find_program(KW39_MINGW_CXX NAMES ${KW39_MINGW_PREFIX}-g++-posix ${KW39_MINGW_PREFIX}-g++ REQUIRED)
find_program(KW39_MINGW_CC NAMES ${KW39_MINGW_PREFIX}-gcc-posix ${KW39_MINGW_PREFIX}-gcc REQUIRED)
set(CMAKE_CXX_COMPILER ${KW39_MINGW_CXX})
set(CMAKE_C_COMPILER ${KW39_MINGW_CC})
set(CMAKE_RC_COMPILER ${KW39_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KW39_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under Wine. Debian keeps the 64-bit loader outside PATH;
# calling it directly avoids the wrapper's warning about a missing 32-bit Wine.
find_program(KW39_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(KW39_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${KW39_WINE})
endif()
