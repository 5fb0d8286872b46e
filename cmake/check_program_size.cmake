# Script mode (cmake -P): prints the size of PROGRAM and fails when it
# exceeds LIMIT bytes. A failed check deletes the program, so that the next
# build checks again instead of finding it up to date.
#   cmake -DPROGRAM=... -DLIMIT=... -P check_program_size.cmake
# LIMIT 0 only reports the size (a test build of another architecture).
file(SIZE "${PROGRAM}" size)
get_filename_component(name "${PROGRAM}" NAME)
if(LIMIT EQUAL 0)
  message("${name} size: ${size} bytes (a test build; the limit applies to the i686 program)")
  return()
endif()
math(EXPR headroom "${LIMIT} - ${size}")
if(size GREATER LIMIT)
  file(REMOVE "${PROGRAM}")
  message(FATAL_ERROR "${name} release size: ${size} bytes, over the limit of ${LIMIT} bytes; the program was removed")
endif()
message("${name} release size: ${size} bytes (limit ${LIMIT}, ${headroom} to spare)")
