// The start window: form and navigation, archive drops and hand-overs, example projects,
// heads-up displays, the feedback mail and the once-per-run version check.

#include "avglwidget.h"
#include "desktopservices.h"
#include "leftsidelistwidget.h"
#include "leftsidelistwidgetitemdelegate.h"
#include "loopbackhttpserver.h"
#include "mainwindow.h"
#include "nativewebbrowserwidget.h"
#include "newversiondialog.h"
#include "progresshud.h"
#include "projectslistwidget.h"
#include "projectswidget.h"
#include "projectloader.h"
#include "projectmanager.h"
#include "propertymap.h"
#include "scripteddialogprovider.h"
#include "segment.h"
#include "segmentwidget.h"
#include "settingswidget.h"
#include "startwindow.h"
#include "testenv.h"
#include "textsegment.h"
#include "usersettings.h"
#include "util.h"

#include <QDir>
#include <QHostInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QNetworkAccessManager>
#include <QPointer>
#include <QTcpServer>
#include <QPushButton>
#include <QStackedWidget>
#include <QSysInfo>
#include <QTemporaryDir>

namespace {
const char *const kScript = "/cgi-bin/win-upcheck-tr2.pl";

// Records what the program asked of the desktop.
class RecordingDesktop : public DesktopServices
{
public:
  QList<QUrl> opened;
  bool openUrl(const QUrl &url) override
  {
    opened << url;
    return true;
  }
};

// The one editor window open, or null.
MainWindow *editorWindow()
{
  for (QWidget *widget : QApplication::topLevelWidgets())
    if (auto *editor = qobject_cast<MainWindow *>(widget))
      return editor;
  return nullptr;
}

// Debug lines of the run, to see what the window logged.
QStringList logged;
void recordMessage(QtMsgType, const QMessageLogContext &, const QString &message)
{
  logged << message;
}
} // namespace

class TestStartWindow : public QObject
{
  Q_OBJECT

  LoopbackHttpServer server;
  RecordingDesktop desktop;
  QTemporaryDir workingDir;
  std::unique_ptr<StartWindow> window;

  void showWindow()
  {
    window = std::make_unique<StartWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QVERIFY(waitWhileActive([&] { return window->isActiveWindow(); }));
  }

  // Other test programs on the same display may take the focus away; the check only runs
  // while the window is active, so give it back until the request arrived.
  bool waitWhileActive(const std::function<bool()> &done)
  {
    return QTest::qWaitFor(
        [&] {
          if (!window->isActiveWindow())
            window->activateWindow();
          return done();
        },
        15000);
  }
  bool waitForCheck(int requests)
  {
    return waitWhileActive([&] { return server.requests().filter(kScript).size() == requests; });
  }

  QString examples() const { return ProjectManager::projectsDirectory() + "/Examples"; }

  // A drag of one local file entering the window; whether the window accepted it.
  bool dragEnter(const QString &path, QMimeData &data)
  {
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent event(QPoint(400, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    event.setAccepted(false);
    QApplication::sendEvent(window.get(), &event);
    return event.isAccepted();
  }

private slots:
  void initTestCase()
  {
    qputenv("TAVO_UPDATE_CHECK_URL", server.url(kScript).toString().toUtf8());
    qputenv("TAVO_HELP_HOST", server.url("").toString().toUtf8());
    qputenv("TAVO_PRODUCT_SITE", "https://product.invalid/");
    qputenv("TAVO_SUPPORT_ADDRESS", "care@example.invalid");
    qputenv("TAVO_SMARTPHONE_PAGE", "https://mobile.invalid/app");
    server.serve("/tavoren2/user-help-desktop/index.html", "<html><body>help</body></html>");
    DesktopServices::setInstance(&desktop);
    UserSettings::instance()->setWorkingDir(workingDir.path());
    qInstallMessageHandler(recordMessage);
  }
  void cleanupTestCase()
  {
    qInstallMessageHandler(nullptr);
    DesktopServices::setInstance(nullptr);
  }
  void init()
  {
    desktop.opened.clear();
    logged.clear();
  }
  void cleanup()
  {
    // An editor left by a failed check must not answer the next test's dialogs.
    while (MainWindow *editor = editorWindow())
      delete editor;
    window.reset();
  }

  void formAndMenus()
  {
    showWindow();
    window->resize(800, 600);
    QCOMPARE(window->objectName(), QString("StartWindow"));
    LeftsideListWidget *list = window->navigationList();
    QCOMPARE(list->count(), 3);
    const QStringList rows{"Movies", "Settings", "Help"};
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(list->item(i)->text(), rows.at(i));
      QCOMPARE(list->item(i)->sizeHint(), QSize(75, 75));
      QVERIFY(!list->item(i)->icon().isNull());
    }
    QCOMPARE(list->currentRow(), 0);
    QCOMPARE(window->findChild<QWidget *>("leftsideWidget")->width(), 100);
    QVERIFY(!window->statusBar()->isVisible());

    const QList<QAction *> menus = window->menuBar()->actions();
    QCOMPARE(menus.size(), 2);
    QStringList file;
    for (QAction *action : menus.at(0)->menu()->actions())
      file << (action->isSeparator() ? "-" : action->text());
    QCOMPARE(file, QStringList({"New Movie...", "New Folder...", "-", "Import...", "-", "Close"}));
    QCOMPARE(menus.at(0)->menu()->actions().first()->shortcut(), QKeySequence(QKeySequence::New));
    QStringList help;
    for (QAction *action : menus.at(1)->menu()->actions())
      help << (action->isSeparator() ? "-" : action->text());
    QCOMPARE(help, QStringList({"Tavo REN Help", "Get Tavo REN on Smartphones", "-", "Feedback...", "-",
                                "About Tavo REN"}));
  }

  void titleFollowsThePage()
  {
    showWindow();
    LeftsideListWidget *list = window->navigationList();
    list->setCurrentRow(1);
    QCOMPARE(window->windowTitle(), QString("Settings"));
    QCOMPARE(window->stackedWidget()->currentWidget(), window->settingsPage());
    list->setCurrentRow(2);
    QVERIFY(window->helpPage());
    QCOMPARE(window->stackedWidget()->currentWidget(), window->helpPage());
    QTRY_COMPARE(window->windowTitle(), QString("Help Center"));
    QTRY_VERIFY(server.requests().filter("/tavoren2/user-help-desktop/index.html?product=tr&branch=help&topic=&").size() == 1);
    list->setCurrentRow(0);
    QCOMPARE(window->windowTitle(), QString("Movies"));
    // The help page goes with the window's close; shown again, "Help" brings it back.
    list->setCurrentRow(2);
    window->close();
    QVERIFY(!window->helpPage());
    window->show();
    QCOMPARE(window->stackedWidget()->currentWidget(), window->projectsPage());
    QCOMPARE(window->windowTitle(), QString("Movies"));
    list->setCurrentRow(2);
    QVERIFY(window->helpPage());
    QCOMPARE(window->stackedWidget()->currentWidget(), window->helpPage());
  }

  void folderOpenOnTheMoviesPage()
  {
    showWindow();
    QMenu *file = window->menuBar()->actions().at(0)->menu();
    QAction *newFolder = file->actions().at(1);
    ProjectsListWidget *list = window->projectsPage()->projectsListWidget();
    QCOMPARE(window->windowTitle(), QString("Movies"));
    list->changeDirectory("Examples");
    QTRY_COMPARE(window->windowTitle(), QString("Examples"));
    emit file->aboutToShow();
    QVERIFY(!newFolder->isEnabled());

    // A new working folder returns the page to its top level.
    QTemporaryDir other;
    ScriptedDialogProvider dialogs;
    dialogs.answers << other.path();
    window->navigationList()->setCurrentRow(1);
    QTest::mouseClick(window->settingsPage()->findChild<QPushButton *>("workingDirectoryButton"), Qt::LeftButton);
    QVERIFY(!list->isInFolder());
    window->navigationList()->setCurrentRow(0);
    QTRY_COMPARE(window->windowTitle(), QString("Movies"));
    emit file->aboutToShow();
    QVERIFY(newFolder->isEnabled());
    ProjectManager::setWorkingDirectory(workingDir.path());
    UserSettings::instance()->setWorkingDir(workingDir.path());
  }

  void drops_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("archive") << "a.tavorenproject" << true;
    QTest::newRow("movie") << "a.mp4" << false;
    QTest::newRow("dotted archive name") << "my.trip.tavorenproject" << true;
    QTest::newRow("suffix in capitals") << "a.TAVORENPROJECT" << false;
  }
  void drops()
  {
    QFETCH(QString, file);
    QFETCH(bool, accepted);
    showWindow();
    window->navigationList()->setCurrentRow(1);
    ScriptedDialogProvider dialogs;
    QMimeData data;
    const QString path = workingDir.filePath(file);
    QCOMPARE(dragEnter(path, data), accepted);
    QDropEvent drop(QPoint(400, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    if (!accepted) {
      QTest::qWait(400);
      QVERIFY(dialogs.calls.isEmpty());
      QCOMPARE(window->navigationList()->currentRow(), 1);
      return;
    }
    QCOMPARE(window->navigationList()->currentRow(), 0);
    QVERIFY(dialogs.calls.isEmpty()); // the question comes 200 ms later
    QTRY_COMPARE(dialogs.calls.size(), 1);
    QCOMPARE(dialogs.calls.first().title, QString("Import Project"));
    QCOMPARE(dialogs.calls.first().text, QString("Do you want to import project \"%1\" into Tavo REN?").arg(file));
    QStringList buttons = dialogs.calls.first().buttons;
    buttons.sort();
    QCOMPARE(buttons, QStringList({"Cancel", "Import"}));
  }

  void handedOverFiles_data()
  {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("asked");
    QTest::newRow("archive") << "/tmp/a.tavorenproject" << true;
    QTest::newRow("dotted archive name") << "/tmp/my.trip.tavorenproject" << false;
    QTest::newRow("movie") << "/tmp/a.mp4" << false;
  }
  void handedOverFiles()
  {
    QFETCH(QString, file);
    QFETCH(bool, asked);
    showWindow();
    ScriptedDialogProvider dialogs;
    window->openFileFromExternal(file);
    QCOMPARE(dialogs.calls.size(), asked ? 1 : 0);
  }

  void examplesInstalledAndRestored()
  {
    QVERIFY(QDir(examples()).removeRecursively());
    showWindow();
    QVERIFY(QFileInfo::exists(examples() + "/.folder"));
    const QString project = examples() + "/Welcome to Tavo REN";
    for (const char *name : {"project.xml", "properties.xml", "shot.jpg", "example.dat", "picture.jpg"})
      QVERIFY2(QFileInfo::exists(project + '/' + name), name);
    window.reset();

    QVERIFY(QDir(examples()).removeRecursively());
    showWindow();
    QVERIFY(QFileInfo::exists(project + "/project.xml"));
    QVERIFY(QFileInfo::exists(examples() + "/.folder"));
  }

  // The example project, opened from its tile as a user would, reads as a picture under a
  // title with their lengths, and the preview shows the picture.
  void exampleOpensInTheEditor()
  {
    showWindow();
    window->resize(1000, 700);
    ProjectsListWidget *list = window->projectsPage()->projectsListWidget();
    const auto doubleClickTile = [list](const QString &name) {
      QListWidgetItem *tile = nullptr;
      for (int i = 0; i < list->count() && !tile; ++i)
        if (list->item(i)->data(Qt::DisplayRole).toString() == name)
          tile = list->item(i);
      if (!tile)
        return false;
      const QPoint centre = list->visualItemRect(tile).center();
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
      QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
      return true;
    };
    QTRY_VERIFY(doubleClickTile("Examples"));
    QTRY_COMPARE(window->windowTitle(), QString("Examples"));
    const QString name = "Welcome to Tavo REN";
    QTRY_VERIFY(doubleClickTile(name));
    MainWindow *editor = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((editor = editorWindow()), 10000);
    QPointer<MainWindow> closed(editor);
    ProjectManager *manager = editor->projectManager();
    QVERIFY(QTest::qWaitFor(
        [&] {
          if (!editor->previewWidget() || editor->projectLoader() || editor->progressHUD()
              || manager->segmentCount() != 2)
            return false;
          return manager->segmentAt(0)->state() == SegmentReady && manager->segmentAt(1)->state() == SegmentReady;
        },
        30000));

    QMap<QString, Segment *> byType;
    for (int i = 0; i < manager->segmentCount(); ++i)
      byType.insert(manager->segmentAt(i)->type(), manager->segmentAt(i));
    QCOMPARE(byType.keys(), QStringList({"IMAGE", "TEXT"}));
    Segment *picture = byType.value("IMAGE");
    Segment *title = byType.value("TEXT");
    QCOMPARE(picture->fileName(), QString("picture.jpg"));
    QCOMPARE(static_cast<TextSegment *>(title)->text(), name);
    QCOMPARE(picture->duration(), 5.0f);
    QCOMPARE(title->rangeStart(), 0.5f);
    QCOMPARE(title->duration(), 4.0f);
    QCOMPARE(manager->duration(), 5.0f);
    // The blocks on screen are as long as their segments: 5 to 4.
    const int pictureWidth = static_cast<SegmentWidget *>(manager->segmentWidgetOf(picture))->width();
    const int titleWidth = static_cast<SegmentWidget *>(manager->segmentWidgetOf(title))->width();
    QVERIFY2(titleWidth > 0 && qAbs(pictureWidth * 4 - titleWidth * 5) <= 5 * 4,
             qPrintable(QString("%1 and %2 px").arg(pictureWidth).arg(titleWidth)));

    // The evening landscape fills the preview: most of it is far from black.
    QImage frame;
    const auto lit = [&] {
      frame = editor->previewWidget()->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
      int bright = 0, probes = 0;
      for (int y = frame.height() / 10; y < frame.height(); y += frame.height() / 10)
        for (int x = frame.width() / 10; x < frame.width(); x += frame.width() / 10, ++probes)
          bright += qGray(frame.pixel(x, y)) > 40;
      return probes > 0 && bright * 2 > probes;
    };
    QVERIFY2(QTest::qWaitFor(lit, 10000), "black preview");

    editor->close();
    QTRY_VERIFY_WITH_TIMEOUT(!closed, 20000);
  }

  void newWorkingFolderGetsExamples()
  {
    showWindow();
    QTemporaryDir other;
    ScriptedDialogProvider dialogs;
    dialogs.answers << other.path();
    window->navigationList()->setCurrentRow(1);
    QTest::mouseClick(window->settingsPage()->findChild<QPushButton *>("workingDirectoryButton"), Qt::LeftButton);
    QCOMPARE(ProjectManager::workingDirectory(), other.path());
    QVERIFY(QFileInfo::exists(ProjectManager::projectsDirectory() + "/Examples/.folder"));
    QVERIFY(ProjectManager::projectsDirectory().startsWith(other.path()));
    ProjectManager::setWorkingDirectory(workingDir.path());
    UserSettings::instance()->setWorkingDir(workingDir.path());
  }

  void unusableWorkingFolderInstallsNothing()
  {
    // A file where the working folder should be: no projects folder can be made in it.
    QFile blocker(workingDir.filePath("not-a-folder"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    ProjectManager::setWorkingDirectory(blocker.fileName());
    QCOMPARE(ProjectManager::projectsDirectory(), QString());
    const bool before = QFileInfo::exists("/Examples");
    StartWindow::installExampleProjects();
    QCOMPARE(QFileInfo::exists("/Examples"), before);
    QVERIFY(!QFileInfo::exists(QDir::currentPath() + "/Examples"));
    ProjectManager::setWorkingDirectory(workingDir.path());
  }

  void headsUpDisplay()
  {
    showWindow();
    window->showWaitingHUD("Working");
    ProgressHUD *hud = window->headsUpDisplay();
    QVERIFY(hud);
    QCOMPARE(hud->style(), int(ProgressHUDStyleSpinner));
    QCOMPARE(hud->geometry(), QRect(0, 0, window->width(), window->height()));
    // A second request reuses the display, whatever its style.
    window->showProgressHUD("Copying", 0.5f);
    QCOMPARE(window->headsUpDisplay(), hud);
    window->hideProgressHUD();
    QVERIFY(!window->headsUpDisplay());
    window->hideWaitingHUD(); // nothing shown: nothing happens
    window->showProgressHUD("Copying", 0.25f);
    QCOMPARE(window->headsUpDisplay()->style(), int(ProgressHUDStyleProgress));
    window->hideWaitingHUD();
    QVERIFY(!window->headsUpDisplay());
  }

  void helpMenuEntries()
  {
    showWindow();
    const QList<QAction *> help = window->menuBar()->actions().at(1)->menu()->actions();
    help.at(1)->trigger();
    QCOMPARE(desktop.opened, QList<QUrl>{QUrl("https://mobile.invalid/app")});
    help.at(0)->trigger();
    QCOMPARE(window->navigationList()->currentRow(), 2);
    QCOMPARE(window->stackedWidget()->currentWidget(), window->helpPage());
  }

  void feedbackMail()
  {
    showWindow();
    window->feedback();
    QCOMPARE(desktop.opened.size(), 1);
    const QString expected =
        "mailto:care@example.invalid?subject=Tavo%20REN%20Feedback&body=How%20do%20you%20think%20about%20Tavo%20REN?"
        "%20What%20features%20do%20you%20want%20to%20see%20in%20the%20next%20version%20of%20Tavo%20REN?%20Or%20do%20you"
        "%20want%20to%20report%20a%20bug?%20All%20about%20Tavo%20REN,%20please%20tell%20us.%0A%0A%0A%0A%0A%0A%0A%0A"
        "%3CFrom%20Tavo%20REN%20v2.3.5%20on%20" +
        QString(QHostInfo::localHostName()).replace(' ', "%20") + "%20with%20" +
        QSysInfo::prettyProductName().replace(' ', "%20") + "%3E";
    QCOMPARE(desktop.opened.first().toString(QUrl::FullyEncoded), QUrl(expected).toString(QUrl::FullyEncoded));
    QVERIFY(logged.filter("Email url ").size() == 1);
  }

  void labelShrinksToFit()
  {
    QFont font;
    font.setPointSize(12);
    const QFont fitted = LeftsideListWidgetItemDelegate::fittingFont(font, "Settings", 10);
    QCOMPARE(fitted.pointSize(), 6); // never fits: stops at the floor
    QCOMPARE(LeftsideListWidgetItemDelegate::fittingFont(font, "Help", 500).pointSize(), 12);
  }

  // --- the version check ---

  void versionReplies_data()
  {
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("shown");
    QTest::newRow("newer") << QByteArray("2.4.0##https://get.invalid/dl") << true;
    QTest::newRow("same") << QByteArray("2.3.5##https://get.invalid/dl") << false;
    QTest::newRow("three fields") << QByteArray("2.4.0##https://get.invalid/dl##x") << false;
    QTest::newRow("no separator") << QByteArray("2.4.0") << false;
    QTest::newRow("text order: 2.10.0 is older") << QByteArray("2.10.0##https://get.invalid/dl") << false;
  }
  void versionReplies()
  {
    QFETCH(QByteArray, body);
    QFETCH(bool, shown);
    server.serve(kScript, body, "text/plain");
    const int before = server.requests().filter(kScript).size();
    ScriptedDialogProvider dialogs;
    QStringList texts;
    dialogs.onDialog = [&](QDialog *dialog) {
      for (QLabel *label : dialog->findChildren<QLabel *>())
        texts << label->text();
      for (QPushButton *button : dialog->findChildren<QPushButton *>())
        texts << button->text();
      texts << dialog->windowTitle() << QString("%1x%2").arg(dialog->width()).arg(dialog->height());
      return int(QDialog::Rejected);
    };
    server.holdAnswers();
    showWindow();
    QVERIFY(waitForCheck(before + 1));
    auto *network = window->findChild<QNetworkAccessManager *>();
    QVERIFY(network);
    QSignalSpy replied(network, &QNetworkAccessManager::finished);
    QVERIFY(waitWhileActive([&] { return window->isActiveWindow(); }));
    server.releaseAnswers();
    QVERIFY(replied.wait(10000));
    const QString request = server.requests().filter(kScript).last();
    QVERIFY2(QRegularExpression("^/cgi-bin/win-upcheck-tr2\\.pl\\?product=tr&dev=[^&]*&os=[^&]*&ver=2\\.3\\.5&from=[^&]*"
                                "&lang=[^&]*&end=1$")
                 .match(request)
                 .hasMatch(),
             qPrintable(request));
    if (shown) {
      QCOMPARE(dialogs.calls.size(), 1);
      for (const char *text : {"A new version of Tavo REN is available.", "2.3.5", "2.4.0", "Download new version",
                               "See what's new", "New Version", "341x199"})
        QVERIFY2(texts.contains(text), text);
    } else {
      QVERIFY(dialogs.calls.isEmpty());
    }
    // Once per run: nothing is asked again.
    window->checkForNewVersion();
    QCOMPARE(server.requests().filter(kScript).size(), before + 1);
  }

  void inactiveWindowShowsNothingAndNeverAsksAgain()
  {
    server.serve(kScript, "2.4.0##https://get.invalid/dl", "text/plain");
    server.holdAnswers();
    const int before = server.requests().filter(kScript).size();
    ScriptedDialogProvider dialogs;
    showWindow();
    QVERIFY(waitForCheck(before + 1));
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitFor([&] {
      if (!other.isActiveWindow())
        other.activateWindow();
      return other.isActiveWindow();
    }, 15000));
    server.releaseAnswers();
    QTRY_COMPARE(logged.filter("Check new version:").size(), 1);
    QVERIFY(dialogs.calls.isEmpty());
    QVERIFY(waitWhileActive([&] { return window->isActiveWindow(); }));
    QTest::qWait(1300);
    QCOMPARE(server.requests().filter(kScript).size(), before + 1);
  }

  void activationsWithinASecondSendOneRequest()
  {
    server.serve(kScript, "2.3.5##https://get.invalid/dl", "text/plain");
    const int before = server.requests().filter(kScript).size();
    showWindow();
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitFor([&] {
      if (!other.isActiveWindow())
        other.activateWindow();
      return other.isActiveWindow();
    }, 15000));
    QVERIFY(waitWhileActive([&] { return window->isActiveWindow(); }));
    QVERIFY(waitForCheck(before + 1));
    QTest::qWait(1300);
    QCOMPARE(server.requests().filter(kScript).size(), before + 1);
  }

  void refusedConnectionLogsOnly()
  {
    QTcpServer gone;
    QVERIFY(gone.listen(QHostAddress::LocalHost, 0));
    const quint16 port = gone.serverPort();
    gone.close();
    qputenv("TAVO_UPDATE_CHECK_URL", QString("http://127.0.0.1:%1%2").arg(port).arg(kScript).toUtf8());
    ScriptedDialogProvider dialogs;
    showWindow();
    QVERIFY(waitWhileActive([] { return logged.filter("Network error ").size() == 1; }));
    QVERIFY(logged.filter("Network error ").first().contains("ConnectionRefusedError"));
    QVERIFY(dialogs.calls.isEmpty());
    qputenv("TAVO_UPDATE_CHECK_URL", server.url(kScript).toString().toUtf8());
  }

  void downloadAddresses_data()
  {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("opened");
    QTest::newRow("web page") << "https://get.invalid/dl" << "https://get.invalid/dl";
    QTest::newRow("plain http") << "http://get.invalid/dl" << "http://get.invalid/dl";
    QTest::newRow("empty") << "" << "https://product.invalid/";
    QTest::newRow("local file") << "file:///etc/passwd" << "https://product.invalid/";
    QTest::newRow("custom handler") << "steam://run/1" << "https://product.invalid/";
    QTest::newRow("no host") << "https:///dl" << "https://product.invalid/";
  }
  void downloadAddresses()
  {
    QFETCH(QString, address);
    QFETCH(QString, opened);
    NewVersionDialog dialog("2.4.0", address);
    QTest::mouseClick(dialog.findChild<QPushButton *>("downloadButton"), Qt::LeftButton);
    QCOMPARE(desktop.opened, QList<QUrl>{QUrl(opened)});
  }

  void whatsNewOpensHelp()
  {
    NewVersionDialog dialog("2.4.0", "https://get.invalid/dl");
    QTest::mouseClick(dialog.findChild<QPushButton *>("whatsNewButton"), Qt::LeftButton);
    QCOMPARE(desktop.opened.size(), 1);
    QCOMPARE(desktop.opened.first(), QUrl(Util::userHelpUrl("whats_new")));
    QVERIFY(desktop.opened.first().query().contains("topic=whats_new"));
    QVERIFY(desktop.opened.first().toString().startsWith(server.url("/tavoren2/user-help-desktop/index.html").toString()));
  }
};

TAVO_TEST_MAIN(TestStartWindow)
#include "tst_startwindow.moc"
