# The installer program in two variants that differ only in where the
# endpoint hosts come from:
#   lite_installer.exe       the shipped program; hosts fixed at build time.
#   lite_installer_test.exe  for tests and the demo; each host may be replaced
#                            through a LITE_TEST_* environment variable.
function(lite_add_installer name config_source)
  add_executable(${name} WIN32 ${PROJECT_SOURCE_DIR}/installer/main.cc ${config_source}
                 ${PROJECT_SOURCE_DIR}/installer/runtime_slim.cc $<TARGET_OBJECTS:lite_resources>)
  target_compile_options(${name} PRIVATE ${LITE_PRODUCT_FLAGS})
  target_link_libraries(${name} PRIVATE lite_win lite_core)
  target_link_options(${name} PRIVATE -municode)
  # Stripped: size is what users download.
  target_link_options(${name} PRIVATE -s)
endfunction()

lite_add_installer(lite_installer ${PROJECT_SOURCE_DIR}/installer/build_config_release.cc)
lite_add_installer(lite_installer_test ${PROJECT_SOURCE_DIR}/installer/build_config_test.cc)

add_custom_command(TARGET lite_installer POST_BUILD
  COMMAND stat -c "lite_installer.exe release size: %s bytes" $<TARGET_FILE:lite_installer>
  VERBATIM)
