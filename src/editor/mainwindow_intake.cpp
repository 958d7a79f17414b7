// Media intake: the add actions, the file dialog, the copy into the project, the insertion of
// a new segment on its track, new text, drawing and voice segments, and the overwrite of a
// range of a track.

#include "mainwindow.h"

#include "avcomposition.h"
#include "avengine.h"
#include "commonpopup.h"
#include "dialogprovider.h"
#include "drawingsegment.h"
#include "editscrollarea.h"
#include "exportframesize.h"
#include "gutterscrollarea.h"
#include "imagesegment.h"
#include "moviesegment.h"
#include "musicsegment.h"
#include "projectmanager.h"
#include "rulerscrollarea.h"
#include "segmentwidget.h"
#include "textsegment.h"
#include "tipmanager.h"
#include "commonpopuphelptipwidget.h"
#include "trackwidget.h"
#include "usersettings.h"
#include "userstyledefaults.h"
#include "util.h"
#include "voicesegment.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr float PixelsPerSecond = 24;
constexpr float OverwriteTolerance = 0.001f;

const UserStyleDefaults *styleDefaults()
{
  return UserSettings::instance()->applyUserHabits() ? UserStyleDefaults::instance() : nullptr;
}

int compare(float a, float b)
{
  return Util::compareWithTolerance(a, b, OverwriteTolerance);
}

} // namespace

bool MainWindow::_isIntakeRefused() const
{
  if (_isPreviewFullscreen() || _progressHUD || _copyingMedia)
    return true;
  for (CommonPopup *popup : findChildren<CommonPopup *>())
    if (popup->isVisible())
      return true;
  return TipManager::hasInstance() && TipManager::instance()->isShowingTip();
}

void MainWindow::_setInsertionTargetToLastTrack()
{
  _insertTrackTag = _lastTrackWidget ? _lastTrackWidget->tag() : 0;
  _insertTrack = _editScrollArea->trackWidgetByTag(_insertTrackTag);
}

void MainWindow::onActionAddFileTriggered()
{
  if (_isIntakeRefused())
    return;
  _setInsertionTargetToLastTrack();
  _addMediaFileFromDialog(7);
}

void MainWindow::onActionAddFromCameraTriggered()
{
  if (_isIntakeRefused())
    return;
  _setInsertionTargetToLastTrack();
  _showCameraDialog(0);
}

void MainWindow::onActionAddFromMicrophoneTriggered()
{
  if (_isIntakeRefused())
    return;
  _setInsertionTargetToLastTrack();
  _showMicrophonePopup();
}

void MainWindow::onActionAddSelfDrawTriggered()
{
  if (_isIntakeRefused())
    return;
  _setInsertionTargetToLastTrack();
  _addNewDrawingSegment();
}

void MainWindow::onActionAddTextTriggered()
{
  if (_isIntakeRefused())
    return;
  _setInsertionTargetToLastTrack();
  _addNewTextSegment();
}

void MainWindow::_addMediaFileFromDialog(int kind)
{
  QSettings settings;
  const QString folder =
      settings.value(QStringLiteral("ChooseMediaDir"), QStandardPaths::writableLocation(QStandardPaths::HomeLocation))
          .toString();
  QString word;
  QString filter;
  switch (kind) {
  case 1:
    word = tr("video");
    filter = Util::videoFileFilter();
    break;
  case 2:
    word = tr("picture");
    filter = Util::pictureFileFilter();
    break;
  case 4:
    word = tr("music");
    filter = Util::musicFileFilter();
    break;
  default:
    word = tr("media");
    filter = tr("All media files (*.*)");
    break;
  }
  const QString path = DialogProvider::instance()->getOpenFileName(
      nullptr, tr("Choose %1 file to added into the current movie").arg(word), folder, filter, nullptr, {});
  if (path.isNull())
    return;
  settings.setValue(QStringLiteral("ChooseMediaDir"), QFileInfo(path).path());
  if (_insertTrack)
    _insertMediaFile(path, kind, {}, _playheadTime(), true, true);
  else
    _replaceEditedPicture(path, kind);
}

float MainWindow::_timeAfterTrackContent(TrackWidget *track, float time)
{
  if (!track || track == _lastTrackWidget)
    return time;
  return qMax(time, track->contentDuration());
}

bool MainWindow::_insertMediaFile(const QString &source, int kind, const QVariantHash &properties, float time,
                                  bool atPlayhead, bool recordUndo)
{
  QString path = source;
  if (!_copyIntoProjectWhenAsked(path))
    return false;
  if (!_lastTrackWidget)
    return false;
  TrackWidget *target = _insertTrack;
  if (!target)
    return false;
  if (recordUndo)
    _recordOperation();

  if (kind == 7) {
    const QString mime = QMimeDatabase().mimeTypeForFile(path).name();
    qDebug().noquote() << "Insert media file mime type: " + mime;
    if (mime.startsWith(QLatin1String("image/")))
      kind = 2;
    else if (mime.startsWith(QLatin1String("video/")))
      kind = 1;
    else if (mime.startsWith(QLatin1String("audio/")))
      kind = 4;
    else
      return false;
  }
  if (kind != 1 && kind != 2 && kind != 4)
    return false;

  const bool music = kind == 4;
  const bool onLastTrack = target == _lastTrackWidget;
  float t = time;
  if (!atPlayhead) {
    if (!music)
      _dropInsertionTime = time > 0 ? time + 0.01f : time;
  } else if (!onLastTrack) {
    t = _timeAfterTrackContent(target, _playheadTime());
    _scrollTimelineToTime(!music && t > 0 ? t + 0.01f : t, true);
  } else if (kind == 1 && _editScrollArea->movieTrackCount() >= 4) {
    // A fifth video track is refused: the clip goes to the start of the first one instead.
    if (TrackWidget *first = _editScrollArea->firstMovieTrack()) {
      target = first;
      t = _projectManager->startTime();
      _scrollTimelineToTime(t > 0 ? t + 0.01f : t, true);
    }
  }

  Segment *segment = nullptr;
  QString type;
  UserSettings *settings = UserSettings::instance();
  if (kind == 1) {
    segment = new MovieSegment(path, t, this, styleDefaults());
    type = QStringLiteral("MOVIE");
  } else if (kind == 2) {
    auto *image = new ImageSegment(path, t, settings->photoDuration(), this, styleDefaults());
    if (properties.contains(QStringLiteral("scale"))) {
      const float scale = properties.value(QStringLiteral("scale")).toFloat();
      if (scale != 1.0f)
        image->setUserScale(QSizeF(scale, scale));
    }
    // An animation's own length is learnt before the block is placed, so the block, the
    // project's length and the engine start from the same value.
    image->setFitDurationToAnimation(true);
    image->loadAnimation();
    segment = image;
    type = QStringLiteral("IMAGE");
  } else {
    QString title = properties.value(QStringLiteral("title")).toString();
    const QString artist = properties.value(QStringLiteral("artist")).toString();
    const bool fromFileName = title.isEmpty();
    if (fromFileName)
      title = QFileInfo(path).baseName();
    auto *tune = new MusicSegment(path, t, title, artist, this);
    if (fromFileName)
      tune->setTitleIsFileName(true);
    segment = tune;
    type = QStringLiteral("MUSIC");
  }

  SegmentWidget *block = _placeNewSegment(segment, target, type, true);
  if (target == _lastTrackWidget) {
    _addTrack();
    _editScrollArea->makeWidgetVisible(block);
  }
  _showNewSegmentTips(block);
  return true;
}

SegmentWidget *MainWindow::_placeNewSegment(Segment *segment, TrackWidget *track, const QString &type, bool animated)
{
  SegmentWidget *block = track->addSegment(segment);
  block->setSegment(segment);
  segment->setTrackId(track->tag());
  block->setScale(_zoom, animated);
  track->setType(type);
  if (_gutter)
    _gutter->setTrackType(track->tag(), type);
  _projectManager->insertSegment(segment, block);
  _editScrollArea->connectSegmentWidget(block);

  const float oldDuration = _projectManager->duration();
  _projectManager->updateDuration();
  const float duration = _projectManager->duration();
  if (duration != oldDuration) {
    if (_hooks.rulerScrollArea)
      _hooks.rulerScrollArea->setScale(_zoom, duration);
    _editScrollArea->setScale(_zoom, duration);
  }
  return block;
}

bool MainWindow::_copyIntoProjectWhenAsked(QString &path)
{
  if (!UserSettings::instance()->autoCopyAssets())
    return true;
  const QString directory = ProjectManager::projectDirectory(_projectName, _projectFolder);
  if (path.indexOf(directory) >= 0)
    return true;
  QPointer<MainWindow> self(this);
  path = _copyMediaIntoProject(path, directory);
  return self && !path.isEmpty();
}

QString MainWindow::_copyMediaIntoProject(const QString &source, const QString &projectDirectory)
{
  const QFileInfo info(source);
  const QString suffix = info.completeSuffix();
  QString name = info.fileName();
  QString destination = projectDirectory + QDir::separator() + name;
  if (!suffix.isEmpty())
    name = info.baseName();
  for (int n = 1; QFile::exists(destination); ++n)
    destination = projectDirectory + QStringLiteral("/%1 Copy %2.%3").arg(name).arg(n).arg(suffix);

  const qint64 total = info.size();
  // The state and the thread belong to this call, not to the window: the window may go while
  // the copy runs, and the thread is always joined here.
  FileCopyState state;
  const auto task = _copyTask;
  std::unique_ptr<QThread> thread(
      QThread::create([task, source, destination, &state] { task(source, destination, &state); }));
  // The window refuses to close from now on, not only once the display shows.
  _copyingMedia = true;
  thread->start(QThread::InheritPriority);
  QPointer<MainWindow> self(this);
  // Progress shows once the copy has run half a second, then every half second, by the clock:
  // on a busy machine a pass of the loop takes far longer than its sleep.
  QElapsedTimer clock;
  clock.start();
  for (qint64 due = 500; state.running;) {
    QThread::msleep(50);
    QCoreApplication::processEvents();
    if (self && clock.elapsed() >= due) {
      showProgressHUD(tr("Copying file..."), total > 0 ? float(state.bytesCopied) / float(total) : 0.0f);
      due = clock.elapsed() + 500;
    }
  }
  thread->wait();
  if (!self)
    return QString();
  _copyingMedia = false;
  if (_progressHUD) {
    _progressHUD->hide();
    _progressHUD->close();
    delete _progressHUD;
    _progressHUD = nullptr;
  }
  if (state.succeeded)
    return destination;
  ProgressHUD::showTextMessage(tr("Copy file failed"), this, 2000);
  return QString();
}

void MainWindow::_replaceEditedPicture(const QString &source, int kind)
{
  QString path = source;
  if (!_copyIntoProjectWhenAsked(path))
    return;
  SegmentWidget *block = _editScrollArea->editingSegmentWidget();
  if (!block || kind != 2 || !block->segment() || block->segment()->type() != QLatin1String("IMAGE"))
    return;
  _recordOperation();
  static_cast<ImageSegment *>(block->segment())->replaceFile(path);
  block->setScale(_zoom, false);
  _updateTransformWidgetGeometry(true);
  if (_engine) {
    std::vector<quint32> ids(size_t(qMax(1, _projectManager->segmentCount())));
    const int count = _projectManager->layerSegmentIds(ids.data());
    _engine->setLayerOrder(ids.data(), count);
  }
  _projectManager->setModified(true);
}

void MainWindow::_insertNewSegmentAtPlayhead(Segment *segment, const QString &type)
{
  SegmentWidget *block = _placeNewSegment(segment, _insertTrack, type, true);
  if (_insertTrack == _lastTrackWidget)
    _addTrack();
  QPointer<SegmentWidget> created(block);
  QTimer::singleShot(750, this, [this, created] {
    if (!created)
      return;
    // The editor opens in place at once, not sliding in.
    QApplication::setEffectEnabled(Qt::UI_General, false);
    _editNewSegment(created);
    QApplication::setEffectEnabled(Qt::UI_General, true);
  });
}

void MainWindow::_editNewSegment(SegmentWidget *block)
{
  block->setEditingState(true, false);
  Segment *segment = block->segment();
  if (segment->type() == QLatin1String("DRAWING"))
    _beginDrawing(segment);
  else
    _beginTextEditing(segment);
}

bool MainWindow::_beginNewSegmentAtPlayhead(float &t)
{
  const float playhead = _playheadTime();
  if (!_lastTrackWidget || !_insertTrack)
    return false;
  _recordOperation();
  t = playhead;
  if (_insertTrack != _lastTrackWidget) {
    t = _timeAfterTrackContent(_insertTrack, playhead);
    const float shown = t > 0 ? t + 0.01f : t;
    _scrollTimelineTo(int(std::ceil(PixelsPerSecond * _zoom * shown - _playheadX)), true);
  }
  return true;
}

void MainWindow::_addNewDrawingSegment()
{
  float t = 0;
  if (!_beginNewSegmentAtPlayhead(t))
    return;
  const QSizeF aspect = _projectManager->aspectSize();
  const QSize size = exportFrameSize(float(aspect.width()), float(aspect.height()), 4);
  const float duration = UserSettings::instance()->drawingDuration();
  auto *drawing = new DrawingSegment(QSizeF(size), t, duration, this, styleDefaults());
  drawing->setDuration(duration);
  _insertNewSegmentAtPlayhead(drawing, QStringLiteral("DRAWING"));
}

void MainWindow::_addNewTextSegment()
{
  float t = 0;
  if (!_beginNewSegmentAtPlayhead(t))
    return;
  const float duration = UserSettings::instance()->textDuration();
  auto *text = new TextSegment(QString(), t, duration, this, styleDefaults());
  text->setDuration(duration);
  _insertNewSegmentAtPlayhead(text, QStringLiteral("TEXT"));
}

void MainWindow::_addNewVoiceSegment(const QString &recordedFile, float startTime, const QList<float> &meterValues)
{
  if (!_lastTrackWidget || !_insertTrack)
    return;
  TrackWidget *target = _insertTrack;
  _recordOperation();
  if (Util::compareWithTolerance(startTime, _playheadTime(), 0.01f) != 0)
    _scrollTimelineTo(int(std::ceil(PixelsPerSecond * _zoom * startTime - _playheadX)), true);
  auto *voice = new VoiceSegment(recordedFile, startTime, meterValues, this);
  SegmentWidget *block = _placeNewSegment(voice, target, QStringLiteral("VOICE"), true);
  if (target != _lastTrackWidget)
    return;
  _addTrack();
  _showNewSegmentTips(block);
}

void MainWindow::_showNewSegmentTips(SegmentWidget *block)
{
  // By id: the segment may be gone (undo, removal) when the tips come. The tips keep their
  // own rules: none while closing, none over a selected block, later while media still load.
  const quint32 id = block && block->segment() ? block->segment()->id() : 0;
  QTimer::singleShot(500, this, [this, id] {
    const int index = id ? _projectManager->indexOfSegmentId(id) : -1;
    if (index >= 0)
      _showSegmentOperationTips(_projectManager->segmentAt(index));
  });
}

float MainWindow::_prepareInsertTime()
{
  float t = _playheadTime();
  if (_insertTrack && _insertTrack != _lastTrackWidget) {
    t = qMax(t, _insertTrack->contentDuration());
    _scrollTimelineTo(int(std::ceil(PixelsPerSecond * _zoom * t - _playheadX)), true);
    _seekToTime(t, true);
  }
  return qMax(t, 0.0f);
}

void MainWindow::_overwriteTrackRange(TrackWidget *track, float start, float duration, Segment *keep)
{
  if (!track)
    return;
  const float end = start + duration;
  QList<Segment *> removed;
  QList<Segment *> overlapping;
  for (int i = 0; i < track->segmentWidgetCount(); ++i) {
    Segment *segment = track->segmentWidgetAt(i)->segment();
    if (!segment || segment == keep)
      continue;
    const float s = segment->rangeStart();
    const float e = s + segment->duration();
    if (compare(s, end) < 0 && compare(e, start) > 0)
      overlapping.append(segment);
  }

  // Moves the head of a segment to a time; the transitions that still lie inside it stay where
  // they were, the others go.
  auto cutHead = [this](Segment *segment, float time) {
    const auto times = _removeTransitionsBefore(time, segment);
    float edge = time;
    segment->moveLeftEdge(&edge);
    if (_engine) {
      _engine->setSegmentStartTime(segment->id(), segment->rangeStart());
      if (segment->audioPartId())
        _engine->setSegmentStartTime(segment->audioPartId(), segment->rangeStart());
    }
    _updateEngineSegmentRange(segment);
    _updateTransitionTimes(times, segment);
  };
  auto cutTail = [this](Segment *segment, float time) {
    const auto times = _removeTransitionsAfter(time, segment);
    float edge = time;
    segment->moveRightEdge(&edge);
    _updateEngineSegmentRange(segment);
    _updateTransitionTimes(times, segment);
  };
  auto relayout = [this](Segment *segment) {
    if (auto *block = static_cast<SegmentWidget *>(_projectManager->segmentWidgetOf(segment)))
      block->setScale(_zoom, false);
  };

  for (Segment *segment : qAsConst(overlapping)) {
    const float s = segment->rangeStart();
    const float e = s + segment->duration();
    const bool headInside = compare(s, start) >= 0;
    const bool tailInside = compare(e, end) <= 0;
    if (headInside && tailInside) {
      _projectManager->removeSegment(segment);
      if (_engine) {
        _engine->removeSegment(segment->id());
        if (segment->audioPartId())
          _engine->removeSegment(segment->audioPartId());
      }
      removed.append(segment);
    } else if (headInside) {
      cutHead(segment, end);
      relayout(segment);
    } else if (tailInside) {
      cutTail(segment, start);
      relayout(segment);
    } else {
      Segment *copy = _cloneSegment(segment, s);
      if (copy) {
        cutHead(copy, end);
        SegmentWidget *block = track->addSegment(copy);
        block->setSegment(copy);
        copy->setTrackId(track->tag());
        block->setScale(_zoom, false);
        _projectManager->insertSegment(copy, block);
        _editScrollArea->connectSegmentWidget(block);
        _lastSplitPieceId = copy->id();
      }
      cutTail(segment, start);
      relayout(segment);
    }
  }
  for (Segment *segment : qAsConst(removed)) {
    track->removeSegment(segment, false);
    delete segment;
  }
}
