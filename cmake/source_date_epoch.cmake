# Script mode (cmake -P), run on every build: writes the build's source date,
# in seconds since 1970, to OUTPUT, and rewrites the file only when the date
# changes, so that what depends on it is rebuilt only then. The date is
# SOURCE_DATE_EPOCH from the environment when set, else the time of the last
# commit of SOURCE_DIR, else 1980-01-01 (the earliest date a cabinet holds).
#   cmake -DSOURCE_DIR=... -DOUTPUT=... -P source_date_epoch.cmake
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(NOT epoch MATCHES "^[0-9]+$")
  execute_process(COMMAND git -C "${SOURCE_DIR}" log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE git_result ERROR_QUIET)
  if(NOT git_result EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
    set(epoch 315532800)
  endif()
endif()
set(old "")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL "${epoch}\n")
  file(WRITE "${OUTPUT}" "${epoch}\n")
endif()
