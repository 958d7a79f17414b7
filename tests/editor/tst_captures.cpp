// Camera captures and microphone takes moved into the project, the camera dialog's capture
// type, and the gutter's, the media type chooser's and the explorer's slots.

#include "intakewindow.h"
#include "mediafixtures.h"
#include "testenv.h"

#include "avglwidget.h"
#include "cameradialog.h"
#include "fakeaudioinputbackend.h"
#include "fakecamerabackend.h"
#include "mediapreviewwidget.h"
#include "mediaexplorer.h"
#include "popupmediatypeselectionwidget.h"
#include "popupmicrophonewidget.h"

#include <QAction>
#include <QDir>
#include <QPushButton>

namespace {

QString fileOf(Segment *segment)
{
  return segment ? segment->fileName() : QString();
}

} // namespace

class TestCaptures : public QObject
{
  Q_OBJECT

private slots:
  // Captures take the first free number of their own pattern and become segments.
  void capturedFileNames_data()
  {
    QTest::addColumn<bool>("photo");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("name");
    QTest::newRow("after 1 and 2") << true << QStringList{"cameraPhoto-1.jpg", "cameraPhoto-2.jpg"}
                                   << "cameraPhoto-3.jpg";
    QTest::newRow("a free 1") << true << QStringList{"cameraPhoto-2.jpg"} << "cameraPhoto-1.jpg";
    QTest::newRow("clips apart") << false << QStringList{"cameraPhoto-1.jpg"} << "cameraMovie-1.mp4";
  }

  void capturedFileNames()
  {
    QFETCH(bool, photo);
    QFETCH(QStringList, present);
    QFETCH(QString, name);
    IntakeProject p;
    QVERIFY(p.open({}, 0));
    for (const QString &file : present)
      QVERIFY(writeProjectFile(p.dir() + "/" + file, "older"));
    QTemporaryDir outside;
    const QString captured = outside.filePath(photo ? "capture.jpg" : "capture.mp4");
    QVERIFY(photo ? MediaFixtures::writePicture(captured, 64, 48)
                  : MediaFixtures::writeColorVideo(captured, 64, 48, 30, 15));
    IntakeWindow *w = p.window.get();
    w->_insertTrack = w->_lastTrackWidget;
    if (photo)
      w->_addCapturedPhoto(captured);
    else
      w->_addCapturedMovie(captured);
    QVERIFY(!QFile::exists(captured));
    QVERIFY(QFile::exists(p.dir() + "/" + name));
    QCOMPARE(p.model()->segmentCount(), 1);
    QCOMPARE(p.newest()->type(), QString(photo ? "IMAGE" : "MOVIE"));
    QCOMPARE(fileOf(p.newest()), name);
  }

  // The clip lands under the play head, whatever the zoom and the scroll.
  void clipAtPlayheadWhenScrolled()
  {
    IntakeProject p;
    QVERIFY(p.project.isValid());
    QVERIFY(MediaFixtures::writePicture(p.dir() + "/still.png", 32, 32));
    QVERIFY(p.open(pictureLine(1, 0, 60), 1));
    IntakeWindow *w = p.window.get();
    w->_setTimelineScale(2.0f);
    w->editScrollArea()->setContentOffset(QPoint(250, 0), false);
    QTRY_VERIFY(w->editScrollArea()->horizontalOffset() > 0);
    w->_setPlayheadTime(12.5f, false);
    QTRY_VERIFY(qAbs(w->_playheadTime() - 12.5f) < 0.05f);
    const float playhead = w->_playheadTime();
    QTemporaryDir outside;
    QVERIFY(MediaFixtures::writeColorVideo(outside.filePath("clip.mp4"), 64, 48, 30, 15));
    w->_insertTrack = w->_lastTrackWidget;
    w->_addCapturedMovie(outside.filePath("clip.mp4"));
    QCOMPARE(p.newest()->type(), QString("MOVIE"));
    QCOMPARE(p.newest()->rangeStart(), playhead);
  }

  // A capture or a take that cannot be moved is reported and left where it was.
  void failedMoves_data()
  {
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("message");
    QTest::newRow("photo") << "photo" << "Cannot move the captured photo file";
    QTest::newRow("clip") << "clip" << "Cannot move the captured video file";
    QTest::newRow("take") << "take" << "Cannot move the recorded sound file";
  }

  void failedMoves()
  {
    QFETCH(QString, what);
    QFETCH(QString, message);
    FakeAudioInputBackend::Install microphone;
    IntakeProject p;
    QVERIFY(p.open({}, 0));
    IntakeWindow *w = p.window.get();
    // The recorder's file has gone (tests run as a user whom permissions do not stop).
    QTemporaryDir outside;
    const QString captured = outside.filePath("capture.bin");
    w->_insertTrack = w->_lastTrackWidget;
    if (what == "photo") {
      w->_addCapturedPhoto(captured);
    } else if (what == "clip") {
      w->_addCapturedMovie(captured);
    } else {
      w->actions().addFromMicrophone->trigger();
      auto *popup = w->findChild<PopupMicrophoneWidget *>();
      QVERIFY(popup);
      emit popup->popupMicrophoneWidgetSoundCaptured(popup, captured, {});
      QTRY_VERIFY(!w->dialogs.calls.isEmpty());
    }
    QCOMPARE(w->dialogs.calls.size(), 1);
    QCOMPARE(w->dialogs.calls.first().title, QString("Error Occurs"));
    QCOMPARE(w->dialogs.calls.first().text, message);
    QCOMPARE(p.model()->segmentCount(), 0);
    QCOMPARE(QDir(p.dir()).entryList({"camera*", "sound*"}, QDir::Files), QStringList());
  }

  // The camera records a clip for the add action and the video chooser, a still for the
  // picture chooser; only the add action leaves the choice open. The window is named.
  void cameraCaptureType_data()
  {
    QTest::addColumn<int>("mediaType");
    QTest::addColumn<int>("captureType");
    QTest::newRow("add action") << -1 << 0;
    QTest::newRow("video chooser") << 1 << 0;
    QTest::newRow("picture chooser") << 2 << 1;
  }

  void cameraCaptureType()
  {
    QFETCH(int, mediaType);
    QFETCH(int, captureType);
    FakeCameraBackend::Install camera;
    IntakeProject p;
    QVERIFY(p.open({}, 0));
    IntakeWindow *w = p.window.get();
    int seen = -1;
    QString title;
    w->dialogs.onDialog = [&](QDialog *dialog) {
      title = dialog->windowTitle();
      auto *cameraDialog = qobject_cast<CameraDialog *>(dialog);
      seen = cameraDialog ? cameraDialog->captureType() : -2;
      return int(QDialog::Rejected);
    };
    if (mediaType < 0) {
      w->actions().addFromCamera->trigger();
    } else {
      w->_showMediaTypePopup(mediaType, w->gutter());
      auto *popup = w->findChild<PopupMediaTypeSelectionWidget *>();
      QVERIFY(popup);
      QTest::mouseClick(popup->cameraButton(), Qt::LeftButton);
    }
    QCOMPARE(seen, captureType);
    QCOMPARE(title, QString("Camera"));
    QCOMPARE(p.model()->segmentCount(), 0);
  }

  // Takes are numbered from 1 each time, become voice segments, and go in even when a block
  // is selected.
  void takes_data()
  {
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QString>("name");
    QTest::newRow("after 1 and 2") << QStringList{"sound-1.wav", "sound-2.wav"} << false << "sound-3.wav";
    QTest::newRow("a freed 1") << QStringList{"sound-2.wav"} << false << "sound-1.wav";
    QTest::newRow("block selected") << QStringList{} << true << "sound-1.wav";
  }

  void takes()
  {
    QFETCH(QStringList, present);
    QFETCH(bool, selected);
    QFETCH(QString, name);
    FakeAudioInputBackend::Install microphone;
    IntakeProject p;
    QVERIFY(p.project.isValid());
    QVERIFY(MediaFixtures::writePicture(p.dir() + "/still.png", 32, 32));
    QVERIFY(p.open(pictureLine(1, 0, 2), 1));
    for (const QString &file : present)
      QVERIFY(writeProjectFile(p.dir() + "/" + file, "older"));
    IntakeWindow *w = p.window.get();
    if (selected)
      w->editScrollArea()->setSelectedSegmentWidget(p.track(0)->segmentWidgetAt(0));
    QTemporaryDir outside;
    QVERIFY(MediaFixtures::writeTone(outside.filePath("take.wav"), 1));
    w->actions().addFromMicrophone->trigger();
    auto *popup = w->findChild<PopupMicrophoneWidget *>();
    QVERIFY(popup);
    emit popup->popupMicrophoneWidgetSoundCaptured(popup, outside.filePath("take.wav"), {0.25f, 0.5f});
    QTRY_COMPARE(p.model()->segmentCount(), 2);
    QCOMPARE(p.newest()->type(), QString("VOICE"));
    QCOMPARE(fileOf(p.newest()), name);
    QVERIFY(!QFile::exists(outside.filePath("take.wav")));
  }

  // The take starts at the later of the play head and the end of the target track.
  void voiceStartTime_data()
  {
    QTest::addColumn<bool>("onPictureTrack");
    QTest::addColumn<double>("playhead");
    QTest::addColumn<double>("start");
    QTest::newRow("bottom track") << false << 1.0 << 1.0;
    QTest::newRow("after the track's content") << true << 1.0 << 4.0;
    QTest::newRow("play head past the content") << true << 6.0 << 6.0;
  }

  void voiceStartTime()
  {
    QFETCH(bool, onPictureTrack);
    QFETCH(double, playhead);
    QFETCH(double, start);
    FakeAudioInputBackend::Install microphone;
    IntakeProject p;
    QVERIFY(p.project.isValid());
    QVERIFY(MediaFixtures::writePicture(p.dir() + "/still.png", 32, 32));
    QVERIFY(p.open(pictureLine(1, 0, 4) + pictureLine(2, 0, 30), 2));
    IntakeWindow *w = p.window.get();
    w->_setPlayheadTime(float(playhead), false);
    QTRY_VERIFY(qAbs(w->_playheadTime() - float(playhead)) < 0.05f);
    const float before = w->_playheadTime();
    w->_insertTrack = onPictureTrack ? p.track(0) : w->_lastTrackWidget;
    w->_showMediaTypePopup(0, w->gutter());
    auto *chooser = w->findChild<PopupMediaTypeSelectionWidget *>();
    QVERIFY(chooser);
    QTest::mouseClick(chooser->microphoneButton(), Qt::LeftButton);
    auto *popup = w->findChild<PopupMicrophoneWidget *>();
    QVERIFY(popup);
    float asked = -1;
    emit popup->popupMicrophoneWidgetGetStartTime(popup, &asked);
    QVERIFY2(qAbs(asked - qMax(float(start), before)) < 0.05f, qPrintable(QString::number(asked)));
    QVERIFY(asked >= before - 0.001f);
  }

  // A chooser of an unknown media type opens no dialog.
  void unknownMediaTypeOpensNothing()
  {
    IntakeProject p;
    QVERIFY(p.open({}, 0));
    IntakeWindow *w = p.window.get();
    auto *popup = new PopupMediaTypeSelectionWidget(w);
    popup->setRestriction(5);
    w->mediaTypeSelectionPopup_onClickSelectFile(popup);
    QVERIFY(w->dialogs.calls.isEmpty());
  }

  // Each track header button adds what its track holds.
  void gutterButtons_data()
  {
    QTest::addColumn<QString>("trackType");
    QTest::addColumn<QString>("effect");
    QTest::newRow("last button") << "" << "chooser 0";
    QTest::newRow("video track") << "MOVIE" << "chooser 1";
    QTest::newRow("picture track") << "IMAGE" << "chooser 2";
    QTest::newRow("text track") << "TEXT" << "segment TEXT";
    QTest::newRow("music track") << "MUSIC" << "dialog Choose music file to added into the current movie";
    QTest::newRow("drawing track") << "DRAWING" << "segment DRAWING";
    QTest::newRow("voice track") << "VOICE" << "microphone";
  }

  void gutterButtons()
  {
    QFETCH(QString, trackType);
    QFETCH(QString, effect);
    FakeAudioInputBackend::Install microphone;
    IntakeProject p;
    QVERIFY(p.project.isValid());
    QVERIFY(MediaFixtures::writePicture(p.dir() + "/still.png", 32, 32));
    QVERIFY(p.open(pictureLine(1, 0, 2), 1));
    IntakeWindow *w = p.window.get();
    TrackWidget *track = trackType.isEmpty() ? w->_lastTrackWidget : p.track(0);
    if (!trackType.isEmpty())
      track->setType(trackType);
    QPushButton *button = w->gutter()->buttonByTag(track->tag());
    QVERIFY(button);
    QTest::mouseClick(button, Qt::LeftButton);

    auto *chooser = w->findChild<PopupMediaTypeSelectionWidget *>();
    QCOMPARE(chooser ? QString("chooser %1").arg(chooser->restriction()) : QString(),
             effect.startsWith("chooser") ? effect : QString());
    QCOMPARE(bool(w->findChild<PopupMicrophoneWidget *>()), effect == "microphone");
    QCOMPARE(w->dialogs.calls.isEmpty() ? QString() : "dialog " + w->dialogs.calls.first().title,
             effect.startsWith("dialog") ? effect : QString());
    if (effect.startsWith("segment")) {
      QCOMPARE(p.model()->segmentCount(), 2);
      QCOMPARE("segment " + p.newest()->type(), effect);
      QCOMPARE(p.newest()->trackId(), track->tag());
    } else {
      QCOMPARE(p.model()->segmentCount(), 1);
    }
  }

  // The explorer's item shows its preview on the first click, in place of an edited block's
  // picture, and hides it on the second.
  void explorerItemTogglesPreview()
  {
    IntakeProject p;
    QVERIFY(MediaFixtures::writePicture(p.dir() + "/still.png", 64, 48));
    QVERIFY(p.open(pictureLine(1, 0, 2), 1));
    IntakeWindow *w = p.window.get();
    auto *block = static_cast<SegmentWidget *>(p.model()->segmentWidgetAt(0));
    w->editScrollArea()->setSelectedSegmentWidget(block);
    block->setEditingState(true, false);
    QVERIFY(w->editScrollArea()->isEditingSegment());
    QTemporaryDir media;
    QVERIFY(MediaFixtures::writePicture(media.filePath("still.png"), 64, 48));
    emit w->mediaExplorer()->mediaItemClicked("item-1", 2, media.filePath("still.png"), QPixmap(), QString());
    QTRY_VERIFY(!w->editScrollArea()->isEditingSegment());
    auto *preview = w->findChild<MediaPreviewWidget *>();
    QVERIFY(preview);
    QTRY_VERIFY(preview->isVisible());
    QVERIFY(!w->previewWidget()->isVisible());
    emit w->mediaExplorer()->mediaItemClicked("item-1", 2, media.filePath("still.png"), QPixmap(), QString());
    QTRY_VERIFY(!preview->isVisible());
    QVERIFY(w->previewWidget()->isVisible());
  }
};

TAVO_TEST_MAIN(TestCaptures)
#include "tst_captures.moc"
