// The desktop window's side panel, editing modes, full screen, export progress and the slots of
// its control bar, splitters and menus, on a loaded project.

#include "editorfixture.h"
#include "mediafixtures.h"
#include "moviesizegridbutton.h"
#include "testenv.h"

#include "avengine.h"
#include "avglwidget.h"
#include "desktopmainwindowform.h"
#include "editscrollarea.h"
#include "fullscreencontrolwidget.h"
#include "geometryeditingwidgetcontroller.h"
#include "gestures.h"
#include "popupprojectsettingswidget.h"
#include "popupsliderwidget.h"
#include "projectmanager.h"
#include "roundcornereditingwidgetcontroller.h"
#include "scrollabletoolbar.h"
#include "segment.h"
#include "segmenteditingstatebackgroundwidget.h"
#include "segmentinspectorwidget.h"
#include "segmentwidget.h"
#include "taskbarprogress.h"
#include "texteditwidget.h"
#include "tooltipbutton.h"
#include "volumeeditingwidgetcontroller.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSplitter>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

namespace {

// A 10-s movie: two pictures one after the other on one track, 0-4 s and 4-10 s; with
// movieFirst a 4-s clip in place of the first picture.
bool writeProject(const QString &dir, bool movieFirst)
{
  // A row holds one kind of block: two pictures, or two clips.
  if (!movieFirst)
    return MediaFixtures::writePicture(dir + "/still.png", 320, 240) &&
           writeEditorProject(
               dir, "<Segment Type=\"IMAGE\" TrackId=\"3\" RangeStart=\"0\" RangeDuration=\"4\" File=\"still.png\"/>\n"
                    "<Segment Type=\"IMAGE\" TrackId=\"3\" RangeStart=\"4\" RangeDuration=\"6\" File=\"still.png\"/>\n");
  MediaFixtures::VideoParams clip;
  clip.width = 160;
  clip.height = 120;
  clip.frames = 180;
  return MediaFixtures::writeVideo(dir + "/clip.mp4", clip, [](int) { return MediaFixtures::quadrantImage(160, 120); }) &&
         writeEditorProject(dir, "<Segment Type=\"MOVIE\" TrackId=\"3\" RangeStart=\"0\" RangeDuration=\"4\" "
                                 "File=\"clip.mp4\" TrimStart=\"0\" TrimDuration=\"4\"/>\n"
                                 "<Segment Type=\"MOVIE\" TrackId=\"3\" RangeStart=\"4\" RangeDuration=\"6\" "
                                 "File=\"clip.mp4\" TrimStart=\"0\" TrimDuration=\"6\"/>\n");
}

struct LoadedWindow
{
  EditorProject project;
  std::unique_ptr<TestEditorWindow> window;

  bool open(bool movieFirst = false)
  {
    if (!project.isValid() || !writeProject(project.directory(), movieFirst))
      return false;
    window = std::make_unique<TestEditorWindow>();
    return window->showUntilReady(2);
  }

  const DesktopMainWindowForm &form() const { return window->form(); }
  Segment *segment(int index) const { return window->projectManager()->segmentAt(index); }
  SegmentWidget *block(int index) const
  {
    return static_cast<SegmentWidget *>(window->projectManager()->segmentWidgetOf(segment(index)));
  }
  // The first block selected and its tools asked for, as the timeline does.
  SegmentInspectorWidget *inspectFirst() const
  {
    SegmentWidget *first = block(0);
    window->editScrollArea()->setSelectedSegmentWidget(first);
    window->showEditingToolsFor(first, 1.0f);
    return window->segmentInspectorWidget();
  }
  int sidePanelWidth() const { return form().mainSplitter->sizes().value(1); }
};

bool labelShows(QWidget *root, const QString &text)
{
  for (QLabel *label : root->findChildren<QLabel *>())
    if (label->isVisibleTo(root) && label->text() == text)
      return true;
  return false;
}

QMenu *menuNamed(QMenuBar *bar, const QString &title)
{
  for (QAction *menu : bar->actions())
    if (menu->text() == title)
      return menu->menu();
  return nullptr;
}

} // namespace

class TestDesktop : public QObject
{
  Q_OBJECT

private slots:
  void inspectorComesAndGoesInTheSidePanel()
  {
    LoadedWindow w;
    QVERIFY(w.open());
    const DesktopMainWindowForm &f = w.form();
    QVERIFY(!w.window->segmentInspectorWidget());
    QCOMPARE(w.sidePanelWidth(), 0);

    SegmentInspectorWidget *inspector = w.inspectFirst();
    QVERIFY(inspector);
    QCOMPARE(inspector->parentWidget(), f.inspectorAreaWidget);
    QVERIFY(inspector->isVisible());
    QVERIFY(!f.noEditingSegmentTextLabel->isVisible());
    QVERIFY(!f.hideInspectorAreaButton->isVisible());
    QCOMPARE(w.sidePanelWidth(), 300);
    QVERIFY(!f.mainSplitter->isCollapsible(1));
    // The picture's own controllers, not a sound's.
    QVERIFY(inspector->geometryController() && inspector->geometryController()->isVisible());
    QVERIFY(!inspector->volumeController() || !inspector->volumeController()->isVisible());

    w.window->activateWindow();
    w.window->dismissToolPopups();
    QVERIFY(!inspector->isVisible());
    QVERIFY(f.noEditingSegmentTextLabel->isVisible());
    QVERIFY(f.hideInspectorAreaButton->isVisible());
    QVERIFY(f.mainSplitter->isCollapsible(1));
    // The window's focus, whether or not the X server has made the window active yet.
    QTRY_COMPARE(f.editScrollArea->window()->focusWidget(), static_cast<QWidget *>(f.editScrollArea));
    // The panel keeps its width; a second request reuses the same inspector.
    QCOMPARE(w.sidePanelWidth(), 300);
    QCOMPARE(w.inspectFirst(), inspector);
  }

  // The tools follow the time they were asked for, a moment after the inspector shows.
  void toolsFollowTheAskedTime_data()
  {
    QTest::addColumn<float>("time");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("inside the picture") << 1.0f << true;
    QTest::newRow("at its end") << 4.0f << false;
    QTest::newRow("past it") << 6.0f << false;
  }
  void toolsFollowTheAskedTime()
  {
    QFETCH(float, time);
    QFETCH(bool, enabled);
    LoadedWindow w;
    QVERIFY(w.open());
    SegmentWidget *picture = w.block(0);
    w.window->editScrollArea()->setSelectedSegmentWidget(picture);
    w.window->showEditingToolsFor(picture, time);
    RoundCornerEditingWidgetController *corner = w.window->segmentInspectorWidget()->roundCornerController();
    QVERIFY(corner);
    auto anySliderEnabled = [corner] {
      for (QSlider *slider : corner->popup()->findChildren<QSlider *>())
        if (slider->isEnabled())
          return true;
      return false;
    };
    QTRY_COMPARE(anySliderEnabled(), enabled);
  }

  void rememberedPanelWidthOpensIt()
  {
    LoadedWindow w;
    w.project.writeLayout({{"L1_InspectorAreaSize", 420}});
    QVERIFY(w.open());
    w.inspectFirst();
    QCOMPARE(w.sidePanelWidth(), 420);
  }

  void editingModes_data()
  {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("title");
    QTest::newRow("crop") << 0 << "Cropping...";
    QTest::newRow("text") << 1 << "Editing...";
    QTest::newRow("drawing") << 2 << "Drawing...";
  }
  void editingModes()
  {
    QFETCH(int, mode);
    QFETCH(QString, title);
    LoadedWindow w;
    QVERIFY(w.open());
    SegmentInspectorWidget *inspector = w.inspectFirst();
    TestEditorWindow &window = *w.window;
    const DesktopMainWindowForm &f = w.form();
    auto change = [&](bool on) {
      if (mode == 0)
        window.cropModeChanged(on);
      else if (mode == 1)
        window.textEditingModeChanged(on);
      else
        window.drawingModeChanged(on);
    };
    const QList<QPushButton *> held{f.playPauseButton, f.undoButton, f.projectSettingsButton, f.shareButton};
    change(true);
    QCOMPARE(inspector->editingMode(), mode);
    QVERIFY(labelShows(inspector, title));
    for (QPushButton *button : held)
      QVERIFY2(!button->isEnabled(), qPrintable(button->objectName()));
    QVERIFY(f.previousPosButton->isEnabled());
    QVERIFY(f.nextPosButton->isEnabled());
    change(false);
    QCOMPARE(inspector->editingMode(), int(SegmentInspectorWidget::NotEditing));
    for (QPushButton *button : held)
      QVERIFY2(button->isEnabled(), qPrintable(button->objectName()));
  }

  void transitionModeFollowsTheInspector()
  {
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    SegmentInspectorWidget *inspector = w.inspectFirst();
    QVERIFY(!window.isEditingTransitions());
    emit inspector->segmentInspectorWidgetEnterEditTransition(inspector);
    QVERIFY(inspector->isInTransitionMode());
    QVERIFY(window.isEditingTransitions());
    QVERIFY(!inspector->geometryController()->isVisible());
    emit inspector->segmentInspectorWidgetExitEditTransition(inspector);
    QVERIFY(!inspector->isInTransitionMode());
    QVERIFY(!window.isEditingTransitions());
    QVERIFY(inspector->geometryController()->isVisible());
  }

  // The inspector's Duplicate, Split and Remove are the segment commands on the clip being
  // edited, with the play head at 1 s. In transition editing its strip holds only Return, so
  // the window takes the inspector's requests as signals there: Duplicate and Remove act, the
  // split refuses. Remove leaves editing at once: no editing background stays to fade out.
  void inspectorSegmentCommands_data()
  {
    QTest::addColumn<int>("command");
    QTest::addColumn<bool>("transitions");
    QTest::addColumn<QStringList>("spans");
    QTest::newRow("duplicate") << 10010 << false << QStringList{"0-4", "4-8", "8-14"};
    QTest::newRow("split at 1 s") << 10020 << false << QStringList{"0-1", "1-4", "4-10"};
    QTest::newRow("remove") << 10011 << false << QStringList{"0-6"};
    QTest::newRow("duplicate in transition editing") << 10010 << true << QStringList{"0-4", "4-8", "8-14"};
    QTest::newRow("split in transition editing") << 10020 << true << QStringList{"0-4", "4-10"};
    QTest::newRow("remove in transition editing") << 10011 << true << QStringList{"0-6"};
  }

  void inspectorSegmentCommands()
  {
    QFETCH(int, command);
    QFETCH(bool, transitions);
    QFETCH(QStringList, spans);
    LoadedWindow w;
    QVERIFY(w.open(true));
    TestEditorWindow &window = *w.window;
    SegmentInspectorWidget *inspector = w.inspectFirst();
    QPointer<SegmentWidget> clip = w.block(0);
    QWidget *row = clip->parentWidget();
    clip->setEditingState(true, false);
    QCOMPARE(row->findChildren<SegmentEditingStateBackgroundWidget *>().size(), 1);
    window._setPlayheadTime(1.0f, false);
    QTRY_VERIFY(qAbs(window._playheadTime() - 1.0f) < 0.05f);
    ScrollableToolBar *strip = inspector->bottomToolbar();
    if (transitions) {
      QTest::mouseClick(strip->button(10002), Qt::LeftButton);
      QVERIFY(window.isEditingTransitions());
      QVERIFY(!strip->button(command));
      if (command == 10010)
        emit inspector->segmentInspectorWidgetDuplicateSegment(inspector);
      else if (command == 10020)
        emit inspector->segmentInspectorWidgetSplitSegment(inspector);
      else
        emit inspector->segmentInspectorWidgetRemoveSegment(inspector);
    } else {
      QTest::mouseClick(strip->button(command), Qt::LeftButton);
    }
    if (command == 10011) {
      QVERIFY(!clip || !clip->isEditing());
      QCOMPARE(row->findChildren<SegmentEditingStateBackgroundWidget *>().size(), 0);
    }
    // The split runs a moment after the request: a timer started after it fires after that.
    bool deferredRan = false;
    QTimer::singleShot(100, &window, [&deferredRan] { deferredRan = true; });
    QTRY_VERIFY(deferredRan);
    QTRY_COMPARE(segmentSpans(window), spans);
  }

  void easingHints_data()
  {
    QTest::addColumn<int>("easing");
    QTest::addColumn<QString>("hint");
    QTest::newRow("1") << 1 << "Linear";
    QTest::newRow("4") << 4 << "Smooth InOut";
    QTest::newRow("9") << 9 << "Back Out";
    QTest::newRow("15") << 15 << "Bounce Out";
    QTest::newRow("0") << 0 << "";
    QTest::newRow("17") << 17 << "";
  }
  void easingHints()
  {
    QFETCH(int, easing);
    QFETCH(QString, hint);
    LoadedWindow w;
    QVERIFY(w.open());
    Segment *picture = w.segment(0);
    const int id = picture->insertTransition(0.0f, 1.0f);
    QVERIFY(id > 0);
    picture->setTransitionEasingFunction(id, easing);
    QCOMPARE(w.window->_easingHint(picture, id), hint);
    // The inspector asks the same through its signal.
    SegmentInspectorWidget *inspector = w.inspectFirst();
    QString asked = "stale";
    emit inspector->segmentInspectorWidgetGetEasingFunctionHintText(inspector, picture, id, asked);
    QCOMPARE(asked, hint);
    QCOMPARE(w.window->_easingHint(picture, 0), QString());
  }

  void fullScreenMovesThePreview()
  {
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    const DesktopMainWindowForm &f = w.form();
    window.toggleFullscreen();
    QVERIFY(window.isPreviewFullscreen());
    QVERIFY(window.windowState() & Qt::WindowFullScreen);
    QCOMPARE(f.previewAreaWidget->parentWidget(), f.centralwidget);
    QVERIFY(!f.mainSplitter->isVisible());
    QVERIFY(!f.menubar->isVisible());
    FullscreenControlWidget *strip = window.fullscreenControlWidget();
    QVERIFY(strip);
    QTRY_COMPARE(strip->geometry().bottom() + 1, f.centralwidget->height() - 100);
    QCOMPARE(strip->x(), (f.centralwidget->width() - strip->width()) / 2);

    // Its exit button leaves full screen again.
    QTest::mouseClick(strip->fullscreenButton(), Qt::LeftButton);
    QVERIFY(!window.isPreviewFullscreen());
    QVERIFY(!window.fullscreenControlWidget());
    QVERIFY(window.windowState() & Qt::WindowMaximized);
    QCOMPARE(f.rightAreaVerticalLayout->indexOf(f.previewAreaWidget), 0);
    QCOMPARE(f.rightAreaVerticalLayout->indexOf(f.rightAreaControlWidget), 1);
    QVERIFY(f.mainSplitter->isVisible());
    QVERIFY(f.menubar->isVisible());
  }

  void fullScreenWays_data()
  {
    QTest::addColumn<QString>("way");
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<bool>("entered");
    QTest::newRow("button") << "button" << false << true;
    QTest::newRow("double click on the preview") << "double click" << false << true;
    QTest::newRow("View menu") << "menu" << false << true;
    QTest::newRow("button while editing text") << "button" << true << false;
  }
  void fullScreenWays()
  {
    QFETCH(QString, way);
    QFETCH(bool, inPlace);
    QFETCH(bool, entered);
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    if (inPlace)
      window._textEditWidget = new TextEditWidget(&window);
    if (way == "button") {
      QTest::mouseClick(w.form().fullscreenButton, Qt::LeftButton);
    } else if (way == "menu") {
      window.actions().fullscreen->trigger();
    } else {
      Gestures::doubleClick(window.previewWidget(), window.previewWidget()->rect().center());
    }
    QCOMPARE(window.isPreviewFullscreen(), entered);
    if (inPlace) {
      delete window._textEditWidget;
      window._textEditWidget = nullptr;
    }
  }

  void leavingFullScreenComesFirst_data()
  {
    QTest::addColumn<bool>("escape");
    QTest::newRow("escape") << true;
    QTest::newRow("close request") << false;
  }
  void leavingFullScreenComesFirst()
  {
    QFETCH(bool, escape);
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    w.inspectFirst();
    window.toggleFullscreen();
    QVERIFY(window.isPreviewFullscreen());
    if (escape)
      QTest::keyClick(&window, Qt::Key_Escape);
    else
      window.close();
    QVERIFY(!window.isPreviewFullscreen());
    QVERIFY(window.isVisible());
    // The side panel stays open: only full screen was left.
    QCOMPARE(w.sidePanelWidth(), 300);
  }

  void escapeClosesTheOpenSidePanel()
  {
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    window.segmentInspectorAction()->trigger();
    QCOMPARE(w.sidePanelWidth(), 300);
    QTest::keyClick(&window, Qt::Key_Escape);
    QCOMPARE(w.sidePanelWidth(), 0);
    QVERIFY(window.isVisible());
  }

  void fullScreenStripAsksTheWindow()
  {
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    window.toggleFullscreen();
    FullscreenControlWidget *strip = window.fullscreenControlWidget();
    QVERIFY(strip);
    emit strip->seekToPosition(50);
    QTRY_COMPARE(window._engine->currentTime(), 5.0f);

    bool played = true;
    emit strip->pauseIfPlaying(played);
    QVERIFY(!played);
    emit strip->needToPlay();
    QTRY_VERIFY_WITH_TIMEOUT(window.isPlaying(), 5000);
    emit strip->pauseIfPlaying(played);
    QVERIFY(played);
    QTRY_VERIFY_WITH_TIMEOUT(!window.isPlaying(), 5000);
  }

  void exportProgressOnTheLauncher()
  {
    TestEditorWindow window;
    window.exportProgressBegan();
    TaskbarProgress *progress = window.taskbarProgress();
    QVERIFY(progress);
    QVERIFY(progress->isVisible());
    QCOMPARE(progress->value(), 0);
    window.exportProgressChanged(0.5f);
    QCOMPARE(progress->value(), 50);
    window.exportProgressChanged(0.999f);
    QCOMPARE(progress->value(), 99);
    window.exportProgressEnded();
    QVERIFY(!window.taskbarProgress());
    // A late report after the end shows nothing.
    window.exportProgressChanged(0.75f);
    QVERIFY(!window.taskbarProgress());
  }

  void playButtonPlaysAndPauses()
  {
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    QTest::mouseClick(w.form().playPauseButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(window.isPlaying(), 5000);
    QTest::mouseClick(w.form().playPauseButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!window.isPlaying(), 5000);
  }

  void positionButtonsJump()
  {
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    window._scrollTimelineToTime(1.0f, false);
    QTest::mouseClick(w.form().nextPosButton, Qt::LeftButton);
    QTRY_COMPARE(window._engine->currentTime(), 4.0f);
    QTRY_COMPARE(qRound(window._playheadTime() * 10), 40);
    // A press while the timeline still scrolls is ignored.
    QTRY_VERIFY(!window._scrollAnimating);
    QTest::mouseClick(w.form().previousPosButton, Qt::LeftButton);
    QTRY_COMPARE(window._engine->currentTime(), 0.0f);
  }

  void previewScaleMenu()
  {
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    QWidget *playback = w.form().playbackWidget;
    const QRect before = playback->geometry();
    window.dialogs.answers << "75%";
    QTest::mouseClick(w.form().previewScaleButton, Qt::LeftButton);
    QCOMPARE(window.dialogs.calls.last().title, QString("Preview Scale"));
    QCOMPARE(window.dialogs.calls.last().buttons, (QStringList{"", "100%", "75%", "50%", "25%"}));
    QCOMPARE(w.form().previewScaleButton->text(), QString("75%"));
    QCOMPARE(window.previewScale(), 0.75f);
    const QRect after = playback->geometry();
    QVERIFY2(qAbs(after.width() - before.width() * 0.75) <= 2, qPrintable(QString::number(after.width())));
    QVERIFY(qAbs(after.center().x() - before.center().x()) <= 1);
    QVERIFY(qAbs(after.center().y() - before.center().y()) <= 1);
  }

  void previewResolutionMenuIsSaved()
  {
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    window.dialogs.answers << "1080p";
    QTest::mouseClick(w.form().previewQualityButton, Qt::LeftButton);
    QCOMPARE(window.dialogs.calls.last().title, QString("Preview Resolution"));
    QCOMPARE(w.form().previewQualityButton->text(), QString("1080p"));
    QCOMPARE(window.previewQuality(), 3);
    // A dismissed menu changes nothing.
    QTest::mouseClick(w.form().previewQualityButton, Qt::LeftButton);
    QCOMPARE(window.previewQuality(), 3);

    window.saveLayout();
    QFile layout(ProjectManager::layoutFilePath(QStringLiteral("Trip"), QString()));
    QVERIFY(layout.open(QIODevice::ReadOnly));
    const QByteArray text = layout.readAll();
    for (const char *key : {"L1_InspectorAreaSize", "L1_MediaAreaSize", "L1_MediaAreaHidden", "L1_PreviewAreaSize"})
      QVERIFY2(text.contains(key), key);
    QVERIFY2(text.contains("PreviewQuality=\"3\""), text.constData());
  }

  void mediaAreaDraggedClosedKeepsItsWidth()
  {
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    QSplitter *splitter = w.form().topAreaSplitter;
    QWidget *handle = splitter->handle(1);
    const QPoint grip = handle->rect().center();
    Gestures::drag(handle, grip, grip + QPoint(40, 0), 2);
    const int width = splitter->sizes().value(0);
    QVERIFY(width >= 350);
    QCOMPARE(window.mediaAreaWidth(), width);
    // One move straight past the minimum: the width before it is the last one seen.
    Gestures::drag(handle, grip, grip - QPoint(width + 50, 0), 1);
    QTRY_COMPARE(splitter->sizes().value(0), 0);
    QVERIFY(window.isMediaAreaHidden());
    QCOMPARE(window.mediaAreaWidth(), width);

    QMenu *view = menuNamed(w.form().menubar, "View");
    QVERIFY(view);
    emit view->aboutToShow();
    QVERIFY(!window.mediaExplorerAction()->isChecked());
    QVERIFY(!window.segmentInspectorAction()->isChecked());
    window.mediaExplorerAction()->trigger();
    QCOMPARE(splitter->sizes().value(0), width);
    QVERIFY(window.mediaExplorerAction()->isChecked());
    QVERIFY(w.form().mediaAreaWidget->isVisible());
  }

  void sidePanelToggles()
  {
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    const DesktopMainWindowForm &f = w.form();
    QMenu *view = menuNamed(f.menubar, "View");
    window.segmentInspectorAction()->trigger();
    QCOMPARE(w.sidePanelWidth(), 300);
    emit view->aboutToShow();
    QVERIFY(window.segmentInspectorAction()->isChecked());
    QVERIFY(window.mediaExplorerAction()->isChecked());
    QTest::mouseClick(f.hideInspectorAreaButton, Qt::LeftButton);
    QCOMPARE(w.sidePanelWidth(), 0);

    // While the inspector shows, the View menu leaves the panel open.
    w.inspectFirst();
    window.segmentInspectorAction()->trigger();
    QCOMPARE(w.sidePanelWidth(), 300);
    window.dismissToolPopups();
    window.segmentInspectorAction()->trigger();
    QCOMPARE(w.sidePanelWidth(), 0);
  }

  // The Transition menu's first item carries the presets that fit the selected block now.
  void transitionMenuOffersPresetsForTheSelection()
  {
    LoadedWindow w;
    QVERIFY(w.open());
    QMenu *menu = menuNamed(w.window->menuBar(), "Transition");
    QVERIFY(menu);
    QAction *add = w.window->actions().addTransition;
    emit menu->aboutToShow();
    QVERIFY(!add->menu());

    w.window->editScrollArea()->setSelectedSegmentWidget(w.block(0));
    emit menu->aboutToShow();
    QCOMPARE(menu->actions().indexOf(add), 0);
    QVERIFY(add->menu());
    QStringList texts;
    for (QAction *choice : add->menu()->actions())
      texts << choice->text();
    QCOMPARE(texts.value(0), QString("Custom Transition"));
    QVERIFY(texts.contains("Fade In && Fade Out"));
    add->menu()->actions().at(texts.indexOf("Fade In"))->trigger();
    QCOMPARE(w.segment(0)->transitionCount(), 1);
    // With its start taken, the next opening offers no entry that comes in.
    emit menu->aboutToShow();
    QTRY_VERIFY(add->menu());
    for (QAction *choice : add->menu()->actions())
      QVERIFY2(!choice->text().contains(" In"), qPrintable(choice->text()));
  }

  void settingsButtonShowsOnePopup()
  {
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    window.projectManager()->setResolution(2);
    QTest::mouseClick(w.form().projectSettingsButton, Qt::LeftButton);
    PopupProjectSettingsWidget *popup = window.projectSettingsPopup();
    QVERIFY(popup);
    QTRY_VERIFY(popup->isVisible());
    QCOMPARE(popup->resolution(), 2);
    QTest::mouseClick(w.form().projectSettingsButton, Qt::LeftButton);
    QCOMPARE(window.findChildren<PopupProjectSettingsWidget *>().size(), 1);
    popup->dismiss();
    QTRY_VERIFY(!window.projectSettingsPopup());
  }

  // A choice in the settings popup reaches the project at once; Done closes the popup.
  void settingsPopupChangesTheProject()
  {
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    QTest::mouseClick(w.form().projectSettingsButton, Qt::LeftButton);
    PopupProjectSettingsWidget *popup = window.projectSettingsPopup();
    QVERIFY(popup);
    const int before = window.projectManager()->resolution();
    MovieSizeGridButton *other = nullptr;
    for (MovieSizeGridButton *button : popup->findChildren<MovieSizeGridButton *>()) {
      button->click();
      if (popup->resolution() != before) {
        other = button;
        break;
      }
    }
    QVERIFY(other);
    QCOMPARE(window.projectManager()->resolution(), popup->resolution());
    QVERIFY(window.projectManager()->isModified());
    popup->doneButtonOnClicked();
    QTRY_VERIFY(!window.projectSettingsPopup());
    // Closed, it is no longer the window's popup: the menu action opens it again.
    window.actions().movieSettings->trigger();
    QVERIFY(window.projectSettingsPopup());
  }

  void mediaPreviewStripTakesTheControlBarsPlace()
  {
    LoadedWindow w;
    QVERIFY(w.open());
    TestEditorWindow &window = *w.window;
    const DesktopMainWindowForm &f = w.form();
    QVBoxLayout *column = f.rightAreaVerticalLayout;
    auto strip = std::make_unique<QWidget>();
    auto other = std::make_unique<QWidget>();
    window.placeExternalControlWidget(strip.get());
    QVERIFY(!f.rightAreaControlWidget->isVisible());
    QCOMPARE(column->indexOf(strip.get()), column->count() - 1);
    QCOMPARE(strip->minimumHeight(), 44);
    QCOMPARE(strip->maximumHeight(), 44);
    // Only one strip at a time stands in for the bar.
    window.placeExternalControlWidget(other.get());
    QCOMPARE(column->indexOf(other.get()), -1);
    window.removeExternalControlWidget(strip.get());
    QVERIFY(f.rightAreaControlWidget->isVisible());
    QCOMPARE(column->indexOf(strip.get()), -1);
    strip->setParent(nullptr);
  }

  void keysInTheInspectorReachTheTimeline()
  {
    LoadedWindow w;
    QVERIFY(w.open());
    SegmentInspectorWidget *inspector = w.inspectFirst();
    QSignalSpy deleted(w.window->editScrollArea(), &EditScrollArea::editScrollAreaDeleteKeyPressed);
    QTest::keyClick(inspector, Qt::Key_Delete);
    QCOMPARE(deleted.count(), 1);
  }
};

TAVO_TEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
