// The media preview player and its control bar, with Qt's GStreamer player and no sound
// device (a fake audio sink): pages, states, positions and geometry, never sound.

#include "explorerfixtures.h"
#include "gestures.h"
#include "mediapreviewcontrolwidget.h"
#include "mediapreviewwidget.h"
#include "pixelprobe.h"
#include "testenv.h"

#include <QGraphicsScene>
#include <QGraphicsVideoItem>
#include <QGraphicsView>
#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTemporaryDir>

using namespace ExplorerFixtures;

namespace {

// Bright pixels in the middle 80 x 80 of a 640 x 360 picture, where the spinner turns.
int litAtCentre(const QImage &shown)
{
  int lit = 0;
  for (int y = 140; y < 220; ++y)
    for (int x = 280; x < 360; ++x)
      lit += qGray(shown.pixel(x, y)) > 128;
  return lit;
}

// Pixels of the same square that stand out from a white picture.
int markedOnWhiteAtCentre(const QImage &shown)
{
  int marked = 0;
  for (int y = 140; y < 220; ++y)
    for (int x = 280; x < 360; ++x)
      marked += qGray(shown.pixel(x, y)) < 200;
  return marked;
}

bool sameIcon(const QIcon &icon, const QString &path)
{
  return icon.pixmap(20, 20).toImage() == QIcon(path).pixmap(20, 20).toImage();
}

struct Preview
{
  MediaPreviewWidget preview{nullptr};
  QSignalSpy displayed{&preview, &MediaPreviewWidget::displayMediaPreviewControlWidgetExternal};
  QSignalSpy hidden{&preview, &MediaPreviewWidget::hideMediaPreviewControlWidgetExternal};

  explicit Preview(QSize size = QSize(800, 600), bool shown = true)
  {
    preview.resize(size);
    preview.setVisible(shown);
  }
  MediaPreviewControlWidget *bar() const { return preview.findChild<MediaPreviewControlWidget *>(); }
  QMediaPlayer *player() const { return preview.findChild<QMediaPlayer *>(); }
  template <typename T> T *child(const char *name) const { return preview.findChild<T *>(name); }
  QString page() const { return child<QStackedWidget>("stackedWidget")->currentWidget()->objectName(); }
  bool waitPlaying() const
  {
    return QTest::qWaitFor([this]() { return player() && player()->state() == QMediaPlayer::PlayingState &&
                                             player()->duration() > 0 && player()->position() > 0; },
                           20000);
  }
};

// Notes whether the preview had a player when a widget was first painted.
struct FirstPaint : QObject
{
  const Preview &p;
  bool painted = false;
  bool hadPlayer = false;
  FirstPaint(const Preview &preview, QWidget *widget) : p(preview) { widget->installEventFilter(this); }
  bool eventFilter(QObject *, QEvent *event) override
  {
    if (event->type() == QEvent::Paint && !painted) {
      painted = true;
      hadPlayer = p.player();
    }
    return false;
  }
};

} // namespace

class TestPreview : public QObject
{
  Q_OBJECT

private:
  QTemporaryDir _root;
  QString _clip;

private slots:
  void initTestCase()
  {
    qputenv("QT_GSTREAMER_PLAYBIN_AUDIOSINK", "fakesink");
    QVERIFY(_root.isValid());
    _clip = _root.filePath("clip.mp4");
    MediaFixtures::VideoParams params;
    params.frames = 150;
    params.withTone = true;
    QVERIFY2(MediaFixtures::writeColorVideo(_clip, params), qPrintable(MediaFixtures::lastError()));
  }

  void pictureDisablesTheControls()
  {
    Preview p;
    const QString path = _root.filePath("photo.png");
    QVERIFY(writePlainPicture(path, 100, 50, Qt::red));
    p.preview.showMedia("photo", 2, path, QPixmap(path), "100x50");
    QCOMPARE(p.page(), QString("imagePage"));
    QCOMPARE(p.preview.mediaId(), QString("photo"));
    QCOMPARE(p.child<QLabel>("pictureLabel")->pixmap(Qt::ReturnByValue).size(), QSize(100, 50));
    QCOMPARE(p.displayed.size(), 1);
    MediaPreviewControlWidget *bar = p.bar();
    QCOMPARE(p.displayed.first().first().value<MediaPreviewControlWidget *>(), bar);
    QVERIFY(bar->isVisible());
    QCOMPARE(bar->geometry(), QRect(20, 600 - 20 - bar->height(), 760, bar->height()));
    auto *play = bar->findChild<QPushButton *>("playPauseButton");
    QVERIFY(!play->isEnabled());
    QVERIFY(sameIcon(play->icon(), ":/images/media-explorer/videoPreviewPlay_dis"));
    QVERIFY(!bar->findChild<QSlider *>("horizontalSlider")->isEnabled());
    QVERIFY(bar->findChild<QPushButton *>("closeButton")->isEnabled());
    for (const char *name : {"leftLabel", "rightLabel"})
      QVERIFY(!bar->findChild<QLabel *>(name)->isEnabled());
    QCOMPARE(bar->findChild<QLabel *>("leftLabel")->text(), QString("00:00"));
    QCOMPARE(bar->findChild<QLabel *>("rightLabel")->text(), QString("-00:00"));
    QVERIFY(!p.player());

    // Closing withdraws the bar; the close button asks the window.
    QSignalSpy close(&p.preview, &MediaPreviewWidget::didPressClose);
    QTest::mouseClick(bar->findChild<QPushButton *>("closeButton"), Qt::LeftButton);
    QCOMPARE(close.size(), 1);
    p.preview.closePreview();
    QCOMPARE(p.hidden.size(), 1);
    QVERIFY(!bar->isVisible());
    QVERIFY(p.preview.mediaId().isEmpty());
  }

  void animatedAndStillGifs()
  {
    Preview p;
    const QString animated = _root.filePath("moving.gif");
    QVERIFY(MediaFixtures::writeAnimatedGif(animated, 60, 40, {100, 100, 100}));
    p.preview.showMedia("gif", 4, animated, QPixmap(10, 10), QString());
    QMovie *movie = p.child<QLabel>("pictureLabel")->movie();
    QVERIFY(movie);
    QCOMPARE(movie->state(), QMovie::Running);
    // It loops: after the last frame the first comes again.
    QSignalSpy frames(movie, &QMovie::frameChanged);
    const auto loopedBack = [&frames] {
      bool last = false;
      for (const QList<QVariant> &frame : frames) {
        last = last || frame.first().toInt() == 2;
        if (last && frame.first().toInt() == 0)
          return true;
      }
      return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(loopedBack(), 10000);
    QCOMPARE(movie->state(), QMovie::Running);

    // A single frame, and a GIF header followed by a terabyte of zeros, read within a bound: stills.
    const QString still = _root.filePath("still.gif");
    QVERIFY(MediaFixtures::writeAnimatedGif(still, 60, 40, {100}));
    const QString endless = _root.filePath("endless.gif");
    QVERIFY(MediaFixtures::writeEndlessFile(endless, MediaFixtures::endlessGifHeader()));
    QPixmap image(30, 20);
    image.fill(Qt::blue);
    for (const QString &path : {still, endless}) {
      p.preview.showMedia("still", 2, path, image, "60x40");
      QVERIFY(!p.child<QLabel>("pictureLabel")->movie());
      QCOMPARE(p.child<QLabel>("pictureLabel")->pixmap(Qt::ReturnByValue).size(), QSize(30, 20));
    }
  }

  // Artwork or a picture smaller than the preview shows at its own size, centred, with the
  // background around it: also on the first show of its page, made while the preview was
  // hidden, when the label is laid out only afterwards.
  void smallContentAtItsSize_data()
  {
    QTest::addColumn<int>("type");
    QTest::newRow("sound artwork") << 3;
    QTest::newRow("picture") << 2;
    QTest::newRow("animated GIF") << 4;
  }
  void smallContentAtItsSize()
  {
    QFETCH(int, type);
    // Centred in the 1090 x 420 preview.
    const QRect content(QPoint((1090 - 200) / 2, (420 - 150) / 2), QSize(200, 150));
    QPixmap image(content.size());
    image.fill(Qt::magenta);
    QString path = ":/testsounds/beep.mp3";
    if (type == 2) {
      path = _root.filePath("small.png");
      QVERIFY(image.save(path));
    } else if (type == 4) {
      path = _root.filePath("small.gif");
      QVERIFY(MediaFixtures::writeAnimatedGif(path, content.width(), content.height(), {100, 100}));
    }
    // As the window does it: made hidden, given the item, then shown.
    Preview p(QSize(1090, 420), false);
    p.preview.showMedia("item", type, path, image, type == 3 ? "0:01" : "200x150");
    p.preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&p.preview));
    auto *label = p.child<QLabel>(type == 3 ? "artworkLabel" : "pictureLabel");
    QTRY_COMPARE(label->size(), p.preview.size());
    const QImage shown = PixelProbe::grab(&p.preview);
    // Inside the corners (the spinner of a sound turns at the centre) and just outside the edges.
    for (const QPoint &in : {content.topLeft() + QPoint(8, 8), content.bottomRight() - QPoint(8, 8)}) {
      const QColor found = shown.pixel(in);
      const bool drawn = type == 4 ? MediaFixtures::frameIndexFromColor(found) >= 0
                                   : PixelProbe::near(found.rgb(), Qt::magenta);
      QVERIFY2(drawn, qPrintable(QString("(%1, %2) is %3").arg(in.x()).arg(in.y()).arg(PixelProbe::text(found.rgb()))));
    }
    const QColor background = p.preview.palette().color(QPalette::Window);
    const int cy = content.center().y();
    for (const QPoint &out : {QPoint(content.left() - 8, cy), QPoint(content.right() + 8, cy),
                              QPoint(content.left() + 8, content.top() - 8),
                              QPoint(content.right() - 8, content.bottom() + 8)})
      PROBE(shown, out.x(), out.y(), background, 8);
  }

  // Built-in sounds play from the resources; artwork of exactly 192 x 192 is the music artwork.
  void soundsFromResources_data()
  {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("artwork");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("shutter, 192 x 192") << ":/assets/shutter.wav" << QSize(192, 192) << true;
    QTest::newRow("mp3, 193 x 192") << ":/testsounds/beep.mp3" << QSize(193, 192) << false;
  }
  void soundsFromResources()
  {
    QFETCH(QString, path);
    QFETCH(QSize, artwork);
    QFETCH(bool, replaced);
    QVERIFY(QFile::exists(path));
    Preview p;
    QPixmap image(artwork);
    image.fill(Qt::yellow);
    p.preview.showMedia(path, 3, path, image, "0:01");
    QCOMPARE(p.page(), QString("audioPage"));
    QTRY_VERIFY_WITH_TIMEOUT(p.player(), 20000);
    QCOMPARE(p.player()->media().request().url(), QUrl("qrc" + path));
    QTRY_VERIFY_WITH_TIMEOUT(p.player()->mediaStatus() == QMediaPlayer::BufferedMedia ||
                               p.player()->mediaStatus() == QMediaPlayer::EndOfMedia,
                             20000);
    QCOMPARE(p.player()->error(), QMediaPlayer::NoError);
    QVERIFY(p.player()->duration() > 0);
    const QImage shown = p.child<QLabel>("artworkLabel")->pixmap(Qt::ReturnByValue).toImage();
    if (replaced)
      QCOMPARE(shown, QImage(":/images/media-explorer/music_preview_artwork_preview").convertToFormat(shown.format()));
    else
      QCOMPARE(shown.size(), artwork);
    QVERIFY(p.bar()->findChild<QPushButton *>("playPauseButton")->isEnabled());
  }

  // A video or a sound shows a spinner from the click, over a player still starting, until its
  // playing begins; a picture never waits.
  void busyUntilPlaying_data()
  {
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("path");
    QTest::newRow("video") << 1 << QString();
    QTest::newRow("sound") << 3 << ":/testsounds/beep.mp3";
    QTest::newRow("picture") << 2 << "black.png";
  }
  void busyUntilPlaying()
  {
    QFETCH(int, type);
    QFETCH(QString, path);
    if (path.isEmpty())
      path = _clip;
    Preview p(QSize(640, 360));
    QPixmap image(64, 64);
    image.fill(Qt::black);
    p.preview.showMedia("item", type, path, image, "0:05;320x240;0");
    const int lit = litAtCentre(p.preview.grab().toImage());
    if (type == 2) {
      QVERIFY(!p.preview.isBusy());
      return;
    }
    QVERIFY2(lit > 100, qPrintable(QString("%1 lit pixels at the centre").arg(lit)));
    QVERIFY(p.preview.isBusy());
    QTRY_VERIFY_WITH_TIMEOUT(p.player() && p.player()->position() > 0, 20000);
    QTRY_VERIFY(!p.preview.isBusy());
  }

  // The spinner goes with the first picture, though a player starting a video may report its
  // first position only a second later: no picture is ever drawn under it.
  void busyGoesWithTheFirstPicture()
  {
    const QString white = _root.filePath("white.mp4");
    MediaFixtures::VideoParams params;
    params.frames = 60;
    QVERIFY2(MediaFixtures::writeVideo(white, params, [](int) {
      QImage frame(320, 240, QImage::Format_RGB32);
      frame.fill(Qt::white);
      return frame;
    }), qPrintable(MediaFixtures::lastError()));
    QImage firstShown;
    Preview p(QSize(640, 360));
    QVERIFY(QTest::qWaitForWindowExposed(&p.preview));
    p.preview.showMedia("white", 1, white, QPixmap(320, 240), "0:02;320x240;0");
    QVERIFY(p.preview.isBusy());
    // Grabbed whenever the scene asks to be drawn again: the first grab with the picture in
    // it is what the next paint puts on screen.
    QGraphicsScene *scene = p.preview.findChild<QGraphicsView *>()->scene();
    connect(scene, &QGraphicsScene::changed, &p.preview, [&] {
      if (!firstShown.isNull())
        return;
      const QImage shown = PixelProbe::grab(&p.preview);
      if (qGray(shown.pixel(120, 180)) > 220)
        firstShown = shown;
    });
    QTRY_VERIFY_WITH_TIMEOUT(!firstShown.isNull(), 20000);
    const int marked = markedOnWhiteAtCentre(firstShown);
    QVERIFY2(marked == 0, qPrintable(QString("the spinner is drawn over the first picture (%1 pixels)").arg(marked)));
    QVERIFY(!p.preview.isBusy());
  }

  // Making a player can take seconds (GStreamer probes its video sinks): the first click paints
  // the spinner before any player exists, clicks made meanwhile decide what it plays, a preview
  // closed or gone meanwhile plays nothing, and the player serves every later click at once.
  void clicksWhileThePlayerIsMade_data()
  {
    QTest::addColumn<QString>("meanwhile");
    QTest::addColumn<QString>("plays");
    QTest::newRow("nothing") << QString() << "clip";
    QTest::newRow("a sound") << "sound" << "qrc:/testsounds/beep.mp3";
    QTest::newRow("close") << "close" << QString();
    QTest::newRow("another preview gone") << "gone" << "clip";
  }
  void clicksWhileThePlayerIsMade()
  {
    QFETCH(QString, meanwhile);
    QFETCH(QString, plays);
    const QString clipUrl = QUrl::fromLocalFile(_clip).toString();
    if (plays == "clip")
      plays = clipUrl;
    auto gone = std::make_unique<Preview>();
    if (meanwhile == "gone")
      gone->preview.showMedia("clip", 1, _clip, QPixmap(320, 240), "0:05;320x240;0");
    Preview p(QSize(640, 360));
    QVERIFY(QTest::qWaitForWindowExposed(&p.preview));
    p.preview.showMedia("clip", 1, _clip, QPixmap(320, 240), "0:05;320x240;0");
    auto *busy = p.child<QWidget>("busyLabel");
    QVERIFY(busy && busy->isVisible());
    FirstPaint first(p, busy);
    if (meanwhile == "sound")
      p.preview.showMedia("beep", 3, ":/testsounds/beep.mp3", QPixmap(192, 192), "0:01");
    else if (meanwhile == "close")
      p.preview.closePreview();
    gone.reset();
    if (meanwhile != "close") {
      // On screen before the picture: position reports start a second into playing.
      QTRY_VERIFY(first.painted);
      QVERIFY(p.preview.isBusy());
      const int lit = litAtCentre(p.preview.grab().toImage());
      QVERIFY2(lit > 100, qPrintable(QString("%1 lit pixels at the centre").arg(lit)));
    }
    QTRY_VERIFY_WITH_TIMEOUT(p.player(), 20000);
    if (meanwhile != "close")
      QVERIFY2(first.painted && !first.hadPlayer, "the spinner was painted only after the player was made");
    QCOMPARE(p.player()->media().request().url().toString(), plays);
    if (plays.isEmpty()) {
      QCOMPARE(p.player()->state(), QMediaPlayer::StoppedState);
      QVERIFY(!p.preview.isBusy());
    } else {
      QTRY_VERIFY_WITH_TIMEOUT(!p.preview.isBusy(), 20000);
    }

    // The same player plays the next click at once.
    QMediaPlayer *player = p.player();
    p.preview.showMedia("again", 1, _clip, QPixmap(320, 240), "0:05;320x240;0");
    QCOMPARE(p.player()->state(), QMediaPlayer::PlayingState);
    QCOMPARE(p.player()->media().request().url().toString(), clipUrl);
    QCOMPARE(p.preview.findChildren<QMediaPlayer *>(), QList<QMediaPlayer *>{player});
  }

  // Scrubbing pauses a playing video, seeks on every move and resumes on release; a paused
  // one stays paused.
  void scrubbing()
  {
    Preview p;
    p.preview.showMedia("clip", 1, _clip, QPixmap(320, 240), "0:05;320x240;0");
    QVERIFY(p.waitPlaying());
    MediaPreviewControlWidget *bar = p.bar();
    auto *slider = bar->findChild<QSlider *>("horizontalSlider");
    auto *play = bar->findChild<QPushButton *>("playPauseButton");
    QVERIFY(sameIcon(play->icon(), ":/images/media-explorer/videoPreviewPause"));
    QTRY_VERIFY(bar->findChild<QLabel *>("leftLabel")->text() != "00:00" ||
                bar->findChild<QLabel *>("rightLabel")->text() != "-00:00");
    QSignalSpy seeks(bar, &MediaPreviewControlWidget::seekToPosition);
    QSignalSpy resumes(bar, &MediaPreviewControlWidget::needToPlay);
    const QPoint from(slider->width() / 4, slider->height() / 2);
    const QPoint to(slider->width() * 3 / 4, slider->height() / 2);
    Gestures::press(slider, from);
    QCOMPARE(p.player()->state(), QMediaPlayer::PausedState);
    Gestures::moveInSteps(slider, from, to, 4);
    QVERIFY2(seeks.size() >= 5, qPrintable(QString::number(seeks.size())));
    Gestures::release(slider, to);
    QCOMPARE(resumes.size(), 1);
    QTRY_COMPARE(p.player()->state(), QMediaPlayer::PlayingState);
    QVERIFY(p.player()->position() >= p.player()->duration() / 2);

    QTest::mouseClick(play, Qt::LeftButton);
    QTRY_COMPARE(p.player()->state(), QMediaPlayer::PausedState);
    QVERIFY(sameIcon(play->icon(), ":/images/media-explorer/videoPreviewPlay"));
    Gestures::drag(slider, to, from, 4);
    QCOMPARE(resumes.size(), 1);
    QTest::qWait(200);
    QCOMPARE(p.player()->state(), QMediaPlayer::PausedState);
  }

  void sliderEndsAt99()
  {
    MediaPreviewControlWidget bar(nullptr);
    auto *slider = bar.findChild<QSlider *>("horizontalSlider");
    bar.updateTime(3725, 3725);
    QCOMPARE(slider->value(), 99);
    QCOMPARE(bar.findChild<QLabel *>("leftLabel")->text(), QString("1:02:05"));
    QCOMPARE(bar.findChild<QLabel *>("rightLabel")->text(), QString("-00:00"));
    bar.updateTime(1.5, 6);
    QCOMPARE(slider->value(), 25);
    QCOMPARE(bar.findChild<QLabel *>("rightLabel")->text(), QString("-00:04"));
  }

  // The table of turned items: after the transform the item covers (0, 0, w, h) of the scene.
  void rotatedVideoLayout_data()
  {
    QTest::addColumn<int>("rotation");
    QTest::addColumn<QSize>("thumbnail");
    QTest::addColumn<QRect>("view");
    QTest::addColumn<QSizeF>("itemSize");
    QTest::newRow("0") << 0 << QSize(320, 180) << QRect(0, 75, 800, 450) << QSizeF(800, 450);
    QTest::newRow("90, portrait") << 90 << QSize(180, 320) << QRect(231, 0, 338, 600) << QSizeF(600, 338);
    QTest::newRow("180") << 180 << QSize(320, 180) << QRect(0, 75, 800, 450) << QSizeF(800, 450);
    QTest::newRow("270, portrait") << 270 << QSize(180, 320) << QRect(231, 0, 338, 600) << QSizeF(600, 338);
  }
  void rotatedVideoLayout()
  {
    QFETCH(int, rotation);
    QFETCH(QSize, thumbnail);
    QFETCH(QRect, view);
    QFETCH(QSizeF, itemSize);
    Preview p;
    p.preview.showMedia("clip", 1, _clip, QPixmap(thumbnail), QString("0:05;%1x%2;%3")
                                                                 .arg(thumbnail.width() * 6)
                                                                 .arg(thumbnail.height() * 6)
                                                                 .arg(rotation));
    QCOMPARE(p.page(), QString("videoPage"));
    auto *graphicsView = p.preview.findChild<QGraphicsView *>();
    QCOMPARE(graphicsView->geometry(), view);
    QGraphicsVideoItem *item = nullptr;
    for (QGraphicsItem *i : graphicsView->scene()->items())
      item = item ? item : dynamic_cast<QGraphicsVideoItem *>(i);
    QVERIFY(item);
    QCOMPARE(item->size(), itemSize);
    const QRectF covered = item->transform().mapRect(QRectF(QPointF(0, 0), item->size()));
    QCOMPARE(covered.toRect(), QRect(0, 0, view.width(), view.height()));
    QCOMPARE(graphicsView->scene()->sceneRect(), QRectF(0, 0, view.width(), view.height()));
    if (rotation == 90)
      QCOMPARE(item->transform().map(QPointF(0, 0)).toPoint(), QPoint(view.width(), 0));
  }

  // Clicked before its metadata exists, a video plays and takes the stream's own shape.
  void videoWithoutMetadataPlays()
  {
    Preview p(QSize(800, 400));
    p.preview.showMedia("clip", 1, _clip, QPixmap(64, 64), QString());
    QVERIFY(p.waitPlaying());
    auto *graphicsView = p.preview.findChild<QGraphicsView *>();
    QTRY_COMPARE(graphicsView->geometry(), QRect(133, 0, 533, 400));

  }
};

TAVO_TEST_MAIN(TestPreview)
#include "tst_preview.moc"
