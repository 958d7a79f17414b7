// The editor used as a person would for a moment, then closed, and the process ended as the
// program ends it: the timeline plays its music, Local Files previews a sound, the shutter
// sounds. Prints what it used; prints "exit handlers ran" if the libraries' teardown ran after
// all. Arguments: the working folder holding "Trip", the sound to preview.
#include "editorfixture.h"
#include "mediaitemtype.h"
#include "mediapreviewwidget.h"
#include "projectmanager.h"
#include "testenv.h"

#include <QApplication>
#include <QSound>
#include <QTest>
#include <cstdio>
#include <cstdlib>

namespace {

void say(const char *text)
{
  std::printf("%s\n", text);
  std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
  TestEnv::runProgram(true, [&] {
    if (argc < 3)
      return 2;
    std::atexit([] { say("exit handlers ran"); });
    {
      QApplication app(argc, argv);
      ProjectManager::setWorkingDirectory(QString::fromLocal8Bit(argv[1]));
      auto *window = new TestEditorWindow;
      if (window->showUntilReady(1)) {
        window->togglePlayPause();
        if (QTest::qWaitFor([&] { return window->_playheadTime() > 0.5; }, 30000))
          say("timeline played");
        window->togglePlayPause();

        window->mediaExplorer_onMediaItemClicked(QStringLiteral("tone"), MediaItemTypeAudio,
                                                 QString::fromLocal8Bit(argv[2]), QPixmap(), QString());
        auto *preview = window->findChild<MediaPreviewWidget *>();
        if (preview && QTest::qWaitFor([&] { return !preview->isBusy(); }, 30000))
          say("sound previewed");

        QSound shutter(QStringLiteral(":/assets/shutter.wav"));
        shutter.play();
        if (QTest::qWaitFor([&] { return shutter.isFinished(); }, 30000))
          say("shutter sounded");
      }
      window->runClosingStep();
      delete window;
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    say("closed");
    return 0;
  });
}
