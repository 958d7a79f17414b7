// The overlay base and the progress display over a real window.

#include "gestures.h"
#include "popupwidget.h"
#include "progresshud.h"
#include "animatedlabel.h"
#include "testenv.h"

#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

class CountingPopup : public PopupWidget
{
public:
  using PopupWidget::PopupWidget;
  int escapes = 0;
  int returns = 0;
  bool onEscapeKeyPressed() override
  {
    ++escapes;
    return true;
  }
  bool onReturnKeyPressed() override
  {
    ++returns;
    return true;
  }
  void setEmbedded(bool embedded) { _embedded = embedded; }
};

// Counts the key releases that reach a widget.
class ReleaseCounter : public QObject
{
public:
  int count = 0;
  bool eventFilter(QObject *, QEvent *event) override
  {
    count += event->type() == QEvent::KeyRelease;
    return false;
  }
};

// A window with two line edits; the first has the focus.
struct Window
{
  QWidget top;
  QLineEdit *edit;
  QLineEdit *other;
  Window()
  {
    auto *layout = new QVBoxLayout(&top);
    edit = new QLineEdit(&top);
    other = new QLineEdit(&top);
    layout->addWidget(edit);
    layout->addWidget(other);
    top.resize(400, 300);
    top.show();
    QVERIFY(QTest::qWaitForWindowExposed(&top));
    // No window manager under Xvfb: activate by hand.
    QApplication::setActiveWindow(&top);
    edit->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), edit);
  }
};

void cover(PopupWidget *popup)
{
  QWidget *parent = popup->parentWidget();
  popup->setGeometry(0, 0, parent->width(), parent->height());
  popup->show();
}

} // namespace

class TestPopup : public QObject
{
  Q_OBJECT
private slots:
  void keysStayAwayFromTheWindow();
  void inputTransparentLetsEverythingThrough();
  void followsTheParentSize();
  void wheelEmbeddedAndOverlay();
  void showingAgainFiltersTheNewFocusWidget();
  void deletedFocusWidgetIsHarmless();
  void focusComingBackIsFiltered();

  void progressValues();
  void captionMarginsByStyle();
  void textMessageLetsInputThroughAndExpires();
  void textMessageGoesWithItsParent();
  void spinnerStopsWhileHidden();
};

void TestPopup::keysStayAwayFromTheWindow()
{
  Window w;
  ReleaseCounter releases;
  w.edit->installEventFilter(&releases);
  CountingPopup popup(&w.top);
  cover(&popup);
  QTest::keyClicks(w.edit, "abc");
  QCOMPARE(w.edit->text(), QString());
  QCOMPARE(releases.count, 0);
  QTest::keyClick(w.edit, Qt::Key_Escape);
  QTest::keyClick(w.edit, Qt::Key_Escape);
  QCOMPARE(popup.escapes, 2);
  QTest::keyClick(w.edit, Qt::Key_Enter, Qt::KeypadModifier);
  QTest::keyClick(w.edit, Qt::Key_Return);
  QCOMPARE(popup.returns, 2);
  // The focus stays where it was; once hidden, typing works again.
  QCOMPARE(QApplication::focusWidget(), w.edit);
  popup.hide();
  QTest::keyClicks(w.edit, "ok");
  QCOMPARE(w.edit->text(), QString("ok"));
  QCOMPARE(releases.count, 2);
  QCOMPARE(popup.escapes, 2);
}

void TestPopup::inputTransparentLetsEverythingThrough()
{
  Window w;
  CountingPopup popup(&w.top);
  popup.setInputTransparent(true);
  QVERIFY(popup.testAttribute(Qt::WA_TransparentForMouseEvents));
  cover(&popup);
  QTest::keyClicks(w.edit, "abc");
  QCOMPARE(w.edit->text(), QString("abc"));
  QTest::keyClick(w.edit, Qt::Key_Escape);
  QCOMPARE(popup.escapes, 0);
  // A click lands on the widget under the popup.
  auto *button = new QPushButton("under", &w.top);
  button->setGeometry(10, 250, 80, 30);
  button->show();
  popup.raise();
  QSignalSpy clicked(button, &QPushButton::clicked);
  Gestures::click(button, QPoint(40, 15));
  QCOMPARE(clicked.count(), 1);
}

void TestPopup::followsTheParentSize()
{
  Window w;
  CountingPopup popup(&w.top);
  cover(&popup);
  w.top.resize(640, 480);
  QTRY_COMPARE(popup.geometry(), QRect(0, 0, 640, 480));
  // The former focus widget's resizes do not move it.
  w.edit->resize(50, 20);
  QCOMPARE(popup.geometry(), QRect(0, 0, 640, 480));
}

void TestPopup::wheelEmbeddedAndOverlay()
{
  QScrollArea area;
  auto *content = new QWidget;
  content->setFixedSize(300, 2000);
  area.setWidget(content);
  area.resize(320, 300);
  area.show();
  QVERIFY(QTest::qWaitForWindowExposed(&area));

  CountingPopup embedded(content);
  embedded.setEmbedded(true);
  embedded.setGeometry(0, 0, 300, 200);
  embedded.show();
  Gestures::wheel(content, QPoint(50, 50), -120);
  QVERIFY2(area.verticalScrollBar()->value() > 0, "the panel did not scroll");

  area.verticalScrollBar()->setValue(0);
  CountingPopup overlay(content);
  overlay.setGeometry(0, 0, 300, 200);
  overlay.show();
  overlay.raise();
  QVERIFY(Gestures::wheel(content, QPoint(50, 50), -120));
  QCOMPARE(area.verticalScrollBar()->value(), 0);
}

void TestPopup::showingAgainFiltersTheNewFocusWidget()
{
  Window w;
  CountingPopup popup(&w.top);
  cover(&popup);
  popup.hide();
  w.other->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), w.other);
  popup.show();
  QTest::keyClicks(w.other, "x");
  QCOMPARE(w.other->text(), QString());
  // The old focus widget is no longer watched.
  QTest::keyClicks(w.edit, "y");
  QCOMPARE(w.edit->text(), QString("y"));
}

void TestPopup::deletedFocusWidgetIsHarmless()
{
  Window w;
  CountingPopup popup(&w.top);
  cover(&popup);
  delete w.edit;
  w.edit = nullptr;
  popup.hide();
  QTest::keyClicks(w.other, "z");
  QCOMPARE(w.other->text(), QString("z"));
}

// A popup shown while a dialog had the focus: when the dialog goes and the window's widget
// gets the focus back, Return and typing still belong to the popup.
void TestPopup::focusComingBackIsFiltered()
{
  Window w;
  QLineEdit dialog;
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  QApplication::setActiveWindow(&dialog);
  dialog.setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), &dialog);
  CountingPopup popup(&w.top);
  cover(&popup);
  dialog.close();
  QApplication::setActiveWindow(&w.top);
  w.other->setFocus();
  QTRY_COMPARE(QApplication::focusWidget(), w.other);
  QTest::keyClicks(w.other, "a");
  QTest::keyClick(w.other, Qt::Key_Return);
  QTest::keyClick(w.other, Qt::Key_Escape);
  QCOMPARE(w.other->text(), QString());
  QCOMPARE(popup.returns, 1);
  QCOMPARE(popup.escapes, 1);
  popup.hide();
  QTest::keyClicks(w.other, "b");
  QCOMPARE(w.other->text(), QString("b"));
}

void TestPopup::progressValues()
{
  QWidget top;
  top.resize(500, 400);
  ProgressHUD bar(&top, ProgressHUDStyleProgress);
  bar.setProgress(0.999f);
  QCOMPARE(bar.progressBar()->value(), 99);
  bar.setProgress(1.0f);
  QCOMPARE(bar.progressBar()->value(), 100);
  QCOMPARE(bar.mainWidget()->maximumWidth(), 400);

  for (int style : {ProgressHUDStyleSpinner, ProgressHUDStyleText}) {
    ProgressHUD other(&top, style);
    other.setProgress(0.5f);
    QVERIFY(!other.progressBar());
    QVERIFY(!other.findChild<QProgressBar *>());
  }
  ProgressHUD spinner(&top, ProgressHUDStyleSpinner);
  QVERIFY(spinner.spinner());
  QCOMPARE(spinner.spinner()->maximumSize(), QSize(80, 80));
}

void TestPopup::captionMarginsByStyle()
{
  QWidget top;
  const struct
  {
    int style;
    QMargins margins;
  } cases[] = {{ProgressHUDStyleSpinner, QMargins(12, 0, 12, 12)},
               {ProgressHUDStyleProgress, QMargins(12, 30, 12, 12)},
               {ProgressHUDStyleText, QMargins(25, 12, 25, 12)}};
  for (const auto &c : cases) {
    ProgressHUD hud(&top, c.style);
    QLayout *panelLayout = hud.mainWidget()->layout();
    // No caption yet: an empty text changes nothing.
    hud.setText("");
    QVERIFY(!hud.textLabel());
    QCOMPARE(panelLayout->contentsMargins(), QMargins(12, 12, 12, 12));

    hud.setText("Loading");
    QLabel *label = hud.textLabel();
    QVERIFY(label);
    QCOMPARE(label->text(), QString("Loading"));
    QCOMPARE(panelLayout->contentsMargins(), c.margins);
    if (c.style == ProgressHUDStyleSpinner)
      QCOMPARE(panelLayout->spacing(), 0);
    hud.setText("Again");
    QCOMPARE(hud.textLabel(), label);
    QCOMPARE(label->text(), QString("Again"));

    QPointer<QLabel> guard(label);
    hud.setText("");
    QVERIFY(!hud.textLabel());
    QVERIFY(guard.isNull());
  }
}

void TestPopup::textMessageLetsInputThroughAndExpires()
{
  Window w;
  auto *button = new QPushButton("under", &w.top);
  button->setGeometry(150, 130, 100, 40);
  button->show();
  QPointer<ProgressHUD> hud = ProgressHUD::showTextMessage("Saved", &w.top, 300);
  QVERIFY(hud->isVisible());
  QVERIFY(hud->isInputTransparent());
  QCOMPARE(hud->geometry(), w.top.rect());
  QCOMPARE(hud->textLabel()->text(), QString("Saved"));

  QSignalSpy clicked(button, &QPushButton::clicked);
  Gestures::click(button, QPoint(50, 20));
  QCOMPARE(clicked.count(), 1);
  w.edit->setFocus();
  QTest::keyClicks(w.edit, "abc");
  QCOMPARE(w.edit->text(), QString("abc"));

  w.top.resize(700, 500);
  QTRY_COMPARE(hud->geometry(), QRect(0, 0, 700, 500));
  QTRY_VERIFY(hud.isNull());
}

void TestPopup::textMessageGoesWithItsParent()
{
  auto *top = new QWidget;
  top->resize(300, 200);
  top->show();
  QPointer<ProgressHUD> hud = ProgressHUD::showTextMessage("Bye", top, 200);
  delete top;
  QVERIFY(hud.isNull());
  // The timer was dropped with its context: nothing fires on a dead HUD.
  QTest::qWait(300);
}

void TestPopup::spinnerStopsWhileHidden()
{
  QWidget top;
  top.resize(400, 300);
  top.show();
  ProgressHUD hud(&top, ProgressHUDStyleSpinner);
  cover(&hud);
  QMovie *movie = hud.spinner()->movie();
  QTRY_COMPARE(movie->state(), QMovie::Running);
  hud.hide();
  QCOMPARE(movie->state(), QMovie::NotRunning);
  hud.show();
  QTRY_COMPARE(movie->state(), QMovie::Running);
}

TAVO_TEST_MAIN(TestPopup)
#include "tst_popup.moc"
