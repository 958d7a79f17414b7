# tavo_add_test(<name> SOURCES <files...> [LIBS <targets...>] [TIMEOUT <s>] [LABELS <labels...>])
# One Qt Test executable per area, registered with CTest. Tests run inside the
# Xvfb of ./dev test; each one isolates user state through tests/support.
function(tavo_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE tavo_testsupport Qt5::Test ${T_LIBS})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "TAVO_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data")
  if(T_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
