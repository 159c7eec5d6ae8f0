# Cross compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads, for std::thread),
# against Qt for Windows built by scripts/windows-qt.sh. Programs and tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Where Qt for Windows is installed: the cache variable, else the environment's
# TENSOVIA_QT_WINDOWS, else the cache folder scripts/windows-qt.sh installs into.
if(NOT TENSOVIA_QT_WINDOWS)
  if(DEFINED ENV{TENSOVIA_QT_WINDOWS})
    set(TENSOVIA_QT_WINDOWS "$ENV{TENSOVIA_QT_WINDOWS}")
  elseif(DEFINED ENV{XDG_CACHE_HOME})
    set(TENSOVIA_QT_WINDOWS "$ENV{XDG_CACHE_HOME}/tensovia/qt-6.4.2-mingw64")
  else()
    set(TENSOVIA_QT_WINDOWS "$ENV{HOME}/.cache/tensovia/qt-6.4.2-mingw64")
  endif()
endif()
set(TENSOVIA_QT_WINDOWS "${TENSOVIA_QT_WINDOWS}" CACHE PATH "Qt for Windows (x86_64, MinGW-w64)")

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${TENSOVIA_QT_WINDOWS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt's code generators (moc, rcc) are the build machine's own.
set(QT_HOST_PATH /usr CACHE PATH "Qt for the build machine")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "Its CMake packages")

# CTest and custom commands run the Windows programs through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh
    ${CMAKE_BINARY_DIR}/wineprefix)
