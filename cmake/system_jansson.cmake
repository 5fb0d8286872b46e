# Jansson from the system (Debian's libjansson-dev) for the native builds.
find_package(PkgConfig REQUIRED)
pkg_check_modules(JANSSON REQUIRED IMPORTED_TARGET jansson)
add_library(lite_jansson INTERFACE)
target_link_libraries(lite_jansson INTERFACE PkgConfig::JANSSON)
