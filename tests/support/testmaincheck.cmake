# cmake -DCHECK=<checktestmain.cmake> -DWORK=<folder> -P testmaincheck.cmake
# The check of a test program's main against mains it must pass and mains it must refuse.
cmake_minimum_required(VERSION 3.20)
set(pass_macro "#include \"testenv.h\"\nclass TestThing;\nTAVO_TEST_GUI_MAIN(TestThing)\n")
set(pass_comment_names_qt "// in place of QTEST_MAIN\nTAVO_TEST_MAIN(TestThing)\n")
set(pass_own_main [=[
int main(int argc, char **argv)
{
  qputenv("LANG", "zh_CN.UTF-8");
  TestEnv::runProgram(true, [&] {
    if (argc < 2)
      return 2;
    QApplication app(argc, argv);
    return TestEnv::execTests(&test, argc, argv);
  });
}
]=])
set(fail_qtest_main "#include <QtTest>\nQTEST_MAIN(TestThing)\n")
set(fail_own_main_returns [=[
int main(int argc, char **argv)
{
  TestEnv::isolateUserState(true);
  QApplication app(argc, argv);
  return app.exec();
}
]=])
set(fail_returns_before_run [=[
int main(int argc, char **argv)
{
  if (argc < 2)
    return 2;
  TestEnv::runProgram(true, [&] { return 0; });
}
]=])
set(fail_no_main "class TestThing;\n")

file(REMOVE_RECURSE "${WORK}")
set(wrong "")
get_cmake_property(variables VARIABLES)
foreach(case IN LISTS variables)
  if(NOT case MATCHES "^(pass|fail)_")
    continue()
  endif()
  set(file "${WORK}/${case}.cpp")
  file(WRITE "${file}" "${${case}}")
  # A helper source without a main beside it changes nothing.
  file(WRITE "${WORK}/helper.h" "#pragma once\nint helper();\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -P ${CHECK} -- "${WORK}/helper.h" "${file}"
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  # A refusal names the file and what is wrong in it.
  set(reason "${case}.cpp:")
  if(case STREQUAL "fail_no_main")
    set(reason "no main of the tests in")
  endif()
  string(FIND "${output}" "${reason}" named)
  if(case MATCHES "^pass_" AND NOT result EQUAL 0)
    string(APPEND wrong "${case}: refused, expected to pass:\n${output}\n")
  elseif(case MATCHES "^fail_" AND result EQUAL 0)
    string(APPEND wrong "${case}: passed, expected to be refused\n")
  elseif(case MATCHES "^fail_" AND named LESS 0)
    string(APPEND wrong "${case}: refused without \"${reason}\":\n${output}\n")
  endif()
endforeach()
if(NOT wrong STREQUAL "")
  message(FATAL_ERROR "${wrong}")
endif()
