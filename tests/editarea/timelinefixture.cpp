#include "timelinefixture.h"

#include "gestures.h"

#include "drawingsegment.h"
#include "imagesegment.h"
#include "moviesegment.h"
#include "musicsegment.h"
#include "segmentwidget.h"
#include "textsegment.h"
#include "timelinegeometry.h"
#include "trackwidget.h"
#include "util.h"
#include "voicesegment.h"

#include <QScroller>
#include <QScrollerProperties>
#include <QtTest>

TimelineWindow::TimelineWindow(int width, int height)
{
  window.setObjectName(QStringLiteral("TestMainWindow"));
  auto *central = new QWidget;
  window.setCentralWidget(central);
  area = new EditScrollArea(central);
  area->setObjectName(QStringLiteral("editScrollArea"));
  auto *content = new QWidget;
  content->setObjectName(QStringLiteral("editScrollAreaWidget"));
  area->setWidget(content);
  area->setGeometry(0, 0, width, height);
  Gestures::takePressesAtOnce(area);
  window.resize(width, height);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window))
    qWarning("TimelineWindow: not exposed");
}

int TimelineWindow::screenSide()
{
  return Util::portraitScreenSize().width();
}

Segment *TimelineWindow::makeSegment(const QString &type, float start, float duration, float speed)
{
  std::unique_ptr<Segment> s;
  if (type == QLatin1String("MOVIE"))
    s = std::make_unique<MovieSegment>(QStringLiteral("/nonexistent/clip.mp4"), start, nullptr, nullptr);
  else if (type == QLatin1String("MUSIC"))
    s = std::make_unique<MusicSegment>(QStringLiteral("/nonexistent/song.wav"), start, QString(), QString(), nullptr);
  else if (type == QLatin1String("VOICE"))
    s = std::make_unique<VoiceSegment>(QStringLiteral("/nonexistent/voice.wav"), start, QList<float>(), nullptr);
  else if (type == QLatin1String("TEXT"))
    s = std::make_unique<TextSegment>(QStringLiteral("Hello"), start, duration, nullptr, nullptr);
  else if (type == QLatin1String("DRAWING"))
    s = std::make_unique<DrawingSegment>(QSizeF(320, 240), start, duration, nullptr, nullptr);
  else
    s = std::make_unique<ImageSegment>(QStringLiteral("/nonexistent/picture.png"), start, duration, nullptr, nullptr);
  s->setRangeStart(start);
  s->setSpeed(speed);
  s->setDuration(duration);
  segments.push_back(std::move(s));
  return segments.back().get();
}

TrackWidget *TimelineWindow::addTrack(const QList<Segment *> &list, float duration)
{
  TrackWidget *track = area->addTrack(area->zoom(), duration);
  track->setTag(area->trackCount());
  for (Segment *s : list) {
    SegmentWidget *block = track->addSegment(s);
    area->connectSegmentWidget(block);
    if (track->type().isEmpty())
      track->setType(s->type());
  }
  track->setScale(area->zoom(), false);
  return track;
}

SegmentWidget *TimelineWindow::addBlock(const QString &type, float start, float duration, float speed)
{
  return addTrack({makeSegment(type, start, duration, speed)})->segmentWidgetAt(0);
}

QRect TimelineWindow::rectInViewport(SegmentWidget *block, EditScrollArea *area)
{
  return QRect(block->mapTo(area->viewport(), QPoint(0, 0)), block->size());
}
