#pragma once

#include <QString>

class MainWindow;

// The editor window the shell opened, found among the top-level windows; one project is
// open at a time.
namespace EditorWindows {

// The open editor window, or null.
MainWindow *openWindow();
// Whether the project of that name in that browser folder ("" the root) is open.
bool isProjectOpen(const QString &name, const QString &folder);
// Whether the open project lies in that browser folder (not the root).
bool isFolderInUse(const QString &folder);

} // namespace EditorWindows
