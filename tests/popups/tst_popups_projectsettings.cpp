// The project settings popup: the projects page's confirm flow, the editor's live anchored
// flow, aspect buttons and orientation, the transparent background and the frame rate.

#include "animationswitch.h"
#include "colorbutton.h"
#include "colormatrixpalettewidget.h"
#include "gestures.h"
#include "moviesizegridbutton.h"
#include "popupcolormatrixwidget.h"
#include "popupmainwidget.h"
#include "popupprojectsettingswidget.h"
#include "popuptestwindow.h"
#include "scripteddialogprovider.h"
#include "segmentedcontrol.h"
#include "switchbutton.h"
#include "testenv.h"

#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QWidgetAction>

namespace {

struct Values
{
  int mode = 0;
  int resolution = 1;
  bool direction = true;
  float frameRate = 30;
  bool fixCover = false;
  QColor color = QColor(0, 0, 0, 255);
};

// The popup opened over a window; modes 2 and 3 point at a button near the window's right edge.
struct Opened
{
  AnimationsOff off;
  PopupTestWindow w;
  QPushButton *anchor = nullptr;
  QPointer<PopupProjectSettingsWidget> popup;
  QSignalSpy *changes = nullptr;
  QSignalSpy *finished = nullptr;
  explicit Opened(const Values &v = Values(), int width = 1200, int height = 800) : w(width, height)
  {
    anchor = new QPushButton("Settings", &w.top);
    anchor->setGeometry(width - 50, 20, 40, 30);
    anchor->show();
    popup = new PopupProjectSettingsWidget(&w.top);
    popup->showPopupWithSettings(&w.top, v.mode >= 2 ? anchor : nullptr, v.mode, v.resolution, v.direction,
                                 v.frameRate, v.fixCover, v.color);
    changes = new QSignalSpy(popup.data(), &PopupProjectSettingsWidget::popupProjectSettingsWidgetParametersDidChange);
    finished = new QSignalSpy(popup.data(), &PopupProjectSettingsWidget::popupProjectSettingsWidgetDidFinish);
  }
  ~Opened()
  {
    delete changes;
    delete finished;
    delete popup;
  }
  template <typename T> T *child(const char *name) const { return popup->findChild<T *>(name); }
  MovieSizeGridButton *sizeButton(int tag) const
  {
    for (MovieSizeGridButton *button : popup->movieSizeButtons())
      if (button->tag() == tag)
        return button;
    return nullptr;
  }
  QList<int> selectedTags() const
  {
    QList<int> tags;
    for (MovieSizeGridButton *button : popup->movieSizeButtons())
      if (button->isSelected())
        tags << button->tag();
    return tags;
  }
  void clickSegment(int index) const
  {
    auto *control = child<SegmentedControl>("directionSegmentedWidget");
    QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(control->width() / 4 + index * control->width() / 2, 15));
  }
  // The transparent row button laid under a row's labels.
  void clickRow(const char *rowName) const
  {
    auto *row = child<QWidget>(rowName);
    Gestures::click(row, QPoint(40, row->height() / 2));
  }
};

// Captures the menu it is asked to run, to look at what it shows, then answers from the script.
class MenuCapturingDialogs : public ScriptedDialogProvider
{
public:
  QString headingText;
  QAction *execMenu(QMenu *menu, const QPoint &pos, QAction *at) override
  {
    if (auto *heading = qobject_cast<QWidgetAction *>(menu->actions().value(0)))
      if (auto *label = qobject_cast<QLabel *>(heading->defaultWidget()))
        headingText = label->text();
    return ScriptedDialogProvider::execMenu(menu, pos, at);
  }
};

} // namespace

class TestProjectSettings : public QObject
{
  Q_OBJECT
private slots:
  void newProjectFlowKeepsItsValues();
  void aspectButtonsInOneRow();
  void aspectButtonsGiveTheirCode_data();
  void aspectButtonsGiveTheirCode();
  void orientationKeepsTheAspect();
  void transparentBackground();
  void colourFromTheChooser();
  void reportsByMode_data();
  void reportsByMode();
  void anchoredPlacement_data();
  void anchoredPlacement();
  void frameRateMenu();
};

void TestProjectSettings::newProjectFlowKeepsItsValues()
{
  Opened o; // the projects page's values
  QCOMPARE(o.popup->mainWidget()->geometry(), QRect(240, 40, 720, 720));
  QVERIFY(o.child<QWidget>("bottomPanel")->isVisible());
  QCOMPARE(o.child<QLabel>("titleLabel")->text(), QString("Configuration"));
  QCOMPARE(o.selectedTags(), QList<int>{0});
  QCOMPARE(o.child<SegmentedControl>("directionSegmentedWidget")->currentIndex(), 0);
  QVERIFY(!o.child<QCheckBox>("noColorCheckBox")->isChecked());
  QVERIFY(o.child<ColorButton>("colorButton")->isEnabled());
  QCOMPARE(o.child<QLabel>("frameRateValueLabel")->text(), QString("30"));
  QVERIFY(!o.child<SwitchButton>("switchButton")->value());

  QTest::mouseClick(o.child<QPushButton>("doneButton"), Qt::LeftButton);
  QCOMPARE(o.finished->size(), 1);
  QCOMPARE(o.finished->at(0).at(0).value<PopupProjectSettingsWidget *>(), o.popup.data());
  QCOMPARE(o.changes->size(), 0);
  QCOMPARE(o.popup->resolution(), 1);
  QCOMPARE(o.popup->direction(), true);
  QCOMPARE(o.popup->frameRate(), 30.0f);
  QCOMPARE(o.popup->fixCoverImage(), false);
  QCOMPARE(o.popup->backgroundColor(), QColor(0, 0, 0, 255));
  // The owner dismisses it; the popup does not go by itself.
  QVERIFY(o.popup->isVisible());
}

void TestProjectSettings::aspectButtonsInOneRow()
{
  Opened o;
  auto *area = o.child<QWidget>("movieSizesItemWidget");
  const QList<MovieSizeGridButton *> &buttons = o.popup->movieSizeButtons();
  QCOMPARE(buttons.size(), 6);
  const QStringList texts{"16:9", "1:1", "4:3", "5:4", "19.5:9", "21:9"};
  const int left = (area->width() - 450) / 2;
  for (int i = 0; i < 6; ++i) {
    QCOMPARE(buttons[i]->text(), texts[i]);
    QCOMPARE(buttons[i]->tag(), i);
    QCOMPARE(buttons[i]->geometry(), QRect(left + 75 * i, 10, 75, 100));
  }
  QCOMPARE(area->height(), 170);
  // The orientation switch sits under the buttons, inside the area.
  auto *control = o.child<SegmentedControl>("directionSegmentedWidget");
  const QRect switchRect(control->mapTo(area, QPoint(0, 0)), control->size());
  QVERIFY2(switchRect.top() >= 110 && switchRect.bottom() < 170, qPrintable(QString::number(switchRect.top())));
}

void TestProjectSettings::aspectButtonsGiveTheirCode_data()
{
  QTest::addColumn<int>("tag");
  QTest::addColumn<int>("code");
  QTest::newRow("16:9") << 0 << 1;
  QTest::newRow("1:1") << 1 << 2;
  QTest::newRow("4:3") << 2 << 0;
  QTest::newRow("5:4") << 3 << 3;
  QTest::newRow("19.5:9") << 4 << 4;
  QTest::newRow("21:9") << 5 << 5;
}

void TestProjectSettings::aspectButtonsGiveTheirCode()
{
  QFETCH(int, tag);
  QFETCH(int, code);
  // Opened with the code, its button is the selected one.
  Values v;
  v.resolution = code;
  Opened shown(v);
  QCOMPARE(shown.selectedTags(), QList<int>{tag});

  Opened o;
  QTest::mouseClick(o.sizeButton(tag), Qt::LeftButton);
  QCOMPARE(o.popup->resolution(), code);
  QCOMPARE(o.selectedTags(), QList<int>{tag});
}

void TestProjectSettings::orientationKeepsTheAspect()
{
  Values v;
  v.mode = 2;
  Opened o(v);
  o.clickSegment(1);
  QCOMPARE(o.popup->direction(), false);
  QCOMPARE(o.popup->resolution(), 1);
  QCOMPARE(o.selectedTags(), QList<int>{0});
  QCOMPARE(o.sizeButton(0)->text(), QString("9:16"));
  QCOMPARE(o.sizeButton(0)->aspectRatio(), 0.5625f);
  QCOMPARE(o.sizeButton(5)->text(), QString("9:21"));
  QCOMPARE(o.popup->movieSizeButtons().size(), 6);
  QCOMPARE(o.changes->size(), 1);
  // The new buttons are placed and answer clicks.
  QVERIFY(o.sizeButton(2)->isVisible());
  QTest::mouseClick(o.sizeButton(2), Qt::LeftButton);
  QCOMPARE(o.popup->resolution(), 0);
  QCOMPARE(o.sizeButton(2)->text(), QString("3:4"));
  o.clickSegment(0);
  QCOMPARE(o.popup->direction(), true);
  QCOMPARE(o.selectedTags(), QList<int>{2});
  QCOMPARE(o.sizeButton(2)->text(), QString("4:3"));

  // Portrait handed in shows the portrait segment.
  Values portrait;
  portrait.direction = false;
  Opened p(portrait);
  QCOMPARE(p.child<SegmentedControl>("directionSegmentedWidget")->currentIndex(), 1);
  QCOMPARE(p.sizeButton(0)->text(), QString("9:16"));
}

void TestProjectSettings::transparentBackground()
{
  Values v;
  v.color = QColor(200, 30, 30, 0);
  Opened o(v);
  auto *check = o.child<QCheckBox>("noColorCheckBox");
  auto *colorButton = o.child<ColorButton>("colorButton");
  QVERIFY(check->isChecked());
  QVERIFY(!colorButton->isEnabled());
  // Clicking the disabled colour row opens nothing.
  o.clickRow("backgroundColorItemWidget");
  QVERIFY(!o.popup->colorSubPopup());

  QTest::mouseClick(check, Qt::LeftButton);
  QCOMPARE(o.popup->backgroundColor(), QColor(0, 0, 0, 255));
  QVERIFY(colorButton->isEnabled());
  QCOMPARE(colorButton->color(), QColor(0, 0, 0, 255));

  // A colour chosen, then transparent and back: the chosen colour returns.
  QTest::mouseClick(colorButton, Qt::LeftButton);
  QVERIFY(o.popup->colorSubPopup());
  ColorMatrixPaletteWidget *palette = o.popup->colorSubPopup()->palettePanel();
  QTest::mouseClick(palette, Qt::LeftButton, {}, palette->cellRects()[11].center().toPoint()); // #FF0000
  QTRY_VERIFY(!o.popup->colorSubPopup());
  QCOMPARE(o.popup->backgroundColor(), QColor("#FF0000"));
  QTest::mouseClick(check, Qt::LeftButton);
  QCOMPARE(o.popup->backgroundColor().alpha(), 0);
  QVERIFY(!colorButton->isEnabled());
  QTest::mouseClick(check, Qt::LeftButton);
  QCOMPARE(o.popup->backgroundColor(), QColor("#FF0000"));
  QCOMPARE(o.changes->size(), 0); // mode 0 reports nothing
}

void TestProjectSettings::colourFromTheChooser()
{
  Values v;
  v.mode = 3;
  Opened o(v);
  ScriptedDialogProvider dialogs;
  // The row opens the chooser too; a second click while it is open opens no other.
  o.clickRow("backgroundColorItemWidget");
  QPointer<PopupColorMatrixWidget> chooser = o.popup->colorSubPopup();
  QVERIFY(chooser);
  QCOMPARE(chooser->parentWidget(), &o.w.top);
  QTest::mouseClick(chooser->moreColorButton(), Qt::LeftButton); // dialog cancelled
  QCOMPARE(dialogs.kinds(), QStringList{"getColor"});
  QCOMPARE(dialogs.calls[0].text, QString("#ff000000"));
  QVERIFY(chooser && chooser->isVisible());
  QCOMPARE(o.changes->size(), 0);

  dialogs.answers << QVariant::fromValue(QColor(10, 20, 30));
  QTest::mouseClick(chooser->moreColorButton(), Qt::LeftButton);
  QCOMPARE(o.popup->backgroundColor(), QColor(10, 20, 30));
  QCOMPARE(o.child<ColorButton>("colorButton")->color(), QColor(10, 20, 30));
  QVERIFY(!o.popup->colorSubPopup());
  QCOMPARE(o.changes->size(), 1);
  QTRY_VERIFY(!chooser); // dismissed and deleted
  // The dialog's colour joined the recent ones.
  QCOMPARE(QSettings().value("RecentColors/1/color").toUInt(), QColor(10, 20, 30).rgba());

  // A chooser still open when the owner closes the settings goes with them.
  o.clickRow("backgroundColorItemWidget");
  chooser = o.popup->colorSubPopup();
  QVERIFY(chooser);
  delete o.popup;
  QVERIFY(!chooser);
}

void TestProjectSettings::reportsByMode_data()
{
  QTest::addColumn<int>("mode");
  QTest::addColumn<bool>("live");
  QTest::newRow("centred") << 0 << false;
  QTest::newRow("bottom sheet") << 1 << false;
  QTest::newRow("below the anchor") << 2 << true;
  QTest::newRow("left of the anchor") << 3 << true;
}

void TestProjectSettings::reportsByMode()
{
  QFETCH(int, mode);
  QFETCH(bool, live);
  Values v;
  v.mode = mode;
  Opened o(v);
  QCOMPARE(o.child<QWidget>("bottomPanel")->isVisible(), mode == 0);
  auto *topDone = o.child<QPushButton>("topDoneButton");
  QCOMPARE(topDone != nullptr, mode == 1);

  QTest::mouseClick(o.sizeButton(5), Qt::LeftButton);
  o.clickSegment(1);
  QTest::mouseClick(o.child<QCheckBox>("noColorCheckBox"), Qt::LeftButton);
  QTest::mouseClick(o.child<SwitchButton>("switchButton"), Qt::LeftButton);
  QTRY_VERIFY(o.popup->fixCoverImage());
  QCOMPARE(o.changes->size(), live ? 4 : 0);
  QCOMPARE(o.finished->size(), 0);
  QCOMPARE(o.popup->resolution(), 5);
  QCOMPARE(o.popup->direction(), false);
  QCOMPARE(o.popup->backgroundColor().alpha(), 0);

  QTest::keyClick(&o.w.top, Qt::Key_Return);
  QCOMPARE(o.finished->size(), 1);
  if (topDone) {
    QVERIFY(topDone->isVisible());
    QTest::mouseClick(topDone, Qt::LeftButton);
    QCOMPARE(o.finished->size(), 2);
  }
  QCOMPARE(o.changes->size(), live ? 4 : 0);
}

void TestProjectSettings::anchoredPlacement_data()
{
  QTest::addColumn<int>("mode");
  QTest::addColumn<QSize>("parent");
  QTest::addColumn<QRect>("panel");
  QTest::addColumn<QPoint>("arrow");
  QTest::addColumn<int>("arrowSide");
  // The anchor button is (W - 50, 20, 40, 30).
  QTest::newRow("below, near the right edge") << 2 << QSize(1000, 800) << QRect(511, 50, 480, 640)
                                              << QPoint(970 - 511, 0) << 0;
  QTest::newRow("left, moved down into view")
    << 3 << QSize(1000, 800) << QRect(590, 80, 360, 640) << QPoint(360, 35 - 80) << 2;
  QTest::newRow("left, parent too low: shortened")
    << 3 << QSize(1000, 500) << QRect(590, 10, 360, 480) << QPoint(360, 35 - 10) << 2;
  QTest::newRow("below, parent too low: shortened")
    << 2 << QSize(1000, 500) << QRect(511, 50, 480, 441) << QPoint(970 - 511, 0) << 0;
  QTest::newRow("below, little room: moved up")
    << 2 << QSize(1000, 250) << QRect(511, 11, 480, 230) << QPoint(970 - 511, 50 - 11) << 0;
  QTest::newRow("below, parent too narrow: centred")
    << 2 << QSize(490, 800) << QRect(5, 50, 480, 640) << QPoint(460 - 5, 0) << 0;
  QTest::newRow("bottom sheet") << 1 << QSize(1000, 800) << QRect(0, 40, 1000, 760) << QPoint(0, 0) << 0;
}

void TestProjectSettings::anchoredPlacement()
{
  QFETCH(int, mode);
  QFETCH(QSize, parent);
  QFETCH(QRect, panel);
  QFETCH(QPoint, arrow);
  QFETCH(int, arrowSide);
  Values v;
  v.mode = mode;
  Opened o(v, parent.width(), parent.height());
  auto *balloon = qobject_cast<PopupMainWidget *>(o.popup->mainWidget());
  QCOMPARE(balloon->geometry(), panel);
  QCOMPARE(balloon->arrowPoint(), arrow);
  if (arrow != QPoint(0, 0))
    QCOMPARE(balloon->arrowSide(), arrowSide);
  if (mode == 1) {
    auto *topDone = o.child<QPushButton>("topDoneButton");
    auto *topPanel = o.child<QWidget>("topPanel");
    QCOMPARE(topDone->geometry().right(), topPanel->width() - 11);
  }
}

void TestProjectSettings::frameRateMenu()
{
  Values v;
  v.mode = 2;
  v.frameRate = 29.97f;
  Opened o(v);
  auto *value = o.child<QLabel>("frameRateValueLabel");
  QCOMPARE(value->text(), QString("29.97"));
  MenuCapturingDialogs dialogs;
  o.clickRow("frameRateItemWidget"); // closed without a choice
  QCOMPARE(o.popup->frameRate(), 29.97f);
  QCOMPARE(o.changes->size(), 0);
  QVERIFY2(dialogs.headingText.contains("Frames Per Second"), qPrintable(dialogs.headingText));
  QCOMPARE(dialogs.calls[0].buttons, (QStringList{"", "60", "30", "25", "24"}));

  dialogs.answers << "24";
  Gestures::click(value, value->rect().center()); // the label lets the click through to its row
  QCOMPARE(o.popup->frameRate(), 24.0f);
  QCOMPARE(value->text(), QString("24"));
  QCOMPARE(o.changes->size(), 1);
}

TAVO_TEST_MAIN(TestProjectSettings)
#include "tst_popups_projectsettings.moc"
