// The explorer frame: the facade, the tab strip with its pages, and the horizontal variant.

#include "giphyfixtures.h"
#include "giphygifswidget.h"
#include "horizontalmediaexplorerwidget.h"
#include "localfileswidget.h"
#include "loopbackhttpserver.h"
#include "mediaexplorer.h"
#include "resourceassetslistwidget.h"
#include "resourceassetswidget.h"
#include "roundtabwidget.h"
#include "tabsmediaexplorerwidget.h"
#include "screenshot.h"
#include "filesizelimit.h"
#include "testenv.h"
#include "tooltipbutton.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>

class TestExplorer : public QObject
{
  Q_OBJECT
private slots:
  void init();
  void storedTab_data();
  void storedTab();
  void settingsReachTheProjectWhole();
  void settingsKeptWhateverTheTemporaryFolder_data();
  void settingsKeptWhateverTheTemporaryFolder();
  void tabsBuildPagesOnceAndKeepThem();
  void facade();
  void mediaIds();
  void horizontalVariant();

private:
  std::unique_ptr<QTemporaryDir> _project;
};

namespace {
QStringList tabTitles(TabsMediaExplorerWidget *widget)
{
  QStringList titles;
  for (QPushButton *button : widget->tabButtons())
    titles << button->text();
  return titles;
}

void writeTabIndex(const QString &projectDir, const QVariant &index)
{
  QSettings settings(projectDir + "/media.config", QSettings::IniFormat);
  settings.setValue("Tabs/Index", index);
}
} // namespace

void TestExplorer::init()
{
  _project.reset(new QTemporaryDir);
}

void TestExplorer::storedTab_data()
{
  QTest::addColumn<QVariant>("stored");
  QTest::addColumn<int>("opened");
  QTest::newRow("none") << QVariant() << 0;
  QTest::newRow("sound effects") << QVariant(2) << 2;
  QTest::newRow("past the last") << QVariant(5) << 0;
  QTest::newRow("negative") << QVariant(-1) << 0;
}

void TestExplorer::storedTab()
{
  QFETCH(QVariant, stored);
  QFETCH(int, opened);
  if (stored.isValid())
    writeTabIndex(_project->path(), stored);
  {
    TabsMediaExplorerWidget widget(_project->path(), nullptr);
    QCOMPARE(tabTitles(&widget), QStringList({"Local Files", "Music", "Sound FX", "Stickers", "GIPHY"}));
    QCOMPARE(widget.currentIndex(), opened);
    QCOMPARE(widget.tabButtons().at(opened)->property("highlighted").toBool(), true);
    QCOMPARE(widget.marker()->geometry(), widget.tabButtons().at(opened)->geometry().adjusted(-10, 0, 10, 0));
    QCOMPARE(widget.localFilesPage() != nullptr, opened == 0);
    QCOMPARE(widget.soundFxPage() != nullptr, opened == 2);
    widget.selectTab(3);
  }
  QSettings settings(_project->path() + "/media.config", QSettings::IniFormat);
  QCOMPARE(settings.value("Tabs/Index").toInt(), 3);
}

// What the pages store reaches the project's file while the explorer is open, written whole
// under the program's own temporary name: a link in that temporary's place is taken away, never
// written through, and nothing else is left in the folder.
void TestExplorer::settingsReachTheProjectWhole()
{
  const QString dir = _project->path();
  writeTabIndex(dir, 1);
  QTemporaryDir outside;
  QFile precious(outside.filePath("precious"));
  QVERIFY(precious.open(QIODevice::WriteOnly) && precious.write("precious") == 8);
  precious.close();
  QVERIFY(QFile::link(precious.fileName(), dir + "/media.config.part"));
  const auto stored = [&dir](const QString &key) {
    return QSettings(dir + "/media.config", QSettings::IniFormat).value(key).toString();
  };
  {
    TabsMediaExplorerWidget widget(dir, nullptr);
    QCOMPARE(widget.currentIndex(), 1);
    widget.settings()->setValue("LocalFiles/Dir", "/media/a, b = \"c\"; d");
    QTRY_COMPARE(stored("LocalFiles/Dir"), QStringLiteral("/media/a, b = \"c\"; d"));
    QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
             QStringList{"media.config"});
    widget.selectTab(3);
  }
  QCOMPARE(stored("Tabs/Index"), QStringLiteral("3"));
  QVERIFY(precious.open(QIODevice::ReadOnly));
  QCOMPARE(precious.readAll(), QByteArray("precious"));
}

void TestExplorer::settingsKeptWhateverTheTemporaryFolder_data()
{
  QTest::addColumn<QByteArray>("temporaryFolder");
  QTest::addColumn<bool>("fullWhileOpening");
  QTest::addColumn<bool>("fullWhileClosing");
  QTest::newRow("temporary folder missing") << QByteArray("/nonexistent/tavo-tmp") << false << false;
  QTest::newRow("temporary folder not writable") << QByteArray("/proc") << false << false;
  QTest::newRow("disk full while opening") << QByteArray() << true << false;
  QTest::newRow("disk full while closing") << QByteArray() << false << true;
}

// The project's explorer settings are read whole and written only whole, with the change made,
// whatever the temporary folder and the disk allow; a write that cannot be made leaves the file.
void TestExplorer::settingsKeptWhateverTheTemporaryFolder()
{
  QFETCH(QByteArray, temporaryFolder);
  QFETCH(bool, fullWhileOpening);
  QFETCH(bool, fullWhileClosing);
  const QString dir = _project->path();
  const QString path = dir + "/media.config";
  const QByteArray stored = "[General]\nKept=yes\n\n[Giphy]\nType=1\n\n[LocalFiles]\nDir=/media/holiday\nZoom=3\n\n"
                            "[Tabs]\nIndex=1\n";
  {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(stored) == stored.size());
  }
  const QByteArray temporary = qgetenv("TMPDIR");
  if (!temporaryFolder.isEmpty())
    qputenv("TMPDIR", temporaryFolder);
  std::unique_ptr<TabsMediaExplorerWidget> widget;
  withFileSizeLimit(fullWhileOpening ? 0 : RLIM_INFINITY, [&] {
    widget.reset(new TabsMediaExplorerWidget(dir, nullptr));
    return 0;
  });
  const int opened = widget->currentIndex();
  widget->selectTab(3);
  if (fullWhileClosing)
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Cannot save the explorer's settings"));
  withFileSizeLimit(fullWhileClosing ? 0 : RLIM_INFINITY, [&] {
    widget.reset();
    return 0;
  });
  if (temporary.isNull())
    qunsetenv("TMPDIR");
  else
    qputenv("TMPDIR", temporary);

  QCOMPARE(opened, 1);
  QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
           QStringList{"media.config"});
  const QSettings settings(path, QSettings::IniFormat);
  QMap<QString, QString> values;
  for (const QString &key : settings.allKeys())
    values.insert(key, settings.value(key).toString());
  const QMap<QString, QString> expected{{"Kept", "yes"},
                                        {"Giphy/Type", "1"},
                                        {"LocalFiles/Dir", "/media/holiday"},
                                        {"LocalFiles/Zoom", "3"},
                                        {"Tabs/Index", fullWhileClosing ? "1" : "3"}};
  QCOMPARE(values, expected);
}

void TestExplorer::tabsBuildPagesOnceAndKeepThem()
{
  writeTabIndex(_project->path(), 1);
  TabsMediaExplorerWidget widget(_project->path(), nullptr);
  widget.resize(500, 600);
  widget.show();
  QVERIFY(QTest::qWaitForWindowExposed(&widget));
  QVERIFY(widget.musicPage() && widget.musicPage()->isVisible());
  QVERIFY(!widget.stickersPage() && !widget.giphyPage() && !widget.localFilesPage());
  // The tab strip lies under the pages, 44 px high.
  QCOMPARE(widget.scrollArea()->height(), 44);
  QCOMPARE(widget.scrollArea()->geometry().bottom(), widget.height() - 1);

  QTest::mouseClick(widget.tabButtons().at(3), Qt::LeftButton);
  ResourceAssetsWidget *stickers = widget.stickersPage();
  QVERIFY(stickers && stickers->isVisible());
  QVERIFY(!widget.musicPage()->isVisible());
  stickers->selectTag("Love");
  QListWidget *list = stickers->listWidget();

  QTest::mouseClick(widget.tabButtons().at(1), Qt::LeftButton);
  QVERIFY(!stickers->isVisible());
  QTest::mouseClick(widget.tabButtons().at(3), Qt::LeftButton);
  QCOMPARE(widget.stickersPage(), stickers);
  QVERIFY(stickers->isVisible());
  QCOMPARE(stickers->currentTag(), QString("Love"));
  QCOMPARE(stickers->listWidget(), list);
  // The current tab again: nothing changes.
  QTest::mouseClick(widget.tabButtons().at(3), Qt::LeftButton);
  QCOMPARE(widget.currentIndex(), 3);
  QVERIFY(stickers->isVisible());

  QTest::mouseClick(widget.tabButtons().at(0), Qt::LeftButton);
  QVERIFY(widget.localFilesPage() && widget.localFilesPage()->isVisible());
  if (qEnvironmentVariableIsSet("TAVO_SCREENSHOTS"))
    for (int tab = 0; tab < 5; ++tab) {
      widget.selectTab(tab);
      QTest::qWait(300);
      saveScreenshot(&widget, QString("explorer-tab%1").arg(tab));
    }
}

void TestExplorer::facade()
{
  // No service here: the GIF page's requests fail quietly against a closed root.
  LoopbackHttpServer server;
  qputenv("TAVO_GIPHY_API_ROOT", server.url("/v1/").toString().toUtf8());
  writeTabIndex(_project->path(), 4);
  MediaExplorer explorer(_project->path());
  QSignalSpy finished(&explorer, &MediaExplorer::downloadFinished);
  QSignalSpy progress(&explorer, &MediaExplorer::showProgressHUD);

  // Before the widget exists these change nothing, and do not carry over.
  explorer.setEnabled(false);
  explorer.setSize(QSize(10, 10));
  explorer.downloadGiphyGif("g0", server.url("/g0.gif").toString());

  QWidget container;
  container.resize(600, 500);
  container.show();
  explorer.showInWidget(&container, true);
  auto *widget = qobject_cast<TabsMediaExplorerWidget *>(explorer.widget());
  QVERIFY(widget);
  QCOMPARE(widget->parentWidget(), &container);
  QCOMPARE(widget->geometry(), QRect(0, 0, 600, 500));
  QVERIFY(!widget->testAttribute(Qt::WA_TransparentForMouseEvents));
  QWidget other;
  explorer.showInWidget(&other, false);
  QCOMPARE(explorer.widget(), widget);
  QCOMPARE(container.findChildren<MediaExplorerWidget *>().size(), 1);

  explorer.setSize(QSize(300, 200));
  QCOMPARE(widget->geometry(), QRect(0, 0, 300, 200));

  // Disabled, a click on a tab reaches nothing.
  explorer.setEnabled(false);
  QVERIFY(QTest::qWaitForWindowExposed(&container));
  QPushButton *music = widget->tabButtons().at(1);
  const QPoint onMusic = music->mapTo(&container, music->rect().center());
  QTest::mouseClick(container.windowHandle(), Qt::LeftButton, {}, onMusic);
  QCOMPARE(widget->currentIndex(), 4);
  explorer.setEnabled(true);
  QTest::mouseClick(container.windowHandle(), Qt::LeftButton, {}, onMusic);
  QTRY_COMPARE(widget->currentIndex(), 1);

  // The request made before the GIF page existed was dropped; now the page answers.
  server.serve("/g0.gif", GiphyFixtures::gifBytes(4), "image/gif");
  QCOMPARE(finished.count(), 0);
  QCOMPARE(progress.count(), 0);
  explorer.downloadGiphyGif("g0", server.url("/g0.gif").toString());
  QTRY_COMPARE(finished.count(), 1);
  QCOMPARE(finished.first().at(0).toInt(), 0);
  QCOMPARE(finished.first().at(1).toString(), QString("g0"));
}

void TestExplorer::mediaIds()
{
  writeTabIndex(_project->path(), 2);
  MediaExplorer explorer(_project->path());
  QWidget container;
  container.resize(500, 600);
  container.show();
  QVERIFY(QTest::qWaitForWindowExposed(&container));
  explorer.showInWidget(&container, true);
  QSignalSpy clicked(&explorer, &MediaExplorer::mediaItemClicked);
  // The GIF page was never shown: a download request is dropped.
  QSignalSpy progress(&explorer, &MediaExplorer::showProgressHUD);
  explorer.downloadGiphyGif("g0", "https://127.0.0.1:1/g0.gif");
  QVERIFY(!explorer.widget()->giphyPage());
  QCOMPARE(progress.count(), 0);
  ResourceAssetsWidget *page = explorer.widget()->soundFxPage();
  QListWidget *list = page->listWidget();
  for (int click = 0; click < 2; ++click)
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
  QTRY_COMPARE(clicked.count(), 2);
  const QString path = ":/soundfx/ambience/Disco.mp3";
  QCOMPARE(clicked.at(0).at(0).toString(), QString::number(qHash(path, 0)));
  QCOMPARE(clicked.at(1).at(0), clicked.at(0).at(0));
  QCOMPARE(clicked.at(0).at(1).toInt(), 3);
  QCOMPARE(clicked.at(0).at(2).toString(), path);
  QCOMPARE(clicked.at(0).at(4).toString(), QString("8;0"));

  explorer.widget()->onFileItemClicked(1, QFileInfo("/tmp/a/../b.mp4"), QPixmap(), "0:05;10x10;0");
  QCOMPARE(clicked.last().at(0).toString(), QString::number(qHash(QString("/tmp/b.mp4"), 0)));
  QCOMPARE(clicked.last().at(2).toString(), QString("/tmp/b.mp4"));
  explorer.widget()->onGiphyItemClicked("g1-original", "/c/g1-original", QPixmap());
  QCOMPARE(clicked.last().at(0).toString(), QString("g1-original"));
  QCOMPARE(clicked.last().at(1).toInt(), 4);
  QCOMPARE(clicked.last().at(4).toString(), QString());
}

void TestExplorer::horizontalVariant()
{
  MediaExplorer explorer(_project->path());
  QWidget container;
  container.resize(600, 400);
  container.show();
  QVERIFY(QTest::qWaitForWindowExposed(&container));
  explorer.showInWidget(&container, false);
  auto *widget = qobject_cast<HorizontalMediaExplorerWidget *>(explorer.widget());
  QVERIFY(widget);
  TooltipButton *video = widget->button("filterVideoButton");
  TooltipButton *gallery = widget->button("locPhotoGalleryButton");
  TooltipButton *library = widget->button("locInappLibraryButton");
  QVERIFY(video->isSelected() && gallery->isSelected());
  QVERIFY(!widget->button("filterPictureButton")->isSelected() && !library->isSelected());
  QTRY_COMPARE(widget->marker()->geometry(), gallery->geometry().adjusted(0, -10, 0, 10));
  // No page shows by itself.
  QVERIFY(!widget->localFilesPage() && !widget->musicPage());

  QTest::mouseClick(widget->button("backButton"), Qt::LeftButton);
  QVERIFY(video->isSelected() && gallery->isSelected());
  QTest::mouseClick(widget->button("filterMusicButton"), Qt::LeftButton);
  QVERIFY(widget->button("filterMusicButton")->isSelected() && !video->isSelected());

  QTest::mouseClick(library, Qt::LeftButton);
  QVERIFY(library->isSelected() && !gallery->isSelected());
  QCOMPARE(widget->marker()->geometry(), gallery->geometry().adjusted(0, -10, 0, 10));
  explorer.setSize(QSize(600, 380));
  QCOMPARE(widget->marker()->geometry(), library->geometry().adjusted(0, -10, 0, 10));
  saveScreenshot(widget, "explorer-horizontal");
}

TAVO_TEST_MAIN(TestExplorer)
#include "tst_explorer.moc"
