# The trust tests' packages, made by make_trust_fixtures.sh into the build
# tree and remade only when the script or one of its inputs changes.
set(LITE_TRUST_FIXTURE_DIR "${PROJECT_BINARY_DIR}/trust_fixtures")
file(GLOB _lite_demo_private_keys "${PROJECT_SOURCE_DIR}/tests/fixtures/demo_keys/*.pem")
file(GLOB _lite_signing_scripts "${PROJECT_SOURCE_DIR}/tools/signing/*.sh")
add_custom_command(
  OUTPUT "${LITE_TRUST_FIXTURE_DIR}/stamp"
  COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/make_trust_fixtures.sh" "${LITE_TRUST_FIXTURE_DIR}"
          "${PROJECT_SOURCE_DIR}" "${CMAKE_C_COMPILER}" "${CMAKE_RC_COMPILER}"
  DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/make_trust_fixtures.sh"
          "${CMAKE_CURRENT_SOURCE_DIR}/fixture_program.c"
          "${CMAKE_CURRENT_SOURCE_DIR}/fixture_library.c"
          ${_lite_demo_private_keys} ${_lite_signing_scripts}
  COMMENT "Signing the trust test packages"
  VERBATIM)
add_custom_target(trust_fixtures ALL DEPENDS "${LITE_TRUST_FIXTURE_DIR}/stamp")

# Under Wine the build tree is reached through drive Z:.
string(REPLACE "/" "\\\\" _lite_fixture_windows_dir "Z:${LITE_TRUST_FIXTURE_DIR}/")

target_sources(win_tests PRIVATE
  module_check_wintest.cc
  signature_verifier_wintest.cc
  test_root_store_win.cc
  trust_module_wintest.cc
)
target_compile_definitions(win_tests PRIVATE "LITE_TRUST_FIXTURE_DIR=L\"${_lite_fixture_windows_dir}\"")
add_dependencies(win_tests trust_fixtures)
# The test root store helpers call crypt32 directly; the product loads it at
# run time.
target_link_libraries(win_tests PRIVATE crypt32)

add_executable(install_test_root install_test_root.cc test_root_store_win.cc)
target_link_libraries(install_test_root PRIVATE lite_product crypt32)
target_link_options(install_test_root PRIVATE -municode)
add_dependencies(install_test_root trust_fixtures)

# The installer programs import only DLLs a planted copy cannot replace.
find_program(LITE_OBJDUMP NAMES ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-objdump REQUIRED)
add_test(NAME installer_imports
         COMMAND python3 ${CMAKE_CURRENT_SOURCE_DIR}/check_imports.py ${LITE_OBJDUMP}
                 $<TARGET_FILE:lite_installer> $<TARGET_FILE:lite_installer_test>)

# Another process of the user trying to change a file the installer holds.
add_executable(swap_file swap_file.c)
target_link_options(swap_file PRIVATE -municode)
# A program that loads DLLs by bare name: the planting tests' control.
add_executable(load_by_name load_by_name.c)
target_link_options(load_by_name PRIVATE -municode)
