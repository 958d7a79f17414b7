#pragma once

#include <QIcon>
#include <QString>

// The icon of a picture file, read once per process: tool strips and track buttons are built
// anew on every selection and undo step. GUI thread only.
QIcon cachedIcon(const QString &path);
