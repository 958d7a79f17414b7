// The project settings popup's values applied to the project, the preview and the engine, and
// the end of whatever popup the window showed.

#include "mainwindow.h"

#include "avengine.h"
#include "avglwidget.h"
#include "commonpopup.h"
#include "popupprojectsettingswidget.h"
#include "projectmanager.h"
#include "scrollabletoolbar.h"
#include "textsegment.h"

#include <QCoreApplication>
#include <QResizeEvent>

void MainWindow::popup_onDismissed(CommonPopup *popup)
{
  Q_UNUSED(popup)
  if (_transitionToolBar)
    _transitionToolBar->setButtonSelected(_selectedToolBarCommand, false);
  else if (_segmentToolBar)
    _segmentToolBar->setButtonSelected(_selectedToolBarCommand, false);
  _selectedToolBarCommand = 0;
  _currentPopup = nullptr;
}

void MainWindow::projectSettingsPopup_onParametersDidChange(PopupProjectSettingsWidget *settingsWidget)
{
  ProjectManager *project = _projectManager;
  if (settingsWidget->fixCoverImage() != project->fixCoverImage()) {
    project->setFixCoverImage(settingsWidget->fixCoverImage());
    project->setModified(true);
  }
  if (settingsWidget->frameRate() != project->frameRate()) {
    project->setFrameRate(settingsWidget->frameRate());
    project->setModified(true);
  }
  const QColor background = settingsWidget->backgroundColor();
  if (background.rgba() != project->backgroundColor()) {
    project->setBackgroundColor(background.rgba());
    project->setModified(true);
    if (_hooks.previewArea)
      _hooks.previewArea->setStyleSheet(QStringLiteral("background-color: rgba(%1,%2,%3,%4)")
                                            .arg(background.red())
                                            .arg(background.green())
                                            .arg(background.blue())
                                            .arg(background.alpha()));
    if (_engine) {
      _engine->setBackgroundColor(makeVec4(float(background.redF()), float(background.greenF()),
                                           float(background.blueF()), float(background.alphaF())));
    }
    if (_previewWidget)
      _previewWidget->setBackgroundColor(background);
    if (_engine)
      _engine->refresh();
  }
  if (settingsWidget->resolution() != project->resolution() || settingsWidget->direction() != project->direction()) {
    project->setResolution(settingsWidget->resolution());
    project->setDirection(settingsWidget->direction());
    project->setModified(true);
    // The preview re-lays out for the new aspect on a resize of the same size.
    QCoreApplication::postEvent(this, new QResizeEvent(size(), size()));
    const QSize render = project->previewVideoSize(_previewQuality);
    if (_engine && render.width() > 0) {
      _engine->setRenderSize(render.width(), render.height());
      for (int i = 0; i < project->segmentCount(); ++i) {
        Segment *segment = project->segmentAt(i);
        if (segment->type() != QLatin1String("TEXT"))
          continue;
        const float pixels = static_cast<TextSegment *>(segment)->scaledFontSize(QSizeF(render));
        _engine->setSegmentProperty(segment->id(), kAVPropertyFontSize, pixels / float(render.width()));
      }
    }
    if (_hooks.previewArea)
      QCoreApplication::postEvent(_hooks.previewArea,
                                  new QResizeEvent(_hooks.previewArea->size(), _hooks.previewArea->size()));
  }
}

void MainWindow::projectSettingsPopup_onDidFinish(PopupProjectSettingsWidget *settingsWidget)
{
  projectSettingsPopup_onParametersDidChange(settingsWidget);
  settingsWidget->dismiss();
}
