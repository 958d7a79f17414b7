// The inspector panel: which controllers a segment of each type gets and in which order,
// the content height, the tool strips, the popup announcements, transition mode and the
// editing state.

#include "bordereditingwidgetcontroller.h"
#include "chromakeyeditingwidgetcontroller.h"
#include "colorseditingwidgetcontroller.h"
#include "donebuttoneditingwidget.h"
#include "donebuttoneditingwidgetcontroller.h"
#include "editbuttoneditingwidget.h"
#include "editbuttoneditingwidgetcontroller.h"
#include "geometryeditingwidget.h"
#include "geometryeditingwidgetcontroller.h"
#include "popupchromakeywidget.h"
#include "popupcolorsscrollwidget.h"
#include "popupslidercolor1switch2sliderswidget.h"
#include "popupslidercolor2sliderswidget.h"
#include "popupslidercolorshadowwidget.h"
#include "popupslidercolorwidget.h"
#include "popupsliderwidget.h"
#include "roundcornereditingwidgetcontroller.h"
#include "scrollabletoolbar.h"
#include "segmentedcontrol.h"
#include "segmentinspectorwidget.h"
#include "segmentmaker.h"
#include "segmentwidget.h"
#include "selfdraweditingwidgetcontroller.h"
#include "shadoweditingwidgetcontroller.h"
#include "speededitingwidgetcontroller.h"
#include "strokebordereditingwidgetcontroller.h"
#include "testenv.h"
#include "textalignmenteditingwidget.h"
#include "textalignmenteditingwidgetcontroller.h"
#include "textbackeditingwidgetcontroller.h"
#include "textfonteditingwidget.h"
#include "textfonteditingwidgetcontroller.h"
#include "textsizeeditingwidgetcontroller.h"
#include "tooltipbutton.h"
#include "transitionseditingwidget.h"
#include "transitionseditingwidgetcontroller.h"
#include "transparencyeditingwidgetcontroller.h"
#include "videoutilitieseditingwidget.h"
#include "videoutilitieseditingwidgetcontroller.h"
#include "volumeeditingwidgetcontroller.h"
#include "inspectorhost.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QSize canvas(1280, 720);

struct Panel
{
  SegmentInspectorWidget widget;
  Panel()
  {
    widget.resize(295, 900);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
  }

  // Each controller the panel made, by the name a user would give its block.
  QList<QPair<QString, CommonEditingWidgetController *>> named() const
  {
    const SegmentInspectorWidget &w = widget;
    QList<QPair<QString, CommonEditingWidgetController *>> all = {
      {"Done", w.doneController()},
      {"Edit", w.editController()},
      {"Text size", w.textSizeController()},
      {"Font", w.textFontController()},
      {"Alignment", w.textAlignmentController()},
      {"Geometry", w.geometryController()},
      {"Transparency", w.transparencyController()},
      {"Volume", w.volumeController()},
      {"Speed", w.speedController()},
      {"Border", w.borderController()},
      {"Stroke border", w.strokeBorderController()},
      {"Text back", w.textBackController()},
      {"Round corner", w.roundCornerController()},
      {"Shadow", w.shadowController()},
      {"Colors", w.colorsController()},
      {"Chroma key", w.chromaKeyController()},
      {"Video utilities", w.videoUtilitiesController()},
      {"Transitions", w.transitionsController()},
      {"T Geometry", w.transitionGeometryController()},
      {"T Transparency", w.transitionTransparencyController()},
      {"T Volume", w.transitionVolumeController()},
      {"T Colors", w.transitionColorsController()},
      {"Self draw", w.selfDrawController()},
    };
    QList<QPair<QString, CommonEditingWidgetController *>> made;
    for (const auto &p : all)
      if (p.second)
        made << p;
    return made;
  }

  QString nameOf(const CommonEditingWidgetController *controller) const
  {
    for (const auto &p : named())
      if (p.second == controller)
        return p.first;
    return "?";
  }

  // The shown controllers in layout order.
  QStringList shown() const
  {
    QStringList names;
    QVBoxLayout *layout = widget.scrollAreaVerticalLayout();
    for (int i = 0; i < layout->count(); ++i)
      for (const auto &p : named())
        if (layout->itemAt(i)->widget() == p.second->editingWidget() && p.second->isVisible())
          names << p.first;
    return names;
  }

  int expectedHeight() const
  {
    int total = 0;
    for (const auto &p : named())
      if (p.second->isVisible())
        total += p.second->editingWidget()->height() + 1;
    return total;
  }

  QList<int> toolCommands() const
  {
    QList<int> ids;
    for (int id : {10001, 10002, 10010, 10011, 10020, 10101})
      if (widget.bottomToolbar()->button(id))
        ids << id;
    return ids;
  }
};

// Every controller's widget is in the layout in the order of the keys, each followed by its
// separator.
void verifyLayoutOrder(const Panel &panel)
{
  const QList<CommonEditingWidgetController *> &sorted = panel.widget.sortedControllers();
  QCOMPARE(sorted.size(), panel.named().size());
  QVBoxLayout *layout = panel.widget.scrollAreaVerticalLayout();
  QCOMPARE(layout->count(), 2 * sorted.size());
  for (int i = 0; i < sorted.size(); ++i) {
    if (i > 0)
      QVERIFY2(sorted.at(i - 1)->orderKey() <= sorted.at(i)->orderKey(), qPrintable(panel.nameOf(sorted.at(i))));
    QCOMPARE(layout->itemAt(2 * i)->widget(), sorted.at(i)->editingWidget());
    QCOMPARE(layout->itemAt(2 * i + 1)->widget(), sorted.at(i)->separator());
  }
}

std::unique_ptr<Segment> segmentWithTransitions(const QString &type, int count)
{
  auto segment = makeSegment(type);
  segment->setRangeDuration(12);
  for (int i = 0; i < count; ++i)
    segment->insertTransition(1, 1 + 3 * i);
  return segment;
}

} // namespace

class TestSegmentInspector : public QObject
{
  Q_OBJECT
private slots:
  void initTestCase() { qRegisterMetaType<QPushButton *>(); }
  void controllersPerType_data();
  void controllersPerType();
  void layoutFollowsTheKeys_data();
  void layoutFollowsTheKeys();
  void toolStrip();
  void popupsAnnouncedOnceBeforeUse();
  void controllersReportThroughThePanel();
  void transitionMode();
  void transitionOfAnotherKind_data();
  void transitionOfAnotherKind();
  void editingState_data();
  void editingState();
  void editingInTransitionMode();
  void playHeadAndVolume();
  void dismissLeavesTransitionMode();
  void reloadsOnRequest();
  void contentFollowsGrowingColours();
};

void TestSegmentInspector::controllersPerType_data()
{
  QTest::addColumn<QString>("type");
  QTest::addColumn<bool>("sound");
  QTest::addColumn<QStringList>("shown");
  QTest::newRow("music") << "MUSIC" << true << QStringList{"Volume", "Speed", "Transitions"};
  QTest::newRow("voice") << "VOICE" << true << QStringList{"Volume", "Speed", "Transitions"};
  QTest::newRow("image") << "IMAGE" << true
                         << QStringList{"Edit",   "Geometry", "Transparency", "Stroke border", "Round corner",
                                        "Shadow", "Colors",   "Chroma key",   "Transitions"};
  QTest::newRow("text") << "TEXT" << true
                        << QStringList{"Edit",         "Text size", "Font",      "Alignment", "Geometry",   "Transparency",
                                       "Border",       "Text back", "Shadow",    "Colors",    "Chroma key", "Transitions"};
  QTest::newRow("drawing") << "DRAWING" << true
                           << QStringList{"Edit",   "Geometry", "Transparency", "Stroke border", "Round corner",
                                          "Shadow", "Colors",   "Chroma key",   "Transitions"};
  QTest::newRow("movie") << "MOVIE" << true
                         << QStringList{"Geometry",     "Transparency", "Volume", "Speed",      "Stroke border",
                                        "Round corner", "Shadow",       "Colors", "Chroma key", "Video utilities",
                                        "Transitions"};
  QTest::newRow("movie without sound")
    << "MOVIE" << false
    << QStringList{"Geometry", "Transparency", "Speed",      "Stroke border",   "Round corner",
                   "Shadow",   "Colors",       "Chroma key", "Video utilities", "Transitions"};
}

void TestSegmentInspector::controllersPerType()
{
  QFETCH(QString, type);
  QFETCH(bool, sound);
  QFETCH(QStringList, shown);
  Panel panel;
  auto segment = makeSegment(type, sound);
  panel.widget.showSegment(segment.get(), nullptr, canvas);

  QCOMPARE(panel.shown(), shown);
  for (const auto &p : panel.named())
    QCOMPARE(p.second->isActive(), shown.contains(p.first));
  QCOMPARE(panel.widget.scrollAreaWidget()->height(), panel.expectedHeight());
  if (type == "IMAGE")
    QCOMPARE(panel.widget.editController()->form()->editButton()->text(), QString("Change Photo"));
  if (!sound)
    QVERIFY(!panel.widget.volumeController());
}

void TestSegmentInspector::layoutFollowsTheKeys_data()
{
  QTest::addColumn<QStringList>("types");
  QTest::newRow("text, movie, image") << QStringList{"TEXT", "MOVIE", "IMAGE"};
  QTest::newRow("image, movie, text") << QStringList{"IMAGE", "MOVIE", "TEXT"};
  QTest::newRow("music, drawing, text, movie") << QStringList{"MUSIC", "DRAWING", "TEXT", "MOVIE"};
}

void TestSegmentInspector::layoutFollowsTheKeys()
{
  QFETCH(QStringList, types);
  Panel panel;
  std::vector<std::unique_ptr<Segment>> segments;
  for (const QString &type : types) {
    segments.push_back(makeSegment(type));
    panel.widget.showSegment(segments.back().get(), nullptr, canvas);
    verifyLayoutOrder(panel);
    QCOMPARE(panel.widget.scrollAreaWidget()->height(), panel.expectedHeight());
    // What a user sees: each shown block under the one before it.
    QTRY_COMPARE(panel.widget.scrollAreaWidget()->layout()->geometry().height(), panel.expectedHeight());
    int bottom = 0;
    for (CommonEditingWidgetController *c : panel.widget.sortedControllers()) {
      if (!c->isVisible())
        continue;
      QCOMPARE(c->editingWidget()->y(), bottom);
      bottom += c->height();
    }
  }
  // Switching back shows the same blocks again.
  panel.widget.showSegment(segments.front().get(), nullptr, canvas);
  verifyLayoutOrder(panel);
}

void TestSegmentInspector::toolStrip()
{
  Panel panel;
  auto segment = makeSegment("MOVIE");
  panel.widget.showSegment(segment.get(), nullptr, canvas);
  SegmentInspectorWidget &w = panel.widget;
  QCOMPARE(panel.toolCommands(), QList<int>({10001, 10002, 10010, 10011, 10020}));
  // Left to right as a user reads them, with the separator before the transitions.
  QList<TooltipButton *> row = w.bottomToolbar()->rowWidget()->findChildren<TooltipButton *>();
  std::sort(row.begin(), row.end(), [](QWidget *a, QWidget *b) { return a->x() < b->x(); });
  QList<int> order;
  for (TooltipButton *b : row)
    order << b->commandId();
  QCOMPARE(row.size(), 6);
  order.removeAt(4); // the separator
  QCOMPARE(order, QList<int>({10001, 10010, 10020, 10011, 10002}));

  const QList<QPair<int, QSignalSpy *>> spies = {
    {10001, new QSignalSpy(&w, &SegmentInspectorWidget::segmentInspectorWidgetDidFinish)},
    {10010, new QSignalSpy(&w, &SegmentInspectorWidget::segmentInspectorWidgetDuplicateSegment)},
    {10020, new QSignalSpy(&w, &SegmentInspectorWidget::segmentInspectorWidgetSplitSegment)},
    {10011, new QSignalSpy(&w, &SegmentInspectorWidget::segmentInspectorWidgetRemoveSegment)},
    {10002, new QSignalSpy(&w, &SegmentInspectorWidget::segmentInspectorWidgetEnterEditTransition)},
    {10101, new QSignalSpy(&w, &SegmentInspectorWidget::segmentInspectorWidgetExitEditTransition)},
  };
  auto counts = [&spies] {
    QList<int> c;
    for (const auto &s : spies)
      c << s.second->count();
    return c;
  };
  QList<int> expected = {0, 0, 0, 0, 0, 0};
  for (int i = 0; i < 5; ++i) {
    QTest::mouseClick(w.bottomToolbar()->button(spies.at(i).first), Qt::LeftButton);
    expected[i] = 1;
    QCOMPARE(counts(), expected);
    QCOMPARE(spies.at(i).second->first().at(0).value<SegmentInspectorWidget *>(), &w);
  }
  w.onToolBarButtonClicked(w.bottomToolbar(), 10021);
  QCOMPARE(counts(), expected);

  w.enterEditTransitionMode();
  QCOMPARE(panel.toolCommands(), QList<int>({10101}));
  QTest::mouseClick(w.bottomToolbar()->button(10101), Qt::LeftButton);
  expected[5] = 1;
  QCOMPARE(counts(), expected);
  w.exitEditTransitionMode(segment.get());
  QCOMPARE(panel.toolCommands(), QList<int>({10001, 10002, 10010, 10011, 10020}));

  QSignalSpy keys(&w, &SegmentInspectorWidget::segmentInspectorWidgetKeyPressed);
  QTest::keyClick(&w, Qt::Key_Delete);
  QCOMPARE(keys.count(), 1);
  for (const auto &s : spies)
    delete s.second;
}

void TestSegmentInspector::popupsAnnouncedOnceBeforeUse()
{
  Panel panel;
  SegmentInspectorWidget &w = panel.widget;
  // The editor's side: each announced popup with its transition flag, and the popup's value
  // reports from the moment it was announced.
  QList<QPair<QObject *, int>> announced; // popup, transition flag (-1 for none)
  int valueReports = 0;
  auto take = [&](QObject *popup, int transition) {
    announced << qMakePair(popup, transition);
    if (auto *slider = qobject_cast<CommonSliderColorPopup *>(popup))
      QObject::connect(slider, &CommonSliderColorPopup::sliderColorPopupValueChanging, [&] { ++valueReports; });
  };
  using S = SegmentInspectorWidget;
  connect(&w, &S::setConnectionsForTransparencyPopupSliderWidget, [&](PopupSliderWidget *p, bool t) { take(p, t); });
  connect(&w, &S::setConnectionsForVolumePopupSliderWidget, [&](PopupSliderWidget *p, bool t) { take(p, t); });
  connect(&w, &S::setConnectionsForColorsPopupColorsScrollWidget,
          [&](PopupColorsScrollWidget *p, bool t) { take(p, t); });
  connect(&w, &S::setConnectionsForSpeedPopupSliderWidget, [&](PopupSliderWidget *p) { take(p, -1); });
  connect(&w, &S::setConnectionsForBorderPopupSliderColorWidget, [&](PopupSliderColorWidget *p) { take(p, -1); });
  connect(&w, &S::setConnectionsForStrokeBorderPopupSliderColorSwitchWidget,
          [&](PopupSliderColor1Switch2SlidersWidget *p) { take(p, -1); });
  connect(&w, &S::setConnectionsForRoundCornerPopupSliderWidget, [&](PopupSliderWidget *p) { take(p, -1); });
  connect(&w, &S::setConnectionsForShadowPopupSliderColorShadowWidget,
          [&](PopupSliderColorShadowWidget *p) { take(p, -1); });
  connect(&w, &S::setConnectionsForChromaKeyPopupChromaKeyWidget, [&](PopupChromaKeyWidget *p) { take(p, -1); });
  connect(&w, &S::setConnectionsForTextSizePopupSliderColorWidget, [&](PopupSliderColorWidget *p) { take(p, -1); });
  connect(&w, &S::setConnectionsForTextBackPopupSliderColor2SlidersWidget,
          [&](PopupSliderColor2SlidersWidget *p) { take(p, -1); });

  std::vector<std::unique_ptr<Segment>> segments;
  for (const char *type : {"TEXT", "MOVIE", "IMAGE", "DRAWING", "TEXT", "MUSIC"}) {
    segments.push_back(segmentWithTransitions(type, 2));
    w.showSegment(segments.back().get(), nullptr, canvas);
  }
  w.enterEditTransitionMode();
  w.showTransition(segments.at(1).get(), 1, 1);
  w.showTransition(segments.at(1).get(), 2, 0);
  w.exitEditTransitionMode(segments.at(1).get());
  w.enterEditTransitionMode();
  w.showTransition(segments.at(1).get(), 1, 1);

  const QList<QPair<QObject *, int>> expected = {
    {w.textSizeController()->popup(), -1},
    {w.transparencyController()->popup(), 0},
    {w.borderController()->popup(), -1},
    {w.textBackController()->popup(), -1},
    {w.shadowController()->popup(), -1},
    {w.colorsController()->popup(), 0},
    {w.chromaKeyController()->popup(), -1},
    {w.volumeController()->popup(), 0},
    {w.speedController()->popup(), -1},
    {w.strokeBorderController()->popup(), -1},
    {w.roundCornerController()->popup(), -1},
    {w.transitionTransparencyController()->popup(), 1},
    {w.transitionVolumeController()->popup(), 1},
    {w.transitionColorsController()->popup(), 1},
  };
  QCOMPARE(announced, expected);
  QCOMPARE(valueReports, 0);

  // The editor's wiring is in place when the user first moves a value.
  QPushButton *up = w.transitionTransparencyController()->popup()->findChild<QPushButton *>("valueUpButton");
  QVERIFY(up && up->isVisible());
  QTest::mouseClick(up, Qt::LeftButton);
  QTRY_VERIFY(valueReports > 0);
}

void TestSegmentInspector::controllersReportThroughThePanel()
{
  Panel panel;
  SegmentInspectorWidget &w = panel.widget;
  auto text = makeSegment("TEXT");
  static_cast<TextSegment *>(text.get())->setAlignment(1);
  w.showSegment(text.get(), nullptr, canvas);
  using S = SegmentInspectorWidget;
  QSignalSpy font(&w, &S::segmentInspectorWidgetSelectFont);
  QSignalSpy alignment(&w, &S::segmentInspectorWidgetSetTextAlignment);
  QSignalSpy editText(&w, &S::segmentInspectorWidgetEditText);
  QSignalSpy editPicture(&w, &S::segmentInspectorWidgetEditPicture);
  QSignalSpy editDrawing(&w, &S::segmentInspectorWidgetEditDrawing);
  QSignalSpy grab(&w, &S::segmentInspectorWidgetVideoGrabImage);
  QSignalSpy flip(&w, &S::segmentInspectorWidgetFlipHorizontalAction);
  QSignalSpy addTransition(&w, &S::segmentInspectorWidgetAddTransitionOnButton);
  QSignalSpy chosen(&w, &S::segmentInspectorWidgetTransitionSelectionIndexChanged);

  QTest::mouseClick(w.textFontController()->form()->fontNameButton(), Qt::LeftButton);
  QCOMPARE(font.count(), 1);
  SegmentedControl *align = w.textAlignmentController()->form()->textAlignWidget();
  QTest::mouseClick(align, Qt::LeftButton, Qt::NoModifier, QPoint(align->width() * 5 / 6, align->height() / 2));
  QCOMPARE(alignment.count(), 1);
  QCOMPARE(alignment.at(0).at(1).toInt(), 2);
  QTest::mouseClick(w.editController()->form()->editButton(), Qt::LeftButton);
  QCOMPARE(editText.count(), 1);
  QTest::mouseClick(w.geometryController()->form()->hFlipButton(), Qt::LeftButton);
  QCOMPARE(flip.count(), 1);
  QTest::mouseClick(w.transitionsController()->form()->addTransitionButton(), Qt::LeftButton);
  QCOMPARE(addTransition.count(), 1);
  QCOMPARE(addTransition.at(0).at(1).value<QPushButton *>(), w.transitionsController()->form()->addTransitionButton());

  auto image = segmentWithTransitions("IMAGE", 2);
  w.showSegment(image.get(), nullptr, canvas);
  QPushButton *change = w.editController()->form()->editButton();
  QTest::mouseClick(change, Qt::LeftButton);
  QCOMPARE(editPicture.count(), 1);
  QCOMPARE(editPicture.at(0).at(1).value<QWidget *>(), change);
  QTreeWidget *tree = w.transitionsController()->form()->treeWidget();
  QTRY_VERIFY(tree->isVisible());
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier,
                    tree->visualItemRect(tree->topLevelItem(1)).center());
  QCOMPARE(chosen.count(), 1);
  QCOMPARE(chosen.at(0).at(1).toInt(), 1);

  auto drawing = makeSegment("DRAWING");
  w.showSegment(drawing.get(), nullptr, canvas);
  QTest::mouseClick(w.editController()->form()->editButton(), Qt::LeftButton);
  QCOMPARE(editDrawing.count(), 1);

  auto movie = makeSegment("MOVIE");
  w.showSegment(movie.get(), nullptr, canvas);
  ScrollableToolBar *tools = w.videoUtilitiesController()->form()->toolbar();
  QTest::mouseClick(tools->button(10021), Qt::LeftButton);
  QCOMPARE(grab.count(), 1);
  QCOMPARE(editText.count() + editPicture.count() + editDrawing.count(), 3);
}

void TestSegmentInspector::transitionMode()
{
  Panel panel;
  SegmentInspectorWidget &w = panel.widget;
  auto movie = segmentWithTransitions("MOVIE", 3);
  movie->setTransitionUserTransparency(2, true, 0.25f);
  movie->setTransitionUserTransparency(3, true, 0.75f);
  w.showSegment(movie.get(), nullptr, canvas);
  QSignalSpy asked(&w, &SegmentInspectorWidget::segmentInspectorWidgetGetEasingFunctionHintText);

  w.enterEditTransitionMode();
  QVERIFY(w.isInTransitionMode());
  QCOMPARE(panel.shown(), QStringList{"Transitions"});
  w.showTransition(movie.get(), 0, -1);
  QCOMPARE(panel.shown(), QStringList{"Transitions"});
  QCOMPARE(asked.count(), 0);
  QCOMPARE(w.scrollAreaWidget()->height(), panel.expectedHeight());

  const QStringList transitionSet{"Transitions", "T Geometry", "T Transparency", "T Volume", "T Colors"};
  w.showTransition(movie.get(), 2, 1);
  QCOMPARE(panel.shown(), transitionSet);
  QCOMPARE(w.transitionTransparencyController()->popup()->value(), 0.25f);
  QCOMPARE(w.scrollAreaWidget()->height(), panel.expectedHeight());
  w.showTransition(movie.get(), 3, 1);
  QCOMPARE(panel.shown(), transitionSet);
  QCOMPARE(w.transitionTransparencyController()->popup()->value(), 0.75f);
  QCOMPARE(w.transitionsController()->form()->currentRow(), 2);
  QCOMPARE(asked.count(), 2);
  QCOMPARE(asked.at(1).at(2).toInt(), 3);

  w.exitEditTransitionMode(movie.get());
  QVERIFY(!w.isInTransitionMode());
  QCOMPARE(panel.shown(), QStringList({"Geometry", "Transparency", "Volume", "Speed", "Stroke border", "Round corner",
                                       "Shadow", "Colors", "Chroma key", "Video utilities", "Transitions"}));
  QCOMPARE(w.scrollAreaWidget()->height(), panel.expectedHeight());
  verifyLayoutOrder(panel);
}

void TestSegmentInspector::transitionOfAnotherKind_data()
{
  QTest::addColumn<QString>("first");
  QTest::addColumn<QString>("second");
  QTest::addColumn<QStringList>("shown");
  QTest::newRow("movie, then music") << "MOVIE"
                                     << "MUSIC" << QStringList{"Transitions", "T Volume"};
  QTest::newRow("music, then image") << "MUSIC"
                                     << "IMAGE"
                                     << QStringList{"Transitions", "T Geometry", "T Transparency", "T Colors"};
  QTest::newRow("text, then movie") << "TEXT"
                                    << "MOVIE"
                                    << QStringList{"Transitions", "T Geometry", "T Transparency", "T Volume",
                                                   "T Colors"};
}

void TestSegmentInspector::transitionOfAnotherKind()
{
  QFETCH(QString, first);
  QFETCH(QString, second);
  QFETCH(QStringList, shown);
  Panel panel;
  SegmentInspectorWidget &w = panel.widget;
  auto a = segmentWithTransitions(first, 2);
  auto b = segmentWithTransitions(second, 2);
  w.showSegment(a.get(), nullptr, canvas);
  w.enterEditTransitionMode();
  w.showTransition(a.get(), 1, 1);
  w.showTransition(b.get(), 2, 1);
  QCOMPARE(panel.shown(), shown);
  for (CommonEditingWidgetController *c : {static_cast<CommonEditingWidgetController *>(w.transitionGeometryController()),
                                           static_cast<CommonEditingWidgetController *>(w.transitionVolumeController())})
    if (c)
      QCOMPARE(c->isActive(), c->isVisible());
  QCOMPARE(w.scrollAreaWidget()->height(), panel.expectedHeight());
}

void TestSegmentInspector::editingState_data()
{
  QTest::addColumn<int>("mode");
  QTest::addColumn<QString>("title");
  QTest::addColumn<QStringList>("shown");
  QTest::addColumn<int>("leavingMode");
  QTest::newRow("crop") << 0 << "Cropping..." << QStringList{"Done"} << 0;
  QTest::newRow("text") << 1 << "Editing..." << QStringList{"Done", "Text size", "Font", "Alignment"} << 1;
  QTest::newRow("drawing") << 2 << "Drawing..." << QStringList{"Done", "Text size", "Font", "Alignment", "Self draw"}
                           << 2;
  // However the end is told, the text style comes back with the rest.
  QTest::newRow("crop, ended without a mode") << 0 << "Cropping..." << QStringList{"Done"} << -1;
}

void TestSegmentInspector::editingState()
{
  QFETCH(int, mode);
  QFETCH(QString, title);
  QFETCH(QStringList, shown);
  QFETCH(int, leavingMode);
  Panel panel;
  SegmentInspectorWidget &w = panel.widget;
  auto text = makeSegment("TEXT");
  w.showSegment(text.get(), nullptr, canvas);
  const QStringList before = panel.shown();
  QSignalSpy done(&w, &SegmentInspectorWidget::segmentInspectorWidgetDoneAction);

  w.setEditingState(true, title, mode);
  QCOMPARE(w.editingMode(), mode);
  QCOMPARE(panel.shown(), shown);
  QCOMPARE(w.doneController()->form()->titleLabel()->text(), title);
  for (int id : {10001, 10002, 10010, 10011, 10020})
    QVERIFY(!w.bottomToolbar()->button(id)->isEnabled());
  QCOMPARE(w.scrollAreaWidget()->height(), panel.expectedHeight());
  verifyLayoutOrder(panel);
  QPushButton *doneButton = w.doneController()->form()->doneButton();
  QTRY_VERIFY(doneButton->isVisible());
  QTest::mouseClick(doneButton, Qt::LeftButton);
  QCOMPARE(done.count(), 1);

  w.setEditingState(false, QString(), leavingMode);
  QCOMPARE(w.editingMode(), -1);
  QCOMPARE(panel.shown(), before);
  for (int id : {10001, 10002, 10010, 10011, 10020})
    QVERIFY(w.bottomToolbar()->button(id)->isEnabled());
  QCOMPARE(w.scrollAreaWidget()->height(), panel.expectedHeight());
}

void TestSegmentInspector::editingInTransitionMode()
{
  Panel panel;
  SegmentInspectorWidget &w = panel.widget;
  auto image = segmentWithTransitions("IMAGE", 2);
  w.showSegment(image.get(), nullptr, canvas);
  w.enterEditTransitionMode();
  w.showTransition(image.get(), 1, 0);
  const QStringList editing = panel.shown();
  QCOMPARE(editing, QStringList({"Transitions", "T Geometry", "T Transparency", "T Colors"}));

  w.setEditingState(true, "Cropping...", 0);
  QCOMPARE(panel.shown(), QStringList{"Done"});
  QVERIFY(!w.bottomToolbar()->button(10101)->isEnabled());
  // Choosing the other set while cropping keeps the controls away.
  w.showTransition(image.get(), 1, 1);
  QCOMPARE(panel.shown(), QStringList{"Done"});
  QCOMPARE(w.scrollAreaWidget()->height(), panel.expectedHeight());

  w.setEditingState(false, QString(), 0);
  QCOMPARE(panel.shown(), editing);
  QVERIFY(w.bottomToolbar()->button(10101)->isEnabled());
  QCOMPARE(w.scrollAreaWidget()->height(), panel.expectedHeight());
}

void TestSegmentInspector::playHeadAndVolume()
{
  Panel panel;
  SegmentInspectorWidget &w = panel.widget;
  auto text = makeSegment("TEXT");
  w.showSegment(text.get(), nullptr, canvas);
  QVERIFY(!w.isVolumeEnabled());
  for (bool inside : {false, true}) {
    w.updateEnabledAtTime(text.get(), nullptr, inside, 1);
    QCOMPARE(w.textFontController()->form()->fontNameButton()->isEnabled(), inside);
    QCOMPARE(w.textAlignmentController()->form()->textAlignWidget()->isEnabled(), inside);
    QCOMPARE(w.editController()->form()->editButton()->isEnabled(), inside);
    QCOMPARE(w.textBackController()->popup()->isPopupEnabled(), inside);
    QVERIFY(!w.transparencyController()->popup()->isPopupEnabled());
  }

  auto movie = segmentWithTransitions("MOVIE", 1);
  w.showSegment(movie.get(), nullptr, canvas);
  w.updateEnabledAtTime(movie.get(), someTransformWidget(), true, 1);
  QVERIFY(w.isVolumeEnabled());
  QVERIFY(w.isVolumeControlEnabled(false));
  QVERIFY(!w.isVolumeControlEnabled(true));
  w.updateEnabledAtTime(movie.get(), nullptr, true, 1);
  QVERIFY(!w.isVolumeEnabled());
  w.enterEditTransitionMode();
  w.showTransition(movie.get(), 1, 1);
  QVERIFY(w.isTransitionVolumeEnabled());
  QVERIFY(w.isVolumeControlEnabled(true));
  w.showTransition(movie.get(), 0, -1);
  QVERIFY(!w.isTransitionVolumeEnabled());
}

void TestSegmentInspector::dismissLeavesTransitionMode()
{
  Panel panel;
  SegmentInspectorWidget &w = panel.widget;
  auto movie = segmentWithTransitions("MOVIE", 1);
  w.showSegment(movie.get(), nullptr, canvas);
  w.enterEditTransitionMode();
  w.showTransition(movie.get(), 1, 1);
  w.dismissPopups();
  QVERIFY(!w.isInTransitionMode());
  QCOMPARE(panel.shown(), QStringList{"Transitions"});
}

void TestSegmentInspector::reloadsOnRequest()
{
  Panel panel;
  SegmentInspectorWidget &w = panel.widget;
  // Nothing exists yet: the requests have nothing to reload.
  w.updateGeometry(nullptr);
  w.updateFont(nullptr);
  w.updateTransitions(nullptr, 0, -1);
  w.updateTransitionGeometry(nullptr, 1, 1);
  QVERIFY(w.sortedControllers().isEmpty());

  // The editor hands over the selected timeline block.
  auto text = segmentWithTransitions("TEXT", 1);
  auto *textSegment = static_cast<TextSegment *>(text.get());
  textSegment->setFontName("Liberation Sans");
  SegmentWidget block(QRect(0, 0, 100, 44), nullptr);
  block.setSegment(text.get());
  w.setSegment(&block, nullptr, canvas);
  QCOMPARE(panel.shown().first(), QString("Edit"));
  QCOMPARE(w.textFontController()->form()->fontNameButton()->text(), QString("Liberation Sans"));

  textSegment->setFontStyle("Bold");
  w.updateFont(nullptr);
  QCOMPARE(w.textFontController()->form()->fontNameButton()->text(), QString("Liberation Sans"));
  w.updateFont(text.get());
  QCOMPARE(w.textFontController()->form()->fontNameButton()->text(), QString("Liberation Sans - Bold"));

  text->insertTransition(1, 6);
  QTreeWidget *tree = w.transitionsController()->form()->treeWidget();
  QCOMPARE(tree->topLevelItemCount(), 1);
  w.updateTransitions(text.get(), 0, -1);
  QCOMPARE(tree->topLevelItemCount(), 2);

  // A transition set moved on the preview: the geometry report refreshes the set shown.
  w.enterEditTransitionMode();
  w.showTransition(text.get(), 1, 0);
  auto *x = w.transitionGeometryController()->form()->findChild<QLineEdit *>("xLineEdit");
  text->setTransitionUserTranslation(1, false, QPointF(0.25, 0));
  w.updateGeometry(text.get());
  QCOMPARE(x->text(), QString("25.0%"));
}

void TestSegmentInspector::contentFollowsGrowingColours()
{
  Panel panel;
  SegmentInspectorWidget &w = panel.widget;
  auto plain = segmentWithTransitions("IMAGE", 1);
  w.showSegment(plain.get(), nullptr, canvas);
  const int closed = w.colorsController()->height();
  // Corrections other than 0 open their rows: the list grows after it was shown.
  auto corrected = segmentWithTransitions("IMAGE", 1);
  corrected->setClrHue(40);
  corrected->setClrRed(-10);
  corrected->setTransitionClrGreen(1, false, 30);
  w.showSegment(corrected.get(), nullptr, canvas);
  QTRY_VERIFY(w.colorsController()->height() > closed);
  QTRY_COMPARE(w.scrollAreaWidget()->height(), panel.expectedHeight());

  w.enterEditTransitionMode();
  w.showTransition(corrected.get(), 1, 0);
  QTRY_VERIFY(w.transitionColorsController()->height() > closed);
  QTRY_COMPARE(w.scrollAreaWidget()->height(), panel.expectedHeight());
}

TAVO_TEST_MAIN(TestSegmentInspector)
#include "tst_segmentinspector.moc"
