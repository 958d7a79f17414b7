#include "commonmainwindow.h"

#include "navigationbar.h"

CommonMainWindow::CommonMainWindow(QWidget *parent) : QMainWindow(parent) {}

void CommonMainWindow::onNavigationButtonClicked(int cmdId)
{
  switch (cmdId) {
  case 1:
    navigationCommand1();
    break;
  case 2:
    navigationDone();
    break;
  case 3:
    navigationCommand3();
    break;
  default:
    navigationCommand(cmdId);
    break;
  }
}

void CommonMainWindow::showDoneNavigationButton()
{
  if (!_navigationBar)
    return;
  _navigationBar->removeAllButtons();
  _navigationBar->addButton(2, tr("Done"));
}
