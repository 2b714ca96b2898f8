cmake_policy(VERSION 3.20)
# Builds the release ZIP with CPack into WORK_FOLDER and unpacks it into
# the empty folder WORK_FOLDER/unpacked, then checks what it holds.
# Arguments: CPACK_COMMAND, CPACK_CONFIG, WORK_FOLDER.
file(REMOVE_RECURSE ${WORK_FOLDER})
file(MAKE_DIRECTORY ${WORK_FOLDER}/unpacked)

execute_process(COMMAND ${CPACK_COMMAND} --config ${CPACK_CONFIG} -B ${WORK_FOLDER}
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${output}")
endif()
file(GLOB zips ${WORK_FOLDER}/*.zip)
list(LENGTH zips count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one ZIP in ${WORK_FOLDER}, found: ${zips}")
endif()

file(ARCHIVE_EXTRACT INPUT ${zips} DESTINATION ${WORK_FOLDER}/unpacked)
file(GLOB_RECURSE unpacked RELATIVE ${WORK_FOLDER}/unpacked ${WORK_FOLDER}/unpacked/*)
list(SORT unpacked)
message(STATUS "${zips} holds: ${unpacked}")
foreach(expected LICENSE README.md tavilo.exe)
  if(NOT expected IN_LIST unpacked)
    message(FATAL_ERROR "${expected} is missing from ${zips}")
  endif()
endforeach()
