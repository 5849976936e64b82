# Cross build for 64-bit Windows with Debian's MinGW-w64. The shipped program is the 32-bit
# build; this one runs the Wine tests on machines whose kernel runs no 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VARNOLET_MINGW_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
