#include "projectspageplaceholder.h"

#include "dialogprovider.h"
#include "util.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

ProjectsPagePlaceholder::ProjectsPagePlaceholder(QWidget *parent) : QWidget(parent)
{
  setObjectName("ProjectsWidget");
}

void ProjectsPagePlaceholder::importProjectArchivePrompt(const QString &path)
{
  QMessageBox box(window());
  Util::applyDialogStyleSheet(&box);
  box.setIcon(QMessageBox::Question);
  box.setWindowTitle(tr("Import Project"));
  box.setText(tr("Do you want to import project \"%1\" into Tavo REN?").arg(QFileInfo(path).fileName()));
  box.addButton(tr("Cancel"), QMessageBox::RejectRole);
  box.addButton(tr("Import"), QMessageBox::AcceptRole);
  DialogProvider::instance()->execMessageBox(&box);
}
