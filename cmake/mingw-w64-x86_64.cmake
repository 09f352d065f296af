# Cross-compiles for 64-bit Windows with MinGW-w64. The posix thread model
# gives the core std::thread there too; programs are linked statically, so
# no MinGW library needs to lie beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KS_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
