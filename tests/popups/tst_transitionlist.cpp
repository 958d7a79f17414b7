// The transition chooser: one 45-px row per item with its separator, what a click reports,
// and the records it owns.

#include "animationswitch.h"
#include "gestures.h"
#include "popuptestwindow.h"
#include "popuptransitionslistwidget.h"
#include "testenv.h"

#include <QAccessible>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <algorithm>

namespace {

using Item = PopupTransitionsListWidget::Item;

QList<Item *> makeItems(int count)
{
  QList<Item *> items;
  for (int i = 0; i < count; ++i)
    items << new Item{QString("Item %1").arg(i), 10201 + i, i % 3 == 0};
  return items;
}

struct Shown
{
  AnimationsOff off;
  PopupTestWindow w;
  QPointer<PopupTransitionsListWidget> popup;
  explicit Shown(const QList<Item *> &items, bool inPanel = false)
  {
    popup = new PopupTransitionsListWidget(&w.top);
    popup->showPopupWithItems(&w.top, QPoint(600, 600), items, inPanel);
  }
  ~Shown() { delete popup; }
};

// The plain widgets of the list, top to bottom: buttons and separators.
QList<QWidget *> rowsOf(QWidget *list)
{
  QList<QWidget *> rows = list->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
  std::sort(rows.begin(), rows.end(), [](QWidget *a, QWidget *b) { return a->y() < b->y(); });
  return rows;
}

} // namespace

class TestTransitionListPopup : public QObject
{
  Q_OBJECT
private slots:
  void rowsAndSeparators_data();
  void rowsAndSeparators();
  void clickReportsTheCommand();
  void textsAndWeights();
  void destroyingFreesTheRecords();
};

void TestTransitionListPopup::rowsAndSeparators_data()
{
  QTest::addColumn<int>("count");
  QTest::newRow("empty") << 0;
  QTest::newRow("one") << 1;
  QTest::newRow("fits") << 3;
  QTest::newRow("scrolls") << 28;
}

void TestTransitionListPopup::rowsAndSeparators()
{
  QFETCH(int, count);
  Shown s(makeItems(count));
  QCOMPARE(s.popup->titleLabel()->text(), QString("Add Transition"));
  QCOMPARE(s.popup->mainWidget()->height(), 360);
  QWidget *list = s.popup->scrollAreaWidget();
  QCOMPARE(list->height(), count * 45);
  QCOMPARE(s.popup->itemButtons().size(), count);

  const QList<QWidget *> rows = rowsOf(list);
  QCOMPARE(rows.size(), count * 2);
  for (int i = 0; i < count; ++i) {
    auto *button = qobject_cast<QPushButton *>(rows[2 * i]);
    QVERIFY(button);
    QCOMPARE(button, s.popup->itemButtons()[i]);
    QCOMPARE(button->geometry(), QRect(0, i * 45, list->width(), 44));
    QWidget *separator = rows[2 * i + 1];
    QVERIFY(!qobject_cast<QPushButton *>(separator));
    QCOMPARE(separator->geometry(), QRect(0, i * 45 + 44, list->width(), 1));
  }
  const bool scrolls = count * 45 > s.popup->scrollArea()->viewport()->height();
  QCOMPARE(s.popup->scrollArea()->verticalScrollBar()->maximum() > 0, scrolls);
}

void TestTransitionListPopup::clickReportsTheCommand()
{
  QList<Item *> items{new Item{"Custom Transition", 10201, true}, new Item{"Fade In", 10203, false},
                      new Item{"Fade Out", 10203, false}};
  Shown s(items);
  QSignalSpy spy(s.popup.data(), &PopupTransitionsListWidget::transitionItemSelected);
  for (int i : {1, 2, 0}) {
    QPushButton *button = s.popup->itemButtons()[i];
    Gestures::click(button, button->rect().center());
  }
  QCOMPARE(spy.count(), 3);
  QCOMPARE(spy[0].at(0).value<PopupTransitionsListWidget *>(), s.popup.data());
  QCOMPARE(spy[0].at(1).toInt(), 10203);
  QCOMPARE(spy[1].at(1).toInt(), 10203);
  QCOMPARE(spy[2].at(1).toInt(), 10201);
  QVERIFY(s.popup->isVisible());
}

void TestTransitionListPopup::textsAndWeights()
{
  Shown s({new Item{"Fade In && Fade Out", 10202, true}, new Item{"Wipe In", 10227, false}});
  QPushButton *fade = s.popup->itemButtons()[0];
  QCOMPARE(fade->text(), QString("Fade In && Fade Out"));
  // What the button reads out, mnemonics resolved.
  QCOMPARE(QAccessible::queryAccessibleInterface(fade)->text(QAccessible::Name), QString("Fade In & Fade Out"));
  QCOMPARE(fade->font().weight(), 75);
  QCOMPARE(s.popup->itemButtons()[1]->font().weight(), int(QFont::Normal));
}

void TestTransitionListPopup::destroyingFreesTheRecords()
{
  // Each record shares its text with this one; freeing the record leaves it alone again.
  const QString text = QString("Fade In && Fade Out");
  QVERIFY(text.isDetached());
  Item *listedTwice = new Item{text, 10202, false};
  {
    Shown s({new Item{text, 10201, true}, listedTwice, listedTwice});
    QCOMPARE(s.popup->itemButtons().size(), 3);
    QVERIFY(!text.isDetached());
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(text.isDetached());

  // The same after a dismissal, through the popup's own deletion.
  QPointer<PopupTransitionsListWidget> popup;
  {
    AnimationsOff off;
    PopupTestWindow w;
    popup = new PopupTransitionsListWidget(&w.top);
    popup->showPopupWithItems(&w.top, QPoint(600, 600), {new Item{text, 1, false}}, true);
    popup->dismiss();
    QTRY_VERIFY(!popup);
  }
  QVERIFY(text.isDetached());
}

TAVO_TEST_MAIN(TestTransitionListPopup)
#include "tst_transitionlist.moc"
