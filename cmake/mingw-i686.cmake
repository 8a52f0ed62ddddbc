# Cross-build for 32-bit Windows, what ships, with the win32-thread flavour
# of mingw-w64: its runtime calls nothing newer than Windows XP, where the
# posix flavour's winpthreads imports GetTickCount64 (Vista).
set(QUORVANE_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
