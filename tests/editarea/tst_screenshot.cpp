// A generated project on the timeline as the editor lays it out: gutter, ruler, play head
// and rows of a video strip, a waveform, a text and a picture. The picture is kept as
// editarea_timeline.png beside the test for people to look at.
#include "animationswitch.h"
#include "fakesegmentlistener.h"
#include "gutterscrollarea.h"
#include "imagesegment.h"
#include "mediafixtures.h"
#include "moviesegment.h"
#include "musicsegment.h"
#include "pixelprobe.h"
#include "pointerwidget.h"
#include "rulerscrollarea.h"
#include "rulerwidget.h"
#include "segmentwidget.h"
#include "tempprojectfolder.h"
#include "testenv.h"
#include "textsegment.h"
#include "timelinefixture.h"
#include "trackwidget.h"
#include "videothumbnailscache.h"

#include <QDir>
#include <QPushButton>

namespace {

// The fake listener with a real thumbnails cache behind the movie's strip.
class CachingListener : public FakeSegmentListener
{
public:
  VideoThumbnailsCache cache;

  void setCachedVideoThumbnail(Segment *segment, int index, const QPixmap &pixmap) override
  {
    FakeSegmentListener::setCachedVideoThumbnail(segment, index, pixmap);
    if (auto *movie = dynamic_cast<MovieSegment *>(segment))
      cache.setThumbnail(movie->filePath(), new QPixmap(pixmap), index);
  }
  VideoThumbnails *cachedVideoThumbnails(Segment *segment) override
  {
    auto *movie = dynamic_cast<MovieSegment *>(segment);
    return movie ? cache.videoThumbnails(movie->filePath()) : nullptr;
  }
};

} // namespace

class TestScreenshot : public QObject
{
  Q_OBJECT
private slots:
  void generatedProjectOnTheTimeline()
  {
    TempProjectFolder project;
    QVERIFY(project.isValid());
    const QString video = project.filePath("clip.mp4");
    const QString tone = project.filePath("tone.wav");
    const QString picture = project.filePath("picture.png");
    QVERIFY(MediaFixtures::writeColorVideo(video, 160, 90, 10, 60));
    QVERIFY(MediaFixtures::writeTone(tone, 6.0));
    QVERIFY(MediaFixtures::writePicture(picture, 160, 90));
    CachingListener listener;
    listener.folder = project.path();
    listener.zoom = 6; // the waveform's points: 24 a second

    // The engine is scripted: a 6-s movie with a strip of coloured frames.
    auto movie = std::make_unique<MovieSegment>(video, 1, &listener, nullptr);
    listener.videoDurations[movie->id()] = 6;
    listener.audioDurations[movie->audioPartId()] = 6;
    listener.videoSizes[movie->id()] = QSizeF(160, 90);
    QList<QPixmap> frames;
    for (int i = 0; i < 12; ++i) {
      QPixmap frame(64, 36);
      frame.fill(QColor::fromHsv(i * 30, 200, 230));
      frames.append(frame);
    }
    listener.engineThumbnails[movie->id()] = frames;
    QTRY_COMPARE(movie->state(), quint32(SegmentLoading));
    movie->loadStatusUpdated(movie->id(), 0, 1, 0);
    movie->loadStatusUpdated(movie->id(), 0, 0, 0);
    movie->loadStatusUpdated(movie->audioPartId(), 0, 0, 0);
    QVERIFY(movie->isTimelineContentReady());
    movie->insertTransition(1, 1);

    auto music = std::make_unique<MusicSegment>(tone, 0.5f, QStringLiteral("Tone"), QString(), &listener);
    listener.audioDurations[music->id()] = 6;
    QTRY_COMPARE(music->state(), quint32(SegmentLoading));
    music->loadStatusUpdated(music->id(), 0, 0, 0);
    QTRY_VERIFY(music->plotData() && music->plotData()->isReady());
    QVERIFY(music->isTimelineContentReady());
    music->setTrimStart(2);
    music->setDuration(3);

    TextSegment text(QStringLiteral("Title card"), 2, 3, &listener, nullptr);
    text.setSpeed(2.0f);
    text.setDuration(3);
    ImageSegment image(picture, 0, 4, &listener, nullptr);
    QTRY_VERIFY(image.isTimelineContentReady());

    // The editor's layout: gutter left, ruler on top, the rows below, the play head over both.
    TimelineWindow w(900, 300);
    QWidget *central = w.window.centralWidget();
    PixelProbe::plainBackground(central, QColor(19, 20, 21));
    auto *gutter = new GutterScrollArea(central);
    gutter->setGeometry(0, 21, 60, 279);
    auto *ruler = new RulerScrollArea(central);
    ruler->setWidget(new RulerWidget);
    ruler->setStyleSheet("background-color:rgb(19,20,21);");
    ruler->setGeometry(60, 0, 840, 21);
    w.area->setGeometry(60, 21, 840, 279);
    ruler->show();
    gutter->show();
    const QList<Segment *> rows{movie.get(), music.get(), &text, &image};
    for (Segment *s : rows) {
      TrackWidget *row = w.addTrack({s});
      const int tag = gutter->addTrackButton();
      gutter->setTrackType(tag, s->type());
      row->setTag(tag);
    }
    ruler->setScale(1.0f, 10);
    auto *head = new PointerWidget(0, 41, central);
    head->setGeometry(0, 0, 52, 300);
    head->setCenterX(60 + 60 + 3.5f * 24, false);
    head->show();
    w.area->setSelectedSegmentWidget(w.area->trackWidgetAt(2)->segmentWidgetAt(0));
    {
      // The music block edited: its whole sound darkened behind it, 2 s of it before the block.
      AnimationsOff off;
      w.area->trackWidgetAt(1)->segmentWidgetAt(0)->toggleEditing();
    }
    QCoreApplication::processEvents();

    const QImage shot = PixelProbe::grab(&w.window);
    const QString path = QDir::current().absoluteFilePath("editarea_timeline.png");
    QVERIFY(shot.save(path));
    qInfo("timeline picture: %s", qPrintable(path));

    // Every block shows more than its plain fill: frames, waveform, text, picture.
    for (int i = 0; i < rows.size(); ++i) {
      SegmentWidget *block = w.area->trackWidgetAt(i)->segmentWidgetAt(0);
      const QImage b = PixelProbe::grab(block);
      QSet<QRgb> colours;
      for (int x = 4; x < b.width() - 4; x += 2)
        for (int y = 4; y < 40; y += 2)
          colours.insert(b.pixel(x, y));
      QVERIFY2(colours.size() > 3, qPrintable(QString("%1 block shows %2 colours").arg(rows[i]->type()).arg(colours.size())));
    }
  }
};

TAVO_TEST_MAIN(TestScreenshot)
#include "tst_screenshot.moc"
