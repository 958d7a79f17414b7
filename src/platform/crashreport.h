#pragma once

#include <QString>

// The report a crashed process hands to its helper process. The crash handler cannot show a
// window from inside a signal handler, so it starts the executable again in the report mode
// with these fields in the environment; the helper shows them to the user.
class CrashReport
{
public:
  // Argument that starts the executable in the report mode.
  static const char modeArgument[];
  // Environment keys the crash handler fills.
  static const char fileKey[];
  static const char folderKey[];
  static const char codeKey[];
  static const char addressKey[];
  // Test-only: the window closes itself after this many milliseconds and says so on stderr.
  static const char closeAfterKey[];

  static bool isReportMode(int argc, char **argv);
  // A screen the user can see the window on (not the offscreen or minimal platform).
  static bool canShowWindow();
  static CrashReport fromEnvironment();

  static QString title();
  QString message() const;
  // Writes the report to stderr (the only trace without a display).
  void print() const;
  // Shows the critical message box until the user closes it. Needs a QApplication.
  int exec() const;

  QString fileName;
  QString folder;
  quint64 code = 0;
  quint64 address = 0;
};
