# Cross build for 64-bit Windows with mingw-w64:
#   cmake -S . -B build/windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# The posix thread model is needed for std::thread and std::mutex (the win32
# model has neither). The runtime is linked statically, so each .exe is a
# single file with no DLL beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VORNAK_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VORNAK_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VORNAK_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VORNAK_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VORNAK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Release programs are shipped, so they carry no symbols.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
set(CMAKE_EXE_LINKER_FLAGS_MINSIZEREL_INIT "-s")

# Test executables run through Wine when it is installed.
find_program(VORNAK_WINE wine)
if(VORNAK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VORNAK_WINE})
endif()
