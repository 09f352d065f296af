# What both MinGW-w64 toolchains share; KS_MINGW_TRIPLET names the target.
set(CMAKE_C_COMPILER ${KS_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KS_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KS_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KS_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Static runtime: libgcc, libstdc++ and winpthread go into each program.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# zlib for MinGW (libz-mingw-w64-dev) as a static library.
set(ZLIB_USE_STATIC_LIBS ON)
