# Cross-building for 64-bit Windows with MinGW-w64 and a Qt for Windows (the `windows` preset).
# The Qt prefix comes from VRX_QT_PREFIX (cache or environment), as packaging/windows/qt-prefix.sh
# prints it after unpacking the shared archive or building Qt; by default ~/.cache/qt6.4.2-mingw64.
# Qt's own toolchain file chains to the compiler's.
if(NOT VRX_QT_PREFIX)
    if(DEFINED ENV{VRX_QT_PREFIX} AND NOT "$ENV{VRX_QT_PREFIX}" STREQUAL "")
        set(VRX_QT_PREFIX "$ENV{VRX_QT_PREFIX}")
    else()
        set(VRX_QT_PREFIX "$ENV{HOME}/.cache/qt6.4.2-mingw64")
    endif()
endif()
set(VRX_QT_PREFIX "${VRX_QT_PREFIX}" CACHE PATH "Qt for Windows (MinGW-w64) to build against")
set(ENV{VRX_QT_PREFIX} "${VRX_QT_PREFIX}") # for the compiler checks, which read this file again

if(NOT EXISTS "${VRX_QT_PREFIX}/lib/cmake/Qt6/qt.toolchain.cmake")
    message(FATAL_ERROR "No Qt for Windows at ${VRX_QT_PREFIX}: set VRX_QT_PREFIX to the folder that "
                        "packaging/windows/qt-prefix.sh prints")
endif()
include("${VRX_QT_PREFIX}/lib/cmake/Qt6/qt.toolchain.cmake")
