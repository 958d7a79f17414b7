#include "mediaexplorer_standin.h"

#include <QMetaObject>

MediaExplorer::MediaExplorer(const QString &projectDirectory, QWidget *parent)
    : QWidget(parent), _projectDirectory(projectDirectory)
{
  setObjectName(QStringLiteral("mediaExplorer"));
  setAttribute(Qt::WA_StyledBackground);
  setStyleSheet(QStringLiteral("background-color: rgb(28,29,32);"));
  hide();
}

void MediaExplorer::showInWidget(QWidget *container, bool tabs)
{
  Q_UNUSED(tabs)
  setParent(container);
  setSize(container->size());
  show();
}

void MediaExplorer::setSize(const QSize &size)
{
  setGeometry(0, 0, size.width(), size.height());
}

void MediaExplorer::downloadGiphyGif(const QString &id, const QString &url)
{
  Q_UNUSED(url)
  QMetaObject::invokeMethod(
      this, [this, id] { emit downloadFinished(-1, id, QString()); }, Qt::QueuedConnection);
}
