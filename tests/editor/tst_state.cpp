// Geometry, action and tool refresh, and the progress displays and help of the editor window.

#include "avcomposition.h"
#include "avengine.h"
#include "desktopmainwindowform.h"
#include "editorfixture.h"
#include "editscrollarea.h"
#include "imagesegment.h"
#include "nativewebbrowserwidget.h"
#include "pointerwidget.h"
#include "projectmanager.h"
#include "scrollabletoolbar.h"
#include "segmentwidget.h"
#include "testenv.h"
#include "texteditwidget.h"
#include "tooltipbutton.h"
#include "trackwidget.h"
#include "util.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QtTest>

#include <memory>

namespace {

// A window with one row holding one picture block from 2 s to 6 s.
struct WindowWithBlock
{
  std::unique_ptr<ImageSegment> segment;
  TestEditorWindow window;
  SegmentWidget *block = nullptr;

  WindowWithBlock()
      : segment(std::make_unique<ImageSegment>(QStringLiteral("/nonexistent/picture.png"), 2.0f, 4.0f, nullptr,
                                               nullptr))
  {
    EditScrollArea *area = window.editScrollArea();
    TrackWidget *track = area->addTrack(1.0f, 10.0f);
    track->setTag(1);
    block = track->addSegment(segment.get());
    area->connectSegmentWidget(block);
  }
  ~WindowWithBlock() { window.editScrollArea()->setSelectedSegmentWidget(nullptr); }
};

ScrollableToolBar *toolBar(QWidget *parent, int first, int last)
{
  auto *bar = new ScrollableToolBar(parent);
  for (int id = first; id <= last; ++id)
    bar->addButton(QStringLiteral(":/images/navi_play"), QString(), QString::number(id), id);
  return bar;
}

QList<int> enabledIds(ScrollableToolBar *bar, int first, int last)
{
  QList<int> ids;
  for (int id = first; id <= last; ++id)
    if (bar->button(id) && bar->button(id)->isEnabled())
      ids << id;
  return ids;
}

QList<int> range(int first, int last)
{
  QList<int> ids;
  for (int id = first; id <= last; ++id)
    ids << id;
  return ids;
}

bool showsIcon(QPushButton *button, const QString &path)
{
  return button->icon().pixmap(20, 20).toImage() == QIcon(path).pixmap(20, 20).toImage();
}

} // namespace

class TestState : public QObject
{
  Q_OBJECT

private slots:
  void init()
  {
    project = std::make_unique<EditorProject>();
    QVERIFY(project->isValid());
  }
  void cleanup() { project.reset(); }

  void previewPlacement_data()
  {
    QTest::addColumn<QSize>("area");
    QTest::addColumn<float>("scale");
    QTest::addColumn<QRect>("preview");
    QTest::newRow("16:9 in 1000x600") << QSize(1000, 600) << 1.0f << QRect(28, 35, 944, 531);
    QTest::newRow("height bound") << QSize(1600, 400) << 1.0f << QRect(494, 28, 612, 344);
  }
  void previewPlacement()
  {
    QFETCH(QSize, area);
    QFETCH(float, scale);
    QFETCH(QRect, preview);
    TestEditorWindow window;
    QCOMPARE(window.previewScale(), scale);
    window.form().previewAreaWidget->resize(area);
    window._layoutPreview();
    QCOMPARE(window.form().playbackWidget->geometry(), preview);
  }

  void timelineZoom_data()
  {
    QTest::addColumn<float>("requested");
    QTest::addColumn<float>("zoom");
    QTest::addColumn<int>("scroll");
    QTest::newRow("below range") << 0.1f << 0.2f << 60;
    QTest::newRow("above range") << 5.0f << 4.0f << 1200;
    QTest::newRow("doubling") << 2.0f << 2.0f << 600;
  }
  void timelineZoom()
  {
    QFETCH(float, requested);
    QFETCH(float, zoom);
    QFETCH(int, scroll);
    TestEditorWindow window;
    window.projectManager()->setDuration(1000);
    window.resize(1000, 800);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window._setTimelineScale(1.0f);
    window.editScrollArea()->setContentOffset(QPoint(300, 0), false);
    QCOMPARE(window.editScrollArea()->contentOffset().x(), 300);
    window._setTimelineScale(requested);
    QCOMPARE(window.zoom(), zoom);
    QCOMPARE(window.projectManager()->timeScale(), zoom);
    QCOMPARE(window.editScrollArea()->contentOffset().x(), scroll);
  }

  // A zoom keeps the time under the play head by a seek, unless playback or a scroll
  // animation moves the preview anyway.
  void zoomSeeksOnlyWhenSettled_data()
  {
    QTest::addColumn<bool>("playing");
    QTest::addColumn<bool>("scrolling");
    QTest::addColumn<int>("seeks");
    QTest::newRow("settled") << false << false << 1;
    QTest::newRow("playing") << true << false << 0;
    QTest::newRow("scroll animating") << false << true << 0;
  }
  void zoomSeeksOnlyWhenSettled()
  {
    QFETCH(bool, playing);
    QFETCH(bool, scrolling);
    QFETCH(int, seeks);
    TestEditorWindow window;
    AVComposition composition(1280, 720, 44100, 2, nullptr);
    AVEngine engine(&composition, nullptr, nullptr);
    window._engine = &engine;
    window._playing = playing;
    window._scrollAnimating = scrolling;
    int seen = 0;
    AVEngine::setCallHook(
        [](const AVEngineCall &call, void *count) {
          if (QByteArray(call.name) == "seek")
            ++*static_cast<int *>(count);
        },
        &seen);
    window._setTimelineScale(2.0f);
    AVEngine::setCallHook(nullptr, nullptr);
    window._engine = nullptr;
    QCOMPARE(seen, seeks);
  }

  void pointersSpanTheEditPanel()
  {
    TestEditorWindow window;
    window.resize(1200, 900);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QWidget *panel = window.form().editAreaWidget;
    QTRY_COMPARE(window.playheadPointer()->height(), panel->height() - 15);
    window.form().rootAreaSplitter->setSizes({300, 600});
    QTRY_COMPARE(window.playheadPointer()->height(), panel->height() - 15);
    QCOMPARE(window.playheadPointer()->y(), 0);
  }

  void previewQualityReachesTheEngineOnce()
  {
    TestEditorWindow window;
    AVComposition composition(1920, 1080, 44100, 2, nullptr);
    AVEngine engine(&composition, nullptr, nullptr);
    window._engine = &engine;
    const QSize size = window.projectManager()->previewVideoSize(2);
    window._setPreviewQuality(2);
    QCOMPARE(QSize(composition.renderWidth(), composition.renderHeight()), size);
    composition.setRenderSize(8, 8, false);
    window._setPreviewQuality(2);
    QCOMPARE(composition.renderWidth(), 8);
    QCOMPARE(window.previewQuality(), 2);
  }

  void actionStates_data()
  {
    QTest::addColumn<bool>("editing");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<bool>("ranging");
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("editText");
    QTest::addColumn<QString>("rangeText");
    QTest::addColumn<bool>("rangeRefreshed"); // the range action once the actions are refreshed
    QTest::newRow("nothing") << false << false << false << false << false << "Edit" << "Enter Range Selection"
                             << true;
    QTest::newRow("selected") << false << true << false << false << true << "Edit" << "Enter Range Selection" << true;
    QTest::newRow("editing") << true << true << false << false << true << "Finish Editing" << "Enter Range Selection"
                             << true;
    QTest::newRow("selected, ranging") << false << true << true << false << false << "Edit" << "Cancel Range Selection"
                                       << true;
    QTest::newRow("editing, text editor") << true << true << false << true << false << "Finish Editing"
                                          << "Enter Range Selection" << false;
  }
  void actionStates()
  {
    QFETCH(bool, editing);
    QFETCH(bool, selected);
    QFETCH(bool, ranging);
    QFETCH(bool, inPlace);
    QFETCH(bool, enabled);
    QFETCH(QString, editText);
    QFETCH(QString, rangeText);
    QFETCH(bool, rangeRefreshed);
    WindowWithBlock w;
    EditScrollArea *area = w.window.editScrollArea();
    if (selected)
      area->setSelectedSegmentWidget(w.block);
    if (editing)
      w.block->setEditingState(true, false);
    QCOMPARE(area->isEditingSegment(), editing);
    area->rangeSelectionMode = ranging;
    if (inPlace)
      w.window._textEditWidget = new TextEditWidget(&w.window);

    QAction *edit = w.window.actions().editSegment;
    edit->setEnabled(!enabled);
    emit w.window.segmentEditingStateChanged();
    QTRY_COMPARE(edit->isEnabled(), enabled);
    const MainWindowActions &a = w.window.actions();
    for (QAction *action : {a.addTransition, a.duplicateSegment, a.removeSegment, a.splitSegment, a.editTransition})
      QVERIFY2(action->isEnabled() == enabled, qPrintable(action->text()));
    QCOMPARE(edit->text(), editText);
    QCOMPARE(a.editTransition->text(), QStringLiteral("Edit Transitions"));
    QCOMPARE(a.rangeSelect->text(), rangeText);
    // The editing state's own handler holds range selection back while a block is edited; the
    // refresh of the actions offers it whenever nothing is edited in place.
    QCOMPARE(a.rangeSelect->isEnabled(), !editing);
    w.window._updateActions();
    QCOMPARE(a.rangeSelect->isEnabled(), rangeRefreshed);
  }

  void segmentActionsWaitWhileTransitionsAreEdited()
  {
    WindowWithBlock w;
    w.window.editScrollArea()->setSelectedSegmentWidget(w.block);
    w.window._transitionToolBar = toolBar(&w.window, 10101, 10115);
    emit w.window.transitionEditingStateChanged();
    const MainWindowActions &a = w.window.actions();
    // The selection already enabled it; the text follows the queued state change.
    QTRY_COMPARE(a.editTransition->text(), QStringLiteral("Finish Editing Transitions"));
    QVERIFY(a.editTransition->isEnabled());
    QVERIFY(!a.duplicateSegment->isEnabled());
    QVERIFY(!a.splitSegment->isEnabled());
    QVERIFY(a.addTransition->isEnabled());
  }

  void playIconStaysDuringTextEditing()
  {
    TestEditorWindow window;
    QPushButton *play = window.form().playPauseButton;
    window._playing = true;
    window.updatePlayPauseIcon();
    QVERIFY(showsIcon(play, ":/images/navi_pause"));
    window._textEditWidget = new TextEditWidget(&window);
    window._playing = false;
    window.updatePlayPauseIcon();
    QVERIFY(showsIcon(play, ":/images/navi_pause"));
    delete window._textEditWidget;
    window._textEditWidget = nullptr;
    window.updatePlayPauseIcon();
    QVERIFY(showsIcon(play, ":/images/navi_play"));
  }

  void insertOverwriteButton_data()
  {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QString>("tip");
    QTest::newRow("insert") << 0 << ":/images/segment_insert" << "Toggle Insert/Overwrite Mode\nCurrent: Insert mode";
    QTest::newRow("overwrite") << 1 << ":/images/segment_overwrite"
                               << "Toggle Insert/Overwrite Mode\nCurrent: Overwrite mode";
  }
  void insertOverwriteButton()
  {
    QFETCH(int, mode);
    QFETCH(QString, icon);
    QFETCH(QString, tip);
    TestEditorWindow window;
    window.projectManager()->setSegmentMode(mode);
    window._updateInsertOverwriteButton();
    TooltipButton *button = window.form().segmentModeButton;
    QCOMPARE(button->normalIcon(), icon);
    QCOMPARE(button->selectedIcon(), icon + "_hl");
    QCOMPARE(button->toolTip(), tip);
    // The edit area asks the mode inside its own signal.
    bool overwrite = !mode;
    emit window.editScrollArea()->editScrollAreaGetSegmentOverwriteMode(overwrite);
    QCOMPARE(overwrite, mode == 1);
  }

  void segmentTools_data()
  {
    QTest::addColumn<bool>("overlay");
    QTest::addColumn<float>("time");
    QTest::addColumn<QList<int>>("enabled");
    const QList<int> overlayIds = range(10003, 10009) + QList<int>{10024, 10025};
    const QList<int> rangeIds = range(10012, 10017) + QList<int>{10019, 10021, 10022, 10023, 10026, 10027, 10028};
    // 10018 (volume) of a picture follows "before the first transition", which holds inside it.
    QTest::newRow("overlay, inside") << true << 3.0f << overlayIds + rangeIds + QList<int>{10018};
    QTest::newRow("no overlay, inside") << false << 3.0f << rangeIds + QList<int>{10018};
    QTest::newRow("overlay, at the end") << true << 6.0f << overlayIds;
    QTest::newRow("no overlay, before") << false << 1.0f << QList<int>();
  }
  void segmentTools()
  {
    QFETCH(bool, overlay);
    QFETCH(float, time);
    QFETCH(QList<int>, enabled);
    WindowWithBlock w;
    w.window.editScrollArea()->setSelectedSegmentWidget(w.block);
    w.window.overlay = overlay;
    w.segment->setFlippedHorizontally(true);
    ScrollableToolBar *bar = toolBar(&w.window, 10001, 10028);
    w.window._segmentToolBar = bar;
    w.window.updateToolsAtTime(time);
    QList<int> expected = enabled + QList<int>{10001, 10002, 10010, 10011, 10020};
    std::sort(expected.begin(), expected.end());
    QCOMPARE(enabledIds(bar, 10001, 10028), expected);
    QCOMPARE(bar->button(10008)->isSelected(), overlay);
    QVERIFY(!bar->button(10009)->isSelected());
  }

  void transitionTools_data()
  {
    QTest::addColumn<bool>("chosen");
    QTest::addColumn<int>("edited");
    QTest::addColumn<int>("easing");
    QTest::addColumn<QList<int>>("enabled");
    QTest::addColumn<QString>("icon");
    const QList<int> untouched{10101, 10111};
    QTest::newRow("no transition") << false << 0 << 9 << untouched << QString();
    QTest::newRow("chosen, no end edited") << true << -1 << 9 << untouched + QList<int>{10102, 10103, 10113}
                                           << ":/images/easing/easing_out_back";
    QTest::newRow("chosen, begin edited") << true << 0 << 1 << range(10101, 10115) << ":/images/easing/easing_linear";
    QTest::newRow("unknown easing") << true << 1 << 17 << range(10101, 10115) << QString();
  }
  void transitionTools()
  {
    QFETCH(bool, chosen);
    QFETCH(int, edited);
    QFETCH(int, easing);
    QFETCH(QList<int>, enabled);
    QFETCH(QString, icon);
    WindowWithBlock w;
    w.window.editScrollArea()->setSelectedSegmentWidget(w.block);
    const int id = w.segment->insertTransition(1.0f, 2.0f);
    QVERIFY(id > 0);
    w.segment->setTransitionEasingFunction(id, easing);
    w.block->setTransitionId(chosen ? id : 0);
    w.window._editedTransitionEnd = edited;
    ScrollableToolBar *bar = toolBar(&w.window, 10101, 10115);
    bar->button(10113)->setNormalIcon(QStringLiteral("stale"));
    w.window._transitionToolBar = bar;
    w.window.updateTransitionTools();
    QList<int> expected = enabled;
    std::sort(expected.begin(), expected.end());
    QCOMPARE(enabledIds(bar, 10101, 10115), expected);
    if (chosen) {
      QCOMPARE(bar->button(10113)->normalIcon(), icon);
      QCOMPARE(bar->button(10113)->selectedIcon(), icon.isEmpty() ? QString() : icon + "2");
    }
  }

  void progressDisplays()
  {
    TestEditorWindow window;
    window.resize(800, 600);
    window.showProgressHUD(QStringLiteral("Exporting"), 0.25f);
    window.showProgressHUD(QStringLiteral("Exporting more"), 0.5f);
    QCOMPARE(window.findChildren<ProgressHUD *>().size(), 1);
    ProgressHUD *hud = window.progressHUD();
    QCOMPARE(hud->geometry(), QRect(0, 0, 800, 600));
    QCOMPARE(hud->textLabel()->text(), QStringLiteral("Exporting more"));
    const int value = hud->progressBar()->value();
    window.showWaitingHUD(QStringLiteral("Saving..."));
    QCOMPARE(window.progressHUD(), hud);
    QCOMPARE(hud->style(), int(ProgressHUDStyleProgress));
    QCOMPARE(hud->textLabel()->text(), QStringLiteral("Saving..."));
    QCOMPARE(hud->progressBar()->value(), value);
    window.hideWaitingHUD();
    QVERIFY(!window.progressHUD());
    QVERIFY(window.findChildren<ProgressHUD *>().isEmpty());
    window.showWaitingHUD(QStringLiteral("Opening..."));
    QCOMPARE(window.progressHUD()->style(), int(ProgressHUDStyleSpinner));
  }

  void helpCenterOpensTheHelpWindow()
  {
    Util::setUserHelpHandler(
        [](const QString &address, const QString &title) { NativeWebBrowserWidget::openHelpWindow(address, title); });
    TestEditorWindow window;
    QAction *help = nullptr;
    for (QAction *menu : window.form().menubar->actions())
      if (menu->text() == QLatin1String("Help"))
        help = menu->menu()->actions().value(0);
    QVERIFY(help);
    help->trigger();
    NativeWebBrowserWidget *browser = nullptr;
    QTRY_VERIFY((browser = [] {
      for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *b = qobject_cast<NativeWebBrowserWidget *>(w))
          return b;
      return static_cast<NativeWebBrowserWidget *>(nullptr);
    }()));
    QCOMPARE(browser->size(), QSize(1024, 800));
    QCOMPARE(browser->title(), QStringLiteral("Help Center"));
    delete browser;
    Util::setUserHelpHandler(nullptr);
  }

  void selectionBarLeavesRangeSelection()
  {
    TestEditorWindow window;
    EditScrollArea *area = window.editScrollArea();
    area->rangeSelectionMode = true;
    window.selectionOperationWidget_onCommandClicked(nullptr, 7);
    QVERIFY(area->rangeSelectionMode);
    window.selectionOperationWidget_onCommandClicked(nullptr, 0);
    QVERIFY(!area->rangeSelectionMode);
    QCOMPARE(window.actions().rangeSelect->text(), QStringLiteral("Enter Range Selection"));
  }

private:
  std::unique_ptr<EditorProject> project;
};

TAVO_TEST_MAIN(TestState)
#include "tst_state.moc"
