// The Done, Edit and Video utilities controllers: texts and edit types per
// segment type, the reports of their controls, and play-head enabling.

#include "donebuttoneditingwidget.h"
#include "donebuttoneditingwidgetcontroller.h"
#include "editbuttoneditingwidget.h"
#include "editbuttoneditingwidgetcontroller.h"
#include "inspectorhost.h"
#include "scrollabletoolbar.h"
#include "segmentmaker.h"
#include "testenv.h"
#include "tooltipbutton.h"
#include "videoutilitieseditingwidget.h"
#include "videoutilitieseditingwidgetcontroller.h"

#include <QLabel>
#include <QPushButton>

class TestButtonControllers : public QObject
{
  Q_OBJECT
private slots:
  void doneReportsItsButton();
  void editFollowsTheSegmentType_data();
  void editFollowsTheSegmentType();
  void editKeepsItsTypeForOtherSegments();
  void grabImageCommand();
  void playHeadEnabling_data();
  void playHeadEnabling();
};

void TestButtonControllers::doneReportsItsButton()
{
  InspectorHost host;
  auto *controller = host.add(new DoneButtonEditingWidgetController(host.content));
  controller->setTitle("Cropping...");
  QCOMPARE(controller->form()->titleLabel()->text(), QString("Cropping..."));
  QCOMPARE(controller->form()->doneButton()->text(), QString("Done"));
  QSignalSpy done(controller, &DoneButtonEditingWidgetController::doneButtonClicked);
  QTest::mouseClick(controller->form()->doneButton(), Qt::LeftButton);
  QCOMPARE(done.count(), 1);
  // A hidden controller takes its separator with it.
  controller->setVisible(false);
  QVERIFY(controller->editingWidget()->isHidden() && controller->separator()->isHidden());
}

void TestButtonControllers::editFollowsTheSegmentType_data()
{
  QTest::addColumn<QString>("type");
  QTest::addColumn<QString>("title");
  QTest::addColumn<QString>("button");
  QTest::addColumn<int>("editType");
  QTest::newRow("photo") << "IMAGE" << "Photo" << "Change Photo" << 2;
  QTest::newRow("text") << "TEXT" << "Text" << "Edit Text" << 1;
  QTest::newRow("drawing") << "DRAWING" << "Self-Draw" << "Edit Drawing" << 0;
}

void TestButtonControllers::editFollowsTheSegmentType()
{
  QFETCH(QString, type);
  QFETCH(QString, title);
  QFETCH(QString, button);
  QFETCH(int, editType);
  InspectorHost host;
  auto *controller = host.add(new EditButtonEditingWidgetController(host.content));
  QVERIFY(EditButtonEditingWidgetController::isSupported(makeSegment(type).get()));
  // From another type first, so every text and the type have to change.
  controller->updateFromSegment(makeSegment(type == "TEXT" ? "IMAGE" : "TEXT").get());
  controller->updateFromSegment(makeSegment(type).get());
  QCOMPARE(controller->form()->titleLabel()->text(), title);
  QCOMPARE(controller->form()->editButton()->text(), button);
  QSignalSpy clicked(controller, &EditButtonEditingWidgetController::editButtonClicked);
  QTest::mouseClick(controller->form()->editButton(), Qt::LeftButton);
  QCOMPARE(clicked.count(), 1);
  QCOMPARE(clicked[0][0].toInt(), editType);
  QCOMPARE(clicked[0][1].value<QWidget *>(), controller->form()->editButton());
}

void TestButtonControllers::editKeepsItsTypeForOtherSegments()
{
  InspectorHost host;
  auto *controller = host.add(new EditButtonEditingWidgetController(host.content));
  controller->updateFromSegment(makeSegment("TEXT").get());
  for (const char *type : {"MOVIE", "MUSIC", "VOICE"}) {
    QVERIFY(!EditButtonEditingWidgetController::isSupported(makeSegment(type).get()));
    controller->updateFromSegment(makeSegment(type).get());
    QCOMPARE(controller->form()->editButton()->text(), QString("Edit Text"));
    QCOMPARE(controller->form()->titleLabel()->text(), QString("Text"));
    QCOMPARE(controller->editType(), 1);
  }
}

void TestButtonControllers::grabImageCommand()
{
  InspectorHost host;
  auto *controller = host.add(new VideoUtilitiesEditingWidgetController(host.content));
  QCOMPARE(controller->form()->titleLabel()->text(), QString("Video Utilities"));
  QVERIFY(VideoUtilitiesEditingWidgetController::isSupported(makeSegment("MOVIE").get()));
  QVERIFY(!VideoUtilitiesEditingWidgetController::isSupported(makeSegment("IMAGE").get()));
  ScrollableToolBar *toolbar = controller->form()->toolbar();
  TooltipButton *grab = toolbar->button(10021);
  QVERIFY(grab);
  QSignalSpy grabbed(controller, &VideoUtilitiesEditingWidgetController::grabImageButtonClicked);
  QTRY_VERIFY(grab->isVisible());
  QTest::mouseClick(grab, Qt::LeftButton);
  QCOMPARE(grabbed.count(), 1);
  // Commands that other strips carry mean nothing here.
  for (int other : {10001, 10020, 10022, 0})
    emit toolbar->scrollableToolBarButtonClicked(toolbar, other);
  QCOMPARE(grabbed.count(), 1);
}

void TestButtonControllers::playHeadEnabling_data()
{
  QTest::addColumn<bool>("inside");
  QTest::addColumn<bool>("overlay");
  QTest::newRow("outside, with overlay") << false << true;
  QTest::newRow("inside, no overlay") << true << false;
  QTest::newRow("outside") << false << false;
}

void TestButtonControllers::playHeadEnabling()
{
  QFETCH(bool, inside);
  QFETCH(bool, overlay);
  InspectorHost host;
  auto *edit = host.add(new EditButtonEditingWidgetController(host.content));
  auto *video = host.add(new VideoUtilitiesEditingWidgetController(host.content));
  edit->updateFromSegment(makeSegment("IMAGE").get());
  TransformWidget *transform = overlay ? someTransformWidget() : nullptr;
  edit->updateEnabledAtTime(transform, !inside);
  video->updateEnabledAtTime(transform, !inside);
  edit->updateEnabledAtTime(transform, inside);
  video->updateEnabledAtTime(transform, inside);
  QCOMPARE(edit->form()->editButton()->isEnabled(), inside);
  QCOMPARE(video->form()->toolbar()->isEnabled(), inside);

  QSignalSpy clicked(edit, &EditButtonEditingWidgetController::editButtonClicked);
  QSignalSpy grabbed(video, &VideoUtilitiesEditingWidgetController::grabImageButtonClicked);
  QTest::mouseClick(edit->form()->editButton(), Qt::LeftButton);
  QTRY_VERIFY(video->form()->toolbar()->button(10021)->isVisible());
  QTest::mouseClick(video->form()->toolbar()->button(10021), Qt::LeftButton);
  QCOMPARE(clicked.count(), inside ? 1 : 0);
  QCOMPARE(grabbed.count(), inside ? 1 : 0);
}

TAVO_TEST_MAIN(TestButtonControllers)
#include "tst_buttoncontrollers.moc"
