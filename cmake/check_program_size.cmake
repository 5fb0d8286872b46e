# Script mode (cmake -P): prints the size of PROGRAM and fails when it
# exceeds LIMIT bytes. A failed check deletes the program, so that the next
# build checks again instead of finding it up to date.
#   cmake -DPROGRAM=... -DLIMIT=... -P check_program_size.cmake
file(SIZE "${PROGRAM}" size)
get_filename_component(name "${PROGRAM}" NAME)
math(EXPR headroom "${LIMIT} - ${size}")
if(size GREATER LIMIT)
  file(REMOVE "${PROGRAM}")
  message(FATAL_ERROR "${name} release size: ${size} bytes, over the limit of ${LIMIT} bytes; the program was removed")
endif()
message("${name} release size: ${size} bytes (limit ${LIMIT}, ${headroom} to spare)")
