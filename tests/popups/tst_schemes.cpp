// Colour schemes of the colour adjustment popup: the options menu, saving under cleaned
// names (and failing honestly), built-in and user schemes, and managing the user schemes.

#include "animationswitch.h"
#include "gestures.h"
#include "popupcolorsscrollwidget.h"
#include "popupcolorsscrollwidgetedititemwidget.h"
#include "popupcolorsscrollwidgetoneslideritemwidget.h"
#include "popuptestwindow.h"
#include "scripteddialogprovider.h"
#include "testenv.h"

#include <QDir>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>

#include <csignal>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

using Values = PopupColorsScrollWidget::Values;
Q_DECLARE_METATYPE(Values)

namespace {

// Remembers the entries of the last menu, and which were disabled.
struct Dialogs : ScriptedDialogProvider
{
  QStringList entries;
  QStringList schemeEntries;
  QStringList disabled;
  QAction *execMenu(QMenu *menu, const QPoint &pos, QAction *at) override
  {
    entries.clear();
    schemeEntries.clear();
    disabled.clear();
    for (QAction *action : menu->actions()) {
      if (action->isSeparator())
        continue;
      entries << action->text();
      if (!action->isEnabled())
        disabled << action->text();
      if (action->menu())
        for (QAction *inner : action->menu()->actions())
          if (!inner->isSeparator())
            schemeEntries << inner->text();
    }
    return ScriptedDialogProvider::execMenu(menu, pos, at);
  }
  // The scheme name dialog: the next answer is the typed text, none is Cancel.
  int execDialog(QDialog *dialog) override
  {
    auto *input = qobject_cast<QInputDialog *>(dialog);
    if (!input)
      return ScriptedDialogProvider::execDialog(dialog);
    calls.append({"textInput", input->windowTitle(), input->labelText(),
                  {input->okButtonText(), input->cancelButtonText()}});
    if (answers.isEmpty() || !answers.first().isValid())
      return QDialog::Rejected;
    input->setTextValue(answers.takeFirst().toString());
    return QDialog::Accepted;
  }
};

// Root writes anywhere; without this capability it meets a folder's permissions like
// anyone else (capabilities belong to the thread, the one that saves).
class WithoutWriteOverride
{
public:
  WithoutWriteOverride()
  {
    if (syscall(SYS_capget, &_header, _saved) != 0)
      return;
    __user_cap_data_struct reduced[2] = {_saved[0], _saved[1]};
    reduced[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
    _dropped = syscall(SYS_capset, &_header, reduced) == 0;
  }
  ~WithoutWriteOverride()
  {
    if (_dropped)
      syscall(SYS_capset, &_header, _saved);
  }

private:
  __user_cap_header_struct _header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct _saved[2]{};
  bool _dropped = false;
};

const Values someValues{10, -20, 30, 0, 0, 0, 0, 0, 5};
const QStringList builtIns{"[None]", "[Mono]", "[Cold]", "[Warm]", "[Yellow]"};

PopupColorsScrollWidget *overlay(PopupTestWindow &w, const Values &v)
{
  auto *popup = new PopupColorsScrollWidget(&w.top);
  popup->showPopupWithValues(&w.top, QPoint(600, 700), v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]);
  return popup;
}

void click(QWidget *w)
{
  Gestures::click(w, w->rect().center());
}

QString folder()
{
  return PopupColorsScrollWidget::schemesFolder();
}

void writeScheme(const QString &name, const QByteArray &ini)
{
  QDir().mkpath(folder());
  QFile file(folder() + "/" + name + ".scheme");
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(ini);
}

// The keys of an INI text, read without QSettings (and its cache) in between.
QMap<QString, QString> keysOf(const QByteArray &ini)
{
  QMap<QString, QString> keys;
  for (const QByteArray &line : ini.split('\n'))
    if (line.contains('='))
      keys.insert(line.left(line.indexOf('=')), line.mid(line.indexOf('=') + 1));
  return keys;
}

QMap<QString, QString> fileKeys(const QString &name)
{
  QFile file(folder() + "/" + name + ".scheme");
  return file.open(QIODevice::ReadOnly) ? keysOf(file.readAll()) : QMap<QString, QString>();
}

QByteArray iniOf(const Values &v)
{
  const char *const keys[] = {"saturation", "brightness", "contrast", "whiteBalance", "exposure",
                              "hue",        "red",        "green",    "blue"};
  QByteArray ini = "[General]\nversion=1\n";
  for (int i = 0; i < 9; ++i)
    ini += QByteArray(keys[i]) + "=" + QByteArray::number(v[size_t(i)]) + "\n";
  return ini;
}

Values valuesOf(const QList<QVariant> &schemeChanged)
{
  Values v{};
  for (int i = 0; i < 9; ++i)
    v[size_t(i)] = schemeChanged[i + 1].toInt();
  return v;
}

// Values, expansion and sliders agree with v.
QString rowsShow(PopupColorsScrollWidget *popup, const Values &v)
{
  if (popup->values() != v)
    return "values differ";
  for (int i = 0; i < 9; ++i) {
    auto *row = popup->sliderItems().value(i);
    if (!row)
      return QString("row %1 missing").arg(i);
    if (row->slider()->value() != v[size_t(i)] || popup->isExpanded(i) != (v[size_t(i)] != 0) ||
        row->height() != (v[size_t(i)] != 0 ? 95 : 45))
      return QString("row %1 shows %2").arg(i).arg(row->slider()->value());
  }
  return QString();
}

QStringList editNames(PopupColorsScrollWidget *popup)
{
  QStringList names;
  for (auto *item : popup->editItems())
    names << item->label()->text();
  return names;
}

} // namespace

class TestSchemes : public QObject
{
  Q_OBJECT
private slots:
  void init()
  {
    setAnimationEnabled(false);
    QFile::remove(folder());
    QDir(folder()).removeRecursively();
  }
  void saveNeedsAValue();
  void savedUnderCleanedName_data();
  void savedUnderCleanedName();
  void failedSavesAreReported_data();
  void failedSavesAreReported();
  void builtInSchemes_data();
  void builtInSchemes();
  void userSchemeFiles_data();
  void userSchemeFiles();
  void manageOnlyWithUserSchemes();
  void removingAsksAndKeepsTheScroll();
  void removingTheLastAndDone();
};

void TestSchemes::saveNeedsAValue()
{
  PopupTestWindow w;
  PopupColorsScrollWidget *popup = overlay(w, Values{});
  Dialogs dialogs;
  dialogs.answers << QString("Save as Scheme...");
  click(popup->optionsButton());
  QCOMPARE(dialogs.entries, (QStringList{"Schemes", "Save as Scheme..."}));
  QCOMPARE(dialogs.disabled, QStringList{"Save as Scheme..."});
  QCOMPARE(dialogs.schemeEntries, builtIns);
  QCOMPARE(dialogs.kinds(), QStringList{"menu"}); // no name asked for

  // One value moved by the user is enough.
  click(popup->sliderItems()[6]->titleLabel());
  click(popup->sliderItems()[6]->valueUpButton());
  click(popup->optionsButton());
  QCOMPARE(dialogs.disabled, QStringList());
}

void TestSchemes::savedUnderCleanedName_data()
{
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("name");
  QTest::newRow("slash, colon") << "a/b:c" << "a b c";
  QTest::newRow("backslash") << "x\\y" << "x y";
  QTest::newRow("dot") << "Film.Look" << "Film.Look";
  QTest::newRow("only slashes") << "//" << "  ";
}

void TestSchemes::savedUnderCleanedName()
{
  QFETCH(QString, typed);
  QFETCH(QString, name);
  PopupTestWindow w;
  PopupColorsScrollWidget *popup = overlay(w, someValues);
  QSignalSpy messages(popup, &PopupColorsScrollWidget::needtoDisplayMessage);
  Dialogs dialogs;
  dialogs.answers << QString("Save as Scheme...") << typed;
  click(popup->optionsButton());
  QCOMPARE(dialogs.kinds(), (QStringList{"menu", "textInput"}));
  QCOMPARE(dialogs.calls[1].title, QString("Save as Scheme"));
  QCOMPARE(dialogs.calls[1].text, QString("Enter scheme name"));
  QCOMPARE(dialogs.calls[1].buttons, (QStringList{"Save", "Cancel"}));
  QCOMPARE(messages.count(), 1);
  QCOMPARE(messages[0][1].toString(), QString("Color scheme saved"));
  QCOMPARE(QDir(folder()).entryList(QDir::Files), QStringList{name + ".scheme"});
  QCOMPARE(fileKeys(name), keysOf(iniOf(someValues)));
  click(popup->optionsButton());
  QCOMPARE(dialogs.schemeEntries, QStringList{name} + builtIns);
  QVERIFY(dialogs.entries.contains("Manage..."));
}

void TestSchemes::failedSavesAreReported_data()
{
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("setup");
  QTest::newRow("empty name") << "" << "";
  QTest::newRow("folder is a file") << "Film" << "file";
  QTest::newRow("read-only folder") << "Film" << "read-only";
  QTest::newRow("read-only folder, scheme there") << "Film" << "read-only, existing";
  QTest::newRow("disk full, scheme there") << "Film" << "full, existing";
}

void TestSchemes::failedSavesAreReported()
{
  QFETCH(QString, typed);
  QFETCH(QString, setup);
  const QByteArray before = iniOf(Values{1, 2, 3, 4, 5, 6, 7, 8, 9});
  if (setup == "file") {
    QDir().mkpath(QFileInfo(folder()).path());
    QFile file(folder());
    QVERIFY(file.open(QIODevice::WriteOnly));
  } else if (setup.endsWith("existing")) {
    writeScheme("Film", before);
  }
  if (setup.startsWith("read-only")) {
    QDir().mkpath(folder());
    QFile::setPermissions(folder(), QFile::ReadOwner | QFile::ExeOwner);
  }
  PopupTestWindow w;
  PopupColorsScrollWidget *popup = overlay(w, someValues);
  QSignalSpy messages(popup, &PopupColorsScrollWidget::needtoDisplayMessage);
  Dialogs dialogs;
  dialogs.answers << QString("Save as Scheme...") << typed;
  {
    WithoutWriteOverride asAnyone;
    // A file-size limit makes the write fail as a full disk would.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    if (setup.startsWith("full")) {
      std::signal(SIGXFSZ, SIG_IGN);
      rlimit tight = old;
      tight.rlim_cur = 40;
      QCOMPARE(setrlimit(RLIMIT_FSIZE, &tight), 0);
    }
    click(popup->optionsButton());
    setrlimit(RLIMIT_FSIZE, &old);
  }
  QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QCOMPARE(messages.count(), 1);
  QCOMPARE(messages[0][1].toString(), QString("Cannot save the color scheme"));
  if (setup.endsWith("existing")) {
    QCOMPARE(fileKeys("Film"), keysOf(before));
    QCOMPARE(QDir(folder()).entryList(QDir::Files | QDir::Hidden), QStringList{"Film.scheme"});
    // Loading it shows what is on disk, not what failed to get there.
    QSignalSpy applied(popup, &PopupColorsScrollWidget::schemeChanged);
    dialogs.answers << QString("Film");
    click(popup->optionsButton());
    QCOMPARE(applied.count(), 1);
    QCOMPARE(valuesOf(applied[0]), (Values{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  } else
    QVERIFY(!QFile::exists(folder() + "/Film.scheme"));
}

void TestSchemes::builtInSchemes_data()
{
  QTest::addColumn<QString>("scheme");
  QTest::addColumn<Values>("expected");
  QTest::newRow("none") << "[None]" << Values{};
  QTest::newRow("mono") << "[Mono]" << Values{-100, 0, 0, 0, 0, 0, 0, 0, 0};
  QTest::newRow("cold") << "[Cold]" << Values{0, 0, 0, -100, 0, 0, 0, 0, 0};
  QTest::newRow("warm") << "[Warm]" << Values{0, 0, 0, 100, 0, 0, 0, 0, 0};
  QTest::newRow("yellow") << "[Yellow]" << Values{0, 0, 0, 0, 0, 0, 50, 50, -100};
}

void TestSchemes::builtInSchemes()
{
  QFETCH(QString, scheme);
  QFETCH(Values, expected);
  PopupTestWindow w;
  PopupColorsScrollWidget *popup = overlay(w, Values{1, 2, 3, 4, 5, 6, 7, 8, 9});
  QSignalSpy applied(popup, &PopupColorsScrollWidget::schemeChanged);
  QSignalSpy saturation(popup, &PopupColorsScrollWidget::saturationChanged);
  QSignalSpy saturationChanging(popup, &PopupColorsScrollWidget::saturationChanging);
  Dialogs dialogs;
  dialogs.answers << scheme;
  click(popup->optionsButton());
  QCOMPARE(applied.count(), 1);
  QCOMPARE(valuesOf(applied[0]), expected);
  QCOMPARE(rowsShow(popup, expected), QString());
  QCOMPARE(saturation.count() + saturationChanging.count(), 0);
}

void TestSchemes::userSchemeFiles_data()
{
  QTest::addColumn<QByteArray>("ini");
  QTest::addColumn<bool>("applies");
  QTest::addColumn<Values>("expected");
  const Values v{0, 0, 25, 0, 0, -60, 0, 0, 0};
  QTest::newRow("version 1") << iniOf(v) << true << v;
  QTest::newRow("version 2") << QByteArray(iniOf(v)).replace("version=1", "version=2") << false << Values{};
  QTest::newRow("no version") << QByteArray(iniOf(v)).replace("version=1\n", "") << false << Values{};
  QTest::newRow("missing keys, out of range")
    << QByteArray("[General]\nversion=1\nhue=500\nred=-101\n") << true << Values{0, 0, 0, 0, 0, 100, -100, 0, 0};
}

void TestSchemes::userSchemeFiles()
{
  QFETCH(QByteArray, ini);
  QFETCH(bool, applies);
  QFETCH(Values, expected);
  writeScheme("Film.Look", ini);
  PopupTestWindow w;
  PopupColorsScrollWidget *popup = overlay(w, someValues);
  QSignalSpy applied(popup, &PopupColorsScrollWidget::schemeChanged);
  QSignalSpy messages(popup, &PopupColorsScrollWidget::needtoDisplayMessage);
  Dialogs dialogs;
  dialogs.answers << QString("Film.Look");
  click(popup->optionsButton());
  QCOMPARE(dialogs.schemeEntries, QStringList{"Film.Look"} + builtIns);
  QCOMPARE(applied.count(), applies ? 1 : 0);
  QCOMPARE(rowsShow(popup, applies ? expected : someValues), QString());
  QCOMPARE(messages.count(), 0);
}

void TestSchemes::manageOnlyWithUserSchemes()
{
  PopupTestWindow w;
  PopupColorsScrollWidget *popup = overlay(w, someValues);
  Dialogs dialogs;
  click(popup->optionsButton());
  QCOMPARE(dialogs.entries, (QStringList{"Schemes", "Save as Scheme..."}));
  writeScheme("Mine", iniOf(someValues));
  click(popup->optionsButton());
  QCOMPARE(dialogs.entries, (QStringList{"Schemes", "Save as Scheme...", "Manage..."}));
  // Files of other kinds are no schemes.
  QFile::remove(folder() + "/Mine.scheme");
  QFile other(folder() + "/Other.SCHEME");
  QVERIFY(other.open(QIODevice::WriteOnly));
  click(popup->optionsButton());
  QCOMPARE(dialogs.entries, (QStringList{"Schemes", "Save as Scheme..."}));
}

void TestSchemes::removingAsksAndKeepsTheScroll()
{
  for (int i = 0; i < 14; ++i)
    writeScheme(QString("s%1").arg(i, 2, 10, QChar('0')), iniOf(someValues));
  PopupTestWindow w;
  PopupColorsScrollWidget *popup = overlay(w, someValues);
  Dialogs dialogs;
  dialogs.answers << QString("Manage...");
  click(popup->optionsButton());
  QVERIFY(popup->isManaging());
  QCOMPARE(popup->editItems().size(), 14);
  QVERIFY(popup->sliderItems().isEmpty());
  QCOMPARE(popup->scrollAreaWidget()->height(), 14 * 45);
  QScrollBar *bar = popup->scrollArea()->verticalScrollBar();
  bar->setValue(100);

  dialogs.answers << QString("Cancel");
  click(popup->editItems()[5]->deleteButton());
  QCOMPARE(dialogs.calls.last().title, QString("Remove Scheme"));
  QCOMPARE(dialogs.calls.last().text, QString("Do you really want to remove scheme \"s05\"?"));
  QVERIFY(dialogs.calls.last().buttons.contains("Remove"));
  QVERIFY(QFile::exists(folder() + "/s05.scheme"));
  QCOMPARE(popup->editItems().size(), 14);

  dialogs.answers << QString("Remove");
  click(popup->editItems()[5]->deleteButton());
  QVERIFY(!QFile::exists(folder() + "/s05.scheme"));
  QCOMPARE(popup->editItems().size(), 13);
  QVERIFY(!editNames(popup).contains("s05"));
  QCOMPARE(editNames(popup).first(), QString("s00"));
  QCOMPARE(popup->editItems()[5]->y(), 5 * 45);
  QCOMPARE(bar->value(), 100);

  // A file gone behind the list's back cannot be removed.
  QSignalSpy messages(popup, &PopupColorsScrollWidget::needtoDisplayMessage);
  QFile::remove(folder() + "/s06.scheme");
  dialogs.answers << QString("Remove");
  click(popup->editItems()[5]->deleteButton());
  QCOMPARE(messages.count(), 1);
  QCOMPARE(messages[0][1].toString(), QString("Remove scheme failed"));
}

void TestSchemes::removingTheLastAndDone()
{
  writeScheme("Only", iniOf(someValues));
  PopupTestWindow w;
  PopupColorsScrollWidget *popup = overlay(w, someValues);
  // The user's own expansion: the first row (10) folded, the fourth (0) opened.
  click(popup->sliderItems()[0]->titleLabel());
  click(popup->sliderItems()[3]->titleLabel());
  Dialogs dialogs;
  dialogs.answers << QString("Manage...") << QString("Remove");
  click(popup->optionsButton());
  QVERIFY(!popup->optionsButton());
  QVERIFY(popup->doneButton());
  QCOMPARE(popup->doneButton()->text(), QString("Done"));
  click(popup->editItems()[0]->deleteButton());
  QVERIFY(popup->editItems().isEmpty());
  QVERIFY(QDir(folder()).entryList(QDir::Files).isEmpty());
  QVERIFY(popup->doneButton()->isVisible());

  click(popup->doneButton());
  QVERIFY(!popup->isManaging());
  QVERIFY(!popup->doneButton());
  QVERIFY(popup->optionsButton());
  QTRY_VERIFY(popup->optionsButton()->isVisible());
  QCOMPARE(popup->values(), someValues);
  int y = 0;
  for (int i = 0; i < 9; ++i) {
    auto *row = popup->sliderItems()[i];
    const bool expanded = i == 1 || i == 2 || i == 3 || i == 8;
    QCOMPARE(row->slider()->value(), someValues[size_t(i)]);
    QCOMPARE(popup->isExpanded(i), expanded);
    QCOMPARE(row->geometry(), QRect(0, y, row->width(), expanded ? 95 : 45));
    y += row->height();
  }
}

TAVO_TEST_MAIN(TestSchemes)
#include "tst_schemes.moc"
