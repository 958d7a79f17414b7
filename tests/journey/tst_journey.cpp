// The first movie, made end to end through the real windows: the start window, a new project,
// media in, a caption, edits undone and redone, playback, a close and reopen, the export, and a
// broken file refused. One program, one process; each step builds on the one before, so a
// failed step skips the rest. Only file, folder and font dialogs, menus and message boxes are
// answered by script. Every step leaves a screenshot in shots/ of the build's test folder.

#include "editingfixture.h"
#include "gestures.h"
#include "mediafixtures.h"
#include "pixelprobe.h"
#include "scripteddialogprovider.h"
#include "testenv.h"

#include "animatedlabel.h"
#include "avcomposition.h"
#include "avengine.h"
#include "avglglue.h"
#include "avglwidget.h"
#include "avheadlessrenderer.h"
#include "avimageloader.h"
#include "avrender.h"
#include "commonpopuphelptipwidget.h"
#include "desktopmainwindow.h"
#include "desktopmainwindowform.h"
#include "editorwindows.h"
#include "editscrollarea.h"
#include "gutterscrollarea.h"
#include "localfileslistwidget.h"
#include "localfileswidget.h"
#include "mediaexplorer.h"
#include "mediaexplorerwidget.h"
#include "moviesizegridbutton.h"
#include "popupmediatypeselectionwidget.h"
#include "popupmovieexportingwidget.h"
#include "popupprojectsettingswidget.h"
#include "popupsliderwidget.h"
#include "popuptransitionslistwidget.h"
#include "pointerwidget.h"
#include "progresshud.h"
#include "rulerwidget.h"
#include "projectmanager.h"
#include "projectslistwidget.h"
#include "projectswidget.h"
#include "segment.h"
#include "segmentinspectorwidget.h"
#include "segmentwidget.h"
#include "startwindow.h"
#include "texteditwidget.h"
#include "textsegment.h"
#include "timelinegeometry.h"
#include "tipmanager.h"
#include "tooltipbutton.h"
#include "trackwidget.h"

#include <QDir>
#include <QDrag>
#include <QGraphicsOpacityEffect>
#include <QInputDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <memory>

namespace {

const QString kProject = QStringLiteral("Journey");
const QString kCaption = QStringLiteral("Hello journey");
constexpr int kOpenMs = 60000;

// The first visible push button under root with that text.
QPushButton *buttonNamed(QWidget *root, const QString &text)
{
  for (QPushButton *button : root->findChildren<QPushButton *>())
    if (button->text() == text && button->isVisible())
      return button;
  return nullptr;
}

template <typename T> T *visibleChild(QWidget *root)
{
  for (T *child : root->findChildren<T *>())
    if (child->isVisible())
      return child;
  return nullptr;
}

// The top-level editor window the projects browser opened.
DesktopMainWindow *openEditor()
{
  return qobject_cast<DesktopMainWindow *>(EditorWindows::openWindow());
}

// The editor finished opening: the loader and the opening display are gone, every segment ready.
bool editorReady(DesktopMainWindow *window, int segments)
{
  ProjectManager *model = window->projectManager();
  if (!window->isVisible() || !window->previewWidget() || window->projectLoader() || window->progressHUD()
      || model->segmentCount() != segments)
    return false;
  for (int i = 0; i < segments; ++i)
    if (model->segmentAt(i)->state() != SegmentReady)
      return false;
  return true;
}

} // namespace

class TestJourney : public QObject
{
  Q_OBJECT

  QTemporaryDir _media;
  ScriptedDialogProvider _dialogs;
  std::unique_ptr<StartWindow> _start;
  QPointer<DesktopMainWindow> _editor;
  QString _failedStep;
  // The project after the edits, as it should come back when reopened.
  QString _edited;
  int _shots = 0;

  QString media(const QString &name) const { return _media.filePath(name); }
  ProjectManager *model() const { return _editor->projectManager(); }
  EditScrollArea *area() const { return _editor->editScrollArea(); }

  QWidget *shownWindow() const { return _editor ? static_cast<QWidget *>(_editor.data()) : _start.get(); }

  // The whole window as a person would see it, numbered in journey order.
  void saveShot(const QString &step)
  {
    QDir().mkpath(JOURNEY_SHOTS);
    const QString name = QStringLiteral("%1/%2-%3.png").arg(JOURNEY_SHOTS).arg(++_shots, 2, 10, QChar('0')).arg(step);
    if (!shownWindow()->grab().save(name))
      qWarning("could not save %s", qPrintable(name));
  }

  // What a shot waits for beyond a still window: a message it is about, a picture in the preview.
  enum Shows { Still = 0, Message = 1, Picture = 2 };

  // Nothing on its way: no widget fading, no block growing or sliding, no message left over
  // from an earlier step; with Picture, the preview composed (not black).
  bool still(int shows) const
  {
    QWidget *window = shownWindow();
    for (QWidget *child : window->findChildren<QWidget *>()) {
      auto *fade = qobject_cast<QGraphicsOpacityEffect *>(child->graphicsEffect());
      if (child->isVisible() && fade && fade->isEnabled() && fade->opacity() < 0.99)
        return false;
    }
    if (window != _editor)
      return true;
    if (area()->isAnimating() || _editor->gutter()->graphicsEffect() || !blocksInPlace())
      return false;
    if (!(shows & Message) && !hudTexts().isEmpty())
      return false;
    return !(shows & Picture) || previewLit();
  }

  // Every block where its segment's range puts it, its content ready to paint: a block still
  // growing, sliding or waiting for its plot shows a row that is not yet what it becomes.
  bool blocksInPlace() const
  {
    ProjectManager *m = model();
    for (int i = 0; i < m->segmentCount(); ++i) {
      Segment *segment = m->segmentAt(i);
      auto *block = static_cast<SegmentWidget *>(m->segmentWidgetAt(i));
      if (!block)
        return false;
      const bool failed = segment->error() != SegmentNoError;
      if (!failed && (segment->state() != SegmentReady || !segment->isTimelineContentReady()))
        return false;
      const QRect place =
          Timeline::spanRectInRow(segment->rangeStart(), segment->duration(), area()->zoom(), block->height());
      if (block->geometry() != place)
        return false;
    }
    return true;
  }

  // The shot once the window is still; false when it never was.
  bool shot(const QString &step, int shows = Still)
  {
    const bool settled = QTest::qWaitFor([&] { return still(shows); }, 15000);
    saveShot(step);
    if (!settled)
      qWarning("%s: the window never settled", qPrintable(step));
    return settled;
  }

  // The frame of the GIF the preview shows at its centre, -1 for none of them.
  int gifFrameShown() const
  {
    const QImage frame = PixelProbe::grab(_editor->previewWidget());
    return MediaFixtures::frameIndexFromColor(frame.pixelColor(frame.rect().center()));
  }

  // Some of the preview is lit: a frame was composed there.
  bool previewLit() const
  {
    const QImage frame = PixelProbe::grab(_editor->previewWidget());
    for (int y = frame.height() / 10; y < frame.height(); y += qMax(1, frame.height() / 10))
      for (int x = frame.width() / 10; x < frame.width(); x += qMax(1, frame.width() / 10))
        if (qMax(qMax(qRed(frame.pixel(x, y)), qGreen(frame.pixel(x, y))), qBlue(frame.pixel(x, y))) > 24)
          return true;
    return false;
  }

  // Segments of the model on a row of the edit area, by start.
  QList<Segment *> onRow(int row) const
  {
    QList<Segment *> found;
    TrackWidget *track = area()->trackWidgetAt(row);
    for (int i = 0; track && i < model()->segmentCount(); ++i)
      if (model()->segmentAt(i)->trackId() == track->tag())
        found << model()->segmentAt(i);
    std::sort(found.begin(), found.end(), [](Segment *a, Segment *b) { return a->rangeStart() < b->rangeStart(); });
    return found;
  }

  SegmentWidget *blockOf(Segment *segment) const
  {
    return static_cast<SegmentWidget *>(model()->segmentWidgetOf(segment));
  }

  QString state() const { return projectState(model()); }

  // The add-media popup of the empty bottom row, opened from its gutter button.
  PopupMediaTypeSelectionWidget *openAddMedia()
  {
    GutterScrollArea *gutter = _editor->gutter();
    QPushButton *last = nullptr;
    for (int i = 0; i < gutter->buttonCount(); ++i)
      if (gutter->buttonAt(i) && gutter->buttonAt(i)->isVisible())
        last = gutter->buttonAt(i);
    if (!last)
      return nullptr;
    QTest::mouseClick(last, Qt::LeftButton);
    PopupMediaTypeSelectionWidget *popup = nullptr;
    return QTest::qWaitFor([&] { return (popup = visibleChild<PopupMediaTypeSelectionWidget>(_editor)) != nullptr; },
                           5000)
               ? popup
               : nullptr;
  }

  // A file through the add-media popup and the file dialog; true once the model grew by one
  // and the new segment is ready.
  bool addThroughPopup(const QString &path)
  {
    const int before = model()->segmentCount();
    PopupMediaTypeSelectionWidget *popup = openAddMedia();
    if (!popup)
      return false;
    _dialogs.answers << path;
    QTest::mouseClick(popup->chooseFileButton(), Qt::LeftButton);
    return QTest::qWaitFor([&] { return editorReady(_editor, before + 1); }, kOpenMs);
  }

  // The edit area's content x of a timeline time.
  int timelineX(float seconds) const { return int(Timeline::xForTime(seconds, area()->zoom())); }

  static QListWidgetItem *findItem(QListWidget *list, const QString &text)
  {
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->text() == text)
        return list->item(i);
    return nullptr;
  }

  // A tile of a list dragged to a point of the editor and dropped there. The drag runs its own
  // event loop: once it has begun, a timer inside that loop carries it over and drops it.
  bool dragItem(QListWidget *list, QListWidgetItem *item, const QPoint &target)
  {
    QWidget *viewport = list->viewport();
    const QPoint grab = list->visualItemRect(item).center();
    bool dropped = false;
    QTimer carry;
    carry.setInterval(50);
    connect(&carry, &QTimer::timeout, this, [&] {
      if (!list->findChild<QDrag *>())
        return;
      carry.stop();
      const QPoint from = _editor->mapFromGlobal(viewport->mapToGlobal(grab + QPoint(20, 0)));
      Gestures::moveInSteps(_editor, from, target, 8);
      Gestures::hold(100);
      Gestures::move(_editor, target);
      Gestures::release(_editor, target);
      dropped = true;
    });
    carry.start();
    QCursor::setPos(viewport->mapToGlobal(grab));
    Gestures::press(viewport, grab);
    Gestures::moveInSteps(viewport, grab, grab + QPoint(20, 0), 4);
    return QTest::qWaitFor([&] { return dropped; }, 10000);
  }

  // A block held until it lifts, then carried later on its row by that many seconds.
  bool dragLater(Segment *segment, float seconds)
  {
    SegmentWidget *block = blockOf(segment);
    if (!block)
      return false;
    QSignalSpy lifted(block, &SegmentWidget::segmentWidgetDraggingStateChanged);
    const QPoint from = block->mapTo(area()->viewport(), block->rect().center());
    Gestures::press(area()->viewport(), from);
    if (!QTest::qWaitFor([&] { return !lifted.isEmpty(); }, 5000))
      return false;
    QWidget *central = _editor->centralWidget();
    const QPoint start = area()->viewport()->mapTo(central, from);
    const QPoint to = start + QPoint(int(Timeline::widthForDuration(seconds, area()->zoom())), 0);
    Gestures::moveInSteps(central, start, to, 6);
    Gestures::release(central, to);
    return true;
  }

  // Leaves the editing state of a block, as Escape does.
  void leaveEditing()
  {
    for (int i = 0; i < 5 && area()->isEditingSegment(); ++i) {
      QApplication::setActiveWindow(_editor);
      QTest::keyClick(_editor, Qt::Key_Escape);
      if (QTest::qWaitFor([&] { return !area()->isEditingSegment(); }, 1000))
        break;
    }
    // The range change is committed when the track buttons have faded back in.
    QTRY_VERIFY(!area()->isEditingSegment() && !area()->isAnimating() && !_editor->gutter()->graphicsEffect());
  }

  // A double click puts a block in its editing state, with its tools in the inspector.
  bool editBlock(Segment *segment)
  {
    SegmentWidget *block = blockOf(segment);
    if (!block)
      return false;
    Gestures::doubleClick(area()->viewport(), block->mapTo(area()->viewport(), block->rect().center()));
    return QTest::qWaitFor([&] { return block->isEditing() && !area()->isAnimating(); }, 5000);
  }

  // The edit undone with the undo button brings back `before`; the redo keys bring the edit back.
  void undoAndRedo(const QString &before)
  {
    const QString after = state();
    QVERIFY(after != before);
    QTest::mouseClick(_editor->form().undoButton, Qt::LeftButton);
    QTRY_COMPARE(state(), before);
    QTRY_VERIFY(editorReady(_editor, model()->segmentCount()));
    QApplication::setActiveWindow(_editor);
    QTest::keySequence(_editor, QKeySequence::Redo);
    QTRY_COMPARE(state(), after);
    QTRY_VERIFY(editorReady(_editor, model()->segmentCount()));
  }

  // A button of the inspector's tool strip, by its tool tip.
  bool clickToolStrip(const QString &tip)
  {
    TooltipButton *found = nullptr;
    const bool shown = QTest::qWaitFor(
        [&] {
          for (TooltipButton *button : _editor->segmentInspectorWidget()->findChildren<TooltipButton *>())
            if (button->toolTip() == tip && button->isVisible() && button->isEnabled())
              found = button;
          return found != nullptr;
        },
        5000);
    if (shown)
      QTest::mouseClick(found, Qt::LeftButton);
    return shown;
  }

  // The slider of the inspector's embedded popup with that title.
  QSlider *inspectorSlider(const QString &title)
  {
    for (PopupSliderWidget *popup : _editor->segmentInspectorWidget()->findChildren<PopupSliderWidget *>()) {
      bool titled = false;
      for (QLabel *label : popup->findChildren<QLabel *>())
        titled = titled || label->text() == title;
      if (titled && popup->isVisible())
        return popup->findChild<QSlider *>();
    }
    return nullptr;
  }

  template <typename T> static T *visibleNamed(QWidget *root, const QString &name)
  {
    for (T *child : root->findChildren<T *>(name))
      if (child->isVisible())
        return child;
    return nullptr;
  }

  // Texts of the heads-up messages on screen.
  QStringList hudTexts() const
  {
    QStringList texts;
    for (ProgressHUD *hud : _editor->findChildren<ProgressHUD *>())
      if (hud->isVisible() && hud->textLabel())
        texts << hud->textLabel()->text();
    return texts;
  }

  static QJsonObject ffprobe(const QString &path)
  {
    QProcess probe;
    probe.start("ffprobe", {"-v", "error", "-show_streams", "-show_format", "-of", "json", path});
    if (!probe.waitForFinished(60000))
      return {};
    return QJsonDocument::fromJson(probe.readAllStandardOutput()).object();
  }

  // Frame n of a movie, decoded by the FFmpeg program.
  static QImage exportedFrame(const QString &path, int n)
  {
    // A folder of its own: another run of the suite may be extracting a frame at the same time.
    QTemporaryDir folder;
    const QString png = folder.filePath("frame.png");
    QProcess decode;
    decode.start("ffmpeg", {"-v", "error", "-y", "-i", path, "-vf", QStringLiteral("select=eq(n\\,%1)").arg(n),
                            "-frames:v", "1", png});
    if (!decode.waitForFinished(120000))
      return {};
    QImage image(png);
    return image.convertToFormat(QImage::Format_RGB32);
  }

  // The composition of the open project at a time, composed offscreen at the export size the
  // way the exporter composes it: the preview's playback stopped meanwhile. The streams are
  // sought to the time and composed until every layer there is ready, so the frame does not
  // depend on where the preview's streams stood.
  QImage composeOffscreen(double time, const QSize &size)
  {
    AVEngine *engine = AVEngine::shared();
    AVComposition *composition = engine ? engine->composition() : nullptr;
    AVRender *render = engine ? engine->render() : nullptr;
    if (!composition || !render)
      return {};
    QImage image;
    render->stop();
    render->setComposition(nullptr);
    composition->setRenderSize(size.width(), size.height(), true);
    if (engine->imageLoader())
      engine->imageLoader()->setScaleAfterRead(true);
    {
      AVHeadlessGLHost host;
      AVHeadlessRenderer renderer(&host, composition);
      if (host.isValid() && renderer.isValid()) {
        composition->seek(time, true);
        const int scale = std::max(1, qEnvironmentVariableIntValue("TAVO_TEST_TIMEOUT_SCALE"));
        if (QTest::qWaitFor([&] {
              renderer.compose(time, true);
              return composition->isReadyAt(time);
            }, 20000 * scale))
          image = renderer.compose(time, true);
      }
    }
    if (engine->imageLoader())
      engine->imageLoader()->setScaleAfterRead(false);
    const QSize preview = model()->previewVideoSize(_editor->previewQuality());
    composition->setRenderSize(preview.width(), preview.height(), false);
    render->setComposition(composition);
    render->start();
    // The preview's streams go back to the play head.
    engine->seek(engine->currentTime(), true);
    return image.convertToFormat(QImage::Format_RGB32);
  }

  // Peak signal to noise of two frames over their colour channels, in dB.
  static double psnr(const QImage &a, const QImage &b)
  {
    if (a.size() != b.size() || a.isNull())
      return 0;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
      const auto *p = reinterpret_cast<const QRgb *>(a.constScanLine(y));
      const auto *q = reinterpret_cast<const QRgb *>(b.constScanLine(y));
      for (int x = 0; x < a.width(); ++x) {
        const int dr = qRed(p[x]) - qRed(q[x]), dg = qGreen(p[x]) - qGreen(q[x]), db = qBlue(p[x]) - qBlue(q[x]);
        sum += dr * dr + dg * dg + db * db;
      }
    }
    const double mse = sum / (3.0 * a.width() * a.height());
    return mse > 0 ? 10 * std::log10(255.0 * 255.0 / mse) : 99;
  }

private slots:
  void initTestCase()
  {
    QVERIFY(_media.isValid());
    // A returning user: the one-time help tips were seen before.
    for (const char *tip : {"MediaExplorerHelpTip", "MediaExplorerActivationTip", "ToolButtonHelpTip",
                            "SegmentOperationDoubleTapTip", "SegmentOperationPressAndDragTip"})
      TipManager::instance()->finishTip(QString::fromLatin1(tip));
    QDir(JOURNEY_SHOTS).removeRecursively();

    MediaFixtures::VideoParams clip;
    clip.width = 1920;
    clip.height = 1080;
    clip.fps = 30;
    clip.frames = 300;
    clip.withTone = true;
    QVERIFY2(MediaFixtures::writeColorVideo(media("clip.mp4"), clip), qPrintable(MediaFixtures::lastError()));
    QVERIFY(MediaFixtures::writePicture(media("picture.png"), 640, 360));
    QVERIFY(MediaFixtures::writeAnimatedGif(media("wave.gif"), 120, 120, QVector<int>(10, 100)));
    QVERIFY(MediaFixtures::writeTone(media("tune.m4a"), 6.0, 330.0));
  }

  void init()
  {
    if (!_failedStep.isEmpty())
      QSKIP(qPrintable(QStringLiteral("the journey stopped at %1").arg(_failedStep)));
  }

  void cleanup()
  {
    if (QTest::currentTestFailed() && _failedStep.isEmpty()) {
      _failedStep = QString::fromLatin1(QTest::currentTestFunction());
      saveShot(QStringLiteral("failed-") + _failedStep);
      for (const ScriptedDialogProvider::Call &call : qAsConst(_dialogs.calls))
        qWarning("dialog %s: %s / %s", qPrintable(call.kind), qPrintable(call.title), qPrintable(call.text));
    }
  }

  void cleanupTestCase()
  {
    if (_editor)
      _editor->close();
    QTRY_VERIFY_WITH_TIMEOUT(!_editor, 30000);
    _start.reset();
  }

  // The start window opens on its projects page. The bundled example, opened from its tile in
  // the Examples folder, shows its picture under its title at their lengths; it is closed again.
  void exampleProject()
  {
    _start = std::make_unique<StartWindow>();
    _start->resize(1200, 800);
    _start->show();
    QVERIFY(QTest::qWaitForWindowExposed(_start.get()));
    ProjectsWidget *page = _start->projectsPage();
    QVERIFY(page);
    QCOMPARE(_start->stackedWidget()->currentWidget(), static_cast<QWidget *>(page));
    ProjectsListWidget *list = page->projectsListWidget();
    QListWidgetItem *tile = nullptr;
    QTRY_VERIFY((tile = findItem(list, "Examples")) != nullptr);
    QVERIFY(shot("projects"));
    Gestures::doubleClick(list->viewport(), list->visualItemRect(tile).center());
    QTRY_VERIFY((tile = findItem(list, "Welcome to Tavo REN")) != nullptr);
    Gestures::doubleClick(list->viewport(), list->visualItemRect(tile).center());
    QTRY_VERIFY_WITH_TIMEOUT((_editor = openEditor()) != nullptr, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(editorReady(_editor, 2), kOpenMs);
    QMap<QString, Segment *> byType;
    for (int i = 0; i < model()->segmentCount(); ++i)
      byType.insert(model()->segmentAt(i)->type(), model()->segmentAt(i));
    QCOMPARE(byType.keys(), QStringList({"IMAGE", "TEXT"}));
    Segment *picture = byType.value("IMAGE"), *title = byType.value("TEXT");
    QCOMPARE(picture->duration(), 5.0f);
    QCOMPARE(title->rangeStart(), 0.5f);
    QCOMPARE(title->duration(), 4.0f);
    // Its block as long as its five seconds on the timeline.
    QTRY_VERIFY(qAbs(blockOf(picture)->width() - (timelineX(5.0f) - timelineX(0.0f))) <= 2);
    QVERIFY(shot("example", Picture));
    _editor->close();
    QTRY_VERIFY_WITH_TIMEOUT(!_editor && !EditorWindows::openWindow(), 30000);
    QTest::mouseClick(page->backButton(), Qt::LeftButton);
    QTRY_VERIFY(!page->isInFolder());
  }

  // A new 16:9 project of the default size opens in the editor, which finishes opening.
  void newProject()
  {
    ProjectsWidget *page = _start->projectsPage();
    ProjectsListWidget *list = page->projectsListWidget();
    QTRY_VERIFY(list->count() >= 1);

    // The name dialog: typed into, then accepted.
    _dialogs.onDialog = [](QDialog *dialog) {
      auto *input = qobject_cast<QInputDialog *>(dialog);
      if (!input)
        return int(QDialog::Rejected);
      input->show();
      auto *line = input->findChild<QLineEdit *>();
      line->selectAll();
      QTest::keyClicks(line, kProject);
      input->hide();
      return int(QDialog::Accepted);
    };
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    QTRY_VERIFY(page->projectSettingsPopup());
    _dialogs.onDialog = nullptr;
    PopupProjectSettingsWidget *settings = page->projectSettingsPopup();
    MovieSizeGridButton *wide = nullptr;
    for (MovieSizeGridButton *button : settings->findChildren<MovieSizeGridButton *>())
      if (button->text() == "16:9")
        wide = button;
    QVERIFY(wide);
    QTest::mouseClick(wide, Qt::LeftButton);
    QVERIFY(shot("settings"));
    QPushButton *ok = buttonNamed(settings, "OK");
    QVERIFY(ok);
    QTest::mouseClick(ok, Qt::LeftButton);

    QTRY_VERIFY_WITH_TIMEOUT((_editor = openEditor()) != nullptr, 10000);
    QCOMPARE(_editor->projectName(), kProject);
    QTRY_VERIFY_WITH_TIMEOUT(editorReady(_editor, 0), kOpenMs);
    QCOMPARE(model()->resolution(), 1);
    QVERIFY(model()->direction());
    QCOMPARE(model()->outputVideoSize(3), QSize(1920, 1080));
    // Parallel test programs share the display: presses reach the timeline at once.
    Gestures::takePressesAtOnce(_editor);
    QVERIFY(shot("editor"));
  }

  // The clip, the picture and the music come through the add-media popup and the file dialog,
  // each on a new row at the play head; the GIF is dragged from the media explorer's local
  // folder onto the empty bottom row.
  void media()
  {
    const int calls = _dialogs.calls.size();
    QVERIFY(addThroughPopup(media("clip.mp4")));
    QVERIFY(addThroughPopup(media("picture.png")));
    QVERIFY(addThroughPopup(media("tune.m4a")));
    QCOMPARE(_dialogs.kinds().mid(calls), QStringList({"getOpenFileName", "getOpenFileName", "getOpenFileName"}));
    QVERIFY(shot("media-added"));

    // The explorer's local folder, chosen through its folder menu and the folder dialog.
    MediaExplorerWidget *explorer = _editor->mediaExplorer()->widget();
    QTRY_VERIFY(explorer->localFilesPage() && explorer->localFilesPage()->isVisible());
    LocalFilesWidget *local = explorer->localFilesPage();
    auto *dirButton = local->findChild<QPushButton *>("dirButton");
    QVERIFY(dirButton);
    _dialogs.answers << QStringLiteral("Select Directory...") << _media.path();
    QTest::mouseClick(dirButton, Qt::LeftButton);
    QTRY_COMPARE(local->currentDir().absolutePath(), QDir(_media.path()).absolutePath());
    LocalFilesListWidget *files = local->listWidget();
    QListWidgetItem *gif = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((gif = findItem(files, "wave.gif")) != nullptr, 20000);
    files->scrollToItem(gif);
    QVERIFY(shot("local-folder"));

    // Test programs share the display, and a drop lands in whichever window lies on top: the
    // editor is raised first, and the drag made again when another window took it.
    const float dropTime = 1.0f;
    TrackWidget *bottom = area()->trackWidgetAt(area()->trackCount() - 1);
    const int before = model()->segmentCount();
    const QPoint target = _editor->mapFromGlobal(area()->widget()->mapToGlobal(
        QPoint(timelineX(dropTime), bottom->geometry().center().y())));
    bool landed = false;
    for (int attempt = 0; attempt < 8 && !landed; ++attempt) {
      _editor->raise();
      _editor->activateWindow();
      QVERIFY(dragItem(files, gif, target));
      landed = QTest::qWaitFor([&] { return model()->segmentCount() > before; }, 10000);
    }
    QVERIFY(landed);
    QTRY_VERIFY_WITH_TIMEOUT(editorReady(_editor, before + 1), kOpenMs);

    // Rows from the top: clip, picture, music, GIF, then the empty row for what comes next.
    QCOMPARE(area()->trackCount(), 5);
    const QStringList types = {"MOVIE", "IMAGE", "MUSIC", "IMAGE"};
    for (int row = 0; row < types.size(); ++row) {
      const QList<Segment *> segments = onRow(row);
      QCOMPARE(segments.size(), 1);
      QCOMPARE(segments[0]->type(), types[row]);
      QCOMPARE(blockOf(segments[0])->parentWidget(), static_cast<QWidget *>(area()->trackWidgetAt(row)));
    }
    Segment *clip = onRow(0)[0];
    QVERIFY2(clip->rangeStart() < 0.05f, qPrintable(QString::number(clip->rangeStart())));
    QVERIFY(qAbs(clip->duration() - 10.0f) < 0.05f);
    QVERIFY(onRow(1)[0]->rangeStart() < 0.05f);
    QVERIFY(onRow(2)[0]->rangeStart() < 0.05f);
    QVERIFY(qAbs(onRow(2)[0]->duration() - 6.0f) < 0.05f);
    QVERIFY2(qAbs(onRow(3)[0]->rangeStart() - dropTime) < 0.25f, qPrintable(QString::number(onRow(3)[0]->rangeStart())));
    QVERIFY(shot("gif-dropped"));
  }

  // A text block from the add-media popup; the caption is typed into the editor laid over the
  // preview and applied with the inspector's Done.
  void caption()
  {
    const int before = model()->segmentCount();
    PopupMediaTypeSelectionWidget *popup = openAddMedia();
    QVERIFY(popup);
    QTest::mouseClick(popup->textButton(), Qt::LeftButton);
    TextEditWidget *typing = nullptr;
    QTRY_VERIFY((typing = visibleChild<TextEditWidget>(_editor)) != nullptr);
    QApplication::setActiveWindow(_editor);
    QTRY_VERIFY(typing->hasFocus());
    QTest::keyClicks(typing, kCaption);
    QVERIFY(shot("caption-typing"));
    QPushButton *done = _editor->segmentInspectorWidget()->findChild<QPushButton *>("doneButton");
    QVERIFY(done && done->isVisible());
    QTest::mouseClick(done, Qt::LeftButton);
    QTRY_VERIFY(!visibleChild<TextEditWidget>(_editor));
    QTRY_VERIFY_WITH_TIMEOUT(editorReady(_editor, before + 1), kOpenMs);
    const QList<Segment *> row = onRow(4);
    QCOMPARE(row.size(), 1);
    QCOMPARE(row[0]->type(), QString("TEXT"));
    QCOMPARE(static_cast<TextSegment *>(row[0])->text(), kCaption);
    leaveEditing();
    QVERIFY(shot("caption"));
  }

  // Five edits, each undone with the undo button and redone with the keys: the picture dragged
  // later on its row, the clip's right edge trimmed, the picture's transparency set with the
  // inspector's slider, a fade-in added to the picture, the clip split at the play head.
  void edits()
  {
    Segment *picture = onRow(1)[0];
    Segment *clip = onRow(0)[0];

    // The picture, held until it lifts, then carried three seconds later.
    QString before = state();
    const float pictureStart = picture->rangeStart();
    QVERIFY(dragLater(picture, 3.0f));
    QTRY_VERIFY(!area()->isAnimating() && picture->rangeStart() > pictureStart + 2.5f);
    QVERIFY2(picture->rangeStart() < pictureStart + 3.5f, qPrintable(QString::number(picture->rangeStart())));
    QCOMPARE(onRow(1).value(0), picture);
    QVERIFY(shot("picture-moved"));
    undoAndRedo(before);
    picture = onRow(1)[0];

    // The clip's right edge, from 10 s back to about 7.5 s.
    before = state();
    clip = onRow(0)[0];
    QVERIFY(editBlock(clip));
    QLabel *rightBar = area()->rightTrimBar();
    QTRY_VERIFY(rightBar && rightBar->isVisible());
    {
      const QPoint from = rightBar->mapTo(area()->viewport(), rightBar->rect().center());
      const QPoint to = from - QPoint(int(Timeline::widthForDuration(2.5f, area()->zoom())), 0);
      Gestures::press(area()->viewport(), from);
      Gestures::moveInSteps(area()->viewport(), from, to, 6);
      Gestures::release(area()->viewport(), to);
    }
    QTRY_VERIFY(qAbs(clip->duration() - 7.5f) < 0.3f);
    QVERIFY(shot("clip-trimmed"));
    leaveEditing();
    undoAndRedo(before);
    clip = onRow(0)[0];

    // The picture's transparency from the inspector's slider, with the play head inside it.
    before = state();
    picture = onRow(1)[0];
    QVERIFY(editBlock(picture));
    QSlider *transparency = inspectorSlider("Transparency");
    QVERIFY(transparency);
    for (int i = 0; i < 10 && !transparency->isEnabled(); ++i) {
      QTest::mouseClick(_editor->form().nextPosButton, Qt::LeftButton);
      QTest::qWait(300);
    }
    QVERIFY(transparency->isEnabled());
    {
      QStyleOptionSlider option;
      option.initFrom(transparency);
      option.orientation = transparency->orientation();
      option.minimum = transparency->minimum();
      option.maximum = transparency->maximum();
      option.sliderPosition = transparency->sliderPosition();
      option.sliderValue = transparency->value();
      const QRect handle = transparency->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle,
                                                                 transparency);
      const QPoint from = handle.center();
      const QPoint to(transparency->width() / 2, from.y());
      Gestures::press(transparency, from);
      Gestures::moveInSteps(transparency, from, to, 5);
      Gestures::release(transparency, to);
    }
    QTRY_VERIFY2(picture->userTransparency() > 0.3f && picture->userTransparency() < 0.7f,
                 qPrintable(QString::number(picture->userTransparency())));
    QVERIFY(shot("picture-transparency"));
    leaveEditing();
    undoAndRedo(before);
    picture = onRow(1)[0];

    // A fade-in on the picture from the inspector's transition list.
    before = state();
    QVERIFY(editBlock(picture));
    QVERIFY(clickToolStrip("Add/Edit Transition"));
    QPushButton *add = nullptr;
    QTRY_VERIFY((add = visibleNamed<QPushButton>(_editor->segmentInspectorWidget(), "addTransitionButton")) != nullptr);
    QTest::mouseClick(add, Qt::LeftButton);
    PopupTransitionsListWidget *list = nullptr;
    QTRY_VERIFY((list = visibleChild<PopupTransitionsListWidget>(_editor)) != nullptr);
    QPushButton *fadeIn = nullptr;
    for (QPushButton *item : list->itemButtons())
      if (item->text() == "Fade In")
        fadeIn = item;
    QVERIFY(fadeIn);
    list->scrollArea()->ensureWidgetVisible(fadeIn);
    QTest::mouseClick(fadeIn, Qt::LeftButton);
    QTRY_COMPARE(picture->transitionCount(), 1);
    QCOMPARE(picture->transitionStart(picture->transitionIdAt(0)), 0.0f);
    QVERIFY(shot("picture-fade-in"));
    QVERIFY(clickToolStrip("Return"));
    leaveEditing();
    undoAndRedo(before);
    picture = onRow(1)[0];

    // The clip split where the play head stands, inside it.
    before = state();
    clip = onRow(0)[0];
    const float clipLength = clip->duration();
    {
      SegmentWidget *block = blockOf(clip);
      Gestures::click(area()->viewport(), block->mapTo(area()->viewport(), block->rect().center()));
      QTRY_VERIFY(block->isSelected() && !area()->isAnimating() && !_editor->gutter()->graphicsEffect());
    }
    QVERIFY(_editor->actions().splitSegment->isEnabled());
    QApplication::setActiveWindow(_editor);
    QTest::keySequence(_editor, QKeySequence("Ctrl+L"));
    QTRY_COMPARE(onRow(0).size(), 2);
    QTRY_VERIFY_WITH_TIMEOUT(editorReady(_editor, model()->segmentCount()), kOpenMs);
    // The new part is pulled back against the first once the range change is committed.
    const bool pulled = QTest::qWaitFor(
        [&] { return qAbs(onRow(0)[1]->rangeStart() - clip->rangeStart() - clip->duration()) < 0.02f; }, 5000);
    const QList<Segment *> pieces = onRow(0);
    const QString spans = QStringLiteral("%1+%2, %3+%4")
                              .arg(double(pieces[0]->rangeStart()))
                              .arg(double(pieces[0]->duration()))
                              .arg(double(pieces[1]->rangeStart()))
                              .arg(double(pieces[1]->duration()));
    QVERIFY2(pulled, qPrintable(spans));
    QVERIFY2(pieces[0]->rangeStart() < 0.05f, qPrintable(spans));
    QVERIFY2(qAbs(pieces[0]->rangeStart() + pieces[0]->duration() - pieces[1]->rangeStart()) < 0.02f, qPrintable(spans));
    QVERIFY2(qAbs(pieces[0]->duration() + pieces[1]->duration() - clipLength) < 0.02f, qPrintable(spans));
    QVERIFY2(pieces[0]->duration() > 0.1f && pieces[1]->duration() > 0.1f, qPrintable(spans));
    QVERIFY(shot("clip-split", Picture));
    leaveEditing();
    undoAndRedo(before);
    _edited = state();
  }

  // Two seconds of playback move the play head and change the preview's pixels; pause stops it.
  void play()
  {
    AVEngine *engine = AVEngine::shared();
    QVERIFY(engine);
    const QImage before = PixelProbe::grab(_editor->previewWidget());
    const float from = engine->currentTime();
    QTest::mouseClick(_editor->form().playPauseButton, Qt::LeftButton);
    QTRY_VERIFY(_editor->isPlaying());
    QTRY_VERIFY_WITH_TIMEOUT(engine->currentTime() >= from + 2.0f, 30000);
    QTest::mouseClick(_editor->form().playPauseButton, Qt::LeftButton);
    QTRY_VERIFY(!_editor->isPlaying());
    const QImage after = PixelProbe::grab(_editor->previewWidget());
    QVERIFY(shot("played"));
    QVERIFY2(PixelProbe::meanDifference(before, after) > 5,
             qPrintable(QString::number(PixelProbe::meanDifference(before, after))));
    const float stopped = engine->currentTime();
    QVERIFY(stopped >= from + 2.0f);
    QTest::qWait(300);
    QCOMPARE(engine->currentTime(), stopped);
  }

  // Closed and opened again from the projects browser: the same blocks, properties and
  // transitions, and an undo history that still works.
  void reopen()
  {
    QCOMPARE(state(), _edited);
    _editor->close();
    QTRY_VERIFY_WITH_TIMEOUT(!_editor && !EditorWindows::openWindow(), 30000);
    ProjectsListWidget *list = _start->projectsPage()->projectsListWidget();
    QListWidgetItem *tile = nullptr;
    QTRY_VERIFY((tile = findItem(list, kProject)) != nullptr);
    QVERIFY(shot("projects-again"));
    Gestures::doubleClick(list->viewport(), list->visualItemRect(tile).center());
    QTRY_VERIFY_WITH_TIMEOUT((_editor = openEditor()) != nullptr, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(editorReady(_editor, _edited.count('\n') + 1), kOpenMs);
    Gestures::takePressesAtOnce(_editor);
    QCOMPARE(state(), _edited);
    Segment *picture = onRow(1).value(0);
    QVERIFY(picture && picture->transitionCount() == 1);
    QVERIFY(shot("reopened"));

    // The history starts afresh with the window: nothing to undo, and a new edit undoes and
    // redoes.
    QTest::mouseClick(_editor->form().undoButton, Qt::LeftButton);
    QTRY_VERIFY(hudTexts().contains("No operation to undo"));
    QCOMPARE(state(), _edited);
    Segment *gif = onRow(3).value(0);
    QVERIFY(gif);
    const float gifStart = gif->rangeStart();
    QVERIFY(dragLater(gif, 1.0f));
    QTRY_VERIFY(!area()->isAnimating() && gif->rangeStart() > gifStart + 0.5f);
    undoAndRedo(_edited);
    _edited = state();
  }

  // The export popup at 1080p with H.264: its progress advances and ends, and the movie lies
  // in the Movies folder with the composition's length and rate, sound, and at the caption's
  // time the frame an offscreen compose gives.
  void exportMovie()
  {
    QTest::mouseClick(_editor->form().shareButton, Qt::LeftButton);
    PopupMovieExportingWidget *popup = nullptr;
    QTRY_VERIFY((popup = visibleChild<PopupMovieExportingWidget>(_editor)) != nullptr);
    QSlider *resolution = popup->findChild<QSlider *>();
    QVERIFY(resolution);
    for (int i = 0; i < 5 && popup->resolution() < 3; ++i) {
      resolution->setFocus();
      QTest::keyClick(resolution, Qt::Key_Right);
    }
    QCOMPARE(popup->resolution(), 3);
    QCOMPARE(popup->videoCodec(), QString("h264"));
    QCOMPARE(popup->movieName(), kProject);
    QVERIFY(shot("export-settings"));
    auto *bar = popup->findChild<QProgressBar *>("exportProgressBar");
    QVERIFY(bar);
    QList<int> shown;
    connect(bar, &QProgressBar::valueChanged, this, [&](int value) { shown << value; });
    QPushButton *start = visibleNamed<QPushButton>(popup, "exportButton");
    QVERIFY(start);
    QTest::mouseClick(start, Qt::LeftButton);
    const QString movie = popup->saveLocation() + "/" + kProject + ".mp4";
    QTRY_VERIFY_WITH_TIMEOUT(shown.size() >= 3, 60000);
    QVERIFY(shot("exporting", Message));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(movie) && !_editor->progressHUD(), 300000);
    QTRY_VERIFY(visibleNamed<QPushButton>(popup, "computerDoneButton"));
    QVERIFY(std::is_sorted(shown.begin(), shown.end()));
    QVERIFY(shot("exported", Message));
    QTest::mouseClick(visibleNamed<QPushButton>(popup, "computerDoneButton"), Qt::LeftButton);
    QTRY_VERIFY(!visibleChild<PopupMovieExportingWidget>(_editor));

    const QJsonObject probe = ffprobe(movie);
    QJsonObject video, audio;
    for (const QJsonValue &stream : probe.value("streams").toArray()) {
      const QJsonObject s = stream.toObject();
      (s.value("codec_type").toString() == "video" ? video : audio) = s;
    }
    QCOMPARE(video.value("codec_name").toString(), QString("h264"));
    QCOMPARE(video.value("width").toInt(), 1920);
    QCOMPARE(video.value("height").toInt(), 1080);
    QCOMPARE(video.value("avg_frame_rate").toString(), QString("30/1"));
    QCOMPARE(audio.value("codec_type").toString(), QString("audio"));
    const double duration = probe.value("format").toObject().value("duration").toString().toDouble();
    QVERIFY2(qAbs(duration - model()->duration()) <= 0.1,
             qPrintable(QString("%1 against %2").arg(duration).arg(double(model()->duration()))));

    // The caption's middle, on a frame boundary.
    Segment *text = onRow(4).value(0);
    QVERIFY(text);
    const int frame = int((text->rangeStart() + text->duration() / 2) * 30);
    const QImage exported = exportedFrame(movie, frame);
    QCOMPARE(exported.size(), QSize(1920, 1080));
    const QImage composed = composeOffscreen(frame / 30.0, QSize(1920, 1080));
    QCOMPARE(composed.size(), QSize(1920, 1080));
    exported.save(QStringLiteral("%1/exported-frame.png").arg(JOURNEY_SHOTS));
    composed.save(QStringLiteral("%1/composed-frame.png").arg(JOURNEY_SHOTS));
    const double db = psnr(exported, composed);
    qInfo("frame %d: %.1f dB", frame, db);
    QVERIFY2(db >= 40, qPrintable(QString::number(db)));
  }

  // Quick clicks on the ruler (press and release with nothing between) inside the GIF's block:
  // the time follows the marker each time, and the preview shows the GIF's frame there. A split
  // then cuts the GIF at the marker; it is undone. Last, so the play head of the steps before
  // stays where they put it.
  void gifAndQuickRulerClick()
  {
    AVEngine *engine = AVEngine::shared();
    QVERIFY(engine);
    Segment *gif = onRow(3).value(0);
    QVERIFY(gif);
    QWidget *ruler = _editor->form().rulerWidget;
    const auto clickRuler = [&](float time) {
      const QPoint global = area()->widget()->mapToGlobal(QPoint(timelineX(time), 0));
      QTest::mouseClick(ruler, Qt::LeftButton, {}, QPoint(ruler->mapFromGlobal(global).x(), ruler->height() / 2));
    };
    // Its frames last 100 ms each.
    for (const float offset : {0.25f, 0.75f}) {
      const float time = gif->rangeStart() + offset;
      // A press on the marker's head grabs the marker instead: a marker near the place is
      // first sent away with another click.
      if (Timeline::widthForDuration(qAbs(engine->currentTime() - time), area()->zoom()) < 40) {
        clickRuler(time + 3);
        QTRY_VERIFY(qAbs(engine->currentTime() - time - 3) < 0.05f);
      }
      clickRuler(time);
      const auto where = [&] {
        PointerWidget *marker = _editor->playheadPointer();
        const QRect head = marker->headRect().translated(marker->mapToGlobal(QPoint(0, 0)));
        const QPoint click = area()->widget()->mapToGlobal(QPoint(timelineX(time), 0));
        return QString("time %1, marker %2, head %3,%4 %5x%6, click x %7 y %8")
            .arg(double(engine->currentTime())).arg(double(marker->centerX()))
            .arg(head.x()).arg(head.y()).arg(head.width()).arg(head.height()).arg(click.x())
            .arg(ruler->mapToGlobal(QPoint(0, ruler->height() / 2)).y());
      };
      QTRY_VERIFY2(qAbs(engine->currentTime() - time) < 0.05f, qPrintable(where()));
      QTRY_VERIFY2(qAbs(gifFrameShown() - int(offset * 10)) <= 1, qPrintable(QString::number(gifFrameShown())));
    }
    QVERIFY(shot("gif-in-preview", Picture));

    const QString before = state();
    const float cut = engine->currentTime();
    SegmentWidget *block = blockOf(gif);
    Gestures::click(area()->viewport(), block->mapTo(area()->viewport(), block->rect().center()));
    QTRY_VERIFY(block->isSelected() && !area()->isAnimating() && !_editor->gutter()->graphicsEffect());
    QCOMPARE(engine->currentTime(), cut);
    QApplication::setActiveWindow(_editor);
    QTest::keySequence(_editor, QKeySequence("Ctrl+L"));
    QTRY_COMPARE(onRow(3).size(), 2);
    QTRY_VERIFY_WITH_TIMEOUT(editorReady(_editor, model()->segmentCount()), kOpenMs);
    const Segment *first = onRow(3)[0];
    QVERIFY2(qAbs(first->rangeStart() + first->duration() - cut) < 0.05f,
             qPrintable(QString::number(double(first->rangeStart() + first->duration()))));
    // The engine takes the pieces anew; once it has them the preview shows the GIF at the cut
    // again instead of the clip below: the first piece's last frame, or the second piece's
    // first, whose animation starts at its own start.
    const int endFrame = int((cut - first->rangeStart()) * 10);
    QTRY_VERIFY2_WITH_TIMEOUT(gifFrameShown() == 0 || qAbs(gifFrameShown() - endFrame) <= 1,
                              qPrintable(QString("frame %1, expected 0 or %2").arg(gifFrameShown()).arg(endFrame)),
                              kOpenMs);
    QVERIFY(shot("gif-split", Picture));
    leaveEditing();
    QTest::mouseClick(_editor->form().undoButton, Qt::LeftButton);
    QTRY_COMPARE(state(), before);
    QTRY_VERIFY(editorReady(_editor, model()->segmentCount()));
  }

  // Random bytes named like a movie, offered to the add-media popup: the program says so and
  // the project stays as it was.
  void brokenMedia()
  {
    QFile broken(media("broken.mp4"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    QByteArray bytes(64 * 1024, '\0');
    quint32 seed = 47;
    for (char &byte : bytes)
      byte = char((seed = seed * 1664525u + 1013904223u) >> 24);
    broken.write(bytes);
    broken.close();

    const QString before = state();
    const int calls = _dialogs.calls.size();
    PopupMediaTypeSelectionWidget *popup = openAddMedia();
    QVERIFY(popup);
    _dialogs.answers << media("broken.mp4");
    QTest::mouseClick(popup->chooseFileButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(hudTexts().contains("This file cannot be opened"), 20000);
    QVERIFY(shot("broken-refused", Message));
    QCOMPARE(_dialogs.kinds().mid(calls), QStringList{"getOpenFileName"});
    QTRY_VERIFY(editorReady(_editor, before.count('\n') + 1));
    QCOMPARE(state(), before);
    QCOMPARE(area()->trackCount(), 6);

    // Text named like a picture gets its block, which ends in the load-error look.
    QFile fake(media("fake.png"));
    QVERIFY(fake.open(QIODevice::WriteOnly));
    fake.write(QByteArray("This is not a picture. ").repeated(200).left(4096));
    fake.close();
    popup = openAddMedia();
    QVERIFY(popup);
    _dialogs.answers << media("fake.png");
    QTest::mouseClick(popup->chooseFileButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(editorReady(_editor, before.count('\n') + 2), 20000);
    Segment *unread = nullptr;
    for (int i = 0; i < model()->segmentCount(); ++i)
      if (model()->segmentAt(i)->fileName().contains("fake"))
        unread = model()->segmentAt(i);
    QVERIFY(unread);
    QCOMPARE(unread->error(), quint32(SegmentLoadError));
    // The block hears of the error through a queued report.
    QTRY_VERIFY(blockOf(unread)->findChildren<AnimatedLabel *>().isEmpty());
    QVERIFY(shot("fake-picture"));
  }
};

TAVO_TEST_MAIN(TestJourney)
#include "tst_journey.moc"
