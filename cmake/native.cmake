# Native build: the units that make no system call, with their unit tests,
# under AddressSanitizer and UndefinedBehaviorSanitizer.
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE Debug)
endif()
add_compile_options(-Wall -Wextra -fsanitize=address,undefined -fno-omit-frame-pointer
                    -fno-sanitize-recover=undefined)
add_link_options(-fsanitize=address,undefined)

find_package(PkgConfig REQUIRED)
pkg_check_modules(JANSSON REQUIRED IMPORTED_TARGET jansson)
add_library(lite_jansson INTERFACE)
target_link_libraries(lite_jansson INTERFACE PkgConfig::JANSSON)

find_package(GTest REQUIRED)
