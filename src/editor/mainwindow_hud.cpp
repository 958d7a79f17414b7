// The window's one waiting or progress display, help, about and the range-selection bar.

#include "mainwindow.h"

#include "endpoints.h"
#include "progresshud.h"
#include "util.h"

void MainWindow::showProgressHUD(const QString &text, float progress)
{
  if (!_progressHUD) {
    _progressHUD = new ProgressHUD(this, ProgressHUDStyleProgress);
    _progressHUD->setGeometry(0, 0, width(), height());
    _progressHUD->show();
  }
  _progressHUD->setText(text);
  _progressHUD->setProgress(progress);
}

void MainWindow::showWaitingHUD(const QString &text)
{
  if (!_progressHUD) {
    _progressHUD = new ProgressHUD(this, ProgressHUDStyleSpinner);
    _progressHUD->setGeometry(0, 0, width(), height());
    _progressHUD->show();
  }
  _progressHUD->setText(text);
}

void MainWindow::hideWaitingHUD()
{
  if (!_progressHUD)
    return;
  ProgressHUD *hud = _progressHUD;
  _progressHUD = nullptr;
  hud->hide();
  hud->close();
  delete hud;
}

void MainWindow::showUserHelp()
{
  Util::openUserHelp(Util::userHelpUrl(QString()), tr("Help Center"));
}

void MainWindow::getMobileApp()
{
  Util::openUrl(Endpoints::productSite() + QStringLiteral("/mobile"));
}

void MainWindow::showAbout()
{
  Util::showAbout(this);
}
