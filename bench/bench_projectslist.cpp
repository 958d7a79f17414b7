// The projects list on a generated projects folder of 500 projects, each with a 640 x 480
// "shot.jpg": the reload (scan and tiles), the time to the first painted screen (thumbnails
// of the tiles in view loaded and scaled), and a full scroll of the grid, where each tile
// loads its thumbnail when first painted.
#include "projectmanager.h"
#include "projectslistwidget.h"
#include "testenv.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

namespace {

constexpr int kProjects = 500;

bool makeProjects(const QString &projects)
{
  QImage shot(640, 480, QImage::Format_RGB32);
  for (int i = 0; i < kProjects; ++i) {
    const QString dir = projects + QString("/Project %1").arg(i, 3, 10, QChar('0'));
    if (!QDir().mkpath(dir))
      return false;
    QFile project(dir + "/project.xml");
    if (!project.open(QIODevice::WriteOnly))
      return false;
    project.write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Project/>");
    shot.fill(QColor::fromHsv(i * 7 % 360, 200, 200));
    if (!shot.save(dir + "/shot.jpg", "JPG", 85))
      return false;
  }
  return true;
}

} // namespace

int main(int argc, char **argv)
{
  TestEnv::isolateUserState(true);
  QApplication app(argc, argv);
  QTemporaryDir root;
  ProjectManager::setWorkingDirectory(root.path());
  if (!makeProjects(ProjectManager::projectsDirectory())) {
    std::fprintf(stderr, "cannot write the projects\n");
    return 1;
  }

  ProjectsListWidget list;
  list.resize(1000, 700);
  QElapsedTimer clock;
  clock.start();
  list.show();
  const qint64 reload = clock.elapsed();
  if (!QTest::qWaitForWindowExposed(&list)) {
    std::fprintf(stderr, "the projects list was never shown\n");
    return 1;
  }
  // The grid is laid out lazily; the first screen needs it.
  list.doItemsLayout();
  list.viewport()->repaint();
  const qint64 firstPaint = clock.elapsed();

  clock.restart();
  QScrollBar *bar = list.verticalScrollBar();
  int screens = 0;
  while (bar->value() < bar->maximum()) {
    bar->setValue(bar->value() + list.viewport()->height());
    list.viewport()->repaint();
    ++screens;
  }
  const qint64 scroll = clock.elapsed();

  clock.restart();
  list.reloadKeepingCurrent();
  const qint64 secondReload = clock.elapsed();

  std::printf("projects list, %d projects with 640 x 480 shots\n", kProjects);
  std::printf("  reload (scan and tiles):        %lld ms\n", static_cast<long long>(reload));
  std::printf("  first painted screen:           %lld ms\n", static_cast<long long>(firstPaint));
  std::printf("  full scroll (%d screens):       %lld ms\n", screens, static_cast<long long>(scroll));
  std::printf("  reload keeping the current one: %lld ms\n", static_cast<long long>(secondReload));
  return 0;
}
