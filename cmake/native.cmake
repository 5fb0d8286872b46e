# Native build: the units that make no system call, with their unit tests,
# under AddressSanitizer and UndefinedBehaviorSanitizer.
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE Debug)
endif()
add_compile_options(-Wall -Wextra -fsanitize=address,undefined -fno-omit-frame-pointer
                    -fno-sanitize-recover=undefined)
add_link_options(-fsanitize=address,undefined)

include(${CMAKE_CURRENT_LIST_DIR}/system_jansson.cmake)

find_package(GTest REQUIRED)
