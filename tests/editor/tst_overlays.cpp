// The transform overlay over the preview: when the play head shows it, which transition end it
// edits, where it lies and how a finished drag reaches the segment.

#include "editorfixture.h"
#include "mediafixtures.h"
#include "testenv.h"

#include "animationswitch.h"
#include "avengine.h"
#include "avglwidget.h"
#include "cropwidget.h"
#include "editscrollarea.h"
#include "pointerwidget.h"
#include "imagesegment.h"
#include "progresshud.h"
#include "projectmanager.h"
#include "propertymap.h"
#include "scrollabletoolbar.h"
#include "segment.h"
#include "segmentwidget.h"
#include "textsegment.h"
#include "transformwidget.h"
#include "usersettings.h"
#include "userstyledefaults.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMutex>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

bool writeText(const QString &path, const QByteArray &bytes)
{
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A 4:3 picture from 0 to 4 s and a tune from 0 to 3 s on the track below.
bool writeProject(const QString &dir)
{
  if (!MediaFixtures::writePicture(dir + "/still.png", 320, 240) || !MediaFixtures::writeTone(dir + "/tune.wav", 3))
    return false;
  return writeEditorProject(
      dir, "<Segment Type=\"IMAGE\" TrackId=\"3\" RangeStart=\"0\" RangeDuration=\"4\" File=\"still.png\"/>\n"
           "<Segment Type=\"MUSIC\" TrackId=\"4\" RangeStart=\"0\" RangeDuration=\"3\" File=\"tune.wav\" "
           "Title=\"Tune\" TrimStart=\"0\" TrimDuration=\"3\"/>\n");
}

struct LoadedWindow
{
  EditorProject project;
  std::unique_ptr<TestEditorWindow> window;

  bool open()
  {
    if (!project.isValid() || !writeProject(project.directory()))
      return false;
    window = std::make_unique<TestEditorWindow>();
    return window->showUntilReady(2);
  }

  Segment *segment(int index) const { return window->projectManager()->segmentAt(index); }
  SegmentWidget *edit(Segment *segment) const
  {
    auto *block = static_cast<SegmentWidget *>(window->projectManager()->segmentWidgetOf(segment));
    window->editScrollArea()->setSelectedSegmentWidget(block);
    block->setEditingState(true, false);
    return block;
  }
  // The picture edited with the play head inside it.
  TransformWidget *overlayOnPicture() const
  {
    edit(segment(0));
    window->_updateTransformOverlayAt(1.0f);
    return window->_transformWidget;
  }
};

// Presses on the play head and moves the mouse dx to the left, still held; returns where it is.
QPoint dragPlayheadLeftBy(TestEditorWindow &window, int dx)
{
  PointerWidget *head = window.playheadPointer();
  const QPoint press = window.mapFromGlobal(head->mapToGlobal(head->headRect().center()));
  QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, press);
  const QPoint far = press - QPoint(dx, 0);
  QMouseEvent moved(QEvent::MouseMove, far, window.mapToGlobal(far), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &moved);
  return far;
}

// A project of this version holding one video, centred at (400, 270) of the old 640 x 360
// frame and turned by 90 degrees, and the segments' lines after it.
bool writeOldVideoProject(const QString &dir, const QString &version, const QByteArray &more = QByteArray())
{
  MediaFixtures::VideoParams clip;
  clip.width = 320;
  clip.height = 240;
  clip.frames = 25;
  return MediaFixtures::writeColorVideo(dir + "/clip.mp4", clip)
         && writeText(dir + "/project.xml",
                      "<?xml version=\"1.0\"?>\n<Project>\n<Segment Type=\"MOVIE\" TrackId=\"3\" RangeStart=\"0\" "
                      "RangeDuration=\"1\" File=\"clip.mp4\" TrimStart=\"0\" TrimDuration=\"1\" "
                      "UserTranslation=\"{400, 270}\" UserRotation=\"90\"/>\n"
                          + more + "</Project>\n")
         && writeText(dir + "/properties.xml", QStringLiteral("<?xml version=\"1.0\"?>\n<Properties version=\"%1\" "
                                                              "backgroundColor=\"#ff203040\"/>\n")
                                                   .arg(version)
                                                   .toUtf8());
}

// Keeps the segments' "ready" reports from the window until released, as a slow disk would.
class ReadyHeldWindow : public TestEditorWindow
{
public:
  void segmentStateChanged(Segment *segment, int state) override
  {
    {
      QMutexLocker lock(&_mutex);
      if (_holding && state == SegmentReady) {
        _held << segment->id();
        return;
      }
    }
    TestEditorWindow::segmentStateChanged(segment, state);
  }
  // Delivers the held reports as the queued ones would arrive, late.
  void release()
  {
    QList<quint32> held;
    {
      QMutexLocker lock(&_mutex);
      _holding = false;
      held.swap(_held);
    }
    for (quint32 id : qAsConst(held))
      onSegmentStateChanged(id, SegmentReady);
  }

private:
  QMutex _mutex;
  bool _holding = true;
  QList<quint32> _held;
};

// Reaches the picture's natural size, as an unreadable file leaves it.
struct NaturalSizeAccess : ImageSegment
{
  using ImageSegment::setNaturalSize;
};

} // namespace

class TestOverlays : public QObject
{
  Q_OBJECT

private slots:
  // Old projects kept a video's centre in pixels of a 640 x 360 frame and its turn in degrees.
  void oldVideoGeometryConvertsOnce_data()
  {
    QTest::addColumn<QString>("version");
    QTest::addColumn<QPointF>("translation");
    QTest::addColumn<double>("rotation");
    QTest::newRow("2.9 converts") << "2.9" << QPointF(0.125, 0.25) << M_PI / 2;
    QTest::newRow("3.0 stays") << "3.0" << QPointF(400, 270) << 90.0;
  }

  void oldVideoGeometryConvertsOnce()
  {
    QFETCH(QString, version);
    QFETCH(QPointF, translation);
    QFETCH(double, rotation);
    EditorProject project;
    QVERIFY(project.isValid());
    QVERIFY(writeOldVideoProject(project.directory(), version));
    auto check = [&](Segment *segment) {
      QVERIFY2(QLineF(segment->userTranslation(), translation).length() < 1e-4,
               qPrintable(pointText(segment->userTranslation())));
      QVERIFY(qAbs(segment->userRotation() - rotation) < 1e-4);
    };
    for (int opening = 0; opening < 2; ++opening) {
      TestEditorWindow window;
      window.show();
      ProjectManager *manager = window.projectManager();
      QVERIFY(QTest::qWaitFor(
          [&] {
            return window.previewWidget() && !window.projectLoader() && manager->segmentCount() == 1
                   && manager->segmentAt(0)->state() == SegmentReady && !window.progressHUD();
          },
          30000));
      Segment *movie = manager->segmentAt(0);
      QTRY_VERIFY(manager->version() >= 5.0f || version != "2.9");
      check(movie);
      // A segment that becomes ready again (rebuilt by undo, say) is left alone.
      window.onSegmentStateChanged(movie->id(), SegmentReady);
      check(movie);
      manager->setModified(true);
      window.autoSave();
      QVERIFY(!manager->isModified());
    }
  }

  // Nothing is written while an old video waits to be converted, but a video deleted before it
  // was ready holds no edit back; brought back by undo, it is converted when ready.
  void oldVideoWaitingHoldsSavesWhileInTheProject_data()
  {
    QTest::addColumn<bool>("deleted");
    QTest::addColumn<bool>("undone");
    QTest::newRow("still in the project") << false << false;
    QTest::newRow("deleted before ready") << true << false;
    QTest::newRow("deleted, then undone") << true << true;
  }

  void oldVideoWaitingHoldsSavesWhileInTheProject()
  {
    QFETCH(bool, deleted);
    QFETCH(bool, undone);
    EditorProject project;
    QVERIFY(project.isValid());
    QVERIFY(writeOldVideoProject(project.directory(), "2.9",
                                 "<Segment Type=\"TEXT\" TrackId=\"4\" RangeStart=\"0\" RangeDuration=\"2\" "
                                 "Text=\"Hi\"/>\n"));
    ReadyHeldWindow window;
    QVERIFY(window.showUntilReady(2));
    ProjectManager *manager = window.projectManager();
    const int movieIndex = manager->segmentAt(0)->type() == QLatin1String("MOVIE") ? 0 : 1;
    const QString movieUId = manager->segmentAt(movieIndex)->uid();
    if (deleted) {
      auto *block = static_cast<SegmentWidget *>(manager->segmentWidgetOf(manager->segmentAt(movieIndex)));
      window.editScrollArea()->setSelectedSegmentWidget(block);
      window.editScrollArea()->setFocus();
      QTest::keyClick(window.editScrollArea(), Qt::Key_Delete);
      QTRY_COMPARE(manager->segmentCount(), 1);
    }
    if (undone) {
      window.undoRedoOperation(true);
      QTRY_COMPARE(manager->segmentCount(), 2);
      QVERIFY(manager->indexOfSegmentUId(movieUId) >= 0);
    }
    const bool moviePresent = !deleted || undone;
    auto written = [&] { return project.readProperties().contains("version=\"5\""); };

    // A later edit, auto-saved and then saved.
    manager->setModified(true);
    window.autoSave();
    QCOMPARE(written(), !moviePresent);
    QCOMPARE(manager->isModified(), moviePresent);
    // The save writes anew: the properties written by the auto-save are gone.
    QFile::remove(ProjectManager::propertiesFilePath(QStringLiteral("Trip"), QString()));
    manager->setModified(true);
    QVERIFY(window._saveProject());
    QCOMPARE(written(), !moviePresent);
    QCOMPARE(manager->isModified(), moviePresent);

    window.release();
    if (moviePresent) {
      Segment *movie = manager->segmentAt(manager->indexOfSegmentUId(movieUId));
      QTRY_VERIFY2(QLineF(movie->userTranslation(), QPointF(0.125, 0.25)).length() < 1e-4,
                   qPrintable(pointText(movie->userTranslation())));
      QCOMPARE(manager->version(), 5.0f);
    }
    window.autoSave();
    QVERIFY(written());
    QVERIFY(!manager->isModified());
  }

  void segmentOverlayFollowsThePlayhead()
  {
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    Segment *picture = w.segment(0);
    TransformWidget *overlay = w.overlayOnPicture();
    QVERIFY(overlay);
    QCOMPARE(overlay->segment(), picture);
    QCOMPARE(overlay->snapTolerance(), UserSettings::instance()->autoDragDropAlign() ? 5.0f : 0.5f);

    // The untouched picture fills the preview's height, 4:3, centred on the preview.
    const QRectF frame = window._previewFrameInOverlayParent();
    QVERIFY(!frame.isEmpty());
    QPointF position;
    QSizeF size;
    overlay->getContentLayerGeometry(&position, &size, nullptr, nullptr);
    QVERIFY(qAbs(size.height() - frame.height()) < 0.5);
    QVERIFY(qAbs(size.width() - frame.height() * 4 / 3) < 0.5);
    QVERIFY(QLineF(position, frame.center()).length() < 0.5);
    QTRY_VERIFY(!overlay->graphicsEffect());
    window.grab().save(TestEnv::shotPath("editor-overlay.png"));

    // A finished drag to the right by a tenth of the preview moves the layer by 0.1.
    overlay->setContentLayerGeometry(position + QPointF(frame.width() / 10, 0), size, 0, QPointF(0.5, 0.5),
                                     size, false);
    emit overlay->transformWidgetContentLayerGeometryDidChange(overlay);
    QVERIFY(qAbs(picture->userTranslation().x() - 0.1) < 1e-3);
    QVERIFY(qAbs(picture->userScale().width() - 1.0) < 1e-3);
    QVERIFY(window.projectManager()->isModified());

    // Past the segment's end the overlay goes.
    window._updateTransformOverlayAt(4.5f);
    QVERIFY(!window._transformWidget);
  }

  void soundSegmentGetsNoOverlay()
  {
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    QVERIFY(w.overlayOnPicture());
    w.edit(w.segment(1));
    window._updateTransformOverlayAt(1.0f);
    QVERIFY(!window._transformWidget);
  }

  // Over a playing preview the overlay goes: the picture under it moves on.
  void playingHidesTheOverlay()
  {
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    QVERIFY(w.overlayOnPicture());
    auto *play = window.findChild<QPushButton *>(QStringLiteral("playPauseButton"));
    QVERIFY(play);
    QTest::mouseClick(play, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(window.isPlaying(), 5000);
    // Gone while the picture still plays, not only once it has ended at 4 s.
    QTRY_VERIFY(!window._transformWidget || window._engine->currentTime() > 3.5f);
    QVERIFY2(window._engine->currentTime() < 3.5f, qPrintable(QString::number(window._engine->currentTime())));
    window._engine->pause();
    QTRY_VERIFY_WITH_TIMEOUT(!window.isPlaying(), 5000);
  }

  // The window lets go of the overlay at once; on screen it fades out first when animations
  // are on.
  void overlayFadesOutWhenHidden_data()
  {
    QTest::addColumn<bool>("animated");
    QTest::newRow("animated") << true;
    QTest::newRow("animations off") << false;
  }

  void overlayFadesOutWhenHidden()
  {
    QFETCH(bool, animated);
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    std::unique_ptr<AnimationsOff> off(animated ? nullptr : new AnimationsOff);
    QPointer<TransformWidget> overlay = w.overlayOnPicture();
    QVERIFY(overlay);
    window._hideTransformWidget();
    QVERIFY(!window._transformWidget);
    QCOMPARE(overlay->isVisible(), animated);
    QTRY_VERIFY(!overlay);
  }

  void transitionEndAtThePlayhead_data()
  {
    QTest::addColumn<float>("duration");
    QTest::addColumn<float>("time");
    QTest::addColumn<int>("edited");
    QTest::newRow("just after the start") << 1.0f << 1.05f << 1;
    QTest::newRow("0.15 s after the start") << 1.0f << 1.15f << -1;
    QTest::newRow("just before the end") << 1.0f << 1.95f << 0;
    QTest::newRow("too short a transition") << 0.15f << 1.0f << -1;
  }

  void transitionEndAtThePlayhead()
  {
    QFETCH(float, duration);
    QFETCH(float, time);
    QFETCH(int, edited);
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    Segment *picture = w.segment(0);
    const int id = picture->insertTransition(duration, 1.0f);
    QVERIFY(id >= 1);
    picture->setTransitionUserScale(id, true, QSizeF(0.5, 0.5));
    SegmentWidget *block = w.edit(picture);
    block->setTransitionId(id);
    window._transitionToolBar = new ScrollableToolBar(&window);

    window._updateTransformOverlayAt(time);
    QCOMPARE(window._editedTransitionEnd, edited);
    QCOMPARE(bool(window._transformWidget), edited >= 0);
    if (edited != 1)
      return;
    // The begin state's half scale is what the overlay shows.
    QSizeF size;
    window._transformWidget->getContentLayerGeometry(nullptr, &size, nullptr, nullptr);
    QVERIFY(qAbs(size.height() - window._previewFrameInOverlayParent().height() / 2) < 0.5);
  }

  // Commands: 0 maintain aspect ratio, 1 fill the screen, 2 original size.
  void fittingCommands_data()
  {
    QTest::addColumn<int>("command");
    QTest::addColumn<bool>("emptySource");
    QTest::newRow("aspect ratio") << 0 << false;
    QTest::newRow("fill the screen") << 1 << false;
    QTest::newRow("original size") << 2 << false;
    QTest::newRow("aspect ratio, no picture") << 0 << true;
    QTest::newRow("fill the screen, no picture") << 1 << true;
    QTest::newRow("original size, no picture") << 2 << true;
  }

  void fittingCommands()
  {
    QFETCH(int, command);
    QFETCH(bool, emptySource);
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    auto *picture = static_cast<ImageSegment *>(w.segment(0));
    TransformWidget *overlay = w.overlayOnPicture();
    QVERIFY(overlay);
    QPointF position;
    overlay->getContentLayerGeometry(&position, nullptr, nullptr, nullptr);
    overlay->setContentLayerGeometry(position, QSizeF(400, 100), 0, QPointF(0.5, 0.5), QSizeF(400, 300), false);
    emit overlay->transformWidgetContentLayerGeometryDidChange(overlay);
    const QSizeF stretched = picture->userScale();
    if (emptySource)
      (picture->*&NaturalSizeAccess::setNaturalSize)(QSizeF());
    void (TestEditorWindow::*commands[])() = {&TestEditorWindow::_maintainAspectRatio, &TestEditorWindow::_fillScreen,
                                             &TestEditorWindow::_setOriginalSize};
    (window.*commands[command])();
    if (emptySource) {
      QCOMPARE(picture->userScale(), stretched);
      return;
    }
    QPointF after;
    QSizeF size;
    overlay->getContentLayerGeometry(&after, &size, nullptr, nullptr);
    const QSizeF preview(window.previewWidget()->size());
    switch (command) {
    case 0:
      QVERIFY2(qAbs(size.width() - 400.0 / 3) < 0.1 && qAbs(size.height() - 100) < 0.1,
               qPrintable(pointText(QPointF(size.width(), size.height()))));
      QVERIFY(QLineF(after, position).length() < 0.5);
      QVERIFY(qAbs(picture->userScale().width() / picture->userScale().height() - 1) < 1e-3);
      break;
    case 1:
      // A 4:3 picture on a wider preview: as wide as it, taller than it.
      QVERIFY(qAbs(size.width() - preview.width()) < 0.5);
      QVERIFY(qAbs(size.height() - preview.width() * 3 / 4) < 0.5);
      QVERIFY(size.height() > preview.height());
      break;
    default: {
      // One picture pixel per rendered pixel.
      const QSize render = window.projectManager()->previewVideoSize(window.previewQuality());
      QVERIFY(qAbs(picture->userScale().height() - 240.0 / render.height()) < 1e-3);
      break;
    }
    }
  }

  void restoreDefaultKeepsLooks()
  {
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    Segment *picture = w.segment(0);
    QVERIFY(w.overlayOnPicture());
    picture->setUserRotation(1.0);
    picture->setUserTranslation(QPointF(0.2, 0.1));
    picture->setCropTopLeft(QPointF(0.1, 0.1));
    picture->setUserTransparency(0.4f);
    picture->setClrBrightness(30);
    window._restoreDefault();
    QCOMPARE(picture->userRotation(), 0.0);
    QCOMPARE(picture->userTranslation(), QPointF(0, 0));
    QCOMPARE(picture->cropTopLeft(), QPointF(0, 0));
    QCOMPARE(picture->userTransparency(), 0.4f);
    QCOMPARE(picture->clrBrightness(), 30);
  }

  void insertOverwriteToggle()
  {
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    ProjectManager *manager = window.projectManager();
    manager->setModified(false);
    QStringList shown;
    for (int i = 0; i < 2; ++i) {
      window.onSegmentModeButtonClicked();
      const QList<ProgressHUD *> huds = window.findChildren<ProgressHUD *>();
      QVERIFY(!huds.isEmpty());
      shown << huds.last()->textLabel()->text();
    }
    QCOMPARE(shown, QStringList({"Overwrite Mode On", "Insert Mode On"}));
    QCOMPARE(manager->segmentMode(), 0);
    QVERIFY(manager->isModified());
  }

  void chromaKeyValues_data()
  {
    QTest::addColumn<bool>("habits");
    QTest::newRow("habits remembered") << true;
    QTest::newRow("habits off") << false;
  }

  void chromaKeyValues()
  {
    QFETCH(bool, habits);
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    Segment *picture = w.segment(0);
    w.edit(picture);
    UserSettings::instance()->setApplyUserHabits(habits);
    UserStyleDefaults::instance()->setChromaKeySensitivity(5);
    window.chromaKeyPopup_onValuesChanged(nullptr, 40, 20, QColor(0, 255, 0));
    QCOMPARE(picture->keySensitivity(), 40);
    QCOMPARE(picture->keySmoothing(), 20);
    QCOMPARE(QColor::fromRgba(picture->keyColor()), QColor(0, 255, 0));
    UserSettings::instance()->setApplyUserHabits(true);
    QCOMPARE(UserStyleDefaults::instance()->chromaKeySensitivity(), habits ? 40 : 5);
    QVERIFY(window.projectManager()->isModified());
  }

  // The crop frame holds the whole 4:3 picture fitted into the preview, centred.
  void cropFrameFitsThePicture()
  {
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    QPixmap picture(400, 300);
    picture.fill(Qt::red);
    window._cropWidget = new CropWidget(QRect(), picture, QRectF(0, 0, 1, 1), true, window.centralWidget());
    window._layoutCropWidget();
    const QSize preview = window.previewWidget()->size();
    const int width = qRound(preview.height() * 4.0 / 3);
    const QPoint origin = window.previewWidget()->mapTo(window.centralWidget(), QPoint(0, 0));
    QCOMPARE(window._cropWidget->pictureLabel()->geometry().size(), QSize(width, preview.height()));
    QVERIFY(qAbs(window._cropWidget->mapTo(window.centralWidget(), window._cropWidget->pictureLabel()->pos()).x()
                 - (origin.x() + (preview.width() - width) / 2))
            <= 1);
  }

  void textAlignmentTitle_data()
  {
    QTest::addColumn<int>("alignment");
    QTest::addColumn<QString>("title");
    QTest::newRow("left") << 0 << "Text Alignment: Left";
    QTest::newRow("center") << 1 << "Text Alignment: Center";
    QTest::newRow("right") << 2 << "Text Alignment: Right";
    QTest::newRow("unknown") << 7 << "Text Alignment: Center";
  }

  void textAlignmentTitle()
  {
    QFETCH(int, alignment);
    QFETCH(QString, title);
    TestEditorWindow window;
    TextSegment text(QStringLiteral("Hi"), 0, 2, nullptr, UserStyleDefaults::instance());
    text.setAlignment(alignment);
    QCOMPARE(window._textAlignmentTitle(&text), title);
  }

  void escapeActsOncePerPress_data()
  {
    QTest::addColumn<bool>("second");
    QTest::addColumn<bool>("repeat");
    QTest::addColumn<int>("backOuts");
    QTest::newRow("one press") << false << false << 1;
    QTest::newRow("two within 100 ms") << true << false << 1;
    QTest::newRow("auto-repeat") << false << true << 0;
  }

  void escapeActsOncePerPress()
  {
    QFETCH(bool, second);
    QFETCH(bool, repeat);
    QFETCH(int, backOuts);
    TestEditorWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    if (repeat)
      QTest::ignoreMessage(QtDebugMsg, "Escape key press ignored");
    QKeyEvent first(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QString(), repeat);
    QApplication::sendEvent(&window, &first);
    if (second) {
      QTest::ignoreMessage(QtDebugMsg, "Escape key press ignored");
      QKeyEvent again(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QApplication::sendEvent(&window, &again);
    }
    QCOMPARE(window.backOuts, backOuts);
  }

  // A press held on the play head's button starts a range; moving it first does not.
  void longPressOnThePlayhead_data()
  {
    QTest::addColumn<int>("move");
    QTest::addColumn<bool>("ranges");
    QTest::newRow("held still") << 0 << true;
    QTest::newRow("moved 3 px") << 3 << true;
    QTest::newRow("moved 4 px") << 4 << false;
  }

  void longPressOnThePlayhead()
  {
    QFETCH(int, move);
    QFETCH(bool, ranges);
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    PointerWidget *head = window.playheadPointer();
    QSignalSpy ranged(window.actions().rangeSelect, &QAction::triggered);
    const QPoint press = window.mapFromGlobal(head->mapToGlobal(head->headRect().center()));
    QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, press);
    if (move) {
      QMouseEvent moved(QEvent::MouseMove, press + QPoint(move, 0), window.mapToGlobal(press + QPoint(move, 0)),
                        Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(&window, &moved);
    }
    // A timer started after the press fires after the window's own long-press check.
    QTimer later;
    later.setSingleShot(true);
    QSignalSpy waited(&later, &QTimer::timeout);
    later.start(600);
    QVERIFY(waited.wait(5000));
    QCOMPARE(ranged.count(), ranges ? 1 : 0);
    QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, press + QPoint(move, 0));
  }

  void playheadDraggedPastTheLeftEnd()
  {
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    PointerWidget *head = window.playheadPointer();
    const QPoint far = dragPlayheadLeftBy(window, 400);
    QCOMPARE(head->centerX(), 0.0f);
    QCOMPARE(window._playheadX, 0.0f);
    QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, far);
    QCOMPARE(head->centerX(), float(window.editScrollArea()->geometry().x() + 60));
    QCOMPARE(window._playheadTime(), 0.0f);
  }

  // Held against the left end, the play head scrolls the timeline back, range selection or not.
  void playheadHeldAtTheLeftEndScrolls()
  {
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    EditScrollArea *area = window.editScrollArea();
    area->setContentOffset(QPoint(200, 0), false);
    const QPoint far = dragPlayheadLeftBy(window, 400);
    QTRY_VERIFY_WITH_TIMEOUT(area->contentOffset().x() < 200, 5000);
    QVERIFY(!area->rangeSelectionMode);
    QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, far);
    // Let go, the scrolling stops: no step in the next few step intervals.
    QSignalSpy scrolled(area, &EditScrollArea::editScrollAreaDidScroll);
    QTest::qWait(300);
    QCOMPARE(scrolled.count(), 0);
  }
};

TAVO_TEST_MAIN(TestOverlays)
#include "tst_overlays.moc"
