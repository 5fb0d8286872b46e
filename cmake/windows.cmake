# Windows build: size-optimised programs that import system DLLs only. The
# shipped program is PE32 (cmake/mingw-i686.cmake); a test tree may be built
# as PE32+ (cmake/mingw-x86_64.cmake) where 32-bit Wine cannot start.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(LITE_WIN_ARCH x86_64)
else()
  set(LITE_WIN_ARCH i686)
endif()
add_compile_definitions(UNICODE _UNICODE WINVER=0x0601 _WIN32_WINNT=0x0601 NOMINMAX
                        WIN32_LEAN_AND_MEAN)
add_compile_options(-municode -ffunction-sections -fdata-sections)
# No code asks the type of an object at run time (no dynamic_cast, no
# typeid), so no program carries type descriptions. The test programs are
# built alike: a test class derived from a product class would otherwise
# need the type description that the product's objects lack.
add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fno-rtti>)
set(CMAKE_C_FLAGS_MINSIZEREL "-Os -DNDEBUG")
set(CMAKE_CXX_FLAGS_MINSIZEREL "-Os -DNDEBUG")
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE MinSizeRel)
endif()
# The installer's own code is built without exceptions and without locks
# around function-local statics: it throws nothing, and its statics are first
# touched on the main thread before any worker starts. Both keep the runtime's
# exception and thread machinery out of the program (see runtime_slim.cc).
# Nothing unwinds through it either, so it carries no unwind tables (about
# 35 KiB of .eh_frame).
set(LITE_UNWIND_FREE_FLAGS -fno-asynchronous-unwind-tables -fno-unwind-tables)
set(LITE_PRODUCT_FLAGS -fno-exceptions -fno-threadsafe-statics ${LITE_UNWIND_FREE_FLAGS})
# The shipped (i686) program is optimised as one unit at link time. One
# partition: with several, GCC 12 stops with an internal compiler error on
# this code. The objects stay fat (machine code beside the IR), so the test
# programs that link the same libraries without -flto link as before.
if(LITE_WIN_ARCH STREQUAL "i686")
  set(LITE_PRODUCT_LTO_FLAGS -flto -flto-partition=one)
  set(LITE_LTO_COMPILE_FLAGS ${LITE_PRODUCT_LTO_FLAGS} -ffat-lto-objects)
  list(APPEND LITE_PRODUCT_FLAGS ${LITE_LTO_COMPILE_FLAGS})
endif()
# Every program is linked statically against the compiler's runtimes.
add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--gc-sections)
# Reproducible output: two builds of one commit from any two folders give the
# same bytes. The linker writes no time stamp (the PE checksum then depends
# on the contents only), and no build path reaches a program.
add_link_options(-Wl,--no-insert-timestamp)
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${PROJECT_BINARY_DIR}=.)

# Jansson comes from Debian's source package, fetched into the build tree by
# scripts/fetch_jansson.sh and compiled here with the same flags.
set(LITE_JANSSON_SOURCE_DIR "${PROJECT_BINARY_DIR}/deps/jansson-2.14" CACHE PATH
    "Jansson 2.14 sources for the MinGW build")
if(NOT EXISTS "${LITE_JANSSON_SOURCE_DIR}/CMakeLists.txt")
  execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/fetch_jansson.sh "${PROJECT_BINARY_DIR}/deps"
                  RESULT_VARIABLE fetch_result)
  if(NOT fetch_result EQUAL 0 OR NOT EXISTS "${LITE_JANSSON_SOURCE_DIR}/CMakeLists.txt")
    message(FATAL_ERROR "Jansson sources missing: run scripts/setup.sh, then scripts/fetch_jansson.sh")
  endif()
endif()
set(JANSSON_BUILD_DOCS OFF CACHE BOOL "" FORCE)
set(JANSSON_WITHOUT_TESTS ON CACHE BOOL "" FORCE)
set(JANSSON_EXAMPLES OFF CACHE BOOL "" FORCE)
set(JANSSON_BUILD_SHARED_LIBS OFF CACHE BOOL "" FORCE)
set(JANSSON_INSTALL OFF CACHE BOOL "" FORCE)
# Jansson's hash seeding would wait with sched_yield, which drags the whole
# POSIX thread library (about 30 KiB) into the program; without it Jansson
# uses its Win32 path (InterlockedIncrement, SwitchToThread).
set(HAVE_SCHED_YIELD 0)
add_subdirectory(${LITE_JANSSON_SOURCE_DIR} ${PROJECT_BINARY_DIR}/deps/jansson-build EXCLUDE_FROM_ALL)
add_library(lite_jansson INTERFACE)
target_compile_options(jansson PRIVATE ${LITE_UNWIND_FREE_FLAGS} ${LITE_LTO_COMPILE_FLAGS})
target_link_libraries(lite_jansson INTERFACE jansson)
target_include_directories(lite_jansson INTERFACE ${PROJECT_BINARY_DIR}/deps/jansson-build/include)

# GoogleTest from Debian's sources, built with the same toolchain.
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${PROJECT_BINARY_DIR}/deps/googletest EXCLUDE_FROM_ALL)
# Test code only: unoptimised, it compiles in half the time.
target_compile_options(gtest PRIVATE -O0)
target_compile_options(gtest_main PRIVATE -O0)

# ctest runs Windows programs under Wine in this build's own prefix, a win32
# or win64 one as the programs are (LITE_WIN_ARCH, scripts/wine_env.sh).
set(LITE_WINEPREFIX "${PROJECT_BINARY_DIR}/wineprefix")
set(LITE_WINE_ENVIRONMENT "LITE_WIN_ARCH=${LITE_WIN_ARCH}")
set(CMAKE_CROSSCOMPILING_EMULATOR "env;${LITE_WINE_ENVIRONMENT};${PROJECT_SOURCE_DIR}/scripts/wine_run.sh;${LITE_WINEPREFIX}")
# Tests that only read the shipped program's bytes read the i686 one: this
# tree's own, or that of a tree of its own when this one is x86_64.
set(LITE_SHIPPED_BUILD_DIR "${PROJECT_BINARY_DIR}" CACHE PATH
    "Build tree of the shipped i686 lite_installer.exe")
