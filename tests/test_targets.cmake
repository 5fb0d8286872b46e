# Test programs. Each subsystem's tests/<name>/CMakeLists.txt adds its files:
#   *_test.cc     pure units, natively (unit_tests), under ASan and UBSan;
#   *_wintest.cc  the Win32 layer, for real under Wine (win_tests.exe).
if(WIN32)
  add_executable(win_tests)
  target_sources(win_tests PRIVATE ${PROJECT_SOURCE_DIR}/app/build_config_release.cc
                 ${PROJECT_SOURCE_DIR}/tests/support/command_line_to_argv.cc
                 $<TARGET_OBJECTS:lite_resources>)
  target_link_libraries(win_tests PRIVATE lite_product gtest_main)
  target_include_directories(win_tests PRIVATE ${PROJECT_SOURCE_DIR})
  # The test code itself is not optimised: it compiles in two thirds of the
  # time, and the product code it links keeps its own flags.
  target_compile_options(win_tests PRIVATE -O0)
else()
  add_executable(unit_tests)
  target_sources(unit_tests PRIVATE
    ${PROJECT_SOURCE_DIR}/app/build_config_release.cc
    ${PROJECT_SOURCE_DIR}/tests/support/captured_log.cc
    ${PROJECT_SOURCE_DIR}/tests/support/command_line_to_argv.cc)
  target_link_libraries(unit_tests PRIVATE lite_product GTest::gtest GTest::gtest_main)
  target_include_directories(unit_tests PRIVATE ${PROJECT_SOURCE_DIR})
endif()

if(WIN32)
  add_executable(log_peer ${PROJECT_SOURCE_DIR}/tests/support/log_peer.cc)
  target_link_libraries(log_peer PRIVATE lite_product)
  target_link_options(log_peer PRIVATE -municode)
  add_dependencies(win_tests log_peer)
endif()

if(WIN32)
  # Replaces "BIN" resources in copies of the installer for the brand tests.
  add_executable(bin_resource_editor ${PROJECT_SOURCE_DIR}/tests/support/bin_resource_editor.cc)
  target_link_libraries(bin_resource_editor PRIVATE lite_product)
  target_link_options(bin_resource_editor PRIVATE -municode)
endif()
