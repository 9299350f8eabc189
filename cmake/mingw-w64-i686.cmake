# 32-bit Windows programs, cross-compiled with mingw-w64: the build that checks the standard
# calling convention of the engine library's exports.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KRV_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
