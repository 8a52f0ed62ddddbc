# The same program and tests for 64-bit Windows. Only for running the
# Windows tests under a 64-bit Wine where the machine runs no 32-bit code
# (scripts/wine-env.sh tells): what ships is the 32-bit build.
set(QUORVANE_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
