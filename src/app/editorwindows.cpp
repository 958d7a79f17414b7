#include "editorwindows.h"

#include "mainwindow.h"
#include "util.h"

namespace EditorWindows {

MainWindow *openWindow()
{
  QWidget *central = Util::findMainWindowCentralWidget();
  return central ? qobject_cast<MainWindow *>(central->window()) : nullptr;
}

bool isProjectOpen(const QString &name, const QString &folder)
{
  MainWindow *window = openWindow();
  return window && window->projectName() == name && window->browserFolder() == folder;
}

bool isFolderInUse(const QString &folder)
{
  MainWindow *window = openWindow();
  return window && !folder.isEmpty() && window->browserFolder() == folder;
}

} // namespace EditorWindows
