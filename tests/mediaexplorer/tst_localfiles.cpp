// The local files page: listing, header menus and settings, layout, scheduling of thumbnail
// work, clicks, drags and the desktop calls.

#include "assetloadingthreadpool.h"
#include "desktopservices.h"
#include "explorerfixtures.h"
#include "gestures.h"
#include "localthumbnailscache.h"
#include "scripteddialogprovider.h"
#include "testenv.h"

#include <QDesktopServices>
#include <QFileIconProvider>
#include <QHostInfo>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QSemaphore>
#include <QSlider>
#include <QTemporaryDir>
#include <QThreadPool>

#include <ctime>

using namespace ExplorerFixtures;

namespace {

class FakeDesktop : public DesktopServices
{
public:
  QList<QList<QUrl>> shown;
  FakeDesktop() { DesktopServices::setInstance(this); }
  ~FakeDesktop() override { DesktopServices::setInstance(nullptr); }
  bool openUrl(const QUrl &) override { return true; }
  bool showItems(const QList<QUrl> &files) override
  {
    shown << files;
    return true;
  }
};

// Captures "file" addresses the page opens through the desktop.
class FileUrlCatcher : public QObject
{
  Q_OBJECT
public:
  FileUrlCatcher() { QDesktopServices::setUrlHandler("file", this, "open"); }
  ~FileUrlCatcher() override { QDesktopServices::unsetUrlHandler("file"); }
  QList<QUrl> opened;
public slots:
  void open(const QUrl &url) { opened << url; }
};

// Keeps every thread of a pool busy until released; block() may run on any thread.
class PoolBlocker
{
public:
  explicit PoolBlocker(QThreadPool *pool) : _pool(pool) {}
  ~PoolBlocker() { release(); }
  void block()
  {
    _count = _pool->maxThreadCount();
    for (int i = 0; i < _count; ++i)
      _pool->start([this]() { _release.acquire(); });
  }
  void release()
  {
    if (_released)
      return;
    _released = true;
    _release.release(_count);
    _pool->waitForDone();
  }

private:
  QThreadPool *_pool;
  QSemaphore _release;
  std::atomic<int> _count{0};
  bool _released = false;
};

// Debug lines of the page, collected while an object lives.
class DebugLines
{
public:
  DebugLines()
  {
    _lines().clear();
    _previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
      _lines() << text;
    });
  }
  ~DebugLines() { qInstallMessageHandler(_previous); }
  int count(const QString &prefix) const
  {
    int n = 0;
    for (const QString &line : _lines())
      n += line.startsWith(prefix);
    return n;
  }

private:
  static QStringList &_lines()
  {
    static QStringList lines;
    return lines;
  }
  QtMessageHandler _previous;
};

double processCpuSeconds()
{
  return double(std::clock()) / CLOCKS_PER_SEC;
}

QPoint itemCentre(QListWidget *list, QListWidgetItem *item)
{
  return list->visualItemRect(item).center();
}

} // namespace

class TestLocalFiles : public QObject
{
  Q_OBJECT

private:
  QTemporaryDir _root;
  QString _media;

  QString config(const QString &name) { return _root.filePath(name + ".config"); }

private slots:
  void initTestCase()
  {
    QVERIFY(_root.isValid());
    _media = _root.filePath("media");
    QVERIFY(QDir().mkpath(_media));
    // Oldest first: the page lists the newest first.
    QVERIFY(MediaFixtures::writeColorVideo(_media + "/clip.mp4", 64, 48, 30, 3));
    QVERIFY(writePlainPicture(_media + "/photo.png", 40, 30, Qt::red));
    QVERIFY(MediaFixtures::writeTone(_media + "/sound.wav", 0.5));
    QFile text(_media + "/readme.txt");
    QVERIFY(text.open(QIODevice::WriteOnly) && text.write("text\n") > 0);
    text.close();
    QVERIFY(QFile::link(_media + "/photo.png", _media + "/link.png"));
    QVERIFY(touch(_media + "/clip.mp4", -300));
    QVERIFY(touch(_media + "/photo.png", -200));
    QVERIFY(touch(_media + "/sound.wav", -100));
  }

  void listsMediaNewestFirst()
  {
    Page page(_media, config("list"));
    QVERIFY(page.waitListed());
    QCOMPARE(page.names(), QStringList({"sound.wav", "photo.png", "clip.mp4"}));
    QCOMPARE(page.item("clip.mp4")->data(LocalFilesWidget::TypeRole).toInt(), 1);
    QCOMPARE(page.item("photo.png")->data(LocalFilesWidget::TypeRole).toInt(), 2);
    QCOMPARE(page.item("sound.wav")->data(LocalFilesWidget::TypeRole).toInt(), 3);
    QVERIFY(!page.page->findChild<QLabel *>("errorLabel"));
  }

  void missingAndEmptyFolders()
  {
    const QString empty = _root.filePath("empty");
    QVERIFY(QDir().mkpath(empty));
    for (const QString &folder : {_root.filePath("missing"), empty}) {
      Page page(folder, config(QFileInfo(folder).fileName()));
      QVERIFY(page.waitListed());
      QCOMPARE(page.list()->count(), 0);
      QLabel *error = page.page->findChild<QLabel *>("errorLabel");
      if (folder == empty) {
        QVERIFY(!error);
        continue;
      }
      QVERIFY(error);
      QCOMPARE(error->text(), QString("Directory not found"));
      QVERIFY(error->isVisible());
      QVERIFY(error->styleSheet().contains("yellow"));
    }
  }

  void settingsPersist()
  {
    const QString path = config("persist");
    {
      QSettings stored(path, QSettings::IniFormat);
      stored.setValue("LocalFiles/Filter", 3);
      stored.setValue("LocalFiles/Zoom", 2);
      stored.setValue("LocalFiles/View", 1);
    }
    {
      Page page("/unused/start", path);
      page.page->findChild<QSlider *>("slider");
      QVERIFY(page.waitListed());
      // "Dir" missing: the folder given; 3 is no single kind, so the button reads "All".
      QCOMPARE(page.page->currentDir().absolutePath(), QString("/unused/start"));
      QCOMPARE(page.page->findChild<QPushButton *>("filterButton")->text(), QString("All"));
      QCOMPARE(page.list()->viewMode(), QListView::ListMode);
      QCOMPARE(page.list()->gridSize(), QSize(80, 80));
      page.settings.setValue("LocalFiles/Dir", _media);
    }
    {
      QSettings stored(path, QSettings::IniFormat);
      QCOMPARE(stored.value("LocalFiles/Dir").toString(), QString("/unused/start"));
      stored.setValue("LocalFiles/Dir", _media);
    }
    Page page("/unused/start", path);
    QVERIFY(page.waitListed());
    QCOMPARE(page.names(), QStringList({"photo.png", "clip.mp4"}));
    QCOMPARE(page.page->findChild<QSlider *>("slider")->value(), 2);
  }

  // Zoom through the value buttons and the view through its menu: the grid follows the table.
  void gridSizes_data()
  {
    QTest::addColumn<int>("view");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QSize>("grid");
    const QSize sizes[2][3] = {{{60, 80}, {100, 120}, {180, 200}}, {{20, 20}, {40, 40}, {80, 80}}};
    for (int view = 0; view < 2; ++view)
      for (int zoom = 0; zoom < 3; ++zoom)
        QTest::addRow("view %d zoom %d", view, zoom) << view << zoom << sizes[view][zoom];
  }
  void gridSizes()
  {
    QFETCH(int, view);
    QFETCH(int, zoom);
    QFETCH(QSize, grid);
    Page page(_media, config(QString("grid%1%2").arg(view).arg(zoom)));
    QVERIFY(page.waitListed());
    ScriptedDialogProvider dialogs;
    if (view == 1) {
      dialogs.answers << QString("List Mode");
      QTest::mouseClick(page.page->findChild<QPushButton *>("viewButton"), Qt::LeftButton);
      QCOMPARE(dialogs.calls.last().buttons, QStringList({"Icon Mode", "List Mode"}));
    }
    auto *down = page.page->findChild<QPushButton *>("valueDownButton");
    auto *up = page.page->findChild<QPushButton *>("valueUpButton");
    for (int step = 1; step > zoom; --step)
      QTest::mouseClick(down, Qt::LeftButton);
    for (int step = 1; step < zoom; ++step)
      QTest::mouseClick(up, Qt::LeftButton);
    QCOMPARE(page.list()->gridSize(), grid);
    QCOMPARE(page.list()->viewMode(), view == 0 ? QListView::IconMode : QListView::ListMode);
    QCOMPARE(page.list()->dragDropMode(), QAbstractItemView::DragOnly);
    QCOMPARE(page.list()->count(), 3);
    for (int i = 0; i < page.list()->count(); ++i)
      QCOMPARE(page.list()->item(i)->sizeHint(), grid);
    // At either end the slider stays within its three steps.
    if (zoom != 1) {
      QTest::mouseClick(zoom == 2 ? up : down, Qt::LeftButton);
      QCOMPARE(page.list()->gridSize(), grid);
    }
  }

  void filterMenu()
  {
    Page page(_media, config("filter"));
    QVERIFY(page.waitListed());
    ScriptedDialogProvider dialogs;
    const QList<QPair<QString, QStringList>> picks = {
      {"Video", {"clip.mp4"}}, {"Audio", {"sound.wav"}}, {"Picture", {"photo.png"}}, {"All", {"sound.wav", "photo.png", "clip.mp4"}}};
    for (const auto &pick : picks) {
      dialogs.answers << pick.first;
      QTest::mouseClick(page.page->findChild<QPushButton *>("filterTriangleButton"), Qt::LeftButton);
      QCOMPARE(dialogs.calls.last().buttons, QStringList({"All", "Video", "Picture", "Audio"}));
      QCOMPARE(page.page->findChild<QPushButton *>("filterButton")->text(), pick.first);
      QCOMPARE(page.names(), pick.second);
    }
    QCOMPARE(page.listings, 1);
  }

  void zoomControlsHideWhenNarrow()
  {
    Page page(_media, config("narrow"), QSize(600, 400));
    auto *slider = page.page->findChild<QSlider *>("slider");
    QVERIFY(slider->isVisible());
    for (int width : {429, 430, 300, 800}) {
      page.page->resize(width, 400);
      const bool shown = width >= 430;
      QTRY_COMPARE(slider->isVisible(), shown);
      QCOMPARE(page.page->findChild<QPushButton *>("valueUpButton")->isVisible(), shown);
      QCOMPARE(page.page->findChild<QPushButton *>("valueDownButton")->isVisible(), shown);
    }
  }

  void renameRelistsWithoutClearing()
  {
    const QString folder = _root.filePath("rename");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(writePlainPicture(folder + "/before.png", 20, 20, Qt::red));
    QVERIFY(writePlainPicture(folder + "/other.png", 20, 20, Qt::blue));
    Page page(folder, config("rename"));
    QVERIFY(page.waitListed());
    int resets = 0;
    connect(page.list()->model(), &QAbstractItemModel::modelAboutToBeReset, page.page.get(), [&resets]() { ++resets; });
    bool emptied = false;
    connect(page.list()->model(), &QAbstractItemModel::rowsRemoved, page.page.get(),
            [&]() { emptied = emptied || (page.list()->count() == 0 && page.listings < 2); });
    QVERIFY(QFile::rename(folder + "/before.png", folder + "/after.png"));
    QVERIFY(page.waitListed(2));
    QVERIFY(page.names().contains("after.png"));
    QVERIFY(!page.names().contains("before.png"));
    // Only the rebuild of the new listing cleared the list.
    QCOMPARE(resets, 1);
    QVERIFY(!emptied);
  }

  void scrollBurstSchedulesOnce()
  {
    const QString folder = _root.filePath("many");
    QVERIFY(QDir().mkpath(folder));
    for (int i = 0; i < 80; ++i)
      QVERIFY(writePlainPicture(folder + QString("/p%1.png").arg(i, 2, 10, QChar('0')), 8, 8, Qt::green));
    Page page(folder, config("many"), QSize(500, 300));
    QVERIFY(page.waitListed());
    QVERIFY(page.list()->verticalScrollBar()->maximum() > 0);
    QTest::qWait(300);
    DebugLines lines;
    QElapsedTimer sinceLast;
    for (int step = 0; step < 8; ++step) {
      Gestures::wheel(page.list()->viewport(), QPoint(100, 100), -120);
      sinceLast.restart();
    }
    QTRY_COMPARE(lines.count("Start row:"), 1);
    QVERIFY2(sinceLast.elapsed() >= 100, qPrintable(QString::number(sinceLast.elapsed())));
    QTest::qWait(250);
    QCOMPARE(lines.count("Start row:"), 1);
  }

  void dragDataHoldsTheFirstFile()
  {
    Page page(_media, config("drag"));
    QVERIFY(page.waitListed());
    QCOMPARE(page.list()->mimeTypes(), QStringList({"text/uri-list"}));
    const QModelIndexList indexes = {page.list()->model()->index(1, 0), page.list()->model()->index(0, 0)};
    std::unique_ptr<QMimeData> data(page.list()->model()->mimeData(indexes));
    QVERIFY(data);
    QCOMPARE(data->urls(), QList<QUrl>({QUrl::fromLocalFile(_media + "/photo.png")}));
  }

  void clickBeforeTheThumbnail()
  {
    QDir(LocalThumbnailsCache::cacheRoot()).removeRecursively();
    // The pool is made busy while the listing runs, so the thumbnail tasks queue behind.
    PoolBlocker busy(QThreadPool::globalInstance());
    Page page(_media, config("click"));
    connect(page.page.get(), &LocalFilesWidget::beginLoadingFiles, page.page.get(), [&busy]() { busy.block(); },
            Qt::DirectConnection);
    QVERIFY(page.waitListed());
    QSignalSpy clicked(page.page.get(), &LocalFilesWidget::fileItemClicked);
    QListWidgetItem *photo = page.item("photo.png");
    Gestures::click(page.list()->viewport(), itemCentre(page.list(), photo));
    QTRY_COMPARE(clicked.size(), 1);
    QCOMPARE(clicked.first().at(0).toInt(), 2);
    QCOMPARE(clicked.first().at(1).value<QFileInfo>().absoluteFilePath(), _media + "/photo.png");
    const QImage platform = QFileIconProvider()
                              .icon(QFileInfo(_media + "/photo.png"))
                              .pixmap(QSize(320, 320), QIcon::Normal, QIcon::On)
                              .toImage();
    QCOMPARE(clicked.first().at(2).value<QPixmap>().toImage(), platform);
    QCOMPARE(clicked.first().at(3).toString(), QString());
    busy.release();
    QVERIFY(page.waitThumbnails(3));
    // Once made, a click carries the cached metadata.
    Gestures::click(page.list()->viewport(), itemCentre(page.list(), photo));
    QTRY_COMPARE(clicked.size(), 2);
    QCOMPARE(clicked.last().at(3).toString(), QString("40x30"));
    QCOMPARE(clicked.last().at(2).value<QPixmap>().size(), QSize(40, 30));
  }

  // A listing that lands between a click and its handling deletes the clicked item.
  void clickOnAnItemThatWentAway()
  {
    Page page(_media, config("gone"));
    QVERIFY(page.waitListed());
    QSignalSpy clicked(page.page.get(), &LocalFilesWidget::fileItemClicked);
    FileUrlCatcher urls;
    auto relisted = [&page]() { page.list()->clear(); };
    connect(page.list(), &QListWidget::itemClicked, page.page.get(), relisted);
    connect(page.list(), &QListWidget::itemDoubleClicked, page.page.get(), relisted);
    Gestures::click(page.list()->viewport(), itemCentre(page.list(), page.item("photo.png")));
    QTest::qWait(50);
    QCOMPARE(clicked.size(), 0);
    page.page->onFinishLoadingFiles(false);
    Gestures::doubleClick(page.list()->viewport(), itemCentre(page.list(), page.item("photo.png")));
    QTest::qWait(50);
    QVERIFY(urls.opened.isEmpty());
    QCOMPARE(page.list()->count(), 0);
  }

  void doubleClickAndShowInFileExplorer()
  {
    Page page(_media, config("open"));
    QVERIFY(page.waitListed());
    FileUrlCatcher urls;
    FakeDesktop desktop;
    ScriptedDialogProvider dialogs;
    QListWidgetItem *clip = page.item("clip.mp4");
    Gestures::doubleClick(page.list()->viewport(), itemCentre(page.list(), clip));
    QTRY_COMPARE(urls.opened, QList<QUrl>({QUrl::fromLocalFile(_media + "/clip.mp4")}));

    dialogs.answers << QString("Show in File Explorer");
    Gestures::click(page.list()->viewport(), itemCentre(page.list(), clip), Qt::RightButton);
    QTRY_COMPARE(desktop.shown.size(), 1);
    QCOMPARE(dialogs.calls.last().buttons, QStringList({"Show in File Explorer"}));
    QCOMPARE(desktop.shown.first(), QList<QUrl>({QUrl::fromLocalFile(_media + "/clip.mp4")}));
    // Outside the items there is no menu.
    Gestures::click(page.list()->viewport(), QPoint(page.list()->viewport()->width() - 5, 400), Qt::RightButton);
    QTest::qWait(100);
    QCOMPARE(dialogs.calls.size(), 1);
  }

  void folderMenu()
  {
    Page page(_media, config("folders"));
    QVERIFY(page.waitListed());
    auto *dirButton = page.page->findChild<QPushButton *>("dirButton");
    QCOMPARE(dirButton->text(), QString("media"));
    ScriptedDialogProvider dialogs;
    QStringList expected;
    for (QDir up(_media); up.cdUp();)
      expected << (up.dirName().isEmpty() ? QHostInfo::localHostName() : up.dirName());
    expected << "Select Directory...";
    dialogs.answers << QString("Select Directory...") << _root.filePath("rename");
    QTest::mouseClick(page.page->findChild<QPushButton *>("dirTriangleButton"), Qt::LeftButton);
    QCOMPARE(dialogs.calls.first().buttons, expected);
    QTRY_COMPARE(dialogs.calls.size(), 2);
    QCOMPARE(dialogs.calls.last().kind, QString("getExistingDirectory"));
    QCOMPARE(dialogs.calls.last().title, QString("Select Directory"));
    QCOMPARE(dialogs.calls.last().text, _media);
    QVERIFY(page.waitListed(2));
    QCOMPARE(dirButton->text(), QString("rename"));
    QCOMPARE(page.names().size(), 2);

    // An ancestor from the menu.
    dialogs.answers << QFileInfo(_root.path()).fileName();
    QTest::mouseClick(dirButton, Qt::LeftButton);
    QVERIFY(page.waitListed(3));
    QCOMPARE(page.page->currentDir().absolutePath(), _root.path());
  }

  void rootFolder()
  {
    Page page("/", config("root"));
    QCOMPARE(page.page->findChild<QPushButton *>("dirButton")->text(), QHostInfo::localHostName());
    ScriptedDialogProvider dialogs;
    QTest::mouseClick(page.page->findChild<QPushButton *>("dirButton"), Qt::LeftButton);
    QCOMPARE(dialogs.calls.size(), 1);
    QCOMPARE(dialogs.calls.first().buttons, QStringList({"Select Directory..."}));
  }

  // While the project's loading pool works the page waits, without spinning, then lists.
  void waitsForProjectLoading()
  {
    QThreadPool *pool = AssetLoadingThreadPool::instance();
    PoolBlocker loading(pool);
    loading.block();
    QTRY_COMPARE(pool->activeThreadCount(), pool->maxThreadCount());
    DebugLines lines;
    Page page(_media, config("wait"));
    const double cpuBefore = processCpuSeconds();
    QTest::qWait(1000);
    const double cpu = processCpuSeconds() - cpuBefore;
    QVERIFY2(cpu < 0.2, qPrintable(QString("%1 s of CPU time in a 1 s wait").arg(cpu)));
    QCOMPARE(page.listings, 0);
    QVERIFY(lines.count("Still wait until project loading complete...") >= 2);
    loading.release();
    QVERIFY(page.waitListed());
    QCOMPARE(page.names().size(), 3);
  }
};

TAVO_TEST_MAIN(TestLocalFiles)
#include "tst_localfiles.moc"
