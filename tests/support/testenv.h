#pragma once
// Test start-up and end: every test runs against a fresh temporary home, so settings, caches
// and the Movies folder never touch the real user's, and ends as the program ends. Use
// TAVO_TEST_MAIN (widgets), TAVO_TEST_GUI_MAIN (QGuiApplication, GL) or TAVO_TEST_CORE_MAIN
// (no display), never Qt's QTEST_MAIN; a main of its own calls TestEnv::runProgram.

#include <QApplication>
#include <QGuiApplication>
#include <QCoreApplication>
#include <QString>
#include <QtTest>

namespace TestEnv {

// Points HOME, the XDG folders and TMPDIR into a new temporary directory, sets the
// organisation and application names, and (for GUI tests) the 3.2 core surface
// format with shared contexts. Call before the application object exists.
void isolateUserState(bool gui);

// Runs the test functions of testObject, then deletes what they left for deletion. Call with the
// application object made.
int execTests(QObject *testObject, int argc, char **argv);

// The temporary home of this run.
QString homePath();

// tests/data of the source tree.
QString dataPath(const QString &name = QString());

// Ends the test process as the program ends (see ProcessExit): the temporary home goes, then
// the process, without the libraries' exit handlers. Call once the application object is gone.
[[noreturn]] void endProcess(int code);

// A test program's main, from the set-up to the end: isolates the user state, runs the program
// (its application object and its tests, all gone when it returns) and ends the process with
// its result. Every test program's main is this one call (the build checks it); a main of its
// own passes its program as a lambda.
template <typename Program>
[[noreturn]] void runProgram(bool gui, Program program)
{
  isolateUserState(gui);
  endProcess(program());
}

// Where a test leaves a picture for a person to look at: shots/ beside the test program, so a
// run of another build beside this one never overwrites it.
QString shotPath(const QString &name);

} // namespace TestEnv

// Whatever a test left for deletion goes before the application object, which goes before the
// process ends.
#define TAVO_TEST_MAIN_IMPL(AppType, gui, TestObject) \
  int main(int argc, char **argv) \
  { \
    TestEnv::runProgram(gui, [&] { \
      AppType app(argc, argv); \
      app.setAttribute(Qt::AA_Use96Dpi, true); \
      TestObject tc; \
      QTEST_SET_MAIN_SOURCE_PATH \
      return TestEnv::execTests(&tc, argc, argv); \
    }); \
  }

#define TAVO_TEST_MAIN(TestObject) TAVO_TEST_MAIN_IMPL(QApplication, true, TestObject)
#define TAVO_TEST_GUI_MAIN(TestObject) TAVO_TEST_MAIN_IMPL(QGuiApplication, true, TestObject)
#define TAVO_TEST_CORE_MAIN(TestObject) TAVO_TEST_MAIN_IMPL(QCoreApplication, false, TestObject)
