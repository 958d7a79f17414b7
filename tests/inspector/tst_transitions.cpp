// The transitions editor: the table of a segment's transitions, the silent and the user's
// choice of a row, the operation buttons, the easing question to the owner and the
// "Start"/"End" switch.

#include "inspectorhost.h"
#include "segmentedcontrol.h"
#include "segmentmaker.h"
#include "testenv.h"
#include "transitionseditingwidget.h"
#include "transitionseditingwidgetcontroller.h"

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace {

// A ten-second segment with transitions at the given starts, each lasting `duration`.
std::unique_ptr<Segment> segmentWithTransitions(const QList<float> &starts, float duration = 0.5f)
{
  auto segment = makeSegment("IMAGE");
  segment->setRangeDuration(10);
  for (float start : starts) {
    const int id = segment->insertTransition(duration, start);
    segment->setTransitionStart(id, start);
    segment->setTransitionDuration(id, duration);
  }
  return segment;
}

QStringList rowTexts(QTreeWidget *tree, int row)
{
  QStringList texts;
  if (QTreeWidgetItem *item = tree->topLevelItem(row))
    for (int column = 0; column < 3; ++column)
      texts << item->text(column);
  return texts;
}

QPoint rowCentre(QTreeWidget *tree, int row)
{
  return tree->visualItemRect(tree->topLevelItem(row)).center();
}

QPoint halfCentre(SegmentedControl *control, int index)
{
  return QPoint(control->width() / 4 + index * control->width() / 2, control->height() / 2);
}

// The owner's answers to the easing questions.
struct EasingOwner
{
  QList<int> asked;
  void connectTo(TransitionsEditingWidgetController *controller)
  {
    QObject::connect(controller, &TransitionsEditingWidgetController::getEasingFunctionHintText, controller,
                     [this](Segment *, int tId, QString &text) {
                       asked << tId;
                       text = QString("Ease %1").arg(tId);
                     });
    QObject::connect(controller, &TransitionsEditingWidgetController::getEasingFunctionIconImage, controller,
                     [](Segment *, int, QPixmap &pixmap) {
                       pixmap = QPixmap(20, 20);
                       pixmap.fill(Qt::red);
                     });
  }
};

} // namespace

class TestTransitions : public QObject
{
  Q_OBJECT
private slots:
  void initTestCase() { qRegisterMetaType<QPushButton *>(); }
  void withoutTransitions_data();
  void withoutTransitions();
  void rowsShowStartAndDuration();
  void showingATransition_data();
  void showingATransition();
  void rowChoiceReportsOnlyTheUsersClick();
  void operationButtonsReportTheCurrentRow();
  void switchReportsTheValueSet();
  void switchFollowsTheShownSet_data();
  void switchFollowsTheShownSet();
  void refreshKeepsTheChosenRow();
};

void TestTransitions::withoutTransitions_data()
{
  QTest::addColumn<int>("tId");
  QTest::addColumn<int>("height");
  QTest::newRow("segment mode") << 0 << 256;
  QTest::newRow("transition mode, unknown id") << 3 << 345;
}

void TestTransitions::withoutTransitions()
{
  QFETCH(int, tId);
  QFETCH(int, height);
  InspectorHost host;
  auto *controller = host.add(new TransitionsEditingWidgetController(host.content));
  TransitionsEditingWidget *form = controller->form();
  auto segment = segmentWithTransitions({});

  controller->updateFromTransition(segment.get(), tId, -1);
  QTRY_COMPARE(form->height(), height);
  QCOMPARE(form->treeWidget()->topLevelItemCount(), 0);
  QLabel *hint = form->emptyHintLabel();
  QCOMPARE(hint->text(), QString("Press \"+\" to add a transition"));
  QTRY_VERIFY(hint->isVisible());
  const QRect table = form->treeWidget()->geometry();
  QCOMPARE(hint->geometry(), QRect(table.x(), table.center().y() - 10, table.width(), 20));
  QVERIFY(!form->removeTransitionButton()->isEnabled());
  QVERIFY(!form->duplicateTransitionButton()->isEnabled());
  QVERIFY(form->addTransitionButton()->isEnabled());
  QCOMPARE(form->easingTypePanel()->isHidden(), tId == 0);
  QCOMPARE(form->transitionSegmentedWidget()->isHidden(), tId == 0);

  // The hint goes once there is a transition, and stays centred when the block grows.
  auto filled = segmentWithTransitions({1});
  controller->refreshTransitionList(filled.get());
  QVERIFY(hint->isHidden());
  controller->refreshTransitionList(segment.get());
  QVERIFY(!hint->isHidden());
  controller->updateFromTransition(segment.get(), tId == 0 ? 5 : 0, -1);
  const QRect moved = form->treeWidget()->geometry();
  QTRY_COMPARE(hint->geometry(), QRect(moved.x(), moved.center().y() - 10, moved.width(), 20));
}

void TestTransitions::rowsShowStartAndDuration()
{
  InspectorHost host;
  auto *controller = host.add(new TransitionsEditingWidgetController(host.content));
  auto segment = segmentWithTransitions({1.5f, 6}, 0.25f);
  segment->setTransitionDuration(2, 2);

  controller->updateFromTransition(segment.get(), 0, -1);
  QTreeWidget *tree = controller->form()->treeWidget();
  QCOMPARE(tree->headerItem()->text(0), QString("ID"));
  QCOMPARE(tree->headerItem()->text(1), QString("Start"));
  QCOMPARE(tree->headerItem()->text(2), QString("Duration"));
  QCOMPARE(tree->topLevelItemCount(), 2);
  QCOMPARE(rowTexts(tree, 0), QStringList({"1", "1.50", "0.25"}));
  QCOMPARE(rowTexts(tree, 1), QStringList({"2", "6.00", "2.00"}));
  QVERIFY(controller->form()->emptyHintLabel() == nullptr || controller->form()->emptyHintLabel()->isHidden());
}

void TestTransitions::showingATransition_data()
{
  QTest::addColumn<int>("tId");
  QTest::addColumn<int>("currentRow");
  QTest::addColumn<bool>("operations");
  QTest::addColumn<QString>("easing");
  QTest::newRow("segment mode") << 0 << -1 << false << "";
  QTest::newRow("second") << 2 << 1 << true << "Ease 2";
  QTest::newRow("first") << 1 << 0 << true << "Ease 1";
  // Not in the list: nothing to remove or duplicate, though the owner is still asked.
  QTest::newRow("unknown id") << 7 << -1 << false << "Ease 7";
}

void TestTransitions::showingATransition()
{
  QFETCH(int, tId);
  QFETCH(int, currentRow);
  QFETCH(bool, operations);
  QFETCH(QString, easing);
  InspectorHost host;
  auto *controller = host.add(new TransitionsEditingWidgetController(host.content));
  EasingOwner owner;
  owner.connectTo(controller);
  auto segment = segmentWithTransitions({1, 4, 7});
  TransitionsEditingWidget *form = controller->form();
  controller->updateFromTransition(segment.get(), 2, 1);

  QSignalSpy chosen(controller, &TransitionsEditingWidgetController::transitionSelectionIndexChanged);
  controller->updateFromTransition(segment.get(), tId, 1);
  QCOMPARE(form->currentRow(), currentRow);
  QCOMPARE(form->treeWidget()->selectedItems().size(), currentRow >= 0 ? 1 : 0);
  QCOMPARE(form->removeTransitionButton()->isEnabled(), operations);
  QCOMPARE(form->duplicateTransitionButton()->isEnabled(), operations);
  QCOMPARE(form->easingTypeButton()->text(), easing);
  QCOMPARE(form->easingTypeIconButton()->icon().isNull(), tId == 0);
  QCOMPARE(owner.asked.last(), tId == 0 ? 2 : tId);
  QCOMPARE(chosen.count(), 0);

  // Without a current row the buttons report nothing, even when pressed.
  QSignalSpy removed(controller, &TransitionsEditingWidgetController::removeTransitionAtIndex);
  QTest::mouseClick(form->removeTransitionButton(), Qt::LeftButton);
  QCOMPARE(removed.count(), operations ? 1 : 0);
}

void TestTransitions::rowChoiceReportsOnlyTheUsersClick()
{
  InspectorHost host;
  auto *controller = host.add(new TransitionsEditingWidgetController(host.content));
  auto segment = segmentWithTransitions({1, 4, 7});
  QSignalSpy chosen(controller, &TransitionsEditingWidgetController::transitionSelectionIndexChanged);
  controller->updateFromTransition(segment.get(), 0, -1);
  QTreeWidget *tree = controller->form()->treeWidget();

  QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, rowCentre(tree, 2));
  QCOMPARE(chosen.count(), 1);
  QCOMPARE(chosen.takeFirst().at(0).toInt(), 2);
  controller->updateFromTransition(segment.get(), 1, 1);
  QCOMPARE(controller->form()->currentRow(), 0);
  QCOMPARE(chosen.count(), 0);
  QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, rowCentre(tree, 1));
  QCOMPARE(chosen.count(), 1);
  QCOMPARE(chosen.takeFirst().at(0).toInt(), 1);
}

void TestTransitions::operationButtonsReportTheCurrentRow()
{
  InspectorHost host;
  auto *controller = host.add(new TransitionsEditingWidgetController(host.content));
  auto segment = segmentWithTransitions({1, 4, 7});
  controller->updateFromTransition(segment.get(), 3, 0);
  TransitionsEditingWidget *form = controller->form();
  QSignalSpy added(controller, &TransitionsEditingWidgetController::addTransitionActionOnButton);
  QSignalSpy removed(controller, &TransitionsEditingWidgetController::removeTransitionAtIndex);
  QSignalSpy duplicated(controller, &TransitionsEditingWidgetController::duplicateTransitionAtIndex);
  QSignalSpy easing(controller, &TransitionsEditingWidgetController::popupEasingFunctionsWidgetOnButton);

  QTest::mouseClick(form->addTransitionButton(), Qt::LeftButton);
  QTest::mouseClick(form->removeTransitionButton(), Qt::LeftButton);
  QTest::mouseClick(form->duplicateTransitionButton(), Qt::LeftButton);
  QCOMPARE(added.count(), 1);
  QCOMPARE(added.at(0).at(0).value<QPushButton *>(), form->addTransitionButton());
  QCOMPARE(removed.count(), 1);
  QCOMPARE(removed.at(0).at(0).toInt(), 2);
  QCOMPARE(duplicated.count(), 1);
  QCOMPARE(duplicated.at(0).at(0).toInt(), 2);
  // Each of the three easing buttons opens the easing list at itself.
  for (QPushButton *button :
       {form->easingTypeIconButton(), form->easingTypeButton(), form->easingTypeTriangleButton()}) {
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(easing.takeFirst().at(0).value<QPushButton *>(), button);
  }
}

void TestTransitions::switchReportsTheValueSet()
{
  InspectorHost host;
  auto *controller = host.add(new TransitionsEditingWidgetController(host.content));
  auto segment = segmentWithTransitions({1});
  controller->updateFromTransition(segment.get(), 1, 1);
  SegmentedControl *control = controller->form()->transitionSegmentedWidget();
  QTRY_VERIFY(control->isVisible());
  QCOMPARE(control->segmentTitle(0), QString("Start"));
  QCOMPARE(control->segmentTitle(1), QString("End"));
  QSignalSpy set(controller, &TransitionsEditingWidgetController::transitionBeginOrEndPositionChanged);

  QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, halfCentre(control, 1));
  QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, halfCentre(control, 1));
  QTest::mouseClick(control, Qt::LeftButton, Qt::NoModifier, halfCentre(control, 0));
  QCOMPARE(set.count(), 2);
  QCOMPARE(set.at(0).at(0).toInt(), 0);
  QCOMPARE(set.at(1).at(0).toInt(), 1);
}

void TestTransitions::switchFollowsTheShownSet_data()
{
  QTest::addColumn<int>("before");
  QTest::addColumn<int>("beginOrEnd");
  QTest::addColumn<int>("index");
  QTest::newRow("begin selects Start") << 1 << 1 << 0;
  QTest::newRow("end selects End") << 0 << 0 << 1;
  QTest::newRow("none keeps End") << 0 << -1 << 1;
  QTest::newRow("none keeps Start") << 1 << -1 << 0;
}

void TestTransitions::switchFollowsTheShownSet()
{
  QFETCH(int, before);
  QFETCH(int, beginOrEnd);
  QFETCH(int, index);
  InspectorHost host;
  auto *controller = host.add(new TransitionsEditingWidgetController(host.content));
  auto segment = segmentWithTransitions({1});
  controller->updateFromTransition(segment.get(), 1, before);
  QSignalSpy set(controller, &TransitionsEditingWidgetController::transitionBeginOrEndPositionChanged);
  controller->updateFromTransition(segment.get(), 1, beginOrEnd);
  QCOMPARE(controller->form()->transitionSegmentedWidget()->currentIndex(), index);
  QCOMPARE(set.count(), 0);
}

void TestTransitions::refreshKeepsTheChosenRow()
{
  InspectorHost host;
  auto *controller = host.add(new TransitionsEditingWidgetController(host.content));
  EasingOwner owner;
  owner.connectTo(controller);
  auto segment = segmentWithTransitions({1, 4});
  controller->updateFromTransition(segment.get(), 2, 0);
  const int asked = owner.asked.size();
  segment->setTransitionDuration(2, 1.75f);

  controller->refreshTransitionList(segment.get());
  TransitionsEditingWidget *form = controller->form();
  QCOMPARE(rowTexts(form->treeWidget(), 1), QStringList({"2", "4.00", "1.75"}));
  QCOMPARE(form->currentRow(), 1);
  QVERIFY(form->removeTransitionButton()->isEnabled());
  QCOMPARE(form->easingTypeButton()->text(), QString("Ease 2"));
  QCOMPARE(form->transitionSegmentedWidget()->currentIndex(), 1);
  QCOMPARE(owner.asked.size(), asked);
}

TAVO_TEST_MAIN(TestTransitions)
#include "tst_transitions.moc"
