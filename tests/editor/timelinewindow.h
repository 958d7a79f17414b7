#pragma once
// The timeline editing tests' ground: the editor window opened on a project of picture segments
// laid out by rows, with the window's timeline state opened up and helpers that read the rows
// back as spans.

#include "editorfixture.h"
#include "mediafixtures.h"

#include "editscrollarea.h"
#include "progresshud.h"
#include "projectmanager.h"
#include "segment.h"
#include "segmentwidget.h"
#include "trackwidget.h"

#include <QFile>
#include <QLabel>
#include <QtTest>

#include <memory>

class TimelineWindow : public TestEditorWindow
{
public:
  using MainWindow::_atLeftEdge;
  using MainWindow::_atRightEdge;
  using MainWindow::_autoScrollSpeed;
  using MainWindow::_autoScrollWhileDragging;
  using MainWindow::_autoScrollVerticallyWhileDragging;
  using MainWindow::_autoScrollWhileSelecting;
  using MainWindow::_dragAtLeftEdge;
  using MainWindow::_dragAtRightEdge;
  using MainWindow::_dropLength;
  using MainWindow::_dropTime;
  using MainWindow::_dropTrack;
  using MainWindow::_enterRangeSelection;
  using MainWindow::_exitRangeSelection;
  using MainWindow::_gutter;
  using MainWindow::_lastTrackWidget;
  using MainWindow::_selectionOperationWidget;
  using MainWindow::_showTransitionTools;
  using MainWindow::_splitMutex;
  using MainWindow::_zoom;
  using MainWindow::easingFunctionPopup_onEasingFunctionSelected;
  using MainWindow::editScrollArea_grabSegmentScreen;
};

// Spans of one row, in start order: (start, end) in seconds.
using Spans = QList<QPair<float, float>>;
Q_DECLARE_METATYPE(Spans)

struct TimelineProject
{
  EditorProject project;
  std::unique_ptr<TimelineWindow> window;

  // rows: per row, the spans of its picture segments. Extra XML goes in as it is.
  bool open(const QList<Spans> &rows, const QByteArray &extraXml = QByteArray(), int extraCount = 0)
  {
    const QString dir = project.directory();
    if (!project.isValid() || !MediaFixtures::writePicture(dir + "/still.png", 160, 120))
      return false;
    QByteArray xml = "<?xml version=\"1.0\"?>\n<Project>\n";
    int count = extraCount;
    for (int row = 0; row < rows.size(); ++row) {
      for (const auto &span : rows[row]) {
        xml += QStringLiteral("<Segment Type=\"IMAGE\" TrackId=\"%1\" RangeStart=\"%2\" RangeDuration=\"%3\" "
                              "File=\"still.png\"/>\n")
                   .arg(row + 1)
                   .arg(double(span.first))
                   .arg(double(span.second - span.first))
                   .toUtf8();
        ++count;
      }
    }
    xml += extraXml + "</Project>\n";
    QFile segments(dir + "/project.xml");
    QFile properties(dir + "/properties.xml");
    if (!segments.open(QIODevice::WriteOnly) || segments.write(xml) != xml.size()
        || !properties.open(QIODevice::WriteOnly)
        || properties.write("<?xml version=\"1.0\"?>\n<Properties version=\"5.0\"/>\n") < 0)
      return false;
    segments.close();
    properties.close();
    window = std::make_unique<TimelineWindow>();
    window->resize(1200, 800);
    window->show();
    return QTest::qWaitFor(
        [&] {
          ProjectManager *manager = window->projectManager();
          if (!window->previewWidget() || window->projectLoader() || window->progressHUD()
              || manager->segmentCount() != count)
            return false;
          for (int i = 0; i < count; ++i)
            if (manager->segmentAt(i)->state() != SegmentReady && manager->segmentAt(i)->error() == 0)
              return false;
          return true;
        },
        30000);
  }

  ProjectManager *manager() const { return window->projectManager(); }
  EditScrollArea *area() const { return window->editScrollArea(); }
  TrackWidget *row(int index) const { return area()->trackWidgetAt(index); }

  Spans spans(int rowIndex) const
  {
    Spans result;
    TrackWidget *track = row(rowIndex);
    if (!track)
      return result;
    for (int i = 0; i < manager()->segmentCount(); ++i) {
      Segment *segment = manager()->segmentAt(i);
      if (segment->trackId() == track->tag())
        result << qMakePair(segment->rangeStart(), segment->rangeStart() + segment->duration());
    }
    std::sort(result.begin(), result.end());
    return result;
  }

  Segment *segment(int rowIndex, int index) const
  {
    TrackWidget *track = row(rowIndex);
    QList<Segment *> found;
    for (int i = 0; track && i < manager()->segmentCount(); ++i)
      if (manager()->segmentAt(i)->trackId() == track->tag())
        found << manager()->segmentAt(i);
    std::sort(found.begin(), found.end(),
              [](Segment *a, Segment *b) { return a->rangeStart() < b->rangeStart(); });
    return found.value(index);
  }

  SegmentWidget *block(Segment *segment) const
  {
    return static_cast<SegmentWidget *>(manager()->segmentWidgetOf(segment));
  }

  // The play head at time t, the timeline scrolled as little as needed.
  void playheadAt(float t) const
  {
    window->_setPlayheadTime(t, false);
    QTRY_VERIFY(qAbs(window->_playheadTime() - t) < 0.05f);
  }

  int historyCount() const { return manager()->history().count(); }

  // Texts of the heads-up messages on screen.
  QStringList messages() const
  {
    QStringList texts;
    for (ProgressHUD *hud : window->findChildren<ProgressHUD *>())
      if (hud->style() == ProgressHUDStyleText && hud->textLabel())
        texts << hud->textLabel()->text();
    return texts;
  }
};

// Spans compared to within a millisecond.
inline bool sameSpans(const Spans &a, const Spans &b)
{
  if (a.size() != b.size())
    return false;
  for (int i = 0; i < a.size(); ++i)
    if (qAbs(a[i].first - b[i].first) > 1e-3f || qAbs(a[i].second - b[i].second) > 1e-3f)
      return false;
  return true;
}

inline QString spansText(const Spans &spans)
{
  QStringList parts;
  for (const auto &span : spans)
    parts << QStringLiteral("[%1, %2]").arg(double(span.first)).arg(double(span.second));
  return parts.join(QLatin1Char(' '));
}

#define COMPARE_SPANS(actual, expected)                                                                               \
  QVERIFY2(sameSpans(actual, expected),                                                                               \
           qPrintable(QStringLiteral("got %1, expected %2").arg(spansText(actual), spansText(expected))))
