#include "desktopmainwindow.h"
#include "projectmanager.h"
#include "scripteddialogprovider.h"
#include "settingswidget.h"
#include "switchbutton.h"
#include "testenv.h"
#include "usersettings.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTemporaryDir>

// The page works on the process-wide settings store; each test builds its own page.
class TestSettingsPage : public QObject
{
  Q_OBJECT

  std::unique_ptr<SettingsWidget> page;

  template <typename T>
  T *child(const char *name) const
  {
    T *widget = page->findChild<T *>(name);
    if (!widget)
      qFatal("no child %s", name);
    return widget;
  }

  static QPoint handleCentre(QSlider *slider)
  {
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider).center();
  }

  static void sendMouse(QWidget *widget, QEvent::Type type, const QPoint &pos)
  {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
  }

  void showPage()
  {
    page = std::make_unique<SettingsWidget>();
    page->resize(600, 900);
    page->show();
    QVERIFY(QTest::qWaitForWindowExposed(page.get()));
  }

private slots:
  void cleanup() { page.reset(); }

  void durationSlidersShowStoredValuesAndWriteOnRelease_data()
  {
    QTest::addColumn<QString>("prefix");
    QTest::newRow("photo") << "photoDuration";
    QTest::newRow("text") << "textDuration";
    QTest::newRow("self-drawing") << "selfDrawDuration";
  }
  void durationSlidersShowStoredValuesAndWriteOnRelease()
  {
    QFETCH(QString, prefix);
    UserSettings *settings = UserSettings::instance();
    const auto stored = [&] {
      return prefix == "photoDuration" ? settings->photoDuration()
             : prefix == "textDuration" ? settings->textDuration()
                                        : settings->drawingDuration();
    };
    settings->setPhotoDuration(2.0f);
    settings->setTextDuration(2.0f);
    settings->setDrawingDuration(2.0f);
    showPage();
    auto *slider = child<QSlider>(qPrintable(prefix + "Slider"));
    auto *label = child<QLabel>(qPrintable(prefix + "ValueLabel"));
    QCOMPARE(slider->value(), 20);
    QCOMPARE(label->text(), QString("2.0s"));

    const QPoint start = handleCentre(slider);
    sendMouse(slider, QEvent::MouseButtonPress, start);
    sendMouse(slider, QEvent::MouseMove, start + QPoint(120, 0));
    QVERIFY(slider->value() > 20);
    const int dragged = slider->value();
    QCOMPARE(label->text(), QString::asprintf("%.1fs", dragged / 10.0));
    QCOMPARE(stored(), 2.0f);

    sendMouse(slider, QEvent::MouseButtonRelease, start + QPoint(120, 0));
    QCOMPARE(stored(), dragged / 10.0f);
  }

  // Steps taken without dragging the handle have no release: they are stored at once.
  void durationStepsWithoutDragAreStored_data()
  {
    QTest::addColumn<bool>("key");
    QTest::newRow("arrow key") << true;
    QTest::newRow("track click") << false;
  }
  void durationStepsWithoutDragAreStored()
  {
    QFETCH(bool, key);
    UserSettings::instance()->setTextDuration(2.0f);
    showPage();
    auto *slider = child<QSlider>("textDurationSlider");
    if (key) {
      slider->setFocus();
      QTest::keyClick(slider, Qt::Key_Right);
    } else {
      const QPoint at(slider->width() - 5, handleCentre(slider).y());
      sendMouse(slider, QEvent::MouseButtonPress, at);
      sendMouse(slider, QEvent::MouseButtonRelease, at);
    }
    // How far a step goes is the style's and the desktop's choice; that it is kept is ours.
    QVERIFY(slider->value() > 20);
    QCOMPARE(UserSettings::instance()->textDuration(), slider->value() / 10.0f);
  }

  void truncatesStoredDurationToTenths()
  {
    UserSettings::instance()->setPhotoDuration(0.39f);
    showPage();
    QCOMPARE(child<QSlider>("photoDurationSlider")->value(), 3);
    QCOMPARE(child<QLabel>("photoDurationValueLabel")->text(), QString("0.3s"));
  }

  void hardwareSwitchFlipsDetail()
  {
    UserSettings::instance()->setHardwareCodec(true);
    showPage();
    auto *detail = child<QLabel>("hardwareAccelDetailLabel");
    QCOMPARE(detail->text(), QString("Enabled: high performance, loss compatibility"));
    auto *button = child<SwitchButton>("hardwareAccelSwitchButton");
    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_VERIFY(!UserSettings::instance()->hardwareCodec());
    QCOMPARE(detail->text(), QString("Disabled: better compatibility, loss performance"));
    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_VERIFY(UserSettings::instance()->hardwareCodec());
    QCOMPARE(detail->text(), QString("Enabled: high performance, loss compatibility"));
  }

  void switchesWriteTheirSettings_data()
  {
    QTest::addColumn<QString>("name");
    QTest::newRow("segment properties") << "segmentPropertiesSwitchButton";
    QTest::newRow("auto align") << "autoAlignSwitchButton";
    QTest::newRow("auto copy") << "autoCopyAssetsSwitchButton";
  }
  void switchesWriteTheirSettings()
  {
    QFETCH(QString, name);
    UserSettings *settings = UserSettings::instance();
    const auto stored = [&] {
      return name.startsWith("segment") ? settings->applyUserHabits()
             : name.startsWith("autoAlign") ? settings->autoDragDropAlign()
                                            : settings->autoCopyAssets();
    };
    showPage();
    auto *button = child<SwitchButton>(qPrintable(name));
    QCOMPARE(button->value(), stored());
    const bool before = stored();
    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_COMPARE(stored(), !before);
  }

  void resetAsksFirst_data()
  {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("emptied");
    QTest::newRow("cancel") << "Cancel" << false;
    QTest::newRow("reset") << "Reset" << true;
  }
  void resetAsksFirst()
  {
    QFETCH(QString, answer);
    QFETCH(bool, emptied);
    QSettings().setValue("User/TextFontSize", 42);
    showPage();
    QSignalSpy messages(page.get(), &SettingsWidget::issueShowTextMessage);
    ScriptedDialogProvider dialogs;
    dialogs.answers << answer;
    QTest::mouseClick(child<QPushButton>("segmentPropertiesResetButton"), Qt::LeftButton);
    QCOMPARE(dialogs.calls.size(), 1);
    QCOMPARE(dialogs.calls.first().text, QString("Do you really want to reset the saved segment properties?"));
    QStringList buttons = dialogs.calls.first().buttons; // the platform orders them
    buttons.sort();
    QCOMPARE(buttons, QStringList({"Cancel", "Reset"}));
    QSettings store;
    store.beginGroup("User");
    QCOMPARE(store.childKeys().isEmpty(), emptied);
    QCOMPARE(messages.size(), emptied ? 1 : 0);
    if (emptied)
      QCOMPARE(messages.first().first().toString(), QString("Segment properties reset successfully"));
  }

  void workingDirectoryChoice()
  {
    QTemporaryDir chosen;
    const QString before = UserSettings::instance()->workingDir();
    ProjectManager::setWorkingDirectory(before);
    showPage();
    auto *label = child<QLabel>("workingDirectoryValueLabel");
    QCOMPARE(label->text(), QDir::toNativeSeparators(before));
    QSignalSpy changed(page.get(), &SettingsWidget::workingDirectoryChanged);
    ScriptedDialogProvider dialogs;
    dialogs.answers << QVariant() << chosen.path();

    QTest::mouseClick(child<QPushButton>("workingDirectoryButton"), Qt::LeftButton);
    QCOMPARE(dialogs.calls.first().title, QString("Select working directory"));
    QCOMPARE(dialogs.calls.first().text, before);
    QCOMPARE(label->text(), QDir::toNativeSeparators(before));
    QCOMPARE(UserSettings::instance()->workingDir(), before);
    QCOMPARE(ProjectManager::workingDirectory(), before);
    QCOMPARE(changed.size(), 0);

    QTest::mouseClick(child<QPushButton>("workingDirectoryButton"), Qt::LeftButton);
    QCOMPARE(label->text(), QDir::toNativeSeparators(chosen.path()));
    QCOMPARE(UserSettings::instance()->workingDir(), QDir::toNativeSeparators(chosen.path()));
    QCOMPARE(ProjectManager::workingDirectory(), QDir::toNativeSeparators(chosen.path()));
    QCOMPARE(changed.size(), 1);
    UserSettings::instance()->setWorkingDir(before);
    ProjectManager::setWorkingDirectory(before);
  }

  // The open movie is found through the working directory at every save.
  void workingDirectoryKeptWhileAMovieIsOpen()
  {
    const QString before = UserSettings::instance()->workingDir();
    ProjectManager::setWorkingDirectory(before);
    showPage();
    QSignalSpy changed(page.get(), &SettingsWidget::workingDirectoryChanged);
    ScriptedDialogProvider dialogs;
    dialogs.answers << QVariant() << QDir::tempPath();
    {
      DesktopMainWindow editor("Trip", QString());
      QTest::mouseClick(child<QPushButton>("workingDirectoryButton"), Qt::LeftButton);
    }
    // The editor may first report its own (here missing) project; the page says why and asks no folder.
    QCOMPARE(dialogs.calls.value(dialogs.calls.size() - 1).title, QString("Working Directory"));
    QCOMPARE(ProjectManager::workingDirectory(), before);
    QCOMPARE(changed.size(), 0);
  }

  void hidingWritesOnlyChanges()
  {
    showPage();
    page->hide(); // writes whatever earlier tests changed
    const QString file = QSettings().fileName();
    QVERIFY(QFileInfo::exists(file));
    const QDateTime written = QFileInfo(file).lastModified();
    QTest::qWait(1100); // file times have one-second resolution on some file systems
    page->show();
    page->hide();
    QCOMPARE(QFileInfo(file).lastModified(), written);
    page->show();
    QTest::mouseClick(child<SwitchButton>("autoAlignSwitchButton"), Qt::LeftButton);
    QTRY_VERIFY(UserSettings::instance()->isDirty());
    page->hide();
    QVERIFY(QFileInfo(file).lastModified() > written);
  }

  void editorLayoutRowHidden()
  {
    showPage();
    QVERIFY(!child<QWidget>("videoEditorLayoutPanel")->isVisible());
    QVERIFY(!child<QWidget>("videoEditorLayoutSeparator")->isVisible());
    QVERIFY(child<QWidget>("photoDurationPanel")->isVisible());
  }
};

TAVO_TEST_MAIN(TestSettingsPage)
#include "tst_settingspage.moc"
