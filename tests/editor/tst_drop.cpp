// Drags onto the editor: what is accepted and when, where a drop lands, how room is made on
// the track, built-in assets and web GIFs copied into the project, and late or stale results.

#include "intakewindow.h"
#include "mediafixtures.h"
#include "loopbackhttpserver.h"
#include "testenv.h"

#include "animatedlabel.h"
#include "mediaexplorer.h"
#include "pixelprobe.h"
#include "segmentdraggingframewidget.h"
#include "progresshud.h"
#include "usersettings.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

namespace {

QStringList logged;

void recordMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
  logged << message;
}

bool wasLogged(const QString &part)
{
  for (const QString &line : qAsConst(logged))
    if (line.contains(part))
      return true;
  return false;
}

// Data offered by another program: fetched from it on each read, it answers the first reads
// and nothing once that program's drag has ended.
class EndingDragData : public QMimeData
{
public:
  EndingDragData(const QUrl &url, int answeredReads) : _url(url), _answered(answeredReads) {}
  QStringList formats() const override { return _reads < _answered ? QStringList{"text/uri-list"} : QStringList(); }

protected:
  QVariant retrieveData(const QString &format, QVariant::Type) const override
  {
    if (format != QLatin1String("text/uri-list") || _reads++ >= _answered)
      return QVariant();
    return QVariantList{QVariant(_url)};
  }

private:
  QUrl _url;
  int _answered;
  mutable int _reads = 0;
};

void setAsset(QMimeData &data, const QString &path, int kind)
{
  data.setData("media/resource-asset-path", path.toUtf8());
  data.setData("media/resource-asset-type", QByteArray::number(kind));
  data.setData("media/resource-asset-length", "0");
  data.setData("media/resource-asset-scale", "1.0");
}

void setWebGif(QMimeData &data, const QString &id, const QString &cached)
{
  data.setData("media/giphy-gif-id", id.toUtf8());
  data.setData("media/giphy-gif-length", "2.5");
  data.setData("media/giphy-gif-path", cached.toUtf8());
  data.setData("media/giphy-gif-url", "http://127.0.0.1:9/" + id.toUtf8() + ".gif");
  data.setData("media/giphy-gif-scale", "1.0");
}

QByteArray movieLine(int track, double start)
{
  return QStringLiteral("<Segment Type=\"MOVIE\" TrackId=\"%1\" RangeStart=\"%2\" RangeDuration=\"1\" "
                        "File=\"clip.mp4\" TrimStart=\"0\" TrimDuration=\"1\"/>\n")
      .arg(track)
      .arg(start)
      .toUtf8();
}

} // namespace

class TestDrop : public QObject
{
  Q_OBJECT

private slots:
  void init()
  {
    UserSettings::instance()->setAutoCopyAssets(false);
    UserSettings::instance()->setPhotoDuration(2.0f);
    logged.clear();
  }

  // A video waits for its length; a GIF is taken at once with the photo length, then its own.
  void lengthOfDraggedFiles()
  {
    IntakeProject p;
    QVERIFY(p.open({}, 0));
    IntakeWindow *w = p.window.get();
    QTemporaryDir media;
    QVERIFY(MediaFixtures::writeColorVideo(media.filePath("clip.mp4"), 64, 48, 30, 45));
    QVERIFY(MediaFixtures::writeAnimatedGif(media.filePath("wave.gif"), 32, 32, {1000, 1000, 1000}));
    const QPoint pos = at(w, w->_lastTrackWidget, 1);

    Drag video{w, {}};
    setFile(video.data, media.filePath("clip.mp4"));
    QVERIFY(video.enter(pos));
    QVERIFY(!video.move(pos));
    QTRY_VERIFY_WITH_TIMEOUT(video.move(pos), 10000);
    QVERIFY(qAbs(w->_dropLength - 1.5f) < 0.1f);

    Drag gif{w, {}};
    setFile(gif.data, media.filePath("wave.gif"));
    QVERIFY(gif.enter(pos));
    QVERIFY(gif.move(pos));
    QCOMPARE(w->_dropLength, 2.0f);
    QTRY_COMPARE_WITH_TIMEOUT(w->_dropLength, 3.0f, 10000);
  }

  // A worker of an earlier drag, or one that outlives the window, changes nothing.
  void lateLengthIsIgnored_data()
  {
    QTest::addColumn<bool>("deleteWindow");
    QTest::newRow("next drag") << false;
    QTest::newRow("window gone") << true;
  }

  void lateLengthIsIgnored()
  {
    QFETCH(bool, deleteWindow);
    IntakeProject p;
    QVERIFY(p.open({}, 0));
    IntakeWindow *w = p.window.get();
    QTemporaryDir media;
    QVERIFY(MediaFixtures::writeColorVideo(media.filePath("clip.mp4"), 64, 48, 30, 30));
    QVERIFY(MediaFixtures::writePicture(media.filePath("still.png"), 32, 32));
    const QPoint pos = at(w, w->_lastTrackWidget, 1);
    qInstallMessageHandler(recordMessage);
    Drag video{w, {}};
    setFile(video.data, media.filePath("clip.mp4"));
    QVERIFY(video.enter(pos));
    if (deleteWindow) {
      p.window.reset();
    } else {
      Drag picture{w, {}};
      setFile(picture.data, media.filePath("still.png"));
      QVERIFY(picture.enter(pos));
    }
    const bool done = QTest::qWaitFor([] { return wasLogged("Dragging media file duration"); }, 10000);
    // The worker's hand-over follows its last line.
    QTest::qWait(200);
    qInstallMessageHandler(nullptr);
    QVERIFY(done);
    if (!deleteWindow)
      QCOMPARE(w->_dropLength, 2.0f);
  }

  // A drag entering the window finishes the explorer's help tip.
  void enteringFinishesExplorerTip()
  {
    IntakeProject p;
    QVERIFY(p.open({}, 0));
    IntakeWindow *w = p.window.get();
    QTemporaryDir media;
    QVERIFY(MediaFixtures::writePicture(media.filePath("still.png"), 32, 32));
    Drag drag{w, {}};
    setFile(drag.data, media.filePath("still.png"));
    QVERIFY(drag.enter(at(w, w->_lastTrackWidget, 1)));
    QVERIFY(TipManager::instance()->isTipFinished("MediaExplorerHelpTip"));
  }

  // Four video tracks: a video goes onto a track with video, never onto an empty one.
  void fourVideoTracks_data()
  {
    QTest::addColumn<bool>("emptyTrack");
    QTest::newRow("video track") << false;
    QTest::newRow("empty track") << true;
  }

  void fourVideoTracks()
  {
    QFETCH(bool, emptyTrack);
    IntakeProject p;
    QVERIFY(p.project.isValid());
    QVERIFY(MediaFixtures::writeColorVideo(p.dir() + "/clip.mp4", 64, 48, 30, 30));
    QVERIFY(p.open(movieLine(1, 0) + movieLine(2, 0) + movieLine(3, 0) + movieLine(4, 0), 4));
    IntakeWindow *w = p.window.get();
    Drag drag{w, {}};
    setFile(drag.data, p.dir() + "/clip.mp4");
    const QPoint pos = at(w, emptyTrack ? w->_lastTrackWidget : p.track(2), 3);
    QVERIFY(drag.enter(pos));
    QTRY_VERIFY(w->_dropLength > 0);
    QCOMPARE(drag.move(pos), !emptyTrack);
  }

  // Insert mode pushes the block at the drop and those after it; overwrite clears the range.
  void roomOnTheTrack_data()
  {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("ranges");
    QTest::newRow("insert") << 0 << QStringList{"2-4", "4-6", "8-9"};
    QTest::newRow("overwrite") << 1 << QStringList{"2-4", "6-7"};
  }

  void roomOnTheTrack()
  {
    QFETCH(int, mode);
    QFETCH(QStringList, ranges);
    IntakeProject p;
    QVERIFY(p.project.isValid());
    QVERIFY(MediaFixtures::writePicture(p.dir() + "/still.png", 32, 32));
    QVERIFY(p.open(pictureLine(1, 2, 2) + pictureLine(1, 6, 1), 2));
    IntakeWindow *w = p.window.get();
    p.model()->setSegmentMode(mode);
    Drag drag{w, {}};
    setFile(drag.data, p.dir() + "/still.png");
    QVERIFY(drag.dropAt(at(w, p.track(0), 2)));
    QCOMPARE(p.ranges(p.track(0)), ranges);
    QCOMPARE(p.track(0)->segmentWidgetCount(), ranges.size());
  }

  // The play head follows the drop: not past 0, a picture 0.02 s in, music 0.01 s.
  void playheadAfterDrop_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<double>("time");
    QTest::addColumn<double>("playhead");
    QTest::newRow("at 0") << "still.png" << 0.0 << 0.0;
    QTest::newRow("picture at 5") << "still.png" << 5.0 << 5.02;
    QTest::newRow("music at 5") << "tune.wav" << 5.0 << 5.01;
  }

  void playheadAfterDrop()
  {
    QFETCH(QString, file);
    QFETCH(double, time);
    QFETCH(double, playhead);
    IntakeProject p;
    QVERIFY(p.open({}, 0));
    IntakeWindow *w = p.window.get();
    QTemporaryDir media;
    QVERIFY(MediaFixtures::writePicture(media.filePath("still.png"), 32, 32));
    QVERIFY(MediaFixtures::writeTone(media.filePath("tune.wav"), 2));
    Drag drag{w, {}};
    setFile(drag.data, media.filePath(file));
    QVERIFY(drag.dropAt(at(w, w->_lastTrackWidget, float(time))));
    QCOMPARE(p.model()->segmentCount(), 1);
    QVERIFY(qAbs(p.newest()->rangeStart() - float(time)) < 0.001f);
    QTRY_VERIFY2(qAbs(w->_playheadTime() - float(playhead)) < 0.002f, qPrintable(QString::number(w->_playheadTime())));
  }

  // Built-in stickers are copied into the project under the next free number.
  void stickersAreNumbered()
  {
    const QString sticker = ":/images/app_logo";
    QVERIFY(QFile::exists(sticker));
    IntakeProject p;
    QVERIFY(p.open({}, 0));
    IntakeWindow *w = p.window.get();
    for (float time : {1.0f, 5.0f}) {
      Drag drag{w, {}};
      setAsset(drag.data, sticker, 2);
      QVERIFY(drag.dropAt(at(w, w->_lastTrackWidget, time)));
    }
    QCOMPARE(QDir(p.dir()).entryList({"library*"}, QDir::Files),
             (QStringList{"libraryImage-1.png", "libraryImage-2.png"}));
    QCOMPARE(p.model()->segmentCount(), 2);
    QCOMPARE(p.newest()->type(), QString("IMAGE"));
  }

  // A web GIF not yet cached is inserted where it was dropped once its download arrives; a
  // failed download, another GIF's, or a GIF only dragged across inserts nothing.
  void webGif_data()
  {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("segments");
    QTest::newRow("downloaded") << "drop" << 1;
    QTest::newRow("download failed") << "fail" << 0;
    QTest::newRow("another GIF") << "other" << 0;
    QTest::newRow("dragged across only") << "leave" << 0;
  }

  void webGif()
  {
    QFETCH(QString, how);
    QFETCH(int, segments);
    IntakeProject p;
    QVERIFY(p.open({}, 0));
    IntakeWindow *w = p.window.get();
    QTemporaryDir cache;
    QVERIFY(MediaFixtures::writeAnimatedGif(cache.filePath("g1.gif"), 32, 32, {500, 500}));
    Drag drag{w, {}};
    setWebGif(drag.data, "g1", QString());
    const QPoint pos = at(w, w->_lastTrackWidget, 3);
    QVERIFY(drag.enter(pos));
    QVERIFY(drag.move(pos));
    if (how == "leave")
      drag.leave();
    else
      QVERIFY(drag.drop(pos));
    QCOMPARE(p.model()->segmentCount(), 0);

    emit w->mediaExplorer()->downloadFinished(how == "fail" ? 1 : 0, how == "other" ? "g2" : "g1",
                                              cache.filePath("g1.gif"));
    QCOMPARE(p.model()->segmentCount(), segments);
    if (segments) {
      QCOMPARE(p.newest()->type(), QString("IMAGE"));
      QVERIFY(qAbs(p.newest()->rangeStart() - 3.0f) < 0.001f);
      QCOMPARE(p.newest()->fileName(), QString("libraryWebItem-1.gif"));
    }
  }

  // The whole road: the explorer fetches the dropped GIF and the drop completes with it.
  void webGifDownloadedByExplorer()
  {
    LoopbackHttpServer server;
    QVERIFY(server.isListening());
    QTemporaryDir source;
    QVERIFY(MediaFixtures::writeAnimatedGif(source.filePath("g7.gif"), 32, 32, {500, 500}));
    QFile gif(source.filePath("g7.gif"));
    QVERIFY(gif.open(QIODevice::ReadOnly));
    server.serve("/media/g7.gif", gif.readAll(), "image/gif");
    qputenv("TAVO_GIPHY_API_ROOT", server.url("/").toString().toUtf8());
    IntakeProject p;
    QVERIFY(p.open({}, 0));
    IntakeWindow *w = p.window.get();
    // Web GIFs are dragged from the explorer's GIPHY page.
    QPushButton *giphyTab = nullptr;
    for (QPushButton *button : w->findChildren<QPushButton *>())
      if (button->text() == "GIPHY")
        giphyTab = button;
    QVERIFY(giphyTab);
    QTest::mouseClick(giphyTab, Qt::LeftButton);
    Drag drag{w, {}};
    setWebGif(drag.data, "g7", QString());
    drag.data.setData("media/giphy-gif-url", server.url("/media/g7.gif").toString().toUtf8());
    const QPoint pos = at(w, w->_lastTrackWidget, 4);
    QVERIFY(drag.enter(pos));
    QVERIFY(drag.move(pos));
    QVERIFY(drag.drop(pos));
    QTRY_COMPARE_WITH_TIMEOUT(p.model()->segmentCount(), 1, 10000);
    qunsetenv("TAVO_GIPHY_API_ROOT");
    QVERIFY(qAbs(p.newest()->rangeStart() - 4.0f) < 0.001f);
    QCOMPARE(p.newest()->fileName(), QString("libraryWebItem-1.gif"));
    QVERIFY(QFile::exists(p.dir() + "/libraryWebItem-1.gif"));
  }

  // A file that cannot be read is told on every road in: a picture keeps its block, which ends
  // in the load-error look; a movie with nothing to show is taken back with the message.
  void unreadableFilesAreTold_data()
  {
    QTest::addColumn<QString>("road");
    QTest::addColumn<QString>("file");
    for (const char *road : {"dialog", "drop", "camera"}) {
      QTest::newRow(qPrintable(QString("%1, text named png").arg(road))) << road << "fake.png";
      QTest::newRow(qPrintable(QString("%1, movie without index").arg(road))) << road << "cut.mp4";
    }
  }

  void unreadableFilesAreTold()
  {
    QFETCH(QString, road);
    QFETCH(QString, file);
    IntakeProject p;
    QVERIFY(p.open({}, 0));
    IntakeWindow *w = p.window.get();
    QTemporaryDir media;
    const QString path = media.filePath(file);
    const bool picture = file.endsWith(".png");
    if (picture) {
      QVERIFY(writeProjectFile(path, QByteArray("This is not a picture. ").repeated(200).left(4096)));
    } else {
      // The index of an MP4 comes last: half the file is a movie cut short.
      QVERIFY(MediaFixtures::writeColorVideo(path, 64, 48, 30, 90));
      QFile movie(path);
      QVERIFY(movie.resize(movie.size() / 2));
      QVERIFY(movie.open(QIODevice::ReadOnly));
      QVERIFY(!movie.readAll().contains("moov"));
    }
    const int before = p.model()->segmentCount();
    w->_insertTrack = w->_lastTrackWidget;
    if (road == "dialog") {
      w->dialogs.answers << path;
      w->_addMediaFileFromDialog(7);
    } else if (road == "drop") {
      Drag drag{w, {}};
      setFile(drag.data, path);
      const QPoint pos = at(w, w->_lastTrackWidget, 1);
      QVERIFY(drag.enter(pos));
      QVERIFY(QTest::qWaitFor([&] { return drag.move(pos); }, 10000));
      drag.drop(pos);
    } else {
      const QString taken = media.filePath("taken");
      QVERIFY(QFile::copy(path, taken));
      picture ? w->_addCapturedPhoto(taken) : w->_addCapturedMovie(taken);
    }
    if (!picture) {
      QTRY_VERIFY_WITH_TIMEOUT(shownMessages(w).contains("This file cannot be opened"), 20000);
      QCOMPARE(p.model()->segmentCount(), before);
      return;
    }
    QCOMPARE(p.model()->segmentCount(), before + 1);
    Segment *added = p.newest();
    QTRY_COMPARE_WITH_TIMEOUT(added->state(), int(SegmentReady), 20000);
    QCOMPARE(added->error(), quint32(SegmentLoadError));
    auto *block = static_cast<SegmentWidget *>(p.model()->segmentWidgetAt(p.model()->indexOfSegmentId(added->id())));
    QVERIFY(block);
    // No spinner is left, and the block's right part is the message's yellow.
    QTRY_VERIFY(block->findChildren<AnimatedLabel *>().isEmpty());
    // The block grows into place first.
    const int width = int(24 * w->zoom() * added->duration());
    QTRY_COMPARE(block->width(), width);
    const QImage shot = PixelProbe::grab(block);
    QVERIFY2(PixelProbe::near(shot.pixel(shot.width() - 4, shot.height() / 2), QColor(255, 255, 0)),
             qPrintable(PixelProbe::text(shot.pixel(shot.width() - 4, shot.height() / 2))));
  }

  // A drag cancelled over the timeline (Escape) leaves with its yellow frame.
  // The window takes the drag by what it read, whenever the other program's drag ends.
  void dataThatEndsWhileRead_data()
  {
    QTest::addColumn<int>("answeredReads");
    QTest::newRow("ended before the first read") << 0;
    QTest::newRow("after one read") << 1;
    QTest::newRow("after two reads") << 2;
    QTest::newRow("after three reads") << 3;
  }

  void dataThatEndsWhileRead()
  {
    QFETCH(int, answeredReads);
    IntakeProject p;
    QVERIFY(p.open({}, 0));
    IntakeWindow *w = p.window.get();
    QTemporaryDir media;
    QVERIFY(MediaFixtures::writePicture(media.filePath("still.png"), 32, 32));
    EndingDragData data(QUrl::fromLocalFile(media.filePath("still.png")), answeredReads);
    QDragEnterEvent event(at(w, w->_lastTrackWidget, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
    QCOMPARE(event.isAccepted(), answeredReads > 0);
  }

  void cancelledDragLeavesNoFrame_data()
  {
    QTest::addColumn<bool>("asset");
    QTest::newRow("file") << false;
    QTest::newRow("built-in sticker") << true;
  }

  void cancelledDragLeavesNoFrame()
  {
    QFETCH(bool, asset);
    IntakeProject p;
    QVERIFY(p.open({}, 0));
    IntakeWindow *w = p.window.get();
    QTemporaryDir media;
    QVERIFY(MediaFixtures::writePicture(media.filePath("still.png"), 32, 32));
    Drag drag{w, {}};
    asset ? setAsset(drag.data, ":/images/app_logo", 2) : setFile(drag.data, media.filePath("still.png"));
    TrackWidget *track = w->_lastTrackWidget;
    const QPoint pos = at(w, track, 1);
    QVERIFY(drag.enter(pos));
    QVERIFY(drag.move(pos));
    auto *frame = track->findChild<SegmentDraggingFrameWidget *>();
    QVERIFY(frame);
    const QRect shown = frame->geometry();
    auto yellowAtFrameEdge = [&] {
      const QImage shot = PixelProbe::grab(track);
      return PixelProbe::near(shot.pixel(shown.left() + 1, shown.center().y()), QColor(255, 255, 0), 60);
    };
    QVERIFY(yellowAtFrameEdge());
    drag.leave();
    QVERIFY(!yellowAtFrameEdge());
  }

  // Resting at the right edge scrolls the timeline after a moment.
  void edgeScrolls()
  {
    IntakeProject p;
    QVERIFY(p.project.isValid());
    QVERIFY(MediaFixtures::writePicture(p.dir() + "/still.png", 32, 32));
    QVERIFY(p.open(pictureLine(1, 0, 200), 1));
    IntakeWindow *w = p.window.get();
    QCOMPARE(w->editScrollArea()->horizontalOffset(), 0.0f);
    Drag drag{w, {}};
    setFile(drag.data, p.dir() + "/still.png");
    QWidget *parent = w->editScrollArea()->parentWidget();
    const QRect area = w->editScrollArea()->geometry();
    const QPoint edge = parent->mapTo(w, QPoint(area.right() - 20, area.center().y()));
    QVERIFY(drag.enter(edge));
    drag.move(edge);
    QTRY_VERIFY_WITH_TIMEOUT(w->editScrollArea()->horizontalOffset() > 0, 5000);
    drag.move(parent->mapTo(w, area.center()));
    drag.leave();
  }
};

TAVO_TEST_MAIN(TestDrop)
#include "tst_drop.moc"
