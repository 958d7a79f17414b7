#pragma once

#include <QString>

class QWidget;

namespace WarningBox {

// The program's dark message box with the warning icon and an OK button, run through the
// dialog seam so that tests answer it.
void show(QWidget *parent, const QString &title, const QString &text);

} // namespace WarningBox
