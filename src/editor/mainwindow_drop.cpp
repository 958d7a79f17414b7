// Drag and drop onto the timeline: files from the file manager, built-in assets and web GIFs
// from the media explorer. One pending drop is kept from the drag's entry to its drop.

#include "mainwindow.h"

#include "avengine.h"
#include "editscrollarea.h"
#include "mediaexplorer.h"
#include "popupmediatypeselectionwidget.h"
#include "projectmanager.h"
#include "segmentwidget.h"
#include "tipmanager.h"
#include "commonpopuphelptipwidget.h"
#include "trackwidget.h"
#include "usersettings.h"
#include "util.h"

#include <QDebug>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QMimeDatabase>
#include <QScrollBar>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace {

constexpr float PixelsPerSecond = 24;
constexpr int LeftMargin = 60;

QString text(const QMimeData *data, const char *format)
{
  return QString::fromUtf8(data->data(QLatin1String(format)));
}

float number(const QMimeData *data, const char *format)
{
  return text(data, format).toFloat();
}

QString joined(const QStringList &items)
{
  return QLatin1Char('(') + items.join(QLatin1String(", ")) + QLatin1Char(')');
}

} // namespace

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
  const QMimeData *data = event->mimeData();
  // Another program's data is fetched from it on each read and can change between two reads
  // (its drag ended, its answer came late): the list is read once.
  const QList<QUrl> dropped = data->urls();
  QStringList urls;
  for (const QUrl &url : dropped)
    urls << url.toString();
  qDebug().noquote() << "MainWindow dropEnterEvent" << joined(data->formats()) << joined(urls);

  // A new drag: whatever an earlier one left pending is forgotten.
  ++_dragSerial;
  _pendingDownloadId.clear();
  _dropUnreadable = false;
  const quint64 serial = _dragSerial;

  if (!dropped.isEmpty() && dropped.first().isLocalFile()) {
    const QString path = dropped.first().toLocalFile();
    const QString mime = QMimeDatabase().mimeTypeForFile(path).name();
    qDebug().noquote() << "Dragging media file mime type: " + mime;
    QString type;
    if (mime.startsWith(QLatin1String("image/")))
      type = QStringLiteral("IMAGE");
    else if (mime.startsWith(QLatin1String("video/")))
      type = QStringLiteral("MOVIE");
    else if (mime.startsWith(QLatin1String("audio/")))
      type = QStringLiteral("MUSIC");
    else
      return;
    _dropPath = path;
    _dropType = type;
    _dropScale = 1.0f;
    _webItemId.clear();
    const bool gif = type == QLatin1String("IMAGE") && QFileInfo(path).suffix().toUpper() == QLatin1String("GIF");
    _dropLength = type == QLatin1String("IMAGE") ? UserSettings::instance()->photoDuration() : 0.0f;
    if (type != QLatin1String("IMAGE") || gif) {
      // The length comes back to the GUI thread by the thread's finished signal, queued to the
      // window: a window gone by then receives nothing, a later drag ignores it.
      auto length = std::make_shared<double>(0);
      QThread *worker = QThread::create([path, gif, length] {
        if (gif) {
          *length = Util::gifDuration(path);
          qDebug() << "Dragging GIF file duration " << *length;
        } else {
          QString video;
          QString audio;
          Util::probeMediaInfo(path, video, audio, *length);
          qDebug() << "Dragging media file duration " << *length;
        }
      });
      connect(worker, &QThread::finished, worker, &QObject::deleteLater);
      connect(worker, &QThread::finished, this, [this, serial, length] {
        if (serial != _dragSerial)
          return;
        _dropLength = float(*length);
        _dropUnreadable = _dropLength <= 0;
      });
      worker->start(QThread::InheritPriority);
    }
  } else if (data->hasFormat(QStringLiteral("media/resource-asset-path"))) {
    const int kind = text(data, "media/resource-asset-type").toInt();
    float length = number(data, "media/resource-asset-length");
    QString type;
    if (kind == 2) {
      type = QStringLiteral("IMAGE");
      if (length <= 0)
        length = UserSettings::instance()->photoDuration();
    } else if (kind == 1) {
      type = QStringLiteral("MOVIE");
    } else if (kind == 3) {
      type = QStringLiteral("MUSIC");
    } else {
      return;
    }
    _dropPath = text(data, "media/resource-asset-path");
    _dropType = type;
    _dropLength = length;
    _dropScale = number(data, "media/resource-asset-scale");
    _webItemId.clear();
  } else if (data->hasFormat(QStringLiteral("media/giphy-gif-id"))) {
    const float length = number(data, "media/giphy-gif-length");
    if (length <= 0)
      return;
    _dropType = QStringLiteral("IMAGE");
    _webItemId = text(data, "media/giphy-gif-id");
    _dropPath = text(data, "media/giphy-gif-path");
    if (_dropPath.isEmpty())
      _dropPath = text(data, "media/giphy-gif-url");
    _dropLength = length;
    _dropScale = number(data, "media/giphy-gif-scale");
  } else {
    return;
  }

  if (_mediaTypePopup)
    _mediaTypePopup->dismiss();
  if (SegmentWidget *editing = _editScrollArea->editingSegmentWidget())
    editing->setEditingState(false, true);
  _exitRangeSelection();
  if (_engine)
    _engine->pause();
  _editScrollArea->setSegmentsEditable(true);
  event->setDropAction(event->proposedAction());
  event->accept();
  if (TipManager::hasInstance())
    TipManager::instance()->finishTip(QStringLiteral("MediaExplorerHelpTip"));
}

void MainWindow::dragMoveEvent(QDragMoveEvent *event)
{
  qDebug() << "MainWindow dragMoveEvent";
  if (!_dropPath.isEmpty() && !_dropType.isEmpty() && _dropLength > 0) {
    QWidget *content = _editScrollArea->widget();
    const QPoint point = content->mapFrom(this, event->pos());
    float time = (point.x() - LeftMargin) / (PixelsPerSecond * _zoom);
    if (time <= 0)
      time = 0;
    _dropTrack = nullptr;
    _dropTime = 0;
    _dropPoint = QPoint();
    for (int i = 0; i < _editScrollArea->trackCount(); ++i) {
      TrackWidget *track = _editScrollArea->trackWidgetAt(i);
      const bool candidate = track->geometry().contains(point)
                             && (track->type() == _dropType || track->segmentWidgetCount() == 0)
                             && _editScrollArea->canTrackTakeSegmentType(_dropType, track);
      if (!candidate) {
        track->hideDraggingFrame();
        continue;
      }
      float snapped = time;
      track->showDraggingFrame(nullptr, &snapped, _dropLength, [this](float t, Segment *except, TrackWidget *skip) {
        return _editScrollArea->alignTimeAcrossTracks(t, except, skip);
      });
      _dropTime = snapped;
      _dropTrack = track;
      _dropPoint = point;
    }
  }

  if (QWidget *parent = _editScrollArea->parentWidget()) {
    const QPoint p = parent->mapFrom(this, event->pos());
    if (!_dropInside && parent->rect().contains(p))
      _dropInside = true;
    if (!_dropInside) {
      _resetDragEdges();
    } else {
      const QRect area = _editScrollArea->geometry();
      TrackWidget *first = _editScrollArea->firstTrack();
      const int rowHeight = first ? first->height() : 0;
      const bool wasHorizontal = _dragAtLeftEdge || _dragAtRightEdge;
      const bool wasVertical = _dragAtTopEdge || _dragAtBottomEdge;
      _dragAtLeftEdge = p.x() - LeftMargin - area.x() < 0;
      _dragAtRightEdge = p.x() > (area.x() - LeftMargin) + area.width();
      _dragAtTopEdge = p.y() < area.y() + rowHeight;
      _dragAtBottomEdge = p.y() > area.y() + area.height() - rowHeight;
      if (!wasHorizontal && (_dragAtLeftEdge || _dragAtRightEdge))
        _startDragEdgeScroll(true);
      if (!wasVertical && (_dragAtTopEdge || _dragAtBottomEdge))
        _startDragEdgeScroll(false);
    }
  }

  // A file that cannot be read still takes the drop over the timeline, to say so.
  if (_dropTrack || (_dropUnreadable && _editScrollArea->rect().contains(_editScrollArea->mapFrom(this, event->pos()))))
    event->accept();
  else
    event->ignore();
}

void MainWindow::dragLeaveEvent(QDragLeaveEvent *event)
{
  Q_UNUSED(event)
  qDebug() << "MainWindow dragLeaveEvent";
  // A web GIF dragged out again must not be inserted by a later download of the same GIF.
  _pendingDownloadId.clear();
  _resetDragEdges();
  // A cancelled drag leaves no frame behind.
  for (int i = 0; i < _editScrollArea->trackCount(); ++i)
    _editScrollArea->trackWidgetAt(i)->hideDraggingFrame();
}

void MainWindow::_resetDragEdges()
{
  _dragAtLeftEdge = false;
  _dragAtRightEdge = false;
  _dragAtTopEdge = false;
  _dragAtBottomEdge = false;
}

void MainWindow::_startDragEdgeScroll(bool horizontal)
{
  QTimer::singleShot(500, this, [this, horizontal] {
    horizontal ? _autoScrollWhileDragging() : _autoScrollVerticallyWhileDragging();
  });
}

void MainWindow::dropEvent(QDropEvent *event)
{
  qDebug() << "MainWindow dropEvent";
  if (SegmentWidget *editing = _editScrollArea->editingSegmentWidget())
    editing->setEditingState(false, true);
  if (_engine)
    _engine->pause();
  for (int i = 0; i < _editScrollArea->trackCount(); ++i)
    _editScrollArea->trackWidgetAt(i)->hideDraggingFrame();
  _editScrollArea->setSegmentsEditable(true);
  _resetDragEdges();

  if (_dropUnreadable) {
    _dropUnreadable = false;
    if (event)
      event->ignore();
    ProgressHUD::showTextMessage(tr("This file cannot be opened"), this, 2000);
    return;
  }
  if (!_dropTrack) {
    if (event)
      event->ignore();
    return;
  }

  const QString directory = ProjectManager::projectDirectory(_projectName, _projectFolder);
  QString pattern;
  if (_dropPath.startsWith(QLatin1Char(':'))) {
    if (_dropType == QLatin1String("IMAGE"))
      pattern = QStringLiteral("libraryImage-%1.png");
    else if (_dropType == QLatin1String("MUSIC"))
      pattern = QStringLiteral("librarySound-%1.mp3");
  } else if (!_webItemId.isEmpty()
             && (_dropPath.startsWith(QLatin1String("http://")) || _dropPath.startsWith(QLatin1String("https://")))) {
    // The drop completes when the download arrives.
    _pendingDownloadId = _webItemId;
    if (_mediaExplorer)
      _mediaExplorer->downloadGiphyGif(_webItemId, _dropPath);
    if (event)
      event->accept();
    return;
  } else if (!_webItemId.isEmpty()) {
    pattern = QStringLiteral("libraryWebItem-%1.gif");
  }
  if (!pattern.isEmpty()) {
    QString target;
    for (int n = 1;; ++n) {
      target = directory + QDir::separator() + pattern.arg(n);
      if (!QFile::exists(target))
        break;
    }
    if (!Util::copyFile(_dropPath, target, false)) {
      if (event)
        event->ignore();
      ProgressHUD::showTextMessage(tr("Copy file failed"), this, 2000);
      return;
    }
    // Built-in assets are read-only resources; the project's copy must be the user's to delete.
    QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
    _dropPath = target;
  }

  _recordOperation();
  TrackWidget *track = _dropTrack;
  if (_projectManager->segmentMode() == 0) {
    float shift = _dropLength;
    float from = _dropTime;
    SegmentView *under = _projectManager->segmentWidgetAtTime(_dropTime, track->tag());
    if (under && under->segment()) {
      const float start = under->segment()->rangeStart();
      shift = (_dropTime - start) + _dropLength;
      from = start - 0.033333335f;
    }
    _shiftSegmentsOnTrack(shift, from, track->tag(), true);
  } else {
    _overwriteTrackRange(track, _dropTime, _dropLength, nullptr);
  }

  _insertTrack = track;
  _insertTrackTag = track->tag();
  int kind = 7;
  if (_dropType == QLatin1String("MOVIE"))
    kind = 1;
  else if (_dropType == QLatin1String("IMAGE"))
    kind = 2;
  else if (_dropType == QLatin1String("MUSIC"))
    kind = 4;
  QVariantHash properties;
  if (_dropType == QLatin1String("IMAGE") && _dropScale != 1.0f)
    properties.insert(QStringLiteral("scale"), _dropScale);
  _dropInsertionTime = _dropTime;
  QPointer<MainWindow> self(this);
  _insertMediaFile(_dropPath, kind, properties, _dropTime, false, false);
  if (!self)
    return;
  _setPlayheadTime(_dropInsertionTime > 0 ? _dropInsertionTime + 0.01f : _dropInsertionTime, true);
  _finishDrop();
  if (event)
    event->accept();
}

void MainWindow::_finishDrop()
{
  _dropTrack = nullptr;
  _dropTime = 0;
  _dropLength = 0;
  _dropPoint = QPoint();
  _webItemId.clear();
  _pendingDownloadId.clear();
  _dropInside = false;
  // A duration worker still running for this drag must not bring the length back.
  ++_dragSerial;
}
