# Cross-compiles for 32-bit Windows with MinGW-w64 (built, not run: only
# 64-bit Windows programs run on the build machines).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KS_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
