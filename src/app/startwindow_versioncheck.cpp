// The once-per-run check for a newer version of the program.
#include "startwindow.h"

#include "dialogprovider.h"
#include "endpoints.h"
#include "newversiondialog.h"
#include "util.h"

#include <QApplication>
#include <QDebug>
#include <QMetaEnum>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

void StartWindow::checkForNewVersion()
{
  if (!isActiveWindow() || _checkState != 0 || !_latestVersion.isEmpty())
    return;
  if (!_network) {
    _network = new QNetworkAccessManager(this);
    connect(_network, &QNetworkAccessManager::finished, this, &StartWindow::onNetworkCompleted);
  }
  _network->get(QNetworkRequest(QUrl(Util::updateCheckUrl(Endpoints::updateCheckBase()))));
  _checkState = 1;
}

void StartWindow::onNetworkCompleted(QNetworkReply *reply)
{
  reply->deleteLater();
  // Whatever the outcome, no further request during this run.
  if (_checkState == 1)
    _latestVersion = Util::appVersionString();
  if (reply->error() != QNetworkReply::NoError) {
    qDebug().noquote() << "Network error " << QMetaEnum::fromType<QNetworkReply::NetworkError>().valueToKey(reply->error());
    return;
  }
  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (status < 200 || status > 299) {
    _checkState = 0;
    return;
  }
  const QStringList parts = QString::fromUtf8(reply->readAll()).split("##", Qt::KeepEmptyParts);
  if (parts.size() == 2) {
    _latestVersion = parts.at(0);
    qDebug() << "Check new version:" << _latestVersion;
    // Plain text comparison, as the version service expects.
    if (isActiveWindow() && Util::appVersionString() < _latestVersion) {
      NewVersionDialog dialog(_latestVersion, parts.at(1), this);
      dialog.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
      DialogProvider::instance()->execDialog(&dialog);
    }
  }
  _checkState = 0;
}
