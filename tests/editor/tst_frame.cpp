// The desktop editor window as built: widget tree, control bar, timeline strips, menus,
// remembered layout values and the control bar's response to the preview's width.

#include "desktopmainwindowform.h"
#include "editorfixture.h"
#include "editscrollarea.h"
#include "gutterscrollarea.h"
#include "mediaexplorer.h"
#include "mediaexplorerwidget.h"
#include "segmentwidget.h"
#include "pointerwidget.h"
#include "projectmanager.h"
#include "rulerscrollarea.h"
#include "testenv.h"
#include "tooltipbutton.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QtTest>

#include <memory>

using LayoutValues = QMap<QString, int>;

namespace {

QRect screen()
{
  return QGuiApplication::primaryScreen()->availableGeometry();
}

QMenu *menuTitled(QMenuBar *bar, const QString &title)
{
  for (QAction *action : bar->actions())
    if (action->menu() && action->text() == title)
      return action->menu();
  return nullptr;
}

} // namespace

class TestFrame : public QObject
{
  Q_OBJECT

private slots:
  void init()
  {
    project = std::make_unique<EditorProject>();
    QVERIFY(project->isValid());
  }
  void cleanup() { project.reset(); }

  void buildsTheFrame()
  {
    TestEditorWindow window;
    const DesktopMainWindowForm &f = window.form();
    QCOMPARE(window.windowTitle(), QStringLiteral("Trip"));
    for (const char *name : {"centralwidget", "mainSplitter", "rootAreaWidget", "rootAreaSplitter", "topAreaWidget",
                             "topAreaSplitter", "mediaAreaWidget", "rightAreaWidget", "previewAreaWidget",
                             "playbackWidget", "rightAreaControlWidget", "previewScaleButton", "previewQualityButton",
                             "fullscreenButton", "previousPosButton", "playPauseButton", "nextPosButton", "undoButton",
                             "projectSettingsButton", "shareButton", "editAreaWidget", "pointerAreaWidget",
                             "segmentModeButton", "rulerScrollArea", "rulerWidget", "editScrollArea",
                             "editScrollAreaWidget", "inspectorAreaWidget", "noEditingSegmentTextLabel",
                             "hideInspectorAreaButton", "menubar", "statusbar"})
      QVERIFY2(window.findChild<QObject *>(QLatin1String(name)), name);

    window.resize(1400, 900);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(f.rightAreaControlWidget->height(), 44);
    QCOMPARE(f.previewScaleButton->text(), QStringLiteral("100%"));
    QCOMPARE(f.previewQualityButton->text(), QStringLiteral("540p"));
    QCOMPARE(f.pointerAreaWidget->height(), 21);
    QCOMPARE(f.rulerScrollArea->height(), 20);
    QVERIFY(f.statusbar->isHidden());

    QCOMPARE(window.zoomSlider()->size(), QSize(80, 15));
    QCOMPARE(window.zoomSlider()->minimum(), 2);
    QCOMPARE(window.zoomSlider()->maximum(), 40);
    QCOMPARE(window.zoomSlider()->value(), 10);
    for (QPushButton *button : {window.zoomInButton(), window.zoomOutButton()}) {
      QCOMPARE(button->size(), QSize(22, 14));
      QVERIFY(button->autoRepeat());
    }
    PointerWidget *head = window.playheadPointer();
    QCOMPARE(head->width(), 52);
    QCOMPARE(head->centerX(), 60.0f);
    QCOMPARE(head->height(), f.editAreaWidget->height() - 15);
    // The row buttons' strip spans the rows, not the height the timeline had before it was laid out.
    QTRY_COMPARE(window.gutter()->height(), f.editScrollArea->viewport()->height() - 15);
    QCOMPARE(f.segmentModeButton->size(), QSize(40, 20));
    QCOMPARE(f.segmentModeButton->normalIcon(), QStringLiteral(":/images/segment_insert"));
    QCOMPARE(f.segmentModeButton->selectedIcon(), QStringLiteral(":/images/segment_insert_hl"));

    const MainWindowActions &a = window.actions();
    for (QAction *action : {a.editSegment, a.duplicateSegment, a.removeSegment, a.splitSegment, a.addTransition,
                            a.duplicateTransition, a.deleteTransition, a.editTransition})
      QVERIFY2(!action->isEnabled(), qPrintable(action->text()));
    QCOMPARE(a.movieSettings->menuRole(), QAction::NoRole);
    QCOMPARE(a.exportMovie->iconText(), QStringLiteral("Export & Share"));
    QVERIFY(window.actions().playPause->isEnabled());
  }

  void mediaExplorerFillsTheMediaArea()
  {
    TestEditorWindow window;
    window.setGeometry(screen());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    MediaExplorer *explorer = window.mediaExplorer();
    QWidget *panel = explorer->widget();
    QVERIFY(panel);
    QCOMPARE(panel->parentWidget(), window.form().mediaAreaWidget);
    QTRY_COMPARE(panel->geometry(), window.form().mediaAreaWidget->rect());
    QCOMPARE(explorer->projectDirectory(), project->directory());
  }

  void zoomSliderFollowsZoom_data()
  {
    QTest::addColumn<float>("zoom");
    QTest::addColumn<int>("value");
    QTest::newRow("1.0") << 1.0f << 10;
    QTest::newRow("0.25 truncated") << 0.25f << 2;
    QTest::newRow("4.0") << 4.0f << 40;
  }
  void zoomSliderFollowsZoom()
  {
    QFETCH(float, zoom);
    QFETCH(int, value);
    QCOMPARE(MainWindow::zoomSliderValue(zoom), value);
  }

  void menus_data()
  {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QStringList>("items");
    // "-" a separator; "text|shortcut" where the item has one.
    const QString undo = QKeySequence(QKeySequence::Undo).toString(QKeySequence::NativeText);
    const QString redo = QKeySequence(QKeySequence::Redo).toString(QKeySequence::NativeText);
    QTest::newRow("File") << "File" << QStringList{"Save && Close"};
    QTest::newRow("Edit") << "Edit"
                          << QStringList{"Undo|" + undo, "Redo|" + redo, "-", "Enter Range Selection|Ctrl+R", "-",
                                         "Toggle Insert/Overwite Mode|Alt+I"};
    QTest::newRow("View") << "View"
                          << QStringList{"Media Explorer", "Segment Inspector", "-", "Toggle Fullscreen|Ctrl+Shift+H"};
    QTest::newRow("Segment") << "Segment"
                             << QStringList{"Add File...|Ctrl+Shift+F", "Add from Camera...|Ctrl+Shift+C",
                                            "Add from Microphone...|Ctrl+Shift+M", "Add Text|Ctrl+Shift+T",
                                            "Add Self-Draw|Ctrl+Shift+S", "-", "Edit|Ctrl+E", "Duplicate|Ctrl+D",
                                            "Remove", "-", "Split|Ctrl+L"};
    QTest::newRow("Transition") << "Transition"
                                << QStringList{"Add Transition", "Duplicate|Ctrl+Shift+D", "Delete", "-",
                                               "Edit Transition|Ctrl+T"};
    QTest::newRow("Movie") << "Movie"
                           << QStringList{"Play/Pause|Space", "Next Position|Ctrl+Right",
                                          "Previous Position|Ctrl+Left", "-", "Export && Share", "-",
                                          "Configuration..."};
    QTest::newRow("Help") << "Help"
                          << QStringList{"Tavo REN Help", "Get Tavo REN on Smartphones", "-", "About Tavo REN"};
  }
  void menus()
  {
    QFETCH(QString, menu);
    QFETCH(QStringList, items);
    TestEditorWindow window;
    QStringList titles;
    for (QAction *action : window.form().menubar->actions())
      titles << action->text();
    QCOMPARE(titles, (QStringList{"File", "Edit", "View", "Segment", "Transition", "Movie", "Help"}));

    QMenu *m = menuTitled(window.form().menubar, menu);
    QVERIFY(m);
    QStringList found;
    for (QAction *action : m->actions()) {
      if (action->isSeparator()) {
        found << "-";
        continue;
      }
      const QString keys = action->shortcut().toString(QKeySequence::NativeText);
      found << (keys.isEmpty() ? action->text() : action->text() + "|" + keys);
    }
    QCOMPARE(found, items);
  }

  void layoutValues_data()
  {
    const int w = screen().width();
    const int h = screen().height();
    QTest::addColumn<LayoutValues>("stored");
    QTest::addColumn<int>("previewHeight");
    QTest::addColumn<int>("inspectorWidth");
    QTest::addColumn<int>("mediaWidth");
    QTest::addColumn<QList<int>>("rootSizes");
    QTest::addColumn<QList<int>>("topSizes");
    const int media = qMax(w * 4 / 10, 350);
    QTest::newRow("empty layout") << LayoutValues() << -1 << 300 << media << QList<int>{h / 2, h - h / 2}
                                  << QList<int>{media, w - media};
    QTest::newRow("small values raised")
        << LayoutValues{{"L1_PreviewAreaSize", 120}, {"L1_InspectorAreaSize", 250}, {"L1_MediaAreaSize", 100}}
        << 200 << 300 << 350 << QList<int>{200, h - 200} << QList<int>{350, w - 350};
    QTest::newRow("values kept")
        << LayoutValues{{"L1_PreviewAreaSize", 500}, {"L1_InspectorAreaSize", 420}, {"L1_MediaAreaSize", 600}}
        << 500 << 420 << 600 << QList<int>{500, h - 500} << QList<int>{600, w - 600};
    QTest::newRow("media area hidden")
        << LayoutValues{{"L1_MediaAreaSize", 700}, {"L1_MediaAreaHidden", 1}} << -1 << 300 << 700
        << QList<int>{h / 2, h - h / 2} << QList<int>{0, w};
  }
  void layoutValues()
  {
    QFETCH(LayoutValues, stored);
    QFETCH(int, previewHeight);
    QFETCH(int, inspectorWidth);
    QFETCH(int, mediaWidth);
    QFETCH(QList<int>, rootSizes);
    QFETCH(QList<int>, topSizes);
    project->writeLayout(stored);
    TestEditorWindow window;
    QCOMPARE(window.previewAreaHeight(), previewHeight);
    QCOMPARE(window.inspectorAreaWidth(), inspectorWidth);
    QCOMPARE(window.mediaAreaWidth(), mediaWidth);
    window.setGeometry(screen());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // Sizes as the screen-sized window lays them out.
    // Sizes given for the whole screen, scaled to the splitter's own length.
    const QSplitter *root = window.form().rootAreaSplitter;
    const double scale = double(root->height()) / screen().height();
    QVERIFY(qAbs(root->sizes().value(0) - rootSizes.value(0) * scale) <= 12);
    const QSplitter *top = window.form().topAreaSplitter;
    const double widthScale = double(top->width()) / screen().width();
    QVERIFY(qAbs(top->sizes().value(0) - topSizes.value(0) * widthScale) <= 12);
    // The side panel starts closed.
    QCOMPARE(window.form().mainSplitter->sizes().value(1), 0);
    QCOMPARE(window.isMediaAreaHidden(), topSizes.first() == 0);
  }

  void hiddenMediaAreaKeepsItsWidthOnSave()
  {
    project->writeLayout({{"L1_MediaAreaSize", 100}, {"L1_MediaAreaHidden", 1}, {"PreviewQuality", 3}});
    {
      TestEditorWindow window;
      QCOMPARE(window.form().previewQualityButton->text(), QStringLiteral("1080p"));
      window.show();
      QVERIFY(QTest::qWaitForWindowExposed(&window));
      QCOMPARE(window.form().topAreaSplitter->sizes().value(0), 0);
      QVERIFY(window.form().mediaAreaWidget->visibleRegion().isEmpty());
      window.saveLayout();
    }
    ProjectManager reread;
    reread.setProjectName(QStringLiteral("Trip"));
    QCOMPARE(reread.loadLayout(), 0);
    QCOMPARE(reread.mediaAreaSize(), 100);
    QVERIFY(reread.isMediaAreaHidden());
    QCOMPARE(reread.previewQuality(), 3);
    QCOMPARE(reread.inspectorAreaSize(), 300);
  }

  void controlBarFollowsPreviewWidth()
  {
    TestEditorWindow window;
    const DesktopMainWindowForm &f = window.form();
    window.resize(1200, 800);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // Each step narrows or widens the preview area by moving the media pane.
    const struct
    {
      int previewWidth;
      bool scale;
      bool steps;
    } steps[] = {{600, true, true}, {340, true, true}, {250, false, true}, {200, false, false}, {520, true, true}};
    for (const auto &step : steps) {
      const int total = f.topAreaSplitter->width() - f.topAreaSplitter->handleWidth();
      f.mediaAreaWidget->setMinimumWidth(0);
      f.topAreaSplitter->setSizes({total - step.previewWidth, step.previewWidth});
      QTRY_COMPARE(f.previewAreaWidget->width(), step.previewWidth);
      QTRY_COMPARE(f.previewScaleButton->isVisible(), step.scale);
      QCOMPARE(f.previewQualityButton->isVisible(), step.scale);
      QCOMPARE(f.previousPosButton->isVisible(), step.steps);
      QCOMPARE(f.nextPosButton->isVisible(), step.steps);
    }
  }

  void screenshotOfAnEmptyProject()
  {
    TestEditorWindow window;
    window.setGeometry(screen());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const DesktopMainWindowForm &f = window.form();
    QTRY_VERIFY(f.playbackWidget->width() > 0);
    // The preview keeps the project's 16:9 inside its area's 28-pixel margin.
    const QRect preview = f.playbackWidget->geometry();
    QVERIFY(qAbs(preview.width() * 9 - preview.height() * 16) <= 16);
    QVERIFY(preview.left() >= 28 && preview.top() >= 28);
    QCOMPARE(f.mainSplitter->sizes().value(1), 0);
    QVERIFY(f.inspectorAreaWidget->visibleRegion().isEmpty());
    const QImage shot = window.grab().toImage();
    QVERIFY(shot.save(QDir::current().absoluteFilePath(QStringLiteral("editor_window.png"))));
  }

private:
  std::unique_ptr<EditorProject> project;
};

TAVO_TEST_MAIN(TestFrame)
#include "tst_frame.moc"
