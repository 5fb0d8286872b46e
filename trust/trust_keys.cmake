# The ten built-in public keys are build configuration. The key file holds one
# key per line for key_id 0 to 9 in order (Base64 of a DER SubjectPublicKeyInfo);
# lines starting with "#" and blank lines are ignored.
set(LITE_TRUST_DEMO_KEY_FILE "${PROJECT_SOURCE_DIR}/trust/keys/demo_public_keys.txt")
set(LITE_TRUST_KEY_FILE "${LITE_TRUST_DEMO_KEY_FILE}" CACHE FILEPATH
    "File with the ten built-in public keys that sign trusted descriptions")
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${LITE_TRUST_KEY_FILE}")

file(STRINGS "${LITE_TRUST_KEY_FILE}" _lite_key_lines)
set(_lite_key_entries "")
set(_lite_key_id 0)
foreach(_line IN LISTS _lite_key_lines)
  string(STRIP "${_line}" _line)
  if(_line STREQUAL "" OR _line MATCHES "^#")
    continue()
  endif()
  if(NOT _line MATCHES "^[A-Za-z0-9+/]+=*$")
    message(FATAL_ERROR "${LITE_TRUST_KEY_FILE}: key ${_lite_key_id} is not Base64 text")
  endif()
  string(APPEND _lite_key_entries "{${_lite_key_id}, \"${_line}\"}, ")
  math(EXPR _lite_key_id "${_lite_key_id} + 1")
endforeach()
if(NOT _lite_key_id EQUAL 10)
  message(FATAL_ERROR "${LITE_TRUST_KEY_FILE}: expected 10 keys (key_id 0 to 9), found ${_lite_key_id}")
endif()

get_filename_component(_lite_key_file_real "${LITE_TRUST_KEY_FILE}" REALPATH)
get_filename_component(_lite_demo_file_real "${LITE_TRUST_DEMO_KEY_FILE}" REALPATH)
if(_lite_key_file_real STREQUAL _lite_demo_file_real)
  set(_lite_demo_keys 1)
  message(WARNING "This build embeds the DEMO trust keys, whose private halves are published "
                  "in tests/fixtures/demo_keys. Such an installer trusts packages anyone can sign. "
                  "Do not ship it: configure with -DLITE_TRUST_KEY_FILE=<your key file>.")
else()
  set(_lite_demo_keys 0)
endif()

file(CONFIGURE OUTPUT "${PROJECT_BINARY_DIR}/generated/trust_keys_values.h" CONTENT
"// Generated from ${LITE_TRUST_KEY_FILE}; do not edit.
#define LITE_TRUST_KEY_ENTRIES ${_lite_key_entries}
#define LITE_TRUST_DEMO_KEYS ${_lite_demo_keys}
")
