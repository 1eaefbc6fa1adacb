# Cross-compiles for 64-bit Windows with Debian's MinGW-w64, linking the C++ runtime statically.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64-shared.cmake)

# The core test programs need no MinGW runtime DLLs beside them, so Wine runs them as they are.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
