# tavo_add_test(<name> SOURCES <files...> [LIBS <targets...>] [TIMEOUT <s>] [LABELS <labels...>])
# One Qt Test executable per area, registered with CTest. Tests run inside the
# Xvfb of ./dev test; each one isolates user state through tests/support.
# Instrumented builds run several times slower: every test's time limit is multiplied by this.
set(TAVO_TEST_TIMEOUT_SCALE 1 CACHE STRING "Factor on the time limit of every test")
# Each test on an X display of its own: tests running beside it cannot move its pointer,
# take its focus or cover its windows.
set(TAVO_OWN_DISPLAY "${CMAKE_CURRENT_LIST_DIR}/../tests/support/owndisplay.sh")

# At the end of a folder of tests: the time limits of all its tests, tavo_add_test's or not, scaled.
function(_tavo_scale_timeouts)
  get_directory_property(tests TESTS)
  foreach(test IN LISTS tests)
    get_test_property(${test} TIMEOUT limit)
    if(limit)
      math(EXPR limit "${limit} * ${TAVO_TEST_TIMEOUT_SCALE}")
      set_tests_properties(${test} PROPERTIES TIMEOUT ${limit})
    endif()
  endforeach()
endfunction()

set(TAVO_CHECK_TEST_MAIN "${CMAKE_CURRENT_LIST_DIR}/checktestmain.cmake")

# tavo_add_test_program(<name> <sources...>)
# An executable of the tests: a test, or a program a test starts. Its link fails unless its main
# is the tests' own (see checktestmain.cmake), so no test program writes into the real home or
# ends through the libraries' exit handlers.
function(tavo_add_test_program name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE tavo_testsupport)
  set(sources "")
  foreach(source IN LISTS ARGN)
    get_filename_component(path "${source}" ABSOLUTE)
    string(FIND "${path}" "${CMAKE_BINARY_DIR}/" generated)
    if(NOT generated EQUAL 0)
      list(APPEND sources "${path}")
    endif()
  endforeach()
  add_custom_command(TARGET ${name} PRE_LINK
    COMMAND ${CMAKE_COMMAND} -P ${TAVO_CHECK_TEST_MAIN} -- ${sources} VERBATIM)
endfunction()

function(tavo_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  tavo_add_test_program(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE Qt5::Test ${T_LIBS})
  add_test(NAME ${name} COMMAND ${TAVO_OWN_DISPLAY} $<TARGET_FILE:${name}>)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set(environment "TAVO_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data")
  # QtTest stops any one function after 300 s: a test given longer gives its functions that
  # time too, less a minute, so that QtTest names the function before CTest kills the test.
  if(T_TIMEOUT GREATER 360)
    math(EXPR function_ms "(${T_TIMEOUT} - 60) * 1000")
    list(APPEND environment "QTEST_FUNCTION_TIMEOUT=${function_ms}")
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT} ENVIRONMENT "${environment}")
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
  get_directory_property(scaled _TAVO_TIMEOUTS_SCALED)
  if(NOT TAVO_TEST_TIMEOUT_SCALE EQUAL 1 AND NOT scaled)
    set_directory_properties(PROPERTIES _TAVO_TIMEOUTS_SCALED ON)
    cmake_language(DEFER CALL _tavo_scale_timeouts)
  endif()
endfunction()
