// Opens the project "Trip" of the working folder given as the first argument in the editor
// window, as a program would, and prints each message box it asked and whether the project
// loaded. Lets the tests open a project under a display setting of its own (no OpenGL, a
// scale factor) in a separate process.
#include "editorfixture.h"
#include "projectmanager.h"
#include "testenv.h"

#include <QApplication>
#include <QTest>
#include <cstdio>

int main(int argc, char **argv)
{
  TestEnv::runProgram(true, [&] {
    if (argc < 2)
      return 2;
    QApplication app(argc, argv);
    ProjectManager::setWorkingDirectory(QString::fromLocal8Bit(argv[1]));
    auto *window = new TestEditorWindow;
    window->resize(1200, 800);
    window->show();
    const bool settled = QTest::qWaitFor(
        [&] {
          return window->isLoadFailed() ||
                 (window->previewWidget() && !window->projectLoader() && !window->progressHUD());
        },
        30000);
    for (const auto &call : window->dialogs.calls)
      std::printf("box: %s / %s\n", qPrintable(call.title), qPrintable(call.text));
    std::printf("%s\n", !settled ? "unsettled" : window->isLoadFailed() ? "failed" : "loaded");
    std::fflush(stdout);
    window->runClosingStep();
    delete window;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
  });
}
