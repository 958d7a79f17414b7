// Crop handles, the full-screen playback bar and the media player panel.
#include "animatedlabel.h"
#include "cropareawidget.h"
#include "cropwidget.h"
#include "fullscreencontrolwidget.h"
#include "gestures.h"
#include "mediafixtures.h"
#include "mediaplayerwidget.h"
#include "pixelprobe.h"
#include "testenv.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>

namespace {
// A white 300 x 200 picture at (100, 100) of a grey host; the crop widget lies 20 pixels out.
struct CropScene
{
  QWidget host;
  CropWidget *crop;

  explicit CropScene(const QRectF &fraction = QRectF(0.2, 0.25, 0.5, 0.5))
  {
    host.resize(600, 500);
    PixelProbe::plainBackground(&host, Qt::darkGray);
    QPixmap picture(300, 200);
    picture.fill(Qt::white);
    crop = new CropWidget(QRect(100, 100, 300, 200), picture, fraction, true, &host);
    host.show();
    if (!QTest::qWaitForWindowExposed(&host))
      qWarning("CropScene: not exposed");
  }
  QRect area() const { return crop->cropArea()->geometry(); }
  QPoint handleCentre(int which) const { return crop->handle(which)->pos() + QPoint(20, 20); }
};

bool fractionsNear(const QRectF &a, const QRectF &b)
{
  return qAbs(a.x() - b.x()) < 1e-4 && qAbs(a.y() - b.y()) < 1e-4 && qAbs(a.width() - b.width()) < 1e-4 &&
         qAbs(a.height() - b.height()) < 1e-4;
}
} // namespace

class TestOverlays : public QObject
{
  Q_OBJECT
private slots:
  void cropHandleDrags_data()
  {
    QTest::addColumn<int>("handle");
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<QRect>("area");
    // The picture lies at (20, 20, 300, 200) in the crop widget; the crop at (80, 70, 150, 100).
    QTest::newRow("left past the picture's edge") << int(CropWidget::Left) << QPoint(-200, 0) << QRect(20, 70, 210, 100);
    QTest::newRow("left past the crop's right edge") << int(CropWidget::Left) << QPoint(400, 0) << QRect(229, 70, 1, 100);
    QTest::newRow("top past the bottom edge") << int(CropWidget::Top) << QPoint(0, 300) << QRect(80, 169, 150, 1);
    QTest::newRow("top-right, free") << int(CropWidget::TopRight) << QPoint(30, -100) << QRect(80, 20, 180, 150);
    QTest::newRow("bottom-right past the picture") << int(CropWidget::BottomRight) << QPoint(500, 500)
                                                   << QRect(80, 70, 240, 150);
    QTest::newRow("right past the left edge") << int(CropWidget::Right) << QPoint(-400, 0) << QRect(80, 70, 1, 100);
  }
  void cropHandleDrags()
  {
    QFETCH(int, handle);
    QFETCH(QPoint, delta);
    QFETCH(QRect, area);
    CropScene scene;
    QCOMPARE(scene.area(), QRect(80, 70, 150, 100));
    const QPoint from = scene.handleCentre(handle);
    Gestures::drag(scene.crop, from, from + delta, 4);
    QCOMPARE(scene.area(), area);
    const QRectF expected((area.x() - 20) / 300.0, (area.y() - 20) / 200.0, area.width() / 300.0,
                          area.height() / 200.0);
    QVERIFY2(fractionsNear(scene.crop->cropRect(), expected), qPrintable(QString("crop %1 %2 %3 %4")
                                                                            .arg(scene.crop->cropRect().x())
                                                                            .arg(scene.crop->cropRect().y())
                                                                            .arg(scene.crop->cropRect().width())
                                                                            .arg(scene.crop->cropRect().height())));
    // The handles sit on the new rectangle.
    QCOMPARE(scene.handleCentre(CropWidget::TopLeft), area.topLeft());
    QCOMPARE(scene.handleCentre(CropWidget::BottomRight), area.bottomRight());
  }

  void wholeAreaDrags_data()
  {
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<QRect>("area");
    QTest::newRow("into the top-left corner") << QPoint(-500, -500) << QRect(20, 20, 150, 100);
    QTest::newRow("into the bottom-right corner") << QPoint(500, 500) << QRect(170, 120, 150, 100);
    QTest::newRow("free") << QPoint(-13, 7) << QRect(67, 77, 150, 100);
    QTest::newRow("press outside everything") << QPoint() << QRect(80, 70, 150, 100);
  }
  void wholeAreaDrags()
  {
    QFETCH(QPoint, delta);
    QFETCH(QRect, area);
    CropScene scene;
    const QRectF before = scene.crop->cropRect();
    // Outside: on the picture below the crop, off every handle.
    const QPoint from = delta.isNull() ? QPoint(30, 210) : QPoint(140, 120);
    Gestures::drag(scene.crop, from, from + (delta.isNull() ? QPoint(60, -90) : delta), 4);
    QCOMPARE(scene.area(), area);
    if (delta.isNull())
      QCOMPARE(scene.crop->cropRect(), before);
    else
      QVERIFY(fractionsNear(scene.crop->cropRect(), QRectF((area.x() - 20) / 300.0, (area.y() - 20) / 200.0, 0.5, 0.5)));
  }

  void smallCropsKeepTheInnerHandleOnTop_data()
  {
    QTest::addColumn<QRectF>("fraction");
    QTest::addColumn<int>("onTop");
    QTest::addColumn<int>("below");
    QTest::newRow("narrow at the left edge") << QRectF(0, 0.25, 0.1, 0.5) << int(CropWidget::Right)
                                             << int(CropWidget::Left);
    QTest::newRow("narrow at the right edge") << QRectF(0.9, 0.25, 0.1, 0.5) << int(CropWidget::Left)
                                              << int(CropWidget::Right);
    QTest::newRow("low at the top edge") << QRectF(0.2, 0, 0.5, 0.1) << int(CropWidget::Bottom) << int(CropWidget::Top);
    QTest::newRow("small at the bottom-left corner") << QRectF(0, 0.9, 0.1, 0.1) << int(CropWidget::TopRight)
                                                     << int(CropWidget::BottomLeft);
  }
  void smallCropsKeepTheInnerHandleOnTop()
  {
    QFETCH(QRectF, fraction);
    QFETCH(int, onTop);
    QFETCH(int, below);
    CropScene scene(fraction);
    const QObjectList children = scene.crop->children();
    QVERIFY(children.indexOf(scene.crop->handle(onTop)) > children.indexOf(scene.crop->handle(below)));
    QCOMPARE(children.last(), scene.crop->handle(onTop));
  }

  void masksDarkenOutsideTheCrop()
  {
    CropScene scene;
    const QImage image = PixelProbe::grab(scene.crop);
    const QRect a = scene.area();
    PROBE(image, 40, 40, QColor(128, 128, 128), 3);                   // left mask over white
    PROBE(image, a.x() + 20, a.bottom() + 20, QColor(128, 128, 128), 3); // bottom mask
    PROBE(image, a.x() + 25, a.y() + 20, QColor(255, 255, 255), 3);     // inside, off the grid
    // The grid in thirds, at half strength.
    PROBE(image, a.x() + a.width() / 3, a.y() + 10, QColor(246, 246, 246), 6);
  }

  void newPictureRectKeepsTheFraction()
  {
    CropScene scene;
    scene.crop->setPictureRect(QRect(50, 40, 400, 300));
    QCOMPARE(scene.crop->geometry(), QRect(30, 20, 440, 340));
    QCOMPARE(scene.crop->cropRect(), QRectF(0.2, 0.25, 0.5, 0.5));
    QCOMPARE(scene.area(), QRect(100, 95, 200, 150));
  }

  void barTexts()
  {
    FullscreenControlWidget bar;
    QCOMPARE(bar.previousPosButton()->toolTip(), QString("Previous position"));
    QCOMPARE(bar.playPauseButton()->toolTip(), QString("Play/Pause"));
    QCOMPARE(bar.nextPosButton()->toolTip(), QString("Next position"));
    QCOMPARE(bar.fullscreenButton()->toolTip(), QString("Exit fullscreen"));
    QCOMPARE(bar.leftLabel()->text(), QString("00:00"));
    QCOMPARE(bar.rightLabel()->text(), QString("-00:00"));
    QVERIFY(bar.previousPosButton()->text().isEmpty());
  }

  void progress_data()
  {
    QTest::addColumn<float>("time");
    QTest::addColumn<float>("duration");
    QTest::addColumn<int>("slider");
    QTest::addColumn<QString>("elapsed");
    QTest::addColumn<QString>("remaining");
    QTest::newRow("past an hour") << 3725.0f << 4000.0f << 93 << "1:02:05" << "-04:35";
    QTest::newRow("a minute") << 65.5f << 100.0f << 65 << "01:05" << "-00:34";
    QTest::newRow("duration 0") << 5.0f << 0.0f << 0 << "00:05" << "-00:00";
    QTest::newRow("negative duration") << 5.0f << -3.0f << 0 << "00:05" << "-00:00";
  }
  void progress()
  {
    QFETCH(float, time);
    QFETCH(float, duration);
    QFETCH(int, slider);
    QFETCH(QString, elapsed);
    QFETCH(QString, remaining);
    FullscreenControlWidget bar;
    bar.slider()->setValue(50);
    bar.setProgress(time, duration);
    QCOMPARE(bar.slider()->value(), slider);
    QCOMPARE(bar.leftLabel()->text(), elapsed);
    QCOMPARE(bar.rightLabel()->text(), remaining);
  }

  void sliderDrags_data()
  {
    QTest::addColumn<bool>("playing");
    QTest::newRow("while playing") << true;
    QTest::newRow("while paused") << false;
  }
  void sliderDrags()
  {
    QFETCH(bool, playing);
    FullscreenControlWidget bar;
    int asked = 0;
    connect(&bar, &FullscreenControlWidget::pauseIfPlaying, this,
            [&](bool &wasPlaying) {
              ++asked;
              wasPlaying = playing;
            },
            Qt::DirectConnection);
    QSignalSpy seek(&bar, &FullscreenControlWidget::seekToPosition);
    QSignalSpy resume(&bar, &FullscreenControlWidget::needToPlay);
    bar.slider()->setValue(20);
    QCOMPARE(seek.count(), 0); // not held: no seek
    bar.slider()->setSliderDown(true);
    QCOMPARE(asked, 1);
    bar.slider()->setValue(40);
    bar.slider()->setValue(41);
    QCOMPARE(seek.count(), 3);
    QCOMPARE(seek.last().at(0).toInt(), 41);
    bar.setProgress(10, 100); // labels only while held
    QCOMPARE(bar.slider()->value(), 41);
    QCOMPARE(bar.leftLabel()->text(), QString("00:10"));
    bar.slider()->setSliderDown(false);
    QCOMPARE(resume.count(), playing ? 1 : 0);
  }

  void autoHideSteps()
  {
    FullscreenControlWidget bar;
    bar.show();
    for (int i = 0; i < 20; ++i)
      bar.autoHide();
    QVERIFY(bar.isVisible()); // paused: never
    bar.setPlaying(true);
    for (int i = 0; i < 5; ++i)
      bar.autoHide();
    QVERIFY(bar.isVisible());
    bar.autoHide();
    QVERIFY(!bar.isVisible());
    bar.showControls();
    QVERIFY(bar.isVisible());
    bar.setPlaying(false);
    bar.hide();
    bar.setPlaying(false); // pausing shows it
    QVERIFY(bar.isVisible());
  }

  void autoHideTimes_data()
  {
    QTest::addColumn<bool>("afterSliderRelease");
    QTest::addColumn<int>("earliest");
    QTest::addColumn<int>("latest");
    QTest::newRow("after playing starts") << false << 2450 << 3150;
    QTest::newRow("after a slider release") << true << 2950 << 3200;
  }
  void autoHideTimes()
  {
    QFETCH(bool, afterSliderRelease);
    QFETCH(int, earliest);
    QFETCH(int, latest);
    FullscreenControlWidget bar;
    bar.show();
    bar.setPlaying(true);
    if (afterSliderRelease) {
      bar.slider()->setSliderDown(true);
      bar.slider()->setSliderDown(false);
    }
    QElapsedTimer clock;
    clock.start();
    QTRY_VERIFY_WITH_TIMEOUT(!bar.isVisible(), 6000);
    QVERIFY2(clock.elapsed() >= earliest && clock.elapsed() <= latest,
             qPrintable(QString("hidden after %1 ms").arg(clock.elapsed())));
  }

  void mediaPlayerStateIcons()
  {
    MediaPlayerWidget panel;
    QCOMPARE(panel.stateIcon(), QString(":/images/camera_play"));
    panel.playerStateChanged(QMediaPlayer::PlayingState);
    QCOMPARE(panel.stateIcon(), QString(":/images/camera_pause"));
    panel.playerStateChanged(QMediaPlayer::PausedState);
    QCOMPARE(panel.stateIcon(), QString(":/images/camera_play"));
    panel.playerStateChanged(QMediaPlayer::PlayingState);
    panel.playerStateChanged(QMediaPlayer::StoppedState);
    QCOMPARE(panel.stateIcon(), QString(":/images/camera_play"));
    // A spinner while loading, gone after.
    panel.resize(300, 200);
    panel.playerMediaStatusChanged(QMediaPlayer::LoadingMedia);
    QVERIFY(panel.loadingIndicator());
    QCOMPARE(panel.loadingIndicator()->geometry(), QRect(110, 60, 80, 80));
    panel.playerMediaStatusChanged(QMediaPlayer::LoadedMedia);
    QVERIFY(!panel.loadingIndicator());
  }

  void mediaPlayerSliderSeeks()
  {
    QTemporaryDir dir;
    const QString path = dir.filePath("tone.wav");
    QVERIFY(MediaFixtures::writeTone(path, 4.0));
    MediaPlayerWidget panel;
    panel.player()->setMuted(true);
    panel.player()->setMedia(QUrl::fromLocalFile(path));
    if (!QTest::qWaitFor([&] { return panel.player()->duration() > 0; }, 10000))
      QSKIP("no media backend reads the tone here");
    const qint64 duration = panel.player()->duration();
    QSignalSpy moved(panel.player(), &QMediaPlayer::positionChanged);
    panel.playerSliderMoved(50);
    QTRY_VERIFY(qAbs(panel.player()->position() - duration / 2) < 50);
    // Position reports move the slider and the labels.
    panel.playerPositionChanged(duration - 1500);
    QCOMPARE(panel.slider()->value(), int((duration - 1500) * 100 / duration));
    QCOMPARE(panel.elapsedLabel()->text(), QString("00:02"));
    QCOMPARE(panel.remainingLabel()->text(), QString("-00:01"));
  }
};

TAVO_TEST_MAIN(TestOverlays)
#include "tst_overlays.moc"
