# Cross-compiles the Windows programs with mingw-w64 for the target KRV_MINGW_TRIPLE (set by the
# toolchain file that includes this one), posix thread model, so std::thread and std::mutex are
# available to the test framework; what CTest starts runs under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${KRV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KRV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KRV_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KRV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Packages of the build machine (its GoogleTest, for one) are not for the target.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
find_program(KRV_WINE NAMES wine wine64 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KRV_WINE})
