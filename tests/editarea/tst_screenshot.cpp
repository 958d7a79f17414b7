// A generated project on the timeline as the editor lays it out: gutter, ruler, play head
// and rows of a video strip, a waveform, a text and a picture. The picture is kept as
// editarea_timeline.png beside the test for people to look at.
#include "animationswitch.h"
#include "cropareawidget.h"
#include "cropwidget.h"
#include "fullscreencontrolwidget.h"
#include "gestures.h"
#include "transformwidget.h"
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
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>

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

  // The editing state (trim bars, transition handles, rows lowered) and a block dragged over
  // a row (drop frame and targets), kept as editarea_editing.png and editarea_dragging.png.
  void editingAndDragging()
  {
    AnimationsOff off;
    TimelineWindow w(900, 330);
    Segment *edited = w.makeSegment("IMAGE", 1, 8);
    edited->insertTransition(2, 4);
    w.addTrack({edited});
    w.addTrack({w.makeSegment("TEXT", 2, 3), w.makeSegment("TEXT", 7, 2)});
    SegmentWidget *block = w.area->trackWidgetAt(0)->segmentWidgetAt(0);
    block->toggleEditing();
    block->setTransitionId(1);
    QCoreApplication::processEvents();
    QVERIFY(PixelProbe::grab(&w.window).save(QDir::current().absoluteFilePath("editarea_editing.png")));
    QCOMPARE(w.area->leftTrimBar()->geometry().bottom(), block->mapTo(w.area->widget(), QPoint(0, 43)).y());
    block->toggleEditing();

    SegmentWidget *text = w.area->trackWidgetAt(1)->segmentWidgetAt(0);
    QSignalSpy dragSpy(text, &SegmentWidget::segmentWidgetDraggingStateChanged);
    const QPoint from = TimelineWindow::rectInViewport(text, w.area).center();
    Gestures::press(w.area->viewport(), from);
    QTRY_VERIFY(!dragSpy.isEmpty());
    QWidget *central = w.window.centralWidget();
    const QPoint start = w.area->viewport()->mapTo(central, from);
    Gestures::moveInSteps(central, start, start + QPoint(150, 0), 3);
    QCoreApplication::processEvents();
    QVERIFY(PixelProbe::grab(&w.window).save(QDir::current().absoluteFilePath("editarea_dragging.png")));
    QVERIFY(w.area->trackWidgetAt(1)->draggingFrame());
    Gestures::release(central, start + QPoint(150, 0));
  }

  // Transform handles with a move guide, crop handles and the full-screen bar over a grey
  // preview, kept as preview_overlays.png.
  void previewOverlays()
  {
    QWidget preview;
    preview.resize(900, 420);
    PixelProbe::plainBackground(&preview, QColor(60, 60, 60));
    auto *transform = new TransformWidget(":/images/transform_dot_normal", ":/images/transform_square_normal",
                                          ":/images/transform_central_point_normal", QColor(236, 236, 236, 128), 5.0f,
                                          &preview);
    transform->setGeometry(0, 0, 450, 420);
    transform->setPlaybackAreaFrame(QRectF(25, 60, 400, 225));
    transform->setContentLayerGeometry(QPointF(225, 172), QSizeF(200, 110), 0.3f, QPointF(0.5, 0.5), QSizeF(200, 110));
    QPixmap still(300, 170);
    still.fill(QColor(90, 140, 200));
    auto *crop = new CropWidget(QRect(540, 60, 300, 170), still, QRectF(0.15, 0.2, 0.6, 0.55), true, &preview);
    auto *bar = new FullscreenControlWidget(&preview);
    bar->setGeometry(460, 300, 430, 100);
    bar->setProgress(65, 3725);
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    // Held still on the frame's centre: the centre guides show.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(260, 190), preview.mapToGlobal(QPoint(260, 190)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QVERIFY(transform->handleMousePressEvent(&press));
    QTRY_VERIFY(transform->guides().centerGuideX);
    QVERIFY(PixelProbe::grab(&preview).save(QDir::current().absoluteFilePath("preview_overlays.png")));
    QCOMPARE(crop->cropArea()->width(), 180);
  }
};

TAVO_TEST_MAIN(TestScreenshot)
#include "tst_screenshot.moc"
