# The installer program in two variants that differ only in where the
# endpoint hosts come from:
#   lite_installer.exe       the shipped program; hosts fixed at build time.
#   lite_installer_test.exe  for tests and the demo; each host may be replaced
#                            through a LITE_TEST_* environment variable.
function(lite_add_installer name config_source)
  add_executable(${name} WIN32 ${PROJECT_SOURCE_DIR}/app/main.cc ${config_source}
                 ${PROJECT_SOURCE_DIR}/app/runtime_slim.cc
                 ${PROJECT_SOURCE_DIR}/app/runtime_strtod.c $<TARGET_OBJECTS:lite_resources>)
  target_compile_options(${name} PRIVATE ${LITE_PRODUCT_FLAGS})
  target_link_libraries(${name} PRIVATE lite_app lite_product)
  target_link_options(${name} PRIVATE -municode ${LITE_PRODUCT_LTO_FLAGS} -Os)
  # Stripped: size is what users download.
  target_link_options(${name} PRIVATE -s)
endfunction()

lite_add_installer(lite_installer ${PROJECT_SOURCE_DIR}/app/build_config_release.cc)
lite_add_installer(lite_installer_test ${PROJECT_SOURCE_DIR}/app/build_config_test.cc)

# Every user downloads the program before anything else happens: the build
# prints its size and fails when it grows past the limit.
# The limit is the shipped (i686) program's; an x86_64 test tree only
# reports its size.
# Largest lite_installer.exe allowed, in bytes. Not a cache entry, so that
# a tree configured before follows a change of the limit.
set(LITE_PROGRAM_SIZE_LIMIT 204800)
if(LITE_WIN_ARCH STREQUAL "i686")
  set(_lite_size_limit ${LITE_PROGRAM_SIZE_LIMIT})
else()
  set(_lite_size_limit 0)
endif()
add_custom_command(TARGET lite_installer POST_BUILD
  COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:lite_installer> -DLIMIT=${_lite_size_limit}
          -P ${PROJECT_SOURCE_DIR}/cmake/check_program_size.cmake
  VERBATIM)
