# Fuzz build (configure with -DLITE_FUZZ=ON and clang, see scripts/test.sh):
# the units that make no system call, instrumented for libFuzzer, under
# AddressSanitizer and UndefinedBehaviorSanitizer. UBSan findings abort so
# that the fuzzer reports them as crashes.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "The fuzz build needs clang (libFuzzer): -DCMAKE_CXX_COMPILER=clang++-14")
endif()
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE RelWithDebInfo)
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                    -fno-sanitize-recover=undefined)
add_link_options(-fsanitize=address,undefined)

include(${CMAKE_CURRENT_LIST_DIR}/system_jansson.cmake)
