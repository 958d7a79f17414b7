#include "crashreport.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <cstring>

const char CrashReport::modeArgument[] = "--crash-report";
const char CrashReport::fileKey[] = "TAVO_CRASH_FILE";
const char CrashReport::folderKey[] = "TAVO_CRASH_FOLDER";
const char CrashReport::codeKey[] = "TAVO_CRASH_CODE";
const char CrashReport::addressKey[] = "TAVO_CRASH_ADDRESS";
const char CrashReport::closeAfterKey[] = "TAVO_TEST_CRASH_REPORT_CLOSE_MS";

bool CrashReport::isReportMode(int argc, char **argv)
{
  return argc >= 2 && std::strcmp(argv[1], modeArgument) == 0;
}

bool CrashReport::canShowWindow()
{
  // An invisible box would wait for ever, and the crashed process with it.
  const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
  if (platform.startsWith("offscreen") || platform.startsWith("minimal"))
    return false;
  if (platform.isEmpty() || platform.startsWith("xcb") || platform.startsWith("wayland"))
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
  return true;
}

CrashReport CrashReport::fromEnvironment()
{
  CrashReport report;
  report.fileName = qEnvironmentVariable(fileKey);
  report.folder = qEnvironmentVariable(folderKey);
  report.code = qEnvironmentVariable(codeKey).toULongLong(nullptr, 16);
  report.address = qEnvironmentVariable(addressKey).toULongLong(nullptr, 16);
  return report;
}

QString CrashReport::title()
{
  return QCoreApplication::translate("Application", "Crash Occurs");
}

QString CrashReport::message() const
{
  const auto translated = [](const char *text) { return QCoreApplication::translate("Application", text); };
  return translated(QT_TRANSLATE_NOOP("Application", "App crash catched!")) + "\n\n"
      + QString("%1: 0x%2").arg(translated(QT_TRANSLATE_NOOP("Application", "Error code"))).arg(code, 0, 16) + "\n"
      + QString("%1: 0x%2").arg(translated(QT_TRANSLATE_NOOP("Application", "Error address"))).arg(address, 0, 16) + "\n\n"
      + translated(QT_TRANSLATE_NOOP("Application", "Crash report '%1' has been saved to %2")).arg(fileName, folder);
}

void CrashReport::print() const
{
  std::fprintf(stderr, "%s\n%s\n", qUtf8Printable(title()), qUtf8Printable(message()));
  std::fflush(stderr);
}

int CrashReport::exec() const
{
  QMessageBox box(QMessageBox::Critical, title(), message(), QMessageBox::Ok);
  const int closeAfter = qEnvironmentVariableIntValue(closeAfterKey);
  if (closeAfter > 0) {
    QTimer::singleShot(closeAfter, &box, [&box] {
      std::fprintf(stderr, "Crash report window %s: %s\n", box.isVisible() ? "shown" : "hidden",
                   qUtf8Printable(box.windowTitle()));
      std::fflush(stderr);
      box.accept();
    });
  }
  box.exec();
  return 0;
}
