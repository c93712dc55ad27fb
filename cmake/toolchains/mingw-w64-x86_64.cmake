# 64-bit Windows with Debian's mingw-w64 (the posix thread model, for std::thread and std::mutex),
# test programs run through Wine. scripts/install-deps.sh windows installs both.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(DBL_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${DBL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DBL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${DBL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${DBL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ run-time and the thread library go into every program and DLL, so that a program
# runs from any folder (and under Wine) without the compiler's DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Wine runs what the build made (ctest, test discovery). Debian's wine picks the 64-bit loader for
# a 64-bit program.
find_program(DBL_WINE NAMES wine wine64 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${DBL_WINE})

# GoogleTest for this target is built from the sources Debian's googletest package ships.
set(DBL_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources built for the target")
# Header-only libraries of the build machine serve the target as they are.
set(nlohmann_json_DIR /usr/share/cmake/nlohmann_json CACHE PATH "nlohmann_json's CMake package (header-only)")
