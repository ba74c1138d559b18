# Read by cpack: every time in the package is the last commit's, unless SOURCE_DATE_EPOCH
# is already set. Outside a git clone the times stay cpack's own.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  find_program(CIARLA_GIT git)
  if(CIARLA_GIT)
    # The clone may belong to someone else, as when root packs a user's build.
    execute_process(COMMAND ${CIARLA_GIT} -c safe.directory=${CPACK_CIARLA_SOURCE_DIR}
                            -C ${CPACK_CIARLA_SOURCE_DIR} log -1 --format=%ct
                    OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE status ERROR_QUIET)
    if(status EQUAL 0 AND commit_time MATCHES "^[0-9]+$")
      set(ENV{SOURCE_DATE_EPOCH} ${commit_time})
    endif()
  endif()
endif()
