set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
# The win32 thread model: what a user installs must not carry libwinpthread, which
# imports functions that Windows 2000 and XP lack (GetTickCount64 among them).
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
# GoogleTest needs std::mutex, which only the posix thread model has; the test
# programs built on it are compiled and linked with this one (cmake/KorvelGTest.cmake).
set(KORVEL_POSIX_CXX i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(KORVEL_OBJDUMP i686-w64-mingw32-objdump)
set(KORVEL_STRIP i686-w64-mingw32-strip)
