// The media intake: the add actions and their refusals, the file dialog, the copy into the
// project, where a new segment lands, the overwrite of a track range and the clean-up of
// unused files.

#include "intakewindow.h"
#include "mediafixtures.h"
#include "testenv.h"

#include "avcomposition.h"
#include "avsegment.h"
#include "util.h"
#include "imagesegment.h"
#include "musicsegment.h"
#include "commonpopup.h"
#include "popupmediatypeselectionwidget.h"
#include "progresshud.h"
#include "projectmanager.h"
#include "usersettings.h"
#include "util.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QDir>
#include <QMimeDatabase>
#include <QProgressBar>
#include <QSemaphore>
#include <QSettings>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace {

QByteArray movieLine(int track, double start)
{
  return QStringLiteral("<Segment Type=\"MOVIE\" TrackId=\"%1\" RangeStart=\"%2\" RangeDuration=\"1\" "
                        "File=\"clip.mp4\" TrimStart=\"0\" TrimDuration=\"1\"/>\n")
      .arg(track)
      .arg(start)
      .toUtf8();
}

bool writeFile(const QString &path, const QByteArray &bytes = "x")
{
  return writeProjectFile(path, bytes);
}

} // namespace

class TestIntake : public QObject
{
  Q_OBJECT

private slots:
  void init()
  {
    UserSettings::instance()->setAutoCopyAssets(false);
    UserSettings::instance()->setPhotoDuration(2.0f);
  }

  // A movie whose streams differ in length takes the longer one, on the timeline and in the
  // engine, and the media facts (which give a dragged file its drop length) say the same.
  void streamsOfDifferentLengths_data()
  {
    QTest::addColumn<int>("frames");
    QTest::addColumn<double>("toneSeconds");
    QTest::newRow("3 s picture, 5 s sound") << 90 << 5.0;
    QTest::newRow("5 s picture, 3 s sound") << 150 << 3.0;
  }

  void streamsOfDifferentLengths()
  {
    QFETCH(int, frames);
    QFETCH(double, toneSeconds);
    QTemporaryDir media;
    MediaFixtures::VideoParams params;
    params.width = 64;
    params.height = 48;
    params.frames = frames;
    params.withTone = true;
    params.toneSeconds = toneSeconds;
    const QString file = media.filePath("uneven.mp4");
    QVERIFY2(MediaFixtures::writeColorVideo(file, params), qPrintable(MediaFixtures::lastError()));
    QString video;
    QString audio;
    double seconds = 0;
    QVERIFY(Util::probeMediaInfo(file, video, audio, seconds));
    QVERIFY2(qAbs(seconds - 5.0) < 0.05, qPrintable(QString::number(seconds)));

    IntakeProject p;
    QVERIFY(p.open({}, 0));
    IntakeWindow *w = p.window.get();
    w->_insertTrack = w->_lastTrackWidget;
    QVERIFY(w->_insertMediaFile(file, 1, {}, 0, true, true));
    Segment *movie = p.model()->segmentAt(0);
    QTRY_VERIFY_WITH_TIMEOUT(movie->state() == SegmentReady, 20000);
    QVERIFY2(qAbs(movie->duration() - seconds) < 0.05, qPrintable(QString::number(movie->duration())));
    for (quint32 id : {movie->id(), movie->audioPartId()}) {
      AVSegment *part = w->_composition->findSegment(id);
      QVERIFY(part);
      QTRY_VERIFY2(qAbs(part->duration() - seconds) < 0.05, qPrintable(QString::number(part->duration())));
    }
  }

  // Kind 7 decides the segment class by the file's MIME type.
  void kindFromMimeType_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("type");
    QTest::newRow("mp4 is video") << "clip.mp4" << "MOVIE";
    QTest::newRow("png is a picture") << "still.png" << "IMAGE";
    QTest::newRow("mp3 is music") << "tune.mp3" << "MUSIC";
    QTest::newRow("text is refused") << "notes.txt" << "";
  }

  void kindFromMimeType()
  {
    QFETCH(QString, file);
    QFETCH(QString, type);
    QTemporaryDir media;
    MediaFixtures::writeColorVideo(media.filePath("clip.mp4"), 64, 48, 30, 10);
    MediaFixtures::writePicture(media.filePath("still.png"), 32, 32);
    writeFile(media.filePath("tune.mp3"), QByteArray("ID3\x03\x00\x00\x00\x00\x00\x00", 10));
    writeFile(media.filePath("notes.txt"), "plain words");
    QCOMPARE(QMimeDatabase().mimeTypeForFile(media.filePath("tune.mp3")).name().left(6), QString("audio/"));

    IntakeProject p;
    QVERIFY(p.open({}, 0));
    IntakeWindow *w = p.window.get();
    w->_insertTrack = w->_lastTrackWidget;
    const bool inserted = w->_insertMediaFile(media.filePath(file), 7, {}, 0, true, true);
    QCOMPARE(inserted, !type.isEmpty());
    QCOMPARE(p.model()->segmentCount(), type.isEmpty() ? 0 : 1);
    if (!type.isEmpty())
      QCOMPARE(p.model()->segmentAt(0)->type(), type);
  }

  // The dialog's words, filter and remembered folder; a cancel stores nothing.
  void fileDialog_data()
  {
    QTest::addColumn<int>("mediaType");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<bool>("cancel");
    QTest::newRow("any media") << 0 << "Choose media file to added into the current movie"
                               << "All media files (*.*)" << false;
    QTest::newRow("video") << 1 << "Choose video file to added into the current movie" << Util::videoFileFilter()
                           << false;
    QTest::newRow("picture") << 2 << "Choose picture file to added into the current movie"
                             << Util::pictureFileFilter() << false;
    QTest::newRow("music") << 3 << "Choose music file to added into the current movie" << Util::musicFileFilter()
                           << false;
    QTest::newRow("cancelled") << 0 << "Choose media file to added into the current movie"
                               << "All media files (*.*)" << true;
  }

  void fileDialog()
  {
    QFETCH(int, mediaType);
    QFETCH(QString, title);
    QFETCH(QString, filter);
    QFETCH(bool, cancel);
    QSettings().remove("ChooseMediaDir");
    IntakeProject p;
    QVERIFY(p.open({}, 0));
    IntakeWindow *w = p.window.get();
    QTemporaryDir media;
    const QString picked = media.filePath("still.png");
    QVERIFY(MediaFixtures::writePicture(picked, 32, 32));
    if (!cancel)
      w->dialogs.answers << picked;

    w->_showMediaTypePopup(mediaType, w->gutter());
    auto *popup = w->findChild<PopupMediaTypeSelectionWidget *>();
    QVERIFY(popup);
    QTest::mouseClick(popup->chooseFileButton(), Qt::LeftButton);

    QCOMPARE(w->dialogs.kinds(), QStringList{"getOpenFileName"});
    QCOMPARE(w->dialogs.calls.first().title, title);
    QCOMPARE(w->dialogs.calls.first().buttons, QStringList{filter});
    QCOMPARE(QSettings().value("ChooseMediaDir").toString(), cancel ? QString() : media.path());
  }

  // The add actions refuse while something else holds the window.
  void addActionsRefused_data()
  {
    QTest::addColumn<QString>("state");
    QTest::newRow("free") << "free";
    QTest::newRow("full screen") << "fullscreen";
    QTest::newRow("waiting display") << "waiting";
    QTest::newRow("popup open") << "popup";
    QTest::newRow("help tip") << "tip";
  }

  void addActionsRefused()
  {
    QFETCH(QString, state);
    IntakeProject p;
    QVERIFY(p.open({}, 0));
    IntakeWindow *w = p.window.get();
    CommonPopup *popup = nullptr;
    if (state == "fullscreen") {
      w->fullscreen = true;
    } else if (state == "waiting") {
      w->showWaitingHUD("Working...");
    } else if (state == "popup") {
      popup = new CommonPopup(w);
      popup->show();
    } else if (state == "tip") {
      TipManager::instance()->forgetFinishedTipsForTesting();
      QVERIFY(TipManager::instance()->showTip("MediaExplorerHelpTip", w->gutter(), w, 0));
      QVERIFY(TipManager::instance()->isShowingTip());
    }
    w->actions().addText->trigger();
    w->actions().addFile->trigger();
    QCOMPARE(p.model()->segmentCount(), state == "free" ? 1 : 0);
    QCOMPARE(w->dialogs.kinds().size(), state == "free" ? 1 : 0);
    if (state == "tip")
      TipManager::instance()->dismissTip();
  }

  // Copies never overwrite: a free " Copy N" name is found, the complete suffix kept whole.
  void copyNames_data()
  {
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("copy");
    QTest::newRow("free name") << "clip.mp4" << QStringList{} << "clip.mp4";
    QTest::newRow("next number") << "clip.mp4" << QStringList{"clip.mp4", "clip Copy 1.mp4"} << "clip Copy 2.mp4";
    QTest::newRow("complete suffix") << "a.tar.gz" << QStringList{"a.tar.gz"} << "a Copy 1.tar.gz";
  }

  void copyNames()
  {
    QFETCH(QString, source);
    QFETCH(QStringList, present);
    QFETCH(QString, copy);
    IntakeProject p;
    QVERIFY(p.open({}, 0));
    QTemporaryDir media;
    QVERIFY(writeFile(media.filePath(source), "payload"));
    for (const QString &name : present)
      QVERIFY(writeFile(p.dir() + "/" + name, "older"));
    const QString result = p.window->_copyMediaIntoProject(media.filePath(source), p.dir());
    QCOMPARE(QFileInfo(result).fileName(), copy);
    QFile copied(result);
    QVERIFY(copied.open(QIODevice::ReadOnly));
    QCOMPARE(copied.readAll(), QByteArray("payload"));
    for (const QString &name : present)
      QVERIFY(QFile::exists(p.dir() + "/" + name));
  }

  // With AutoCopyAssets a file from outside is copied in, one inside stays where it is, and a
  // failed copy inserts nothing.
  void autoCopy_data()
  {
    QTest::addColumn<QString>("where");
    QTest::addColumn<int>("segments");
    QTest::addColumn<bool>("copied");
    QTest::newRow("outside") << "outside" << 1 << true;
    QTest::newRow("inside the project") << "inside" << 1 << false;
    QTest::newRow("unreadable") << "missing" << 0 << false;
  }

  void autoCopy()
  {
    QFETCH(QString, where);
    QFETCH(int, segments);
    QFETCH(bool, copied);
    UserSettings::instance()->setAutoCopyAssets(true);
    IntakeProject p;
    QVERIFY(p.open({}, 0));
    IntakeWindow *w = p.window.get();
    QTemporaryDir media;
    QString path = media.filePath("still.png");
    if (where == "inside")
      path = p.dir() + "/still.png";
    if (where != "missing")
      QVERIFY(MediaFixtures::writePicture(path, 32, 32));
    const QStringList before = QDir(p.dir()).entryList(QDir::Files);
    w->_insertTrack = w->_lastTrackWidget;
    w->_insertMediaFile(path, 2, {}, 0, true, true);
    QCOMPARE(p.model()->segmentCount(), segments);
    const QStringList after = QDir(p.dir()).entryList(QDir::Files);
    QCOMPARE(after.contains("still.png") && !before.contains("still.png"), copied);
    if (where == "missing")
      QTRY_VERIFY(w->findChild<ProgressHUD *>());
  }

  // A long copy keeps the window painting, refuses a close from its very start, and shows its
  // progress once half a second has passed by the clock, however slowly the loop turns.
  void longCopyRefusesClose()
  {
    UserSettings::instance()->setAutoCopyAssets(true);
    IntakeProject p;
    QVERIFY(p.open({}, 0));
    IntakeWindow *w = p.window.get();
    QTemporaryDir media;
    const QString source = media.filePath("big.mov");
    QVERIFY(writeProjectFile(source, QByteArray(4096, 'x')));
    // The copy stays half done until the test has seen its progress.
    QSemaphore release;
    w->_copyTask = [&release](const QString &from, const QString &to, FileCopyState *state) {
      state->bytesCopied = 2048;
      release.acquire();
      MainWindow::copyFileTask(from, to, state);
    };
    bool closeRefused = false;
    QTimer::singleShot(0, w, [&] { closeRefused = !w->close(); });
    // A busy machine: each pass of the copy's loop takes four times its sleep.
    QElapsedTimer clock;
    int passes = 0;
    qint64 shownAfter = -1;
    int shownProgress = -1;
    QTimer busy;
    connect(&busy, &QTimer::timeout, this, [&] {
      ++passes;
      QThread::msleep(150);
      ProgressHUD *hud = w->progressHUD();
      if (hud && hud->textLabel() && hud->textLabel()->text() == "Copying file...") {
        shownAfter = clock.elapsed();
        shownProgress = hud->progressBar()->value();
      }
      if (shownAfter >= 0 || passes >= 40) {
        busy.stop();
        release.release();
      }
    });
    busy.start(0);
    clock.start();
    const QString copy = w->_copyMediaIntoProject(source, p.dir());
    QVERIFY(closeRefused);
    QVERIFY2(shownAfter >= 500 && passes <= 6,
             qPrintable(QString("progress shown after %1 ms in pass %2, expected from 500 ms on, by pass 6")
                            .arg(shownAfter)
                            .arg(passes)));
    QCOMPARE(shownProgress, 50);
    QVERIFY(w->isVisible());
    QCOMPARE(QFileInfo(copy).size(), 4096LL);
    QVERIFY(!w->progressHUD());
  }

  // Where an addition lands: after the target track's content, at the play head on the empty
  // bottom track (which then gets a new empty one), at 0 on the first video track when four
  // video tracks exist.
  void placement_data()
  {
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("start");
    QTest::addColumn<int>("trackIndex");
    QTest::newRow("after the content") << "picture track" << 2 << 4.0 << 0;
    QTest::newRow("bottom track at the play head") << "bottom" << 2 << 1.5 << 5;
    QTest::newRow("fifth video goes to the first") << "bottom" << 1 << 0.0 << 1;
  }

  void placement()
  {
    QFETCH(QString, target);
    QFETCH(int, kind);
    QFETCH(double, start);
    QFETCH(int, trackIndex);
    IntakeProject p;
    QVERIFY(p.project.isValid());
    QVERIFY(MediaFixtures::writePicture(p.dir() + "/still.png", 32, 32));
    QVERIFY(MediaFixtures::writeColorVideo(p.dir() + "/clip.mp4", 64, 48, 30, 30));
    QVERIFY(p.open(pictureLine(1, 0, 4) + movieLine(2, 1) + movieLine(3, 0) + movieLine(4, 0) + movieLine(5, 0), 5));
    IntakeWindow *w = p.window.get();
    w->_setPlayheadTime(1.5f, false);
    QVERIFY(qAbs(w->_playheadTime() - 1.5f) < 0.01f);
    const int tracks = w->editScrollArea()->trackCount();
    const QStringList before = p.ranges(p.track(1));
    w->_insertTrack = target == "bottom" ? w->_lastTrackWidget : p.track(0);
    const QString file = kind == 1 ? "clip.mp4" : "still.png";
    QVERIFY(w->_insertMediaFile(p.dir() + "/" + file, kind, {}, w->_playheadTime(), true, true));
    Segment *added = p.newest();
    QVERIFY2(qAbs(added->rangeStart() - float(start)) < 0.01f, qPrintable(QString::number(added->rangeStart())));
    QCOMPARE(added->trackId(), p.track(trackIndex)->tag());
    const bool onBottom = trackIndex == tracks - 1;
    QCOMPARE(w->editScrollArea()->trackCount(), onBottom ? tracks + 1 : tracks);
    const QStringList after = p.ranges(p.track(1));
    for (const QString &range : before)
      QVERIFY2(after.contains(range), qPrintable(after.join(' ')));
  }

  // The picture's scale, a GIF's own length and a music title taken from the file name.
  void insertedProperties()
  {
    IntakeProject p;
    QVERIFY(p.open({}, 0));
    IntakeWindow *w = p.window.get();
    QTemporaryDir media;
    QVERIFY(MediaFixtures::writePicture(media.filePath("still.png"), 32, 32));
    QVERIFY(MediaFixtures::writeAnimatedGif(media.filePath("wave.gif"), 32, 32, {1000, 1000, 1000}));
    QVERIFY(MediaFixtures::writeTone(media.filePath("Night Song.wav"), 1));

    auto insert = [&](const QString &file, int kind, const QVariantHash &properties) {
      w->_insertTrack = w->_lastTrackWidget;
      w->_insertMediaFile(media.filePath(file), kind, properties, 0, true, true);
      return p.newest();
    };
    QCOMPARE(insert("still.png", 2, {{"scale", 1.0}})->userScale(), QSizeF(1, 1));
    QCOMPARE(insert("still.png", 2, {{"scale", 0.5}})->userScale(), QSizeF(0.5, 0.5));
    // The animation's length from the start, not the photo length first.
    QCOMPARE(insert("wave.gif", 2, {})->duration(), 3.0f);
    auto *tune = static_cast<MusicSegment *>(insert("Night Song.wav", 4, {}));
    QCOMPARE(tune->title(), QString("Night Song"));
  }

  // An unreadable movie or music file has no length to show its load error on: the insertion
  // is taken back with its undo step, and the user is told. A picture keeps its block, which
  // shows the error.
  void unreadableFilesTakenBack_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("kept");
    QTest::newRow("movie") << "broken.mp4" << 1 << false;
    QTest::newRow("music") << "broken.m4a" << 4 << false;
    QTest::newRow("by MIME type") << "broken.mp4" << 7 << false;
    QTest::newRow("picture") << "broken.png" << 2 << true;
  }

  void unreadableFilesTakenBack()
  {
    QFETCH(QString, file);
    QFETCH(int, kind);
    QFETCH(bool, kept);
    IntakeProject p;
    QVERIFY(p.project.isValid());
    QVERIFY(MediaFixtures::writePicture(p.dir() + "/still.png", 32, 32));
    QVERIFY(p.open(pictureLine(1, 0, 2), 1));
    IntakeWindow *w = p.window.get();
    QTemporaryDir media;
    QVERIFY(writeFile(media.filePath(file), QByteArray(4096, '\x5a')));
    const int tracks = w->editScrollArea()->trackCount();
    const int history = p.model()->history().count();
    w->_insertTrack = w->_lastTrackWidget;
    QVERIFY(w->_insertMediaFile(media.filePath(file), kind, {}, 0, true, true));
    Segment *added = p.newest();
    QTRY_VERIFY_WITH_TIMEOUT(p.model()->segmentCount() == 1 || added->state() == SegmentReady, 20000);
    if (kept) {
      QCOMPARE(added->error(), quint32(SegmentLoadError));
      QCOMPARE(p.model()->segmentCount(), 2);
      QCOMPARE(p.model()->history().count(), history + 1);
      QVERIFY(!shownMessages(w).contains("This file cannot be opened"));
      return;
    }
    QTRY_VERIFY(shownMessages(w).contains("This file cannot be opened"));
    QCOMPARE(p.model()->segmentCount(), 1);
    QCOMPARE(w->editScrollArea()->trackCount(), tracks);
    QCOMPARE(p.model()->history().count(), history);
  }

  // New text and drawing blocks open their editor 750 ms later, with animations off for it.
  void newBlockEditing_data()
  {
    QTest::addColumn<QString>("what");
    QTest::newRow("text") << "TEXT";
    QTest::newRow("drawing") << "DRAWING";
  }

  void newBlockEditing()
  {
    QFETCH(QString, what);
    IntakeProject p;
    QVERIFY(p.open({}, 0));
    IntakeWindow *w = p.window.get();
    w->_setPlayheadTime(3.0f, false);
    const float playhead = w->_playheadTime();
    w->sinceAdd.start();
    (what == "TEXT" ? w->actions().addText : w->actions().addSelfDraw)->trigger();
    QCOMPARE(p.model()->segmentCount(), 1);
    QCOMPARE(p.model()->segmentAt(0)->type(), what);
    QCOMPARE(p.model()->segmentAt(0)->rangeStart(), playhead);
    QCOMPARE(w->editHooks, 0);
    QTRY_COMPARE_WITH_TIMEOUT(w->editHooks, 1, 5000);
    QVERIFY2(w->hookAfterMs >= 700, qPrintable(QString::number(w->hookAfterMs)));
    QVERIFY(!w->animationsDuringHook);
    QVERIFY(QApplication::isEffectEnabled(Qt::UI_General));
  }

  // Without a target track a chosen picture replaces the edited picture's file.
  void replaceEditedPicture_data()
  {
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("edited");
    QTest::addColumn<QString>("file");
    QTest::newRow("picture replaced") << 2 << true << "other.png";
    QTest::newRow("not a picture kind") << 4 << true << "still.png";
    QTest::newRow("nothing edited") << 2 << false << "still.png";
  }

  void replaceEditedPicture()
  {
    QFETCH(int, kind);
    QFETCH(bool, edited);
    QFETCH(QString, file);
    IntakeProject p;
    QVERIFY(p.project.isValid());
    QVERIFY(MediaFixtures::writePicture(p.dir() + "/still.png", 32, 32));
    QVERIFY(MediaFixtures::writePicture(p.dir() + "/other.png", 48, 32));
    QVERIFY(p.open(pictureLine(1, 0, 2), 1));
    IntakeWindow *w = p.window.get();
    if (edited) {
      SegmentWidget *block = p.track(0)->segmentWidgetAt(0);
      w->editScrollArea()->setSelectedSegmentWidget(block);
      block->setEditingState(true, false);
      QTRY_VERIFY(w->editScrollArea()->editingSegmentWidget());
    }
    w->_insertTrack = nullptr;
    w->dialogs.answers << p.dir() + "/other.png";
    w->_addMediaFileFromDialog(kind);
    QCOMPARE(p.model()->segmentCount(), 1);
    QCOMPARE(p.model()->segmentAt(0)->fileName(), file);
  }

  // Clearing [2, 5): inside segments go, overlapping ones are trimmed, a spanning one split.
  void overwriteRange_data()
  {
    QTest::addColumn<QByteArray>("segments");
    QTest::addColumn<QStringList>("ranges");
    QTest::newRow("trim, remove, cut") << QByteArray(pictureLine(1, 0, 3) + pictureLine(1, 3, 1) + pictureLine(1, 4.5, 3.5))
                                       << QStringList{"0-2", "5-8"};
    QTest::newRow("split") << pictureLine(1, 1, 8) << QStringList{"1-2", "5-9"};
    QTest::newRow("touching edges stay") << QByteArray(pictureLine(1, 0, 2) + pictureLine(1, 5, 1))
                                         << QStringList{"0-2", "5-6"};
  }

  void overwriteRange()
  {
    QFETCH(QByteArray, segments);
    QFETCH(QStringList, ranges);
    IntakeProject p;
    QVERIFY(p.project.isValid());
    QVERIFY(MediaFixtures::writePicture(p.dir() + "/still.png", 32, 32));
    QVERIFY(p.open(segments, segments.count("<Segment")));
    IntakeWindow *w = p.window.get();
    TrackWidget *track = p.track(0);
    w->_overwriteTrackRange(track, 2, 3, nullptr);
    QCOMPARE(p.ranges(track), ranges);
    // Model and blocks stay parallel: one block per segment, each showing its own.
    QCOMPARE(track->segmentWidgetCount(), ranges.size());
    QCOMPARE(p.model()->segmentCount(), ranges.size());
    for (int i = 0; i < p.model()->segmentCount(); ++i)
      QCOMPARE(static_cast<SegmentWidget *>(p.model()->segmentWidgetAt(i))->segment(), p.model()->segmentAt(i));
  }

  // A cut keeps the transitions at their timeline times, in the model and in the engine, on
  // every piece it leaves. The picture spans [4, 8] with transitions near 5.5 and 7.
  void overwriteKeepsTransitionTimes_data()
  {
    QTest::addColumn<float>("start");
    QTest::addColumn<float>("duration");
    QTest::addColumn<QStringList>("ranges");
    QTest::newRow("head cut") << 2.0f << 3.0f << QStringList{"5-8"};
    QTest::newRow("tail cut") << 7.75f << 2.0f << QStringList{"4-7.75"};
    QTest::newRow("split") << 6.25f << 0.5f << QStringList{"4-6.25", "6.75-8"};
  }

  void overwriteKeepsTransitionTimes()
  {
    QFETCH(float, start);
    QFETCH(float, duration);
    QFETCH(QStringList, ranges);
    IntakeProject p;
    QVERIFY(p.project.isValid());
    QVERIFY(MediaFixtures::writePicture(p.dir() + "/still.png", 32, 32));
    QVERIFY(p.open(pictureLine(1, 4, 4), 1));
    IntakeWindow &w = *p.window;
    Segment *picture = p.model()->segmentAt(0);
    QVERIFY(picture->insertTransition(0.5f, 5.5f) > 0);
    QVERIFY(picture->insertTransition(0.5f, 7.0f) > 0);
    // Timeline start and length of each transition.
    const auto times = [](Segment *segment) {
      QList<QPointF> list;
      for (int id = 1; id <= segment->transitionCount(); ++id)
        list << QPointF(segment->rangeStart() + segment->transitionStart(id), segment->transitionDuration(id));
      return list;
    };
    const QList<QPointF> before = times(picture);
    w._refreshSegment(picture);
    QVERIFY2(engineTransitionsDiffer(w, picture).isEmpty(), qPrintable(engineTransitionsDiffer(w, picture)));

    w._overwriteTrackRange(p.track(0), start, duration, nullptr);
    QCOMPARE(p.ranges(p.track(0)), ranges);
    for (int i = 0; i < p.model()->segmentCount(); ++i) {
      Segment *piece = p.model()->segmentAt(i);
      const float from = piece->rangeStart();
      const float to = from + piece->duration();
      const QList<QPointF> after = times(piece);
      for (const QPointF &t : before) {
        if (t.x() < from || t.x() + t.y() > to)
          continue;
        const bool kept = std::any_of(after.begin(), after.end(), [&t](const QPointF &a) {
          return qAbs(a.x() - t.x()) < 1e-3 && qAbs(a.y() - t.y()) < 1e-3;
        });
        QVERIFY2(kept, qPrintable(QString("no transition at %1 on %2-%3").arg(t.x()).arg(from).arg(to)));
      }
      QTRY_VERIFY2(engineTransitionsDiffer(w, piece).isEmpty(), qPrintable(engineTransitionsDiffer(w, piece)));
    }
  }

  // The overwrite commit trims the neighbour it now covers instead of moving it.
  void overwriteCommitTrimsNeighbour()
  {
    IntakeProject p;
    QVERIFY(p.project.isValid());
    QVERIFY(MediaFixtures::writePicture(p.dir() + "/still.png", 32, 32));
    QVERIFY(p.open(pictureLine(1, 0, 3) + pictureLine(1, 3, 4), 2));
    IntakeWindow *w = p.window.get();
    p.model()->setSegmentMode(1);
    Segment *first = p.model()->segmentAt(0);
    w->_saveRange(first);
    first->setDuration(4);
    QVERIFY(w->_commitSegmentRangeChange(first, false));
    QCOMPARE(p.ranges(p.track(0)), (QStringList{"0-4", "4-7"}));
  }

  // Closing removes the media no segment uses, and keeps the program's own files.
  void removeUnusedFiles()
  {
    IntakeProject p;
    QVERIFY(p.project.isValid());
    QVERIFY(MediaFixtures::writePicture(p.dir() + "/still.png", 32, 32));
    QVERIFY(p.open(pictureLine(1, 0, 2), 1));
    for (const char *name : {"media.config", "shot.jpg", "example.dat", "left over.png"})
      QVERIFY(writeFile(p.dir() + "/" + name));
    p.window->_removeUnusedFiles();
    const QStringList files = QDir(p.dir()).entryList(QDir::Files);
    for (const char *name : {"media.config", "shot.jpg", "example.dat", "still.png", "project.xml"})
      QVERIFY2(files.contains(name), name);
    QVERIFY(!files.contains("left over.png"));
  }
};

TAVO_TEST_MAIN(TestIntake)
#include "tst_intake.moc"
