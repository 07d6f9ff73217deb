# Cross toolchain: 64-bit Windows executables built on Linux with mingw-w64.
# The posix thread model is required: the win32 one has no std::mutex, which GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(UMBRIX_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${UMBRIX_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${UMBRIX_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${UMBRIX_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${UMBRIX_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
