// The window's menu actions: which shortcut reaches which action, which window states refuse
// which action, the zoom controls and the enabled states that follow the editing state.

#include "editingfixture.h"
#include "editorfixture.h"
#include "mediafixtures.h"
#include "pixelprobe.h"
#include "testenv.h"

#include "avengine.h"
#include "avexporter.h"
#include "avglwidget.h"
#include "canvaswidget.h"
#include "commonpopup.h"
#include "commonpopuphelptipwidget.h"
#include "cropwidget.h"
#include "editscrollarea.h"
#include "gutterscrollarea.h"
#include "progresshud.h"
#include "projectmanager.h"
#include "segment.h"
#include "segmentwidget.h"
#include "segmentinspectorwidget.h"
#include "texteditwidget.h"
#include "tipmanager.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QtTest>

#include <memory>

namespace {

bool writeText(const QString &path, const QByteArray &bytes)
{
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Records what the actions hand on, and lets a test set the states that guard them.
class ActionsWindow : public TestEditorWindow
{
public:
  using MainWindow::_currentPopup;
  using MainWindow::_copyingMedia;

  QStringList calls;
  bool fullscreen = false;
  bool transitions = false;

  void undoRedoOperation(bool undo) override { calls << (undo ? "undo" : "redo"); }
  void togglePlayPause() override { calls << "play"; }
  void showProjectSettingsPopup() override { calls << "settings"; }
  void _startTransitionMode() override { calls << "transitions"; }
  void endTransitionMode() override { calls << "transitions"; }
  bool isEditingTransitions() override { return transitions; }

protected:
  bool _isPreviewFullscreen() const override { return fullscreen; }
};

struct ActionsProject
{
  EditorProject project;
  std::unique_ptr<ActionsWindow> window;

  bool open()
  {
    const QString dir = project.directory();
    if (!project.isValid() || !MediaFixtures::writePicture(dir + "/still.png", 320, 240))
      return false;
    const QByteArray xml = "<?xml version=\"1.0\"?>\n<Project>\n"
                           "<Segment Type=\"IMAGE\" TrackId=\"3\" RangeStart=\"0\" RangeDuration=\"4\" File=\"still.png\"/>\n"
                           "<Segment Type=\"TEXT\" TrackId=\"5\" RangeStart=\"0\" RangeDuration=\"2\" Text=\"Hi\"/>\n"
                           "</Project>\n";
    if (!writeText(dir + "/project.xml", xml)
        || !writeText(dir + "/properties.xml",
                      "<?xml version=\"1.0\"?>\n<Properties version=\"5.0\" backgroundColor=\"#ff203040\"/>\n"))
      return false;
    window = std::make_unique<ActionsWindow>();
    window->resize(1200, 800);
    window->show();
    return QTest::qWaitFor(
        [&] {
          ProjectManager *model = window->projectManager();
          return window->previewWidget() && !window->projectLoader() && !window->progressHUD()
                 && model->segmentCount() == 2 && model->segmentAt(0)->state() == SegmentReady
                 && model->segmentAt(1)->state() == SegmentReady;
        },
        30000);
  }

  SegmentWidget *block(int index) const
  {
    ProjectManager *model = window->projectManager();
    return static_cast<SegmentWidget *>(model->segmentWidgetOf(model->segmentAt(index)));
  }

};

// The preview's picture once two grabs in a row agree: the engine has drawn the last change.
// False when it does not settle.
bool settledPreview(EditingWindow &window, QImage &picture)
{
  QImage last;
  QImage now = window.previewWidget()->grabFramebuffer();
  const bool settled = QTest::qWaitFor(
      [&] {
        last = now;
        now = window.previewWidget()->grabFramebuffer();
        return window._engine->isIdle() && now == last;
      },
      5000);
  picture = now.convertToFormat(QImage::Format_RGB32);
  return settled;
}

void dismissTip()
{
  if (TipManager::hasInstance())
    TipManager::instance()->dismissTip();
}

} // namespace

using PixelProbe::meanDifference;

class TestActions : public QObject
{
  Q_OBJECT

private slots:
  void initTestCase() { QVERIFY(p.open()); }
  void cleanupTestCase() { p.window.reset(); }
  void init()
  {
    dismissTip();
    ActionsWindow &w = *p.window;
    w.calls.clear();
    w.fullscreen = w.transitions = false;
    w._copyingMedia = false;
    w._currentPopup = nullptr;
  }

  void shortcutsReachTheirActions_data()
  {
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("text");
    QTest::newRow("undo") << QKeySequence(QKeySequence::Undo) << "Undo";
    QTest::newRow("redo") << QKeySequence(QKeySequence::Redo) << "Redo";
    QTest::newRow("range") << QKeySequence("Ctrl+R") << "Enter Range Selection";
    QTest::newRow("insert/overwrite") << QKeySequence("Alt+I") << "Toggle Insert/Overwite Mode";
    QTest::newRow("add file") << QKeySequence("Ctrl+Shift+F") << "Add File...";
    QTest::newRow("add from camera") << QKeySequence("Ctrl+Shift+C") << "Add from Camera...";
    QTest::newRow("add from microphone") << QKeySequence("Ctrl+Shift+M") << "Add from Microphone...";
    QTest::newRow("add text") << QKeySequence("Ctrl+Shift+T") << "Add Text";
    QTest::newRow("add self-draw") << QKeySequence("Ctrl+Shift+S") << "Add Self-Draw";
    QTest::newRow("edit") << QKeySequence("Ctrl+E") << "Edit";
    QTest::newRow("duplicate segment") << QKeySequence("Ctrl+D") << "Duplicate";
    QTest::newRow("split") << QKeySequence("Ctrl+L") << "Split";
    QTest::newRow("duplicate transition") << QKeySequence("Ctrl+Shift+D") << "Duplicate";
    QTest::newRow("edit transition") << QKeySequence("Ctrl+T") << "Edit Transition";
    QTest::newRow("play/pause") << QKeySequence(Qt::Key_Space) << "Play/Pause";
  }

  void shortcutsReachTheirActions()
  {
    QFETCH(QKeySequence, keys);
    QFETCH(QString, text);
    ActionsWindow &w = *p.window;
    QAction *target = nullptr;
    for (QAction *action : w.QWidget::actions())
      if (action->shortcut() == keys)
        target = action;
    QVERIFY2(target, qPrintable(keys.toString()));
    QVERIFY(target->text() == text || target->text().startsWith(text.left(4)));
    // Only the key's way into the action is checked here: its state is another test's matter.
    target->setEnabled(true);
    QSignalSpy triggered(target, &QAction::triggered);
    QApplication::setActiveWindow(&w);
    QTest::keySequence(&w, keys);
    QTRY_COMPARE(triggered.count(), 1);
    QTest::qWait(20);
    if (w.editScrollArea()->editingSegmentWidget())
      w.editScrollArea()->editingSegmentWidget()->setEditingState(false, false);
    w.editScrollArea()->rangeSelectionMode = false;
  }

  // Which window state refuses which action. Rows: the state; columns: the actions that act.
  void guards_data()
  {
    QTest::addColumn<QString>("state");
    QTest::addColumn<QStringList>("acting");
    const QStringList all = {"undo", "redo", "range", "mode", "play", "settings", "transitions", "edit"};
    QTest::newRow("idle") << "" << all;
    QTest::newRow("full screen") << "fullscreen" << QStringList{"play", "edit"};
    QTest::newRow("import running") << "import" << QStringList{"undo", "redo", "mode", "transitions", "edit"};
    QTest::newRow("popup shown") << "popup" << QStringList{"undo", "redo", "mode", "transitions", "edit"};
    QTest::newRow("tip on screen") << "tip" << QStringList{"mode", "transitions", "edit"};
    QTest::newRow("text editing") << "text" << QStringList{"play", "settings", "transitions", "edit"};
    QTest::newRow("drawing") << "drawing" << QStringList{"play", "settings", "transitions", "edit"};
    QTest::newRow("crop editing") << "crop" << QStringList{"play", "settings", "transitions", "edit"};
    QTest::newRow("transitions edited") << "transitions" << all;
    QTest::newRow("export running") << "export" << QStringList{"mode"};
  }

  void guards()
  {
    QFETCH(QString, state);
    QFETCH(QStringList, acting);
    ActionsWindow &w = *p.window;
    EditScrollArea *area = w.editScrollArea();
    area->setSelectedSegmentWidget(p.block(0));
    std::unique_ptr<QWidget> inPlace;
    std::unique_ptr<AVExporter> exporter;
    if (state == "fullscreen")
      w.fullscreen = true;
    else if (state == "import")
      w._copyingMedia = true;
    else if (state == "popup")
      w._currentPopup = new CommonPopup(w.centralWidget());
    else if (state == "tip")
      QVERIFY(TipManager::instance()->showTip("MediaExplorerHelpTip", w.zoomSlider(), w.centralWidget(), 0));
    else if (state == "text")
      inPlace.reset(w._textEditWidget = new TextEditWidget(w.centralWidget()));
    else if (state == "drawing")
      inPlace.reset(w._canvasWidget = new CanvasWidget(64, 36, w.centralWidget()));
    else if (state == "crop")
      inPlace.reset(w._cropWidget = new CropWidget(QRect(0, 0, 64, 36), QPixmap(64, 36), QRectF(0, 0, 1, 1), true,
                                                   w.centralWidget()));
    else if (state == "transitions")
      w.transitions = true;
    else if (state == "export") {
      exporter = std::make_unique<AVExporter>(64, 36, 100000, 30, 0, false, 44100, 2, 64000, 0, "/dev/null", nullptr);
      w._exporter = exporter.get();
    }

    QStringList acted;
    const MainWindowActions &a = w.actions();
    auto run = [&](const QString &name, QAction *action, const std::function<bool()> &didAct) {
      if (p.block(0)->isEditing())
        p.block(0)->setEditingState(false, false);
      // Leaving editing or range selection fades the gutter in; the Edit action waits for it.
      QTRY_VERIFY(!w.gutter()->graphicsEffect());
      w.calls.clear();
      action->setEnabled(true);
      action->trigger();
      if (didAct())
        acted << name;
    };
    auto called = [&] { return !w.calls.isEmpty(); };
    run("undo", a.undo, called);
    run("redo", a.redo, called);
    area->rangeSelectionMode = true;
    run("range", a.rangeSelect, [&] { return !area->rangeSelectionMode; });
    area->rangeSelectionMode = false;
    const int mode = w.projectManager()->segmentMode();
    run("mode", a.insertOverwriteMode, [&] { return w.projectManager()->segmentMode() != mode; });
    run("play", a.playPause, called);
    run("settings", a.movieSettings, called);
    run("transitions", a.editTransition, called);
    run("edit", a.editSegment, [&] { return p.block(0)->isEditing(); });

    if (p.block(0)->isEditing())
      p.block(0)->setEditingState(false, false);
    w._textEditWidget = nullptr;
    w._canvasWidget = nullptr;
    w._cropWidget = nullptr;
    w._exporter = nullptr;
    delete w._currentPopup.data();
    dismissTip();
    QCOMPARE(acted, acting);
  }

  void undoDuringInPlaceEditingExplains_data()
  {
    QTest::addColumn<bool>("crop");
    QTest::addColumn<bool>("undo");
    QTest::addColumn<QString>("message");
    QTest::newRow("text, undo") << false << true << "Unable to undo temporarily";
    QTest::newRow("text, redo") << false << false << "Unable to redo temporarily";
    QTest::newRow("crop, undo") << true << true << "Unable to undo temporarily";
    QTest::newRow("crop, redo") << true << false << "Unable to redo temporarily";
  }

  void undoDuringInPlaceEditingExplains()
  {
    QFETCH(bool, crop);
    QFETCH(bool, undo);
    QFETCH(QString, message);
    ActionsWindow &w = *p.window;
    std::unique_ptr<QWidget> editor;
    if (crop)
      editor.reset(w._cropWidget = new CropWidget(QRect(0, 0, 64, 36), QPixmap(64, 36), QRectF(0, 0, 1, 1), true,
                                                  w.centralWidget()));
    else
      editor.reset(w._textEditWidget = new TextEditWidget(w.centralWidget()));
    HudTextLog huds;
    (undo ? w.actions().undo : w.actions().redo)->trigger();
    w._cropWidget = nullptr;
    w._textEditWidget = nullptr;
    QCOMPARE(huds.texts(), QStringList{message});
    QVERIFY(w.calls.isEmpty());
  }

  // While drawing, undo takes back the canvas's last stroke; redo does nothing.
  void undoWhileDrawingTakesBackOneStroke()
  {
    ActionsWindow &w = *p.window;
    auto *canvas = new CanvasWidget(200, 120, w.centralWidget());
    std::unique_ptr<CanvasWidget> owner(canvas);
    canvas->setGeometry(0, 0, 200, 120);
    canvas->show();
    w._canvasWidget = canvas;
    auto stroke = [&](int y) {
      QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(20, y));
      for (int x = 30; x <= 180; x += 10)
        QTest::mouseMove(canvas, QPoint(x, y));
      QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(180, y));
    };
    stroke(30);
    const QImage one = canvas->canvasImage().toImage();
    stroke(90);
    const QImage two = canvas->canvasImage().toImage();
    QVERIFY(one != two);
    w.actions().undo->trigger();
    QTRY_VERIFY(canvas->canvasImage().toImage() == one);
    w.actions().redo->trigger();
    QTest::qWait(50);
    QVERIFY(canvas->canvasImage().toImage() == one);
    QVERIFY(w.calls.isEmpty());
    w._canvasWidget = nullptr;
  }

  void zoom_data()
  {
    QTest::addColumn<int>("from");
    QTest::addColumn<bool>("in");
    QTest::addColumn<int>("slider");
    QTest::newRow("in at 4.0") << 40 << true << 40;
    QTest::newRow("out at 0.2") << 2 << false << 2;
    QTest::newRow("in at 1.0") << 10 << true << 12;
    QTest::newRow("out at 1.0") << 10 << false << 8;
    QTest::newRow("in at 0.3") << 3 << true << 5;
    QTest::newRow("out at 3.9") << 39 << false << 37;
    QTest::newRow("in near the top") << 39 << true << 40;
    QTest::newRow("out near the bottom") << 3 << false << 2;
  }

  void zoom()
  {
    QFETCH(int, from);
    QFETCH(bool, in);
    QFETCH(int, slider);
    ActionsWindow &w = *p.window;
    w.zoomSlider()->setValue(from);
    QCOMPARE(w.zoom(), from / 10.0f);
    QSignalSpy moved(w.zoomSlider(), &QSlider::valueChanged);
    QPushButton *button = in ? w.zoomInButton() : w.zoomOutButton();
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(w.zoomSlider()->value(), slider);
    QCOMPARE(moved.isEmpty(), slider == from);
    QCOMPARE(w.zoom(), slider / 10.0f);
    QCOMPARE(w.projectManager()->timeScale(), slider / 10.0f);
    w.zoomSlider()->setValue(10);
  }

  // The enabled states after entering and leaving segment editing and transition editing.
  void actionStatesFollowEditing()
  {
    ActionsWindow &w = *p.window;
    const MainWindowActions &a = w.actions();
    const QList<QAction *> adds = {a.addFile, a.addFromCamera, a.addFromMicrophone, a.addText, a.addSelfDraw};
    auto enabled = [](const QList<QAction *> &actions) {
      QList<bool> states;
      for (QAction *action : actions)
        states << action->isEnabled();
      return states;
    };
    const QList<bool> on = {true, true, true, true, true};
    const QList<bool> off = {false, false, false, false, false};
    SegmentWidget *block = p.block(0);
    w.editScrollArea()->setSelectedSegmentWidget(block);

    block->setEditingState(true, false);
    emit w.segmentEditingStateChanged();
    QTRY_COMPARE(enabled(adds), off);
    QTRY_VERIFY(!a.rangeSelect->isEnabled());
    QCOMPARE(a.editSegment->text(), QString("Finish Editing"));
    QCOMPARE(enabled({a.editSegment, a.duplicateSegment, a.removeSegment, a.splitSegment, a.addTransition}),
             (QList<bool>{true, true, true, true, true}));

    // Transition editing with and without a chosen transition.
    w.transitions = true;
    emit w.transitionEditingStateChanged();
    QTRY_COMPARE(enabled({a.duplicateSegment, a.removeSegment, a.splitSegment}), (QList<bool>{false, false, false}));
    QCOMPARE(enabled({a.duplicateTransition, a.deleteTransition}), (QList<bool>{false, false}));
    block->setTransitionId(1);
    emit w.transitionEditingStateChanged();
    QTRY_COMPARE(enabled({a.duplicateTransition, a.deleteTransition}), (QList<bool>{true, true}));
    block->setTransitionId(0);
    w.transitions = false;
    emit w.transitionEditingStateChanged();
    QTRY_COMPARE(enabled({a.duplicateTransition, a.deleteTransition}), (QList<bool>{false, false}));
    QCOMPARE(enabled({a.duplicateSegment, a.removeSegment, a.splitSegment}), (QList<bool>{true, true, true}));

    block->setEditingState(false, false);
    emit w.segmentEditingStateChanged();
    QTRY_COMPARE(enabled(adds), on);
    QVERIFY(a.rangeSelect->isEnabled());
    QCOMPARE(a.editSegment->text(), QString("Edit"));
  }

  // Twenty edits, then twenty undos and twenty redos typed as shortcuts: after every step the
  // project and the preview are those of the matching state.
  void scriptedUndoRedoThroughShortcuts()
  {
    EditingSession session;
    QVERIFY(session.open());
    EditingWindow &w = *session.window;
    struct Edit
    {
      const char *uid;
      int command;
    };
    // Rotations, flips and the alignment of the text and the movie under the play head (the
    // movie's frames are plain colours: only its rotation shows).
    const Edit cycle[] = {{"seg-3", 10006}, {"seg-3", 10023}, {"seg-3", 10008}, {"seg-1", 10006},
                          {"seg-3", 10009}};
    // Frames of one state compare equal up to this mean difference.
    constexpr double Same = 0.02;
    // The first reference is taken with a block edited, as every later one: the side panel
    // then stands open and the preview has the same size throughout.
    session.edit(session.segmentByUId(cycle[0].uid));
    QTRY_VERIFY(w.segmentInspectorWidget() && w.segmentInspectorWidget()->isVisible());
    QStringList states{session.state()};
    QList<QImage> frames{QImage()};
    QVERIFY(settledPreview(w, frames.last()));
    for (int i = 0; i < 20; ++i) {
      const Edit &edit = cycle[i % 5];
      session.edit(session.segmentByUId(edit.uid));
      QSignalSpy swapped(w.previewWidget(), &QOpenGLWidget::frameSwapped);
      w._segmentCommand(nullptr, edit.command);
      states << session.state();
      // The reference is taken once the edit has reached the screen.
      if (swapped.isEmpty())
        swapped.wait(1000);
      frames << QImage();
      QVERIFY2(settledPreview(w, frames.last()), qPrintable(QString("edit %1 did not settle").arg(i)));
      QVERIFY2(states.last() != states[states.size() - 2], qPrintable(QString("edit %1 changed nothing").arg(i)));
    }
    // The preview follows the edits (a flip or an alignment of the one-line text shows nothing),
    // so its comparisons below tell the states apart.
    int changed = 0;
    for (int i = 1; i < frames.size(); ++i)
      changed += meanDifference(frames[i], frames[i - 1]) > Same;
    QVERIFY2(changed >= 12, qPrintable(QString::number(changed)));
    QApplication::setActiveWindow(&w);
    auto type = [&](const QKeySequence &keys, int expected) {
      QTRY_VERIFY(w._engine->isIdle());
      w.editScrollArea()->setFocus();
      QTest::keySequence(&w, keys);
      QTRY_COMPARE(session.state(), states[expected]);
      double difference = 255;
      QImage now;
      QTRY_VERIFY2(settledPreview(w, now) && (difference = meanDifference(now, frames[expected])) <= Same,
                   qPrintable(QString("state %1: preview differs by %2").arg(expected).arg(difference)));
    };
    for (int i = 19; i >= 0; --i)
      type(QKeySequence::Undo, i);
    for (int i = 1; i <= 20; ++i)
      type(QKeySequence::Redo, i);
    session.window.reset();
    ProjectManager::setWorkingDirectory(p.project.root());
  }

private:
  ActionsProject p;
};

TAVO_TEST_MAIN(TestActions)
#include "tst_actions.moc"
