#include "warningbox.h"

#include "dialogprovider.h"
#include "util.h"

#include <QMessageBox>

namespace WarningBox {

void show(QWidget *parent, const QString &title, const QString &text)
{
  QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent,
                  Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  Util::applyDialogStyleSheet(&box);
  DialogProvider::instance()->execMessageBox(&box);
}

} // namespace WarningBox
