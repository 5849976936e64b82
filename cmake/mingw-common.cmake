# The part of the MinGW-w64 toolchain files that both architectures share; the including file
# sets CMAKE_SYSTEM_PROCESSOR and VARNOLET_MINGW_PREFIX. Debian's posix thread model, so that
# std::thread and std::mutex work. The runtime is linked statically: the program runs on a bare
# Windows without any MinGW DLL beside it.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${VARNOLET_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VARNOLET_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VARNOLET_MINGW_PREFIX}-windres)
set(CMAKE_AR ${VARNOLET_MINGW_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${VARNOLET_MINGW_PREFIX}-ranlib CACHE FILEPATH "")
set(CMAKE_OBJDUMP ${VARNOLET_MINGW_PREFIX}-objdump CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${VARNOLET_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
