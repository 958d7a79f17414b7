// From the share button to a movie file: the export popup, a cached export in the project
// folder, the exporter run with its progress, and the copy into the folder the user chose.

#include "mainwindow.h"

#include "assetloadingthreadpool.h"
#include "avcomposition.h"
#include "avengine.h"
#include "avexporter.h"
#include "avglwidget.h"
#include "avrender.h"
#include "editscrollarea.h"
#include "popupmovieexportingwidget.h"
#include "progresshud.h"
#include "projectmanager.h"
#include "segmentwidget.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>

namespace {

// Each stop waits up to 2 s per render thread.
constexpr int kRenderStopTries = 3;

// A colour whose alpha byte is 0 is a transparent background.
bool isTransparent(quint32 argb)
{
  return argb < 0x1000000u;
}

QString resolutionWord(int index)
{
  static const char *const Words[] = {"360p", "540p", "720p", "1080p", "4k"};
  return index >= 0 && index <= 4 ? QLatin1String(Words[index]) : QStringLiteral("Unknown_Resolution");
}

QString extensionForCodec(const QString &codec)
{
  if (codec == QLatin1String("vp9"))
    return QStringLiteral("webm");
  if (codec == QLatin1String("prores"))
    return QStringLiteral("mov");
  return QStringLiteral("mp4");
}

int containerKind(const QString &codec)
{
  static const char *const Codecs[] = {"h264", "hevc", "prores", "vp9"};
  for (int i = 0; i < 4; ++i)
    if (codec == QLatin1String(Codecs[i]))
      return i;
  return 0;
}

struct BitRates
{
  int video;
  int audio;
};

BitRates bitRates(int resolutionIndex)
{
  static const BitRates Rates[] = {{1000000, 64000}, {5000000, 128000}, {10000000, 256000},
                                   {15000000, 256000}, {20000000, 256000}};
  return resolutionIndex >= 0 && resolutionIndex <= 4 ? Rates[resolutionIndex] : BitRates{15000000, 256000};
}

} // namespace

QString MainWindow::_moviesLocation()
{
  const QString path = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
  QDir().mkpath(path);
  const QFileInfo info(path);
  return info.isSymLink() ? info.symLinkTarget() : path;
}

void MainWindow::onActionExportTriggered()
{
  showMovieExportingPopup();
}

void MainWindow::showMovieExportingPopup()
{
  // One export at a time: a second popup would change the settings the running one delivers by.
  if (_isPopupShown() || _isExporting() || !_projectManager)
    return;
  if (AssetLoadingThreadPool::instance()->activeThreadCount() > 0) {
    ProgressHUD::showTextMessage(tr("Please wait a moment"), this, 2000);
    return;
  }
  if (!(_projectManager->duration() > 0)) {
    ProgressHUD::showTextMessage(tr("No content to export"), this, 2000);
    return;
  }
  if (_projectManager->isModified())
    _saveProject();

  const QSizeF aspect = _projectManager->aspectSize();
  ExportSettings &e = _exportSettings;
  if (e.baseName.isEmpty())
    e.baseName = _projectName;
  if (e.outputFolder.isEmpty())
    e.outputFolder = _moviesLocation();
  // Until an export chose one, the project's current rate is offered.
  const float frameRate = _exportFrameRate > 0 ? _exportFrameRate : _projectManager->frameRate();
  const QString codec = isTransparent(_projectManager->backgroundColor()) ? QStringLiteral("vp9") : e.codec;

  auto *popup = new PopupMovieExportingWidget(centralWidget());
  popup->showPopupWithSettings(centralWidget(), e.qualityIndex, float(aspect.width()), float(aspect.height()),
                               e.baseName, e.outputFolder, codec, frameRate, 0);
  _currentPopup = popup;
  connect(popup, &CommonPopup::dismissed, this, &MainWindow::popup_onDismissed);
  connect(popup, &PopupMovieExportingWidget::popupMovieExportingWidgetShareAction, this,
          &MainWindow::movieExportingPopup_onShareAction);
  connect(popup, &PopupMovieExportingWidget::popupMovieExportingWidgetCheckCanShareToEmail, this,
          &MainWindow::movieExportingPopup_onCheckCanShareToEmail, Qt::DirectConnection);
  connect(popup, &PopupMovieExportingWidget::popupMovieExportingWidgetCheckCanShareToFacebook, this,
          &MainWindow::movieExportingPopup_onCheckCanShareToFacebook, Qt::DirectConnection);
  connect(popup, &PopupMovieExportingWidget::popupMovieExportingWidgetExportCancelAction, this,
          &MainWindow::movieExportingPopup_onExportCancelAction);
}

void MainWindow::movieExportingPopup_onShareAction(PopupMovieExportingWidget *exportingWidget, int action)
{
  _exportMovie(action, exportingWidget->resolution(), exportingWidget->frameRate(), exportingWidget->videoCodec(),
               exportingWidget->movieName(), exportingWidget->saveLocation());
}

void MainWindow::movieExportingPopup_onCheckCanShareToEmail(PopupMovieExportingWidget *, bool *canShareToEmail)
{
  if (canShareToEmail)
    *canShareToEmail = true;
}

void MainWindow::movieExportingPopup_onCheckCanShareToFacebook(PopupMovieExportingWidget *, bool *canShareToFacebook)
{
  if (canShareToFacebook)
    *canShareToFacebook = true;
}

void MainWindow::movieExportingPopup_onExportCancelAction(PopupMovieExportingWidget *)
{
  if (_exporter)
    _exporter->cancel();
}

void MainWindow::_exportMovie(int action, int resolutionIndex, float frameRate, const QString &codec,
                              const QString &movieName, const QString &saveLocation)
{
  ExportSettings &e = _exportSettings;
  e.shareKind = action;
  e.qualityIndex = resolutionIndex;
  _exportFrameRate = frameRate;
  e.codec = codec;
  e.baseName = movieName;
  e.outputFolder = saveLocation;
  for (QChar c : {QLatin1Char('/'), QLatin1Char('\\'), QLatin1Char(':')})
    e.baseName.replace(c, QLatin1Char(' '));
  if (!QFileInfo(e.outputFolder).isDir())
    e.outputFolder = _moviesLocation();

  e.workingFile = _exportedMovieFilePath(resolutionIndex, frameRate, codec);
  if (!QFileInfo::exists(e.workingFile)) {
    _startMovieExporter(e.workingFile);
    return;
  }
  // The same project was exported with the same settings since its last change.
  auto *popup = qobject_cast<PopupMovieExportingWidget *>(_currentPopup.data());
  if (action == MovieExportingActionComputer) {
    if (popup)
      popup->setExportProgress(0.99f);
    QTimer::singleShot(200, this, [this] {
      if (auto *shown = qobject_cast<PopupMovieExportingWidget *>(_currentPopup.data()))
        deliverExportedMovie(shown);
    });
  } else if (action >= MovieExportingActionEmail && action <= MovieExportingActionFacebook) {
    if (popup)
      popup->dismiss();
  }
}

QString MainWindow::_exportedMovieFilePath(int resolutionIndex, float frameRate, const QString &codec) const
{
  const QString name = QStringLiteral("%1_%2_%3_%4fps.%5")
                           .arg(_projectName, resolutionWord(resolutionIndex),
                                codec.isEmpty() ? QStringLiteral("Unknown_Video_Codec") : codec)
                           .arg(int(frameRate))
                           .arg(extensionForCodec(codec));
  return ProjectManager::projectDirectory(_projectName, _projectFolder) + QDir::separator() + name;
}

void MainWindow::_removeTemporaryFiles()
{
  // Every cached export, whatever its rate and codec; the exporter's ".partial." file of a
  // running export does not match.
  const QRegularExpression cached(QStringLiteral("^%1_(360p|540p|720p|1080p|4k|Unknown_Resolution)_[^.]+_\\d+fps\\."
                                                 "(mp4|webm|mov)$")
                                      .arg(QRegularExpression::escape(_projectName)));
  const QDir directory(ProjectManager::projectDirectory(_projectName, _projectFolder));
  for (const QString &name : directory.entryList(QDir::Files))
    if (cached.match(name).hasMatch())
      QFile::remove(directory.filePath(name));
}

bool MainWindow::_stopPreviewForExport()
{
  if (_engine)
    _engine->pause();
  // The export must not share the composition with a render thread still ending on a busy
  // machine; one that never ends must not hold the window either.
  for (int tries = 0; tries < kRenderStopTries; ++tries)
    if (_render->stop() == 0)
      return true;
  auto *poll = new QTimer(this);
  connect(poll, &QTimer::timeout, this, [this, poll] {
    // An export started meanwhile brings the preview back when it ends.
    if (_exporter || !_render) {
      poll->deleteLater();
      return;
    }
    if (!_render->hasStopped())
      return;
    poll->deleteLater();
    _render->start();
    _render->seek(_playheadTime(), true);
  });
  poll->start(100);
  return false;
}

void MainWindow::_startMovieExporter(const QString &path)
{
  if (!_composition || !_render || _exporter)
    return;
  if (!_stopPreviewForExport()) {
    if (auto *popup = qobject_cast<PopupMovieExportingWidget *>(_currentPopup.data()))
      popup->showExportResult(tr("The preview is still busy, so the export could not start. Please try again."),
                              QString(), QImage());
    return;
  }
  const int index = _exportSettings.qualityIndex;
  const QSize size = _projectManager->outputVideoSize(index);
  const BitRates rates = bitRates(index);
  const bool alpha = isTransparent(_projectManager->backgroundColor());
  _exporter = new AVExporter(size.width(), size.height(), rates.video, int(_exportFrameRate),
                             containerKind(_exportSettings.codec), alpha, 44100, 2, rates.audio, 0,
                             path.toUtf8().constData(), nullptr);
  _exporter->setCallback(mainWindowExporterCallback, this);
  _exporter->setGLHost(_previewWidget);
  _previewWidget->setExporter(_exporter);

  _render->setComposition(nullptr);
  _composition->setRenderSize(size.width(), size.height(), true);
  _exporter->setComposition(_composition);
  _exporter->setImageLoader(_imageLoader);
  _exporter->start();
  // The timeline stays as it is while its composition is rendered.
  if (_editScrollArea)
    _editScrollArea->setMouseEventsEnabled(false);
  onSegmentEditingStateChanged();

  if (auto *popup = qobject_cast<PopupMovieExportingWidget *>(_currentPopup.data()))
    popup->setExportProgress(0);
  exportProgressBegan();
}

void MainWindow::onAVExporterUpdateProgressValue(float percent)
{
  // The last percent is left for the delivery.
  const float value = float(double(percent) * 0.99);
  if (auto *popup = qobject_cast<PopupMovieExportingWidget *>(_currentPopup.data()))
    popup->setExportProgress(value);
  exportProgressChanged(value);
}

void MainWindow::_restorePreviewAfterExport()
{
  if (!_composition || !_render)
    return;
  const QSize size = _projectManager->previewVideoSize(_previewQuality);
  _composition->setRenderSize(size.width(), size.height(), false);
  _render->setComposition(_composition);
  _render->start();
  _render->seek(_playheadTime(), true);
  if (_editScrollArea)
    _editScrollArea->setMouseEventsEnabled(true);
}

void MainWindow::onAVExporterFinished(int err)
{
  if (!_exporter)
    return;
  delete _exporter;
  _exporter = nullptr;
  if (_previewWidget)
    _previewWidget->setExporter(nullptr);
  _restorePreviewAfterExport();
  onSegmentEditingStateChanged();

  auto *popup = qobject_cast<PopupMovieExportingWidget *>(_currentPopup.data());
  const int action = _exportSettings.shareKind;
  // The user chose to cancel while closing: that stands even when the encoder finished, or
  // failed, first; otherwise the window would wait for a cancel that never comes.
  if (_cancelRequested)
    err = -1;
  if (err == 0) {
    if (action == MovieExportingActionComputer) {
      if (popup)
        deliverExportedMovie(popup);
    } else if (action >= MovieExportingActionEmail && action <= MovieExportingActionFacebook) {
      if (popup)
        popup->dismiss();
    }
  } else if (err == -1) {
    if (popup)
      popup->dismiss();
    ProgressHUD::showTextMessage(tr("Export canceled"), this, 2000);
    QFile::remove(_exportSettings.workingFile);
    if (_cancelRequested) {
      _cancelRequested = false;
      hideWaitingHUD();
      close();
    }
  } else {
    // The engine's composition had no length (nothing loaded yet): not a fault of the encoder.
    const QString text = err == kAVExportNothingToExport
                           ? tr("No content to export")
                           : tr("An error occurs when exporting the movie. (error code = %1)").arg(err);
    if (popup)
      popup->showExportResult(text, QString(), QImage());
    _removeTemporaryFiles();
  }
  exportProgressEnded();
}
