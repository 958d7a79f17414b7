#include "aboutdialog.h"
#include "application.h"
#include "avffmpeglog.h"
#include "nativewebbrowserwidget.h"
#include "crashhandler.h"
#include "crashreport.h"
#include "multilanguage.h"
#include "processexit.h"
#include "startwindow.h"
#include "systemfont.h"
#include "util.h"

#include <QDebug>
#include <QFont>
#include <QLocale>
#include <QScreen>
#include <QSurfaceFormat>
#include <memory>

namespace {
// The helper process of a crash: shows what the crashed process left in the environment.
// Everything it made is gone when this returns; it ends as the program does.
int runCrashReport(int argc, char **argv)
{
  const CrashReport report = CrashReport::fromEnvironment();
  const bool window = CrashReport::canShowWindow();
  const std::unique_ptr<QCoreApplication> app(window ? new QApplication(argc, argv)
                                                     : new QCoreApplication(argc, argv));
  MultiLanguage language;
  language.load(Util::systemUiLanguage());
  report.print();
  return window ? report.exec() : 0;
}

// The program from its settings to the end of its event loop; everything it made is gone when
// this returns.
int run(int argc, char **argv)
{
  avInstallFFmpegLog();
  QCoreApplication::setOrganizationName("Tarnholm");
  QCoreApplication::setOrganizationDomain("tarnholm.com");
  QCoreApplication::setApplicationName("Tavo REN");

  QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
  QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
  qputenv("QT_ENABLE_HIGHDPI_SCALING", "1");
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);

  QSurfaceFormat format;
  format.setVersion(3, 2);
  format.setProfile(QSurfaceFormat::CoreProfile);
  QSurfaceFormat::setDefaultFormat(format);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

  Application app(argc, argv);
  if (app.isRunning())
    return 0;

  CrashHandler::install(QCoreApplication::applicationDirPath() + "/DumpCrashes/",
                        QCoreApplication::applicationFilePath());
  const QString testCrash = qEnvironmentVariable("TAVO_TEST_CRASH");
  if (!testCrash.isEmpty())
    CrashHandler::crashForTesting(testCrash);

  MultiLanguage language;
  language.load(Util::systemUiLanguage());

  const QString fontFamily = SystemFont::messageFontFamily();
  qDebug() << "Windows system font = " << fontFamily;
  QFont font;
  font.setFamily(fontFamily);
  QApplication::setFont(font);

  Util::setAboutHandler([](QWidget *parent) { AboutDialog::showModal(parent); });
  Util::setUserHelpHandler([](const QString &address, const QString &title) {
    NativeWebBrowserWidget::openHelpWindow(address, title);
  });

  StartWindow window;
  window.setGeometry(Application::startWindowGeometry(QGuiApplication::primaryScreen()->availableGeometry()));
  QObject::connect(&app, &Application::openExternalFile, &window, &StartWindow::openFileFromExternal,
                   Qt::QueuedConnection);
  app.setMainWindow(&window);
  const QStringList args = app.arguments();
  if (args.size() >= 2)
    emit app.openExternalFile(args.at(1));

  window.show();
  return app.exec();
}

} // namespace

int main(int argc, char **argv)
{
  if (CrashReport::isReportMode(argc, argv))
    ProcessExit::end(runCrashReport(argc, argv));
  ProcessExit::end(run(argc, argv));
}
