#include "mediaexplorer.h"

#include "horizontalmediaexplorerwidget.h"
#include "tabsmediaexplorerwidget.h"

MediaExplorer::MediaExplorer(const QString &projectDirectory, QObject *parent)
  : QObject(parent), _projectDirectory(projectDirectory)
{
}

MediaExplorerWidget *MediaExplorer::widget() const
{
  return _widget;
}

void MediaExplorer::showInWidget(QWidget *container, bool tabs)
{
  if (_widget)
    return;
  if (tabs)
    _widget = new TabsMediaExplorerWidget(_projectDirectory, container);
  else
    _widget = new HorizontalMediaExplorerWidget(_projectDirectory, container);
  connect(_widget, &MediaExplorerWidget::showTextMessage, this, &MediaExplorer::showTextMessage);
  connect(_widget, &MediaExplorerWidget::showProgressHUD, this, &MediaExplorer::showProgressHUD);
  connect(_widget, &MediaExplorerWidget::hideProgressHUD, this, &MediaExplorer::hideProgressHUD);
  connect(_widget, &MediaExplorerWidget::downloadFinished, this, &MediaExplorer::downloadFinished);
  connect(_widget, &MediaExplorerWidget::mediaItemClicked, this, &MediaExplorer::mediaItemClicked);
  _widget->setGeometry(0, 0, container->width(), container->height());
  _widget->show();
}

void MediaExplorer::setSize(const QSize &size)
{
  if (_widget)
    _widget->setGeometry(0, 0, size.width(), size.height());
}

void MediaExplorer::setEnabled(bool enabled)
{
  if (_widget)
    _widget->setAttribute(Qt::WA_TransparentForMouseEvents, !enabled);
}

void MediaExplorer::downloadGiphyGif(const QString &id, const QString &url)
{
  if (_widget)
    _widget->downloadGiphyGif(id, url);
}
