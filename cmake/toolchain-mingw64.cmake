# Cross-builds for 64-bit Windows with Debian's mingw-w64 (POSIX threads), runtime linked in statically.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QVX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QVX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QVX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QVX_MINGW_PREFIX}-windres)

# Only the cross sysroot is searched for libraries and packages; programs come from the build host.
set(CMAKE_FIND_ROOT_PATH /usr/${QVX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A DLL or program must need nothing beyond system DLLs and our own: the GCC runtime, the C++ library
# and winpthread go in statically.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++ -Wl,-Bstatic,--whole-archive -lwinpthread -Wl,--no-whole-archive,-Bdynamic")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${CMAKE_EXE_LINKER_FLAGS_INIT}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${CMAKE_EXE_LINKER_FLAGS_INIT}")

# Header-only libraries come from the host's Debian packages, exposed one folder at a time.
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw-packages CACHE PATH "")
set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw-packages CACHE PATH "")
