# Cross-compiles for Windows x86-64 with Debian's MinGW-w64 GCC (packages g++-mingw-w64-x86-64-posix
# and binutils-mingw-w64-x86-64). The posix-thread compilers are named outright: the program needs
# std::jthread and std::mutex, which the win32-thread ones lack, whatever update-alternatives says.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_SYSTEM_VERSION 10.0)

set(QUAVEX_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER /usr/bin/${QUAVEX_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER /usr/bin/${QUAVEX_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER /usr/bin/${QUAVEX_MINGW_TRIPLET}-windres)
set(CMAKE_AR /usr/bin/${QUAVEX_MINGW_TRIPLET}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB /usr/bin/${QUAVEX_MINGW_TRIPLET}-gcc-ranlib-posix CACHE FILEPATH "")

# Libraries and headers only from the MinGW sysroot and from what the caller adds (the cross-built
# Qt through CMAKE_PREFIX_PATH); programs (moc, rcc, uic through QT_HOST_PATH) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${QUAVEX_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest runs the Windows test programs under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
