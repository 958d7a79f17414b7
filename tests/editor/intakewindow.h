#pragma once
// The editor window opened on a generated project for the media intake tests, with the intake's
// steps opened up and the editing hook of new text and drawing blocks recorded.

#include "editorfixture.h"

#include "commonpopuphelptipwidget.h"
#include "editscrollarea.h"
#include "gutterscrollarea.h"
#include "progresshud.h"
#include "projectmanager.h"
#include "segment.h"
#include "segmentwidget.h"
#include "tipmanager.h"
#include "trackwidget.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QUrl>
#include <QtTest>

#include <memory>

class IntakeWindow : public TestEditorWindow
{
public:
  using MainWindow::_addCapturedMovie;
  using MainWindow::_addCapturedPhoto;
  using MainWindow::_addMediaFileFromDialog;
  using MainWindow::_copyMediaIntoProject;
  using MainWindow::_copyTask;
  using MainWindow::_dropLength;
  using MainWindow::_insertMediaFile;
  using MainWindow::_insertTrack;
  using MainWindow::_lastTrackWidget;
  using MainWindow::_overwriteTrackRange;
  using MainWindow::_removeUnusedFiles;
  using MainWindow::_showMediaTypePopup;
  using MainWindow::_voiceStartTime;

  bool fullscreen = false;
  int editHooks = 0;
  qint64 hookAfterMs = -1;
  bool animationsDuringHook = true;
  QElapsedTimer sinceAdd;

  void _editNewSegment(SegmentWidget *) override
  {
    ++editHooks;
    hookAfterMs = sinceAdd.isValid() ? sinceAdd.elapsed() : -1;
    animationsDuringHook = QApplication::isEffectEnabled(Qt::UI_General);
  }

protected:
  bool _isPreviewFullscreen() const override { return fullscreen; }
};

inline bool writeProjectFile(const QString &path, const QByteArray &bytes)
{
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A project "Trip" of the given segment lines, opened once every segment is ready.
struct IntakeProject
{
  EditorProject project;
  std::unique_ptr<IntakeWindow> window;

  QString dir() const { return project.directory(); }

  bool open(const QByteArray &segments, int count)
  {
    // Help tips would refuse the add actions the tests run one after another.
    for (const char *tip : {"SegmentOperationDoubleTapTip", "SegmentOperationPressAndDragTip"})
      TipManager::instance()->finishTip(QString::fromLatin1(tip));
    if (!project.isValid()
        || !writeProjectFile(dir() + "/project.xml", "<?xml version=\"1.0\"?>\n<Project>\n" + segments + "</Project>\n")
        || !writeProjectFile(dir() + "/properties.xml",
                             "<?xml version=\"1.0\"?>\n<Properties version=\"5.0\" backgroundColor=\"#ff203040\"/>\n"))
      return false;
    window = std::make_unique<IntakeWindow>();
    window->resize(1200, 800);
    window->show();
    return QTest::qWaitFor(
        [&] {
          if (!window->previewWidget() || window->projectLoader() || window->progressHUD()
              || window->projectManager()->segmentCount() != count)
            return false;
          for (int i = 0; i < count; ++i)
            if (window->projectManager()->segmentAt(i)->state() != SegmentReady)
              return false;
          return true;
        },
        30000);
  }

  ProjectManager *model() const { return window->projectManager(); }
  TrackWidget *track(int index) const { return window->editScrollArea()->trackWidgetAt(index); }
  // "start-end" of every segment on a track, by start.
  QStringList ranges(TrackWidget *track) const { return segmentSpans(*window, track->tag()); }
  Segment *newest() const
  {
    Segment *found = nullptr;
    for (int i = 0; i < model()->segmentCount(); ++i)
      if (!found || model()->segmentAt(i)->id() > found->id())
        found = model()->segmentAt(i);
    return found;
  }
};

// A still picture line of a project: "IMAGE" on a track, from start for a length.
inline QByteArray pictureLine(int track, double start, double length, const char *file = "still.png")
{
  return QStringLiteral("<Segment Type=\"IMAGE\" TrackId=\"%1\" RangeStart=\"%2\" RangeDuration=\"%3\" File=\"%4\"/>\n")
      .arg(track)
      .arg(start)
      .arg(length)
      .arg(QLatin1String(file))
      .toUtf8();
}

// One drag carrying data, delivered to the window as the platform would.
struct Drag
{
  QWidget *window;
  QMimeData data;

  bool enter(const QPoint &pos)
  {
    QDragEnterEvent event(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &event);
    return event.isAccepted();
  }
  bool move(const QPoint &pos)
  {
    QDragMoveEvent event(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &event);
    return event.isAccepted();
  }
  bool drop(const QPoint &pos)
  {
    QDropEvent event(pos, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window, &event);
    return event.isAccepted();
  }
  void leave()
  {
    QDragLeaveEvent event;
    QApplication::sendEvent(window, &event);
  }
  // enter, then a move, then the drop at the same place.
  bool dropAt(const QPoint &pos)
  {
    if (!enter(pos))
      return false;
    if (!QTest::qWaitFor([&] { return move(pos); }, 10000))
      return false;
    return drop(pos);
  }
};

inline void setFile(QMimeData &data, const QString &path)
{
  data.setUrls({QUrl::fromLocalFile(path)});
}

// The texts of the window's HUD messages.
inline QStringList shownMessages(QWidget *window)
{
  QStringList texts;
  for (ProgressHUD *hud : window->findChildren<ProgressHUD *>())
    if (hud->textLabel())
      texts << hud->textLabel()->text();
  return texts;
}

// The window point over a track at a timeline time.
inline QPoint at(IntakeWindow *w, TrackWidget *track, float time)
{
  const QPoint content(60 + int(24 * w->zoom() * time), track->geometry().center().y());
  return w->editScrollArea()->widget()->mapTo(w, content);
}
