# Cross-compiles Tavilo for 64-bit Windows with Debian's clang, against the
# same mingw-w64 headers, import libraries and GCC runtime (libstdc++,
# libgcc, winpthreads) as cmake/mingw-w64-x86_64.cmake, linked statically
# as there; resources go through mingw-w64's windres. It is the second
# compiler's build (scripts/build-clang.sh).
#
# Debian 12's clang 14 looks for a MinGW GCC in lib/gcc/<target>/<version>
# but cannot read Debian's version folder name ("12-posix"), so on its own
# it finds no libstdc++. Hence:
# - the sysroot is mingw-w64's own tree, whose include/ and lib/ it then
#   searches (and not the host's /usr/include, which it adds otherwise);
# - libstdc++'s headers and the folder holding libstdc++.a and libgcc.a
#   come from the posix-threads g++ itself (where it finds libstdc++.a);
#   clang keeps its own compiler headers (intrinsics) in place of GCC's;
# - -pthread links winpthreads, which that g++ adds by itself;
# - LLVM's linker links: GNU ld warns "duplicate section has different
#   size" for each type_info name clang emits beside libstdc++'s own (GCC
#   pads them to 16 bytes), where lld in MinGW mode keeps one quietly.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${TOOLCHAIN_PREFIX})
set(CMAKE_CXX_COMPILER_TARGET ${TOOLCHAIN_PREFIX})
set(CMAKE_SYSROOT /usr/${TOOLCHAIN_PREFIX})
# The binutils of the GCC build, so that both builds archive, compile
# resources and make delay-import libraries alike.
set(CMAKE_AR /usr/bin/${TOOLCHAIN_PREFIX}-ar)
set(CMAKE_RANLIB /usr/bin/${TOOLCHAIN_PREFIX}-ranlib)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)
set(TAVILO_DLLTOOL /usr/bin/${TOOLCHAIN_PREFIX}-dlltool)

execute_process(COMMAND ${TOOLCHAIN_PREFIX}-g++-posix -print-file-name=libstdc++.a
  OUTPUT_VARIABLE _libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(_gcc_dir "${_libstdcxx}" DIRECTORY)
if(NOT EXISTS "${_gcc_dir}/include/c++")
  message(FATAL_ERROR "No libstdc++ of ${TOOLCHAIN_PREFIX}-g++-posix (scripts/setup.sh installs it)")
endif()
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES
  ${_gcc_dir}/include/c++ ${_gcc_dir}/include/c++/${TOOLCHAIN_PREFIX} ${_gcc_dir}/include/c++/backward)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -L${_gcc_dir} -pthread")

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Test programs run under Wine through this wrapper.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-exec.sh)
