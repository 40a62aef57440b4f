# Cross-compiles Pirell for 64-bit Windows (x86-64) with mingw-w64 (the -posix thread model, so
# that std::thread and std::mutex work). Tests of this tree run in a 64-bit Wine prefix
# (cmake/wine-run64). Every DLL and EXE links its C and C++ runtimes statically:
# the driver is loaded into a foreign host process and must not depend on runtime DLLs
# that the host machine may not have.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PIRELL_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PIRELL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PIRELL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${PIRELL_MINGW_TRIPLET}-windres)
# windres preprocesses .rc files with a C compiler; name the one this toolchain uses instead of
# relying on the unsuffixed alternative being set up.
set(CMAKE_RC_FLAGS_INIT "--preprocessor=${PIRELL_MINGW_TRIPLET}-gcc-posix --preprocessor-arg=-E --preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED")

set(CMAKE_FIND_ROOT_PATH /usr/${PIRELL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(_pirell_static_runtime "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${_pirell_static_runtime}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${_pirell_static_runtime}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${_pirell_static_runtime}")
