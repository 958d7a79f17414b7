// What the editor window offers and takes away around the editing: the help tips after
// loading, the add-media popup, the order in which Escape leaves modes, the tool bars'
// remembered offsets, the engine's transition groups after a removal, the delayed removal of
// a block and the in-place editor of the overlay's layer.

#include "editorfixture.h"
#include "editingfixture.h"
#include "mediafixtures.h"
#include "testenv.h"

#include "avcomposition.h"
#include "avengine.h"
#include "avglwidget.h"
#include "avsegment.h"
#include "avtransition.h"
#include "canvaswidget.h"
#include "cropwidget.h"
#include "desktopmainwindowform.h"
#include "editscrollarea.h"
#include "gutterscrollarea.h"
#include "mediapreviewwidget.h"
#include "popupeasingfunctionswidget.h"
#include "popupmainwidget.h"
#include "popupmediatypeselectionwidget.h"
#include "projectmanager.h"
#include "scrollabletoolbar.h"
#include "segment.h"
#include "segmentwidget.h"
#include "textsegment.h"
#include "texteditwidget.h"
#include "tipmanager.h"
#include "tooltipbutton.h"
#include "commonpopuphelptipwidget.h"
#include "transformwidget.h"

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSplitter>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {

bool writeText(const QString &path, const QByteArray &bytes)
{
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Segments by kind: "picture" a 4:3 picture from 0 to 4 s, "text" a text from 0 to 4 s.
bool writeProject(const QString &dir, const QStringList &kinds)
{
  QByteArray xml = "<?xml version=\"1.0\"?>\n<Project>\n";
  if (kinds.contains("picture")) {
    if (!MediaFixtures::writePicture(dir + "/still.png", 320, 240))
      return false;
    xml += "<Segment Type=\"IMAGE\" TrackId=\"3\" RangeStart=\"0\" RangeDuration=\"4\" File=\"still.png\"/>\n";
  }
  if (kinds.contains("text"))
    xml += "<Segment Type=\"TEXT\" TrackId=\"4\" RangeStart=\"0\" RangeDuration=\"4\" Text=\"Hello\"/>\n";
  xml += "</Project>\n";
  return writeText(dir + "/project.xml", xml)
         && writeText(dir + "/properties.xml",
                      "<?xml version=\"1.0\"?>\n<Properties version=\"5.0\" backgroundColor=\"#ff203040\"/>\n");
}

// Counts the removal puffs the edit area shows; each is polished once, when first shown.
struct PuffCounter : QObject
{
  int count = 0;
  bool eventFilter(QObject *, QEvent *event) override
  {
    if (event->type() == QEvent::ChildPolished
        && static_cast<QChildEvent *>(event)->child()->objectName() == QLatin1String("removeAnimation"))
      ++count;
    return false;
  }
};

// Waits out a delay the window runs on its own timers (generous: the machine is shared).
void waitLongerThan(int ms)
{
  QTimer later;
  later.setSingleShot(true);
  QSignalSpy waited(&later, &QTimer::timeout);
  later.start(ms);
  QVERIFY(waited.wait(ms + 10000));
}

} // namespace

// The window with the modes' ends recorded instead of run.
class TipsWindow : public TestEditorWindow
{
public:
  using MainWindow::_editTextOrDrawing;
  using MainWindow::_grabPreviewImage;
  using MainWindow::_mediaPreviewWidget;
  using MainWindow::_removeSegmentWidgetWhenReady;
  using MainWindow::_renumberTransitions;
  using MainWindow::_showMediaExplorerTipWhenIdle;
  using MainWindow::_showMediaTypePopup;
  using MainWindow::_currentPopup;
  using MainWindow::_showEasingPopup;
  using MainWindow::_openPopupAnchorButton;
  using MainWindow::_selectedToolBarCommand;
  using MainWindow::_layoutTextEditWidget;

  TipsWindow() { helpTips = true; }

  QStringList calls;
  bool fullscreen = false;
  bool transitions = false;

  bool _isPreviewFullscreen() const override { return fullscreen; }
  bool isEditingTransitions() override { return transitions; }
  void toggleFullscreen() override { calls << "toggleFullscreen"; }
  void drawingDidEnd() override { calls << "drawingDidEnd"; }
  void endTransitionMode() override { calls << "endTransitionMode"; }
  void _endTextEditing(bool apply) override { calls << QString("endTextEditing %1").arg(apply); }
  void _endDrawing(bool apply) override { calls << QString("endDrawing %1").arg(apply); }
  void _endCropping(bool apply) override { calls << QString("endCropping %1").arg(apply); }
  void _beginTextEditing(Segment *segment) override { calls << "beginTextEditing " + segment->type(); }
  void _beginDrawing(Segment *segment) override { calls << "beginDrawing " + segment->type(); }
};

struct OpenedWindow
{
  EditorProject project;
  std::unique_ptr<TipsWindow> window;

  bool open(const QStringList &kinds)
  {
    if (!project.isValid() || !writeProject(project.directory(), kinds))
      return false;
    window = std::make_unique<TipsWindow>();
    return window->showUntilReady(kinds.size());
  }

  Segment *segment(const QString &type) const
  {
    ProjectManager *manager = window->projectManager();
    for (int i = 0; i < manager->segmentCount(); ++i)
      if (manager->segmentAt(i)->type() == type)
        return manager->segmentAt(i);
    return nullptr;
  }
  Segment *picture() const { return segment("IMAGE"); }
  SegmentWidget *block(Segment *of = nullptr) const
  {
    return static_cast<SegmentWidget *>(window->projectManager()->segmentWidgetOf(of ? of : picture()));
  }
  SegmentWidget *edit(Segment *of) const
  {
    SegmentWidget *editing = block(of);
    window->editScrollArea()->setSelectedSegmentWidget(editing);
    editing->setEditingState(true, false);
    return editing;
  }
};

class TestTips : public QObject
{
  Q_OBJECT

private slots:
  void cleanup()
  {
    // Tips shown by one case must not reach the next; dismissing leaves them on offer.
    TipManager::instance()->dismissTip();
  }

  // An empty project points at the media explorer, unless the window closes or the media
  // area is collapsed by then.
  void mediaExplorerTip_data()
  {
    QTest::addColumn<QString>("condition");
    QTest::newRow("loaded") << "";
    QTest::newRow("closing") << "closing";
    QTest::newRow("media area collapsed") << "collapsed";
    QTest::newRow("media area dragged open again") << "reopened";
  }

  void mediaExplorerTip()
  {
    QFETCH(QString, condition);
    OpenedWindow w;
    QVERIFY(w.open({}));
    TipsWindow &window = *w.window;
    TipManager *tips = TipManager::instance();
    if (condition == "reopened") {
      QTRY_VERIFY_WITH_TIMEOUT(tips->currentTip(), 10000);
      tips->dismissTip();
      window.form().topAreaSplitter->setSizes({400, 600});
      window.onTopAreaSplitterMoved(400, 1);
    } else if (!condition.isEmpty()) {
      tips->dismissTip();
      if (condition == "closing")
        window.autoSaveTimer()->stop();
      else
        window.form().topAreaSplitter->setSizes({0, 1000});
      window._showMediaExplorerTipWhenIdle();
      waitLongerThan(700);
      QVERIFY(!tips->currentTip());
      return;
    }
    QTRY_COMPARE_WITH_TIMEOUT(tips->currentName(), QString("MediaExplorerHelpTip"), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(tips->currentTip(), 10000);
    QCOMPARE(tips->currentTip()->parentWidget(), window.centralWidget());
    window.grab().save(TestEnv::shotPath("editor-tip.png"));
  }

  // A file added at the play head offers the segment tips on its block, over the central
  // widget; not once another block is selected.
  void addedFileOffersSegmentTips_data()
  {
    QTest::addColumn<bool>("selectFirst");
    QTest::newRow("nothing selected") << false;
    QTest::newRow("a block selected") << true;
  }

  void addedFileOffersSegmentTips()
  {
    QFETCH(bool, selectFirst);
    OpenedWindow w;
    QVERIFY(w.open({}));
    TipsWindow &window = *w.window;
    TipManager *tips = TipManager::instance();
    QTRY_VERIFY_WITH_TIMEOUT(tips->currentTip(), 10000);
    tips->dismissTip();
    const QString still = w.project.directory() + "/added.png";
    QVERIFY(MediaFixtures::writePicture(still, 320, 240));
    window.dialogs.answers << still;
    window.onActionAddFileTriggered();
    QCOMPARE(window.projectManager()->segmentCount(), 1);
    SegmentWidget *added = w.block(window.projectManager()->segmentAt(0));
    if (selectFirst) {
      window.editScrollArea()->setSelectedSegmentWidget(added);
      waitLongerThan(2500);
      QVERIFY(!tips->currentTip());
      return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(tips->currentTip(), 10000);
    QCOMPARE(tips->currentName(), QString("SegmentOperationDoubleTapTip"));
    QCOMPARE(tips->currentTip()->parentWidget(), window.centralWidget());
  }

  // Each segment tip is offered until it was once shown; rows run in order, each finishing
  // one more tip.
  void segmentTipsOnceEver_data()
  {
    QTest::addColumn<QStringList>("finished");
    QTest::addColumn<QString>("offered");
    QTest::newRow("first time") << QStringList() << "SegmentOperationDoubleTapTip";
    QTest::newRow("double tap seen") << QStringList{"SegmentOperationDoubleTapTip"}
                                     << "SegmentOperationPressAndDragTip";
    QTest::newRow("both seen") << QStringList{"SegmentOperationDoubleTapTip", "SegmentOperationPressAndDragTip"}
                               << "";
  }

  void segmentTipsOnceEver()
  {
    QFETCH(QStringList, finished);
    QFETCH(QString, offered);
    TipManager *tips = TipManager::instance();
    for (const QString &name : finished)
      tips->finishTip(name);
    OpenedWindow w;
    QVERIFY(w.open({"picture"}));
    if (offered.isEmpty()) {
      waitLongerThan(2000);
      QVERIFY(tips->currentName().isEmpty());
      QVERIFY(!tips->currentTip());
      return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(tips->currentTip(), 15000);
    QCOMPARE(tips->currentName(), offered);
    // The balloon sits above the first block.
    const QRect balloon = tips->currentTip()->panel()->geometry();
    const QRect block(w.block()->mapTo(w.window->centralWidget(), QPoint(0, 0)), w.block()->size());
    QVERIFY(balloon.bottom() <= block.top() + 1);
  }

  void mediaTypePopupTitle_data()
  {
    QTest::addColumn<int>("restriction");
    QTest::addColumn<QString>("title");
    QTest::newRow("any media") << 0 << "Add Media";
    QTest::newRow("video") << 1 << "Add Video";
    QTest::newRow("picture") << 2 << "Add Picture";
    QTest::newRow("music") << 3 << "Add Music";
    QTest::newRow("unknown") << 7 << "";
  }

  void mediaTypePopupTitle()
  {
    QFETCH(int, restriction);
    QFETCH(QString, title);
    OpenedWindow w;
    QVERIFY(w.open({}));
    TipsWindow &window = *w.window;
    TipManager::instance()->dismissTip();
    QWidget *addButton = window.gutter()->findChildren<QAbstractButton *>().value(0);
    QVERIFY(addButton);
    window._showMediaTypePopup(restriction, addButton);
    auto *popup = qobject_cast<PopupMediaTypeSelectionWidget *>(window._currentPopup.data());
    QVERIFY(popup);
    QCOMPARE(popup->parentWidget(), window.centralWidget());
    QCOMPARE(popup->titleLabel()->text(), title);
    if (restriction == 0) {
      QTRY_VERIFY(!popup->graphicsEffect());
      window.grab().save(TestEnv::shotPath("editor-addmedia.png"));
    }
    popup->dismiss();
    QVERIFY(!window._currentPopup);
  }

  // Escape leaves one mode at a time, in a fixed order of precedence: the ends of the in-place
  // modes are recorded, the others show in the window.
  void backOutOrder_data()
  {
    QTest::addColumn<QStringList>("modes");
    QTest::addColumn<QStringList>("ends");
    QTest::addColumn<QString>("left");
    QTest::addColumn<bool>("handled");
    QTest::newRow("full screen first") << QStringList{"fullscreen", "text"} << QStringList{"toggleFullscreen"} << ""
                                       << true;
    QTest::newRow("text before crop") << QStringList{"text", "crop"} << QStringList{"endTextEditing 0"} << "" << true;
    QTest::newRow("drawing before crop") << QStringList{"drawing", "crop"}
                                         << QStringList{"drawingDidEnd", "endDrawing 0"} << "" << true;
    QTest::newRow("crop before media preview") << QStringList{"crop", "preview"} << QStringList{"endCropping 0"}
                                               << "" << true;
    QTest::newRow("media preview before range") << QStringList{"preview", "range"} << QStringList() << "preview"
                                                 << true;
    QTest::newRow("range before the block") << QStringList{"range", "block"} << QStringList() << "range" << true;
    QTest::newRow("transitions") << QStringList{"block", "transitions"} << QStringList{"endTransitionMode"} << ""
                                 << true;
    QTest::newRow("gutter before the block") << QStringList{"block", "gutter"} << QStringList() << "" << true;
    QTest::newRow("editing block") << QStringList{"block"} << QStringList() << "block" << true;
    QTest::newRow("nothing") << QStringList() << QStringList() << "" << false;
  }

  void backOutOrder()
  {
    QFETCH(QStringList, modes);
    QFETCH(QStringList, ends);
    QFETCH(QString, left);
    QFETCH(bool, handled);
    OpenedWindow w;
    QVERIFY(w.open({"picture"}));
    TipsWindow &window = *w.window;
    TipManager::instance()->dismissTip();
    EditScrollArea *area = window.editScrollArea();
    window.fullscreen = modes.contains("fullscreen");
    window.transitions = modes.contains("transitions");
    if (modes.contains("text"))
      window._textEditWidget = new TextEditWidget(window.centralWidget());
    if (modes.contains("drawing"))
      window._canvasWidget = new CanvasWidget(64, 36, window.centralWidget());
    if (modes.contains("crop")) {
      QPixmap picture(40, 30);
      picture.fill(Qt::red);
      window._cropWidget = new CropWidget(QRect(), picture, QRectF(0, 0, 1, 1), true, window.centralWidget());
    }
    if (modes.contains("preview")) {
      window._mediaPreviewWidget = new MediaPreviewWidget(window.centralWidget());
      window._mediaPreviewWidget->show();
      window.previewWidget()->hide();
    }
    if (modes.contains("range")) {
      area->rangeSelectionMode = true;
      area->updateSelectionRange();
    }
    if (modes.contains("block")) {
      area->setSelectedSegmentWidget(w.block());
      w.block()->setEditingState(true, false);
    }
    window.gutter()->setVisible(modes.contains("gutter"));

    QCOMPARE(window.backOut(), handled);
    QCOMPARE(window.calls, ends);
    // The modes below the one left stay as they were.
    QCOMPARE(area->rangeSelectionMode, modes.contains("range") && left != "range");
    if (window._mediaPreviewWidget) {
      QCOMPARE(window._mediaPreviewWidget->isVisible(), left != "preview");
      QCOMPARE(window.previewWidget()->isVisible(), left == "preview");
    }
    if (modes.contains("block"))
      QCOMPARE(w.block()->isEditing(), left != "block");
  }

  // Offsets are kept per bar under "tb" and "tb2"; a missing one scrolls its bar home.
  void toolBarOffsets_data()
  {
    QTest::addColumn<bool>("fromEmptyHash");
    QTest::newRow("saved and restored") << false;
    QTest::newRow("empty hash") << true;
  }

  void toolBarOffsets()
  {
    QFETCH(bool, fromEmptyHash);
    TipsWindow window;
    window.resize(900, 600);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto makeBar = [&] {
      auto *bar = new ScrollableToolBar(window.centralWidget());
      for (int id = 1; id <= 40; ++id)
        bar->addButton(":/images/toolbar/done", ":/images/toolbar/done", QString(), id, true);
      bar->setGeometry(0, 0, 300, 50);
      bar->show();
      return bar;
    };
    window._segmentToolBar = makeBar();
    window._transitionToolBar = makeBar();
    QHash<QString, QVariant> offsets;
    window._segmentToolBar->setScrollPosition(QPoint(120, 0));
    window._transitionToolBar->setScrollPosition(QPoint(80, 0));
    // The desktop window keeps the inspector's offset instead; the bars' own keeping is the base's.
    window.MainWindow::saveToolBarOffsets(offsets);
    QVERIFY(window._segmentToolBar->scrollPosition() != QPoint(0, 0));
    if (fromEmptyHash)
      offsets.clear();
    window._segmentToolBar->setScrollPosition(QPoint(40, 0));
    window._transitionToolBar->setScrollPosition(QPoint(40, 0));
    window.MainWindow::restoreToolBarOffsets(offsets);
    QCOMPARE(window._segmentToolBar->scrollPosition(), fromEmptyHash ? QPoint(0, 0) : QPoint(120, 0));
    QCOMPARE(window._transitionToolBar->scrollPosition(), fromEmptyHash ? QPoint(0, 0) : QPoint(80, 0));
  }

  // After transition 2 of 1-4 went, the engine renames group 3 to 2, then 4 to 3, and the
  // groups keep their own times.
  void transitionRemovalRenumbers()
  {
    OpenedWindow w;
    QVERIFY(w.open({"picture"}));
    TipsWindow &window = *w.window;
    Segment *picture = w.picture();
    for (float at : {0.5f, 1.5f, 2.5f, 3.5f})
      QVERIFY(picture->insertTransition(0.4f, at) >= 1);
    QCOMPARE(picture->transitionCount(), 4);
    window._refreshSegment(picture);
    AVSegment *layer = window._composition->findSegment(picture->id());
    QVERIFY(layer);
    auto startOf = [&](quint32 id) {
      for (TransitionGroup *group : layer->groups())
        if (group->id() == id)
          return group->start();
      return -1.0;
    };
    const double third = startOf(3), fourth = startOf(4);
    QVERIFY(third > 0 && fourth > third);
    picture->removeTransition(2);
    window._engine->removeTransition(picture->id(), 2);
    EngineCallLog log;
    window._renumberTransitions(picture, 2);
    QList<QPair<quint32, int>> renames;
    for (const EngineCallLog::Call &call : log.calls("changeTransitionId"))
      renames << qMakePair(call.groupId, call.propertyId);
    QCOMPARE(renames, (QList<QPair<quint32, int>>{{3, 2}, {4, 3}}));
    QList<quint32> ids;
    for (TransitionGroup *group : layer->groups())
      ids << group->id();
    std::sort(ids.begin(), ids.end());
    QCOMPARE(ids, QList<quint32>({1, 2, 3}));
    QCOMPARE(startOf(2), third);
    QCOMPARE(startOf(3), fourth);
  }

  // A block goes once its segment has loaded, with one removal puff, however often asked.
  void blockRemovedWhenReady_data()
  {
    QTest::addColumn<bool>("loading");
    QTest::addColumn<int>("requests");
    QTest::newRow("ready") << false << 1;
    QTest::newRow("asked twice") << false << 2;
    QTest::newRow("still loading") << true << 1;
  }

  void blockRemovedWhenReady()
  {
    QFETCH(bool, loading);
    QFETCH(int, requests);
    OpenedWindow w;
    QVERIFY(w.open({"picture"}));
    TipsWindow &window = *w.window;
    PuffCounter puffs;
    window.editScrollArea()->installEventFilter(&puffs);
    if (loading)
      w.picture()->setState(SegmentLoading);
    for (int i = 0; i < requests; ++i)
      window._removeSegmentWidgetWhenReady(w.block());
    if (loading) {
      waitLongerThan(300);
      QCOMPARE(puffs.count, 0);
      w.picture()->setState(SegmentReady);
    }
    QTRY_COMPARE_WITH_TIMEOUT(puffs.count, 1, 10000);
    window._removeSegmentWidgetWhenReady(w.block());
    waitLongerThan(300);
    QCOMPARE(puffs.count, 1);
  }

  void grabPreviewImage()
  {
    TipsWindow bare;
    QVERIFY(bare._grabPreviewImage().isNull());
    OpenedWindow w;
    QVERIFY(w.open({"picture"}));
    const QImage frame = w.window->_grabPreviewImage();
    QCOMPARE(frame.size() / frame.devicePixelRatio(), w.window->previewWidget()->size());
  }

  // The text editor covers the text layer on the preview; when its top would lie above the
  // editing area it starts 3 px below the area's top.
  void textEditorPlace_data()
  {
    QTest::addColumn<QPointF>("translation");
    QTest::addColumn<bool>("clipped");
    QTest::newRow("centred") << QPointF(0, 0) << false;
    QTest::newRow("above the area") << QPointF(0, -0.6) << true;
  }

  void textEditorPlace()
  {
    QFETCH(QPointF, translation);
    QFETCH(bool, clipped);
    OpenedWindow w;
    QVERIFY(w.open({"text"}));
    TipsWindow &window = *w.window;
    auto *text = static_cast<TextSegment *>(w.segment("TEXT"));
    text->setUserTranslation(translation);
    w.edit(text);
    window._textEditWidget = new TextEditWidget(window.centralWidget());
    window._layoutTextEditWidget();
    const QSize preview = window.previewWidget()->size();
    const QPoint origin = window.previewWidget()->mapTo(window.centralWidget(), QPoint(0, 0));
    // A text layer is as wide as the preview and half as high.
    const QRect editor = window._textEditWidget->geometry();
    QCOMPARE(editor.size(), QSize(preview.width(), preview.height() / 2));
    QVERIFY(qAbs(editor.center().x() - (origin.x() + preview.width() / 2)) <= 1);
    if (clipped)
      QCOMPARE(editor.y(), 3);
    else
      QVERIFY(qAbs(editor.center().y() - (origin.y() + preview.height() / 2)) <= 1);
    const QSizeF composition(window._composition->width(), window._composition->height());
    const double scale = preview.width() / composition.width();
    QCOMPARE(window._textEditWidget->font().pixelSize(), int(text->scaledFontSize(composition) * scale));
  }

  // The overlay's context menu offers the fitting commands that suit the layer; the chosen one
  // runs once. A right click beside the layer brings no menu.
  void overlayContextMenu_data()
  {
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("transition");
    QTest::addColumn<bool>("onLayer");
    QTest::addColumn<QStringList>("offered");
    const QString aspect = "Maintain aspect ratio", restore = "Restore the default";
    QTest::newRow("picture") << "IMAGE" << false << true
                             << QStringList{aspect, restore, "Fill the screen", "Original Size"};
    QTest::newRow("text") << "TEXT" << false << true << QStringList{aspect, restore, "Edit Text"};
    QTest::newRow("text with a transition") << "TEXT" << true << true << QStringList{aspect, restore};
    QTest::newRow("beside the layer") << "IMAGE" << false << false << QStringList();
  }

  void overlayContextMenu()
  {
    QFETCH(QString, type);
    QFETCH(bool, transition);
    QFETCH(bool, onLayer);
    QFETCH(QStringList, offered);
    OpenedWindow w;
    QVERIFY(w.open({"picture", "text"}));
    TipsWindow &window = *w.window;
    TipManager::instance()->dismissTip();
    Segment *segment = w.segment(type);
    SegmentWidget *block = w.edit(segment);
    if (transition) {
      const int id = segment->insertTransition(1.0f, 2.0f);
      QVERIFY(id >= 1);
      block->setTransitionId(id);
    }
    window._updateTransformOverlayAt(0.5f);
    TransformWidget *overlay = window._transformWidget;
    QVERIFY(overlay);
    const QRect layer = overlay->contentLayerFrame();
    const QPoint at = overlay->mapTo(&window, onLayer ? layer.center() : layer.topLeft() - QPoint(5, 5));
    QSignalSpy restored(window.actions().restoreDefault, &QAction::triggered);
    window.dialogs.answers << "Restore the default";
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, window.mapToGlobal(at));
    QApplication::sendEvent(&window, &event);
    const QStringList kinds = window.dialogs.kinds();
    if (!onLayer) {
      QVERIFY(!kinds.contains("menu"));
      return;
    }
    QCOMPARE(window.dialogs.calls.last().buttons, offered);
    QCOMPARE(restored.count(), 1);
  }

  // The easing chooser opens at its button's top middle, 150 px lower without a transition tool
  // bar to point at, and only for a chosen transition.
  void easingPopupPlace_data()
  {
    QTest::addColumn<bool>("toolBar");
    QTest::addColumn<bool>("chosen");
    QTest::newRow("transition tool bar") << true << true;
    QTest::newRow("no tool bar") << false << true;
    QTest::newRow("no transition chosen") << true << false;
  }

  void easingPopupPlace()
  {
    QFETCH(bool, toolBar);
    QFETCH(bool, chosen);
    OpenedWindow w;
    QVERIFY(w.open({"picture"}));
    TipsWindow &window = *w.window;
    TipManager::instance()->dismissTip();
    QWidget *central = window.centralWidget();
    SegmentWidget *block = w.edit(w.picture());
    if (chosen) {
      const int id = w.picture()->insertTransition(1.0f, 1.0f);
      QVERIFY(id >= 1);
      block->setTransitionId(id);
    }
    auto *button = new QPushButton(QStringLiteral("Easing"), central);
    button->setGeometry(400, 300, 80, 30);
    button->show();
    if (toolBar)
      window._transitionToolBar = new ScrollableToolBar(central);
    window._showEasingPopup(button, 10106);
    auto *popup = qobject_cast<PopupEasingFunctionsWidget *>(window._currentPopup.data());
    QCOMPARE(bool(popup), chosen);
    if (!chosen)
      return;
    auto *reference = new PopupEasingFunctionsWidget(central);
    reference->showPopupWithEasing(central, QPoint(440, toolBar ? 300 : 450), popup->easing(), toolBar);
    QCOMPARE(popup->mainWidget()->geometry(), reference->mainWidget()->geometry());
    popup->dismiss();
    QVERIFY(!window._currentPopup);
  }

  // A window resize brings the open popup back to its button's top middle: a tool-bar
  // button's when the tool bar has it, else the plain button's, 150 px lower for the easing
  // chooser. The tool bars keep the edit area's width.
  void popupFollowsItsButtonOnResize_data()
  {
    QTest::addColumn<bool>("onToolBar");
    QTest::newRow("plain button") << false;
    QTest::newRow("tool-bar button") << true;
  }

  void popupFollowsItsButtonOnResize()
  {
    QFETCH(bool, onToolBar);
    OpenedWindow w;
    QVERIFY(w.open({}));
    TipsWindow &window = *w.window;
    TipManager::instance()->dismissTip();
    QWidget *central = window.centralWidget();
    auto *bar = new ScrollableToolBar(central);
    bar->addButton(":/images/toolbar/done", ":/images/toolbar/done", QString(), 10105, true);
    bar->show();
    window._transitionToolBar = bar;
    auto *plain = new QPushButton(QStringLiteral("Easing"), central);
    plain->setGeometry(300, 200, 80, 30);
    plain->show();
    QWidget *button = onToolBar ? static_cast<QWidget *>(bar->button(10105)) : plain;
    auto *popup = new PopupEasingFunctionsWidget(central);
    popup->showPopupWithEasing(central, QPoint(10, 10), 6, false);
    window._currentPopup = popup;
    window._selectedToolBarCommand = onToolBar ? 10105 : 0;
    window._openPopupAnchorButton = plain;

    plain->move(500, 260);
    window.resize(1100, 760);
    QTRY_COMPARE(bar->width(), central->width());
    const QPoint anchor =
        button->mapTo(central, QPoint(button->width() / 2, 0)) + QPoint(0, onToolBar ? 0 : 150);
    auto *reference = new PopupEasingFunctionsWidget(central);
    reference->showPopupWithEasing(central, anchor, 6, false);
    QCOMPARE(popup->mainWidget()->geometry(), reference->mainWidget()->geometry());
  }

  // "Edit Text" and "Edit Drawing" open the editor that fits the overlay's layer.
  void editTextOrDrawing_data()
  {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("opened");
    QTest::newRow("text") << "TEXT" << "beginTextEditing TEXT";
    QTest::newRow("drawing") << "DRAWING" << "beginDrawing DRAWING";
    QTest::newRow("picture") << "IMAGE" << "";
  }

  void editTextOrDrawing()
  {
    QFETCH(QString, type);
    QFETCH(QString, opened);
    TipsWindow window;
    window._editTextOrDrawing();
    QVERIFY(window.calls.isEmpty());
    TextSegment segment(QStringLiteral("Hi"), 0, 2, nullptr, nullptr);
    segment.setType(type);
    window._transformWidget = new TransformWidget(":/images/transform_dot_normal", ":/images/transform_square_normal",
                                                  ":/images/transform_central_point_normal", Qt::white, 5, &window);
    window._transformWidget->setSegment(&segment);
    window._editTextOrDrawing();
    QCOMPARE(window.calls, opened.isEmpty() ? QStringList() : QStringList{opened});
  }
};

TAVO_TEST_MAIN(TestTips)
#include "tst_tips.moc"
