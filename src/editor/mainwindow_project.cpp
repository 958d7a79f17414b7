// Opening a project: the properties check, the OpenGL wait, the engine objects in their fixed
// order, the loader thread and its messages, and the segment handlers that follow loading.

#include "mainwindow.h"

#include "avcomposition.h"
#include "avengine.h"
#include "avglwidget.h"
#include "avimagefiles.h"
#include "avimageloader.h"
#include "avrender.h"
#include "dialogprovider.h"
#include "drawingsegment.h"
#include "editscrollarea.h"
#include "gutterscrollarea.h"
#include "imagesegment.h"
#include "moviesegment.h"
#include "musicsegment.h"
#include "progresshud.h"
#include "projectloader.h"
#include "projectmanager.h"
#include "rulerscrollarea.h"
#include "segmentfactory.h"
#include "segmentwidget.h"
#include "textsegment.h"
#include "trackwidget.h"
#include "usersettings.h"
#include "util.h"
#include "voicesegment.h"

#include <QCoreApplication>
#include <QDebug>
#include <QHash>
#include <QLayout>
#include <QMessageBox>
#include <QPoint>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <memory>
#include <utility>
#include <vector>

namespace {

// Blocks of a loaded project are built in steps paced by the turn, so the window stays
// responsive however many there are; the clock is read every BuildStep blocks.
constexpr size_t BuildStep = 16;
// A project of more segments shows its rows one a turn, each in a quiet turn.
constexpr size_t LargeOpening = 1000;

// While a project opens, the preview shows the segments come ready at this pace at most: each
// of its frames composes the whole window again, which the turns that build blocks share.
constexpr int RefreshWhileOpeningMs = 300;

// The engine waits this long at most for the window's first composition with the preview.
constexpr int FirstCompositionWaitMs = 5000;

vec4 colourVector(quint32 argb)
{
  return makeVec4(((argb >> 16) & 255) / 255.0f, ((argb >> 8) & 255) / 255.0f, (argb & 255) / 255.0f,
                  ((argb >> 24) & 255) / 255.0f);
}

} // namespace

void MainWindow::_openProject()
{
  if (!_loadProjectProperties())
    return;
  _legacyGeometryOnLoad = _projectManager->version() < 3.0f;
  _updateInsertOverwriteButton();
  _opening = true;
  showWaitingHUD(tr("Opening..."));
  const quint32 c = _projectManager->backgroundColor();
  if (_hooks.previewArea)
    _hooks.previewArea->setStyleSheet(QStringLiteral("background-color: rgba(%1,%2,%3,%4)")
                                          .arg((c >> 16) & 255)
                                          .arg((c >> 8) & 255)
                                          .arg(c & 255)
                                          .arg((c >> 24) & 255));
  QTimer::singleShot(100, this, &MainWindow::_continueOpening);
}

void MainWindow::_continueOpening()
{
  // Closed meanwhile.
  if (!_opening)
    return;
  // The preview's context comes with the window's first show: a window not shown yet
  // takes this step when it is, instead of waiting for a context that cannot come.
  if (!isVisible()) {
    _openingWaitsForShow = true;
    return;
  }
  // The window's first composition with the preview is long on a software renderer: it gets a
  // turn of its own, the engine and the loader come after it. A busy display exposes the shown
  // window late: the composition follows the exposure, so the wait covers both. A preview hidden
  // in its panel composes nothing: it goes on at once, as it does should no composition come.
  if (!_previewWidget && !_shownPreview) {
    AVGLWidget *preview = _showPreviewWidget();
    if (preview->isVisible()) {
      auto goOn = std::make_shared<bool>(true);
      const auto continueOnce = [this, preview, goOn] {
        if (!std::exchange(*goOn, false))
          return;
        disconnect(preview, &QOpenGLWidget::frameSwapped, this, nullptr);
        QTimer::singleShot(0, this, &MainWindow::_continueOpening);
      };
      connect(preview, &QOpenGLWidget::frameSwapped, this, continueOnce);
      QTimer::singleShot(FirstCompositionWaitMs, this, continueOnce);
      return;
    }
  }
  if (!_setupPreviewEngine()) {
    if (!_opening)
      return;
    _failLoading(tr("Open Project Failed"),
                 tr("The preview needs OpenGL 3.2 or later, which this display does not offer."));
    close();
    return;
  }
  _removeTemporaryFiles();
  _loadProjectInBackground();
}

void MainWindow::showEvent(QShowEvent *event)
{
  CommonMainWindow::showEvent(event);
  if (_openingWaitsForShow) {
    _openingWaitsForShow = false;
    QTimer::singleShot(0, this, &MainWindow::_continueOpening);
  }
}

bool MainWindow::_loadProjectProperties()
{
  QString error;
  const int result = ProjectLoader::loadProperties(_projectName, _projectFolder, _projectManager, &error);
  if (result == 0)
    return true;
  QString title;
  QString text = error;
  switch (result) {
  case 11:
    title = tr("Convert Project Failed");
    break;
  case 12:
    title = tr("Open Project Failed");
    text = tr("Current movie project is damaged.");
    break;
  case 13:
    title = tr("Higher Version Project");
    text = tr("Tavo REN can not open the higher version movie project. Please update Tavo REN to the latest "
              "version.");
    break;
  default:
    break;
  }
  if (text.isEmpty())
    text = tr("Open properties error occurs (%1)").arg(result);
  _showMessageBox(title, text, QMessageBox::Warning);
  return false;
}

int MainWindow::_showMessageBox(const QString &title, const QString &text, int icon)
{
  QMessageBox box(QMessageBox::Icon(icon), title, text, QMessageBox::Ok, this,
                  Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
  Util::applyDialogStyleSheet(&box);
  DialogProvider::instance()->execMessageBox(&box);
  return box.result();
}

AVGLWidget *MainWindow::_showPreviewWidget()
{
  if (_shownPreview)
    return _shownPreview;
  QWidget *container = _hooks.playbackWidget ? _hooks.playbackWidget : _hooks.previewArea;
  auto *preview = new AVGLWidget(container);
  _shownPreview = preview;
  if (_hooks.playbackLayout)
    _hooks.playbackLayout->addWidget(preview, 0);
  // The overlays follow the picture, which the playback layout places after the area's resize.
  // A narrower area may only move the container (the height sets the size): watch it as well.
  preview->installEventFilter(this);
  if (container != _hooks.previewArea)
    container->installEventFilter(this);
  // Composed before the engine comes, it already shows the project's background.
  preview->setBackgroundColor(QColor::fromRgba(_projectManager->backgroundColor()));
  preview->show();
  // Layers come ready by the hundred while the project opens: the window does not wait for
  // each of their frames.
  preview->setWaitsForFrames(false);
  return preview;
}

bool MainWindow::_setupPreviewEngine()
{
  if (_previewWidget)
    return true;
  _previewWidget = _showPreviewWidget();

  // The context comes with the first show, late on a busy machine: the wait has no time limit.
  // A display without OpenGL 3.2 is told by its own answer, not by how long the wait took.
  if (!AVGLWidget::displayOffersOpenGL())
    return false;
  while (!_previewWidget->isValid()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    QThread::msleep(10);
    if (!_previewWidget)
      return false;
  }

  connect(_previewWidget, &QOpenGLWidget::frameSwapped, this, &MainWindow::onOpenGLFrameSwapped, Qt::QueuedConnection);
  connect(this, &MainWindow::offscreenReady, _previewWidget, QOverload<>::of(&QWidget::update), Qt::QueuedConnection);

  const float ratio = float(devicePixelRatioF());
  const int width = _previewWidget->width();
  const int height = _previewWidget->height();
  qDebug().nospace() << "GL widget width=" << width << " height=" << height << " pixel ratio=" << ratio;

  _render = new AVRender(nullptr, uint32_t(width * ratio), uint32_t(height * ratio));
  _render->setGLHost(_previewWidget);
  const quint32 background = _projectManager->backgroundColor();
  _previewWidget->setBackgroundColor(QColor::fromRgba(background));
  _previewWidget->setRender(_render);

  const QSize size = _projectManager->previewVideoSize(_previewQuality);
  _composition = new AVComposition(size.width(), size.height(), 44100, 2, nullptr);
  _composition->setBackgroundColor(colourVector(background));
  _composition->addListener(mainWindowCompositionListener, this);
  _render->setComposition(_composition);
  _composition->setFlushAfterCompose(true);

  _imageLoader = new AVImageLoader;
  _engine = new AVEngine(_composition, _imageLoader, _render);
  _engine->setThumbnailsLoadedCallback(mainWindowThumbnailsLoadedCallback, this);
  _engine->setOwner(this);
  AVEngine::setShared(_engine);
  _installAnimationFrameProvider();

  _render->setCallback(mainWindowRenderCallback, this);
  _render->start();
  _render->step(1);
  return true;
}

bool MainWindow::_loadProjectInBackground()
{
  if (_hooks.rulerScrollArea)
    _hooks.rulerScrollArea->suspended = true;
  connect(this, &MainWindow::segmentListener_segmentStateChanged, this, &MainWindow::onSegmentStateChanged,
          Qt::QueuedConnection);
  connect(this, &MainWindow::segmentListener_segmentRangeChanged, this, &MainWindow::onSegmentRangeChanged);
  connect(this, &MainWindow::segmentListener_segmentAudioPlotDataDidReady, this,
          &MainWindow::onSegmentAudioPlotDataDidReady);

  auto *loader = new ProjectLoader(_projectName, _projectFolder, _projectManager);
  // Read here: the loader's thread places the segments with them.
  const UserSettings *settings = UserSettings::instance();
  const float photo = settings->photoDuration();
  const float text = settings->textDuration();
  const float drawing = settings->drawingDuration();
  loader->setDefaultLengths([photo, text, drawing](const QString &type) {
    if (type == QLatin1String("IMAGE"))
      return photo;
    if (type == QLatin1String("TEXT"))
      return text;
    return type == QLatin1String("DRAWING") ? drawing : 0.0f;
  });
  connect(loader, &ProjectLoader::onMessage, this, &MainWindow::onProjectLoaderMessage);
  connect(loader, &QThread::finished, loader, &QObject::deleteLater);
  _loader = loader;
  loader->start(QThread::InheritPriority);
  return true;
}

void MainWindow::_stopLoader()
{
  ProjectLoader *loader = _loader.data();
  if (!loader)
    return;
  _loader = nullptr;
  disconnect(loader, nullptr, this, nullptr);
  loader->cancel();
  loader->wait();
  delete loader;
}

void MainWindow::_abandonOpening()
{
  _opening = false;
  _stopLoader();
  _projectName.clear();
  if (_previewWidget)
    _tearDownEngine();
  hideWaitingHUD();
}

void MainWindow::_tellOfResetValues()
{
  for (int i = 0; !_valuesReset && i < _projectManager->segmentCount(); ++i)
    _valuesReset = _projectManager->segmentAt(i)->valuesWereReset();
  if (!_valuesReset)
    return;
  QString text = tr("Some values of this movie could not be shown and were reset to ones that can.");
  if (_segmentsMoved > 0)
    text += QLatin1Char(' ') + tr("Blocks moved to where they can be seen: %1.").arg(_segmentsMoved);
  // The project is not marked modified: the files keep what they hold until the user saves.
  _showMessageBox(tr("Values Reset"), text, QMessageBox::Information);
}

void MainWindow::_notePlacement(const TrackPlacement::Result &placed)
{
  _segmentsMoved = placed.moved;
  _valuesReset = _valuesReset || placed.changed;
  _mapsTakingFileLengths = placed.lengthFromFile;
  _lengthsFromFiles.clear();
}

void MainWindow::_failLoading(const QString &title, const QString &text)
{
  _opening = false;
  if (_previewWidget)
    _previewWidget->setWaitsForFrames(true);
  _loadFailed = true;
  _showMessageBox(title, text, QMessageBox::Warning);
  hideWaitingHUD();
}

void MainWindow::onProjectLoaderMessage(ProjectLoader *loader, int message, QVariant data)
{
  // Messages still queued from a loader that was stopped name a deleted object.
  if (loader != _loader)
    return;
  switch (message) {
  case LoaderProgress: {
    const QPoint counts = data.toPoint();
    showWaitingHUD(QStringLiteral("<html>%1<br><font color=gray><i>%2/%3</i></font></html>")
                       .arg(tr("Opening..."))
                       .arg(counts.x())
                       .arg(counts.y()));
    break;
  }
  case LoaderSegmentsRead:
    _mapsToBuild = loader->takeSegments();
    _notePlacement(loader->placement());
    _mapsBuilt = 0;
    _buildPacer.reset();
    _loadedTracks.clear();
    _unreadMaps.clear();
    _buildLoadedSegmentsInBatches();
    break;
  case LoaderBackgroundColor:
    if (_composition)
      _composition->setBackgroundColor(colourVector(data.toUInt()));
    break;
  case LoaderConvertFailed: {
    QString text = data.toString();
    if (text.isEmpty())
      text = tr("Open project error occurs (%1)").arg(message);
    _failLoading(tr("Convert Project Failed"), text);
    break;
  }
  case LoaderProjectDamaged:
    _failLoading(tr("Open Project Failed"), tr("Current movie project is damaged."));
    break;
  case LoaderFinished: {
    _opening = false;
    hideWaitingHUD();
    if (_previewWidget)
      _previewWidget->setWaitsForFrames(true);
    // A video that failed to open never becomes ready; it must not hold the saves back.
    for (int i = 0; i < _projectManager->segmentCount(); ++i)
      if (_projectManager->segmentAt(i)->error() != SegmentNoError)
        _convertLegacyMovieOnce(_projectManager->segmentAt(i));
    // Every file has opened: the count of moved blocks is whole before the user is told.
    _placeLengthsFromFiles();
    const float duration = _projectManager->duration();
    if (_hooks.rulerScrollArea) {
      _hooks.rulerScrollArea->suspended = false;
      _hooks.rulerScrollArea->setScale(_zoom, duration);
    }
    _offerHelpTipsAfterLoading();
    if (_previewWidget)
      _previewWidget->connectFrameSignals();
    _reportUnreadSegments();
    _tellOfResetValues();
    break;
  }
  default:
    break;
  }
}

void MainWindow::_buildLoadedSegmentsInBatches()
{
  // Closed meanwhile.
  if (!_opening || !_projectManager)
    return;
  _buildPacer.beginStep();
  const auto nextTurn = [this] {
    _buildPacer.endStep();
    QTimer::singleShot(0, this, [this] { _buildLoadedSegmentsInBatches(); });
  };
  if (_mapsBuilt < _mapsToBuild.size()) {
    // The blocks built in a turn start their loading and report it in the turns after: the
    // pacer gives each step what that work left of the turn.
    while (_mapsBuilt < _mapsToBuild.size() && _buildPacer.hasTime()) {
      const size_t end = std::min(_mapsBuilt + BuildStep, _mapsToBuild.size());
      _buildLoadedSegments(_mapsToBuild, _mapsBuilt, end);
      _mapsBuilt = end;
    }
    if (_mapsBuilt == _mapsToBuild.size()) {
      // The rows take their length while hidden: shown, they need no second repaint for it.
      _projectManager->updateDuration();
      _editScrollArea->setScale(_zoom, _projectManager->duration());
    }
    nextTurn();
    return;
  }
  // A row shows all its blocks at once. In a large project that takes most of a turn: it waits
  // for a turn with little else to do, such as the one after the last row's repaint, and the
  // rest follows alike. The rows of a smaller project show together, without waiting.
  const bool large = _mapsToBuild.size() > LargeOpening;
  if (large && !_buildPacer.mayRunWhole()) {
    nextTurn();
    return;
  }
  for (TrackWidget *track : qAsConst(_loadedTracks)) {
    if (!track->isHidden())
      continue;
    track->show();
    if (!large)
      continue;
    // Its blocks ask for their repaint in the next turn, which comes in the turn after: the
    // next step looks at the turn that holds it.
    _buildPacer.endStep();
    QTimer::singleShot(0, this, [this] {
      QTimer::singleShot(0, this, [this] { _buildLoadedSegmentsInBatches(); });
    });
    return;
  }
  _mapsToBuild.clear();
  _loadedTracks.clear();
  _finishLoadedSegments();
  if (_loader)
    _loader->setLayoutEditAreaCompleted();
}

void MainWindow::_buildLoadedSegments(PropertyMapList &maps, size_t from, size_t to)
{
  QHash<int, TrackWidget *> &tracks = _loadedTracks;
  for (size_t i = from; i < to; ++i) {
    std::unique_ptr<PropertyMap> &map = maps[i];
    const QString type = map->text("Type");
    const int savedTrack = map->text("TrackId").toInt();
    PropertyMap *raw = map.get();
    Segment *segment = makeSegment(type, raw, this);
    if (!segment) {
      // A type of a newer version, or a damaged one: kept in the file as it is.
      _unreadMaps << int(i);
      continue;
    }
    map.release();
    const auto fileLength = _mapsTakingFileLengths.constFind(raw);
    if (fileLength != _mapsTakingFileLengths.cend())
      _lengthsFromFiles.insert(segment->id(), *fileLength);
    TrackWidget *track = tracks.value(savedTrack);
    if (!track) {
      track = _editScrollArea->addTrack(_zoom, _projectManager->duration());
      // A block shown on a visible row asks the display where the pointer is: the row shows
      // once it holds them all.
      track->hide();
      _lastTrackWidget = track;
      const int tag = _gutter ? _gutter->addTrackButton() : tracks.size() + 1;
      track->setTag(tag);
      if (_gutter)
        _gutter->setTrackType(tag, type);
      track->setType(type);
      tracks.insert(savedTrack, track);
    }
    SegmentWidget *block = track->addSegment(segment);
    segment->setTrackId(track->tag());
    block->setScale(_zoom, false);
    _projectManager->insertSegment(segment, block);
    _editScrollArea->connectSegmentWidget(block);
    _noteLegacyMovie(segment);
  }
}

void MainWindow::_finishLoadedSegments()
{
  _projectManager->updateDuration();
  const float duration = _projectManager->duration();
  if (_hooks.rulerScrollArea)
    _hooks.rulerScrollArea->setScale(_zoom, duration);
  _editScrollArea->setScale(_zoom, duration);
  _addTrack();
  _mapsTakingFileLengths.clear();
  _noteLoadedProject(_unreadMaps);
  _unreadMaps.clear();
}

void MainWindow::onSegmentStateChanged(quint32 segmentId, int newState)
{
  // A report that outlived its segment (undone, deleted) changes nothing.
  int index = _projectManager ? _projectManager->indexOfSegmentId(segmentId) : -1;
  if (index < 0)
    return;
  Segment *segment = _projectManager->segmentAt(index);
  if (newState == SegmentReady || segment->error() != SegmentNoError)
    _convertLegacyMovieOnce(segment);
  // A file found again after the opening.
  if (newState == SegmentReady && !_opening && _lengthsFromFiles.contains(segmentId)) {
    _placeLengthsFromFiles();
    index = _projectManager->indexOfSegmentId(segmentId);
  }
  SegmentWidget *block = static_cast<SegmentWidget *>(_projectManager->segmentWidgetAt(index));
  if (!block)
    return;
  if (_opening) {
    // Blocks come ready by the thousand: a repaint asked of each would weigh it against all
    // its neighbours, and one of all the rows repaints every block in view each turn. Only the
    // places in view repaint, once for all that came in one turn.
    block->setScaleQuietly(_zoom);
    _editScrollArea->updateBlockInView(block);
  } else {
    block->setScale(_zoom, false);
  }
  // While the project opens its HUD covers the blocks: thousands of spinners would only cost.
  if ((newState == 1 || newState == 2) && !_opening)
    block->showLoadingIndicator();
  else
    block->hideLoadingIndicator();
  if (newState != 4 || !_engine)
    return;
  if (!segment->isNewlyCreated()) {
    _sendLearntMovieRange(segment);
    _refreshOnceAfterLoading();
    return;
  }
  if (_refuseUnreadableImport(segment))
    return;
  _sendLearntMovieRange(segment);
  std::vector<quint32> ids(size_t(_projectManager->segmentCount()));
  const int count = _projectManager->layerSegmentIds(ids.data());
  _engine->setLayerOrder(ids.data(), count);
  if (segment->id() == _lastSplitPieceId) {
    _lastSplitPieceId = 0;
    return;
  }
  _seekToTime(segment->rangeStart() + 0.01f, true);
}

// A movie's range may have been learnt while it loaded: a new one's, or one a project stored at
// no length. Its length is the longer of its picture's and its sound's, which each engine part
// took alone: both play to it, or the project's end shows the background past the picture's.
void MainWindow::_sendLearntMovieRange(Segment *segment)
{
  if (segment->type() != QLatin1String("MOVIE") || segment->error() != SegmentNoError)
    return;
  auto *movie = static_cast<MovieSegment *>(segment);
  for (quint32 id : {movie->id(), movie->audioPartId()}) {
    _engine->setSegmentRangeDuration(id, movie->trimDuration());
    _engine->setSegmentDuration(id, movie->duration());
  }
}

void MainWindow::_refreshOnceAfterLoading()
{
  if (!_opening) {
    _engine->refresh();
    return;
  }
  // Segments of an opening project come ready by the thousand over many turns of the event
  // loop: one frame for all that came within a tenth of a second.
  if (_refreshPending)
    return;
  _refreshPending = true;
  QTimer::singleShot(RefreshWhileOpeningMs, this, [this] {
    _refreshPending = false;
    if (_engine)
      _engine->refresh();
  });
}

// A movie, music or voice file just added that cannot be read, or whose length cannot be found,
// has no length, so its block could never show the load error: the insertion and its undo step
// are taken back and the user is told.
bool MainWindow::_refuseUnreadableImport(Segment *segment)
{
  const QString type = segment->type();
  if (!_engine || segment->error() != SegmentLoadError || segment->duration() > 0
      || (type != QLatin1String("MOVIE") && type != QLatin1String("MUSIC") && type != QLatin1String("VOICE")))
    return false;
  TrackWidget *track = _trackOf(segment);
  if (!track)
    return false;
  // The engine's segment goes too: not while its threads are busy.
  if (!_engine->isIdle()) {
    const quint32 id = segment->id();
    QTimer::singleShot(100, this, [this, id] {
      const int index = _projectManager->indexOfSegmentId(id);
      if (index >= 0)
        _refuseUnreadableImport(_projectManager->segmentAt(index));
    });
    return true;
  }
  editScrollArea_removeSegment(segment);
  // Neither the removal nor the insertion is a step to undo.
  _projectManager->discardLastOperation();
  _projectManager->discardLastOperation();
  ProgressHUD::showTextMessage(tr("This file cannot be opened"), this, 2000);
  return true;
}

void MainWindow::onSegmentRangeChanged(quint32 segmentId, float newDuration)
{
  Q_UNUSED(segmentId)
  if (_hooks.rulerScrollArea)
    _hooks.rulerScrollArea->setScale(_zoom, newDuration);
  _editScrollArea->setScale(_zoom, newDuration);
}

void MainWindow::onSegmentAudioPlotDataDidReady(quint32 segmentId)
{
  const int index = _projectManager ? _projectManager->indexOfSegmentId(segmentId) : -1;
  if (auto *block = index >= 0 ? static_cast<SegmentWidget *>(_projectManager->segmentWidgetAt(index)) : nullptr)
    block->setScale(_zoom, false);
}

void MainWindow::_installAnimationFrameProvider()
{
  setAnimationFrameProvider(
      [this](uint32_t id, int64_t ms, int maxWidth, int maxHeight, int *width, int *height) -> uint8_t * {
        return _animationFrame(id, ms, maxWidth, maxHeight, width, height);
      },
      this);
}

uchar *MainWindow::_animationFrame(quint32 segmentId, qint64 milliseconds, int maxWidth, int maxHeight, int *width,
                                   int *height)
{
  // Runs on the GUI thread: never wait here for a segment to come back.
  if (!_projectManager)
    return nullptr;
  const int index = _projectManager->indexOfSegmentId(segmentId);
  if (index < 0)
    return nullptr;
  Segment *segment = _projectManager->segmentAt(index);
  if (segment->type() != QLatin1String("IMAGE"))
    return nullptr;
  int size[2] = {maxWidth, maxHeight};
  uchar *bits = static_cast<ImageSegment *>(segment)->animationFrameBits(float(milliseconds), size);
  *width = size[0];
  *height = size[1];
  return bits;
}
