# Cross-build for 32-bit Windows, what ships, with the win32-thread flavour
# of mingw-w64: its runtime calls nothing newer than Windows XP, where the
# posix flavour's winpthreads imports GetTickCount64 (Vista).
set(QUORVANE_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# On 64-bit Windows a large-address-aware 32-bit program gets 4 GB of
# address space instead of 2 GB, room for large pictures. Nothing in the
# program or the libraries it links treats an address as signed or keeps
# one in 31 bits. Every 32-bit program here is linked so, the tests too,
# so that they run the code as it ships.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,--large-address-aware")
