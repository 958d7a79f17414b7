# Configuring the build again must leave the program as it was built. A configure step that
# rewrote a generated input of the program relinked it on every build, and while it is being
# relinked the program cannot be started: the tests that run it failed whenever another build
# ran beside them. Nor may it leave any other step of the build due: a second build does no
# work. Run as: cmake -DBUILD_DIR=.. -DSOURCE_DIR=.. -DMAKE_PROGRAM=.. -P rebuild.cmake
cmake_minimum_required(VERSION 3.25)
set(past 946684800)

function(ninja_lines out)
  execute_process(COMMAND ${MAKE_PROGRAM} -C ${BUILD_DIR} ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "ninja ${ARGN} failed")
  endif()
  string(REPLACE "\n" ";" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# The program's inputs in the build folder that no build step makes: configure writes them.
ninja_lines(inputs -t inputs tavoren)
ninja_lines(targets -t targets all)
set(made)
foreach(line IN LISTS targets)
  if(line MATCHES "^(.*): (.*)$" AND NOT CMAKE_MATCH_2 STREQUAL "phony")
    list(APPEND made "${CMAKE_MATCH_1}")
  endif()
endforeach()
set(written)
foreach(input IN LISTS inputs)
  string(REGEX REPLACE "^${BUILD_DIR}/" "" input "${input}")
  if(NOT IS_ABSOLUTE "${input}" AND NOT input IN_LIST made AND EXISTS "${BUILD_DIR}/${input}"
     AND NOT IS_DIRECTORY "${BUILD_DIR}/${input}")
    list(APPEND written "${BUILD_DIR}/${input}")
  endif()
endforeach()
if(NOT written)
  message(FATAL_ERROR "no configure-written input of the program found")
endif()

execute_process(COMMAND touch -d @${past} ${written} RESULT_VARIABLE result)
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BUILD_DIR} OUTPUT_QUIET ERROR_VARIABLE errors
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "configure failed: ${errors}")
endif()
set(rewritten)
foreach(file IN LISTS written)
  file(TIMESTAMP "${file}" stamp "%s" UTC)
  if(NOT stamp STREQUAL past)
    list(APPEND rewritten "${file}")
  endif()
endforeach()
if(rewritten)
  message(FATAL_ERROR "configuring again rewrote inputs of the program, which relinks it: ${rewritten}")
endif()
message(STATUS "configuring again left these inputs of the program alone: ${written}")

# Nor may it leave any other step to do: a second build right after a first does no work.
# Through a manifest that only includes the build's own, so that a dry run does not stop at
# regenerating that one (its glob check always counts as due).
set(manifest ${BUILD_DIR}/CMakeFiles/tavo_rebuild_check.ninja)
file(WRITE ${manifest} "include build.ninja\n")
ninja_lines(steps -f ${manifest} -n)
if(NOT "ninja: no work to do." IN_LIST steps)
  list(JOIN steps "\n" steps)
  message(FATAL_ERROR "a build after configuring again still has work to do:\n${steps}")
endif()
