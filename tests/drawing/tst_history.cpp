// The undo history on disk: snapshots come back newest first, each history keeps to its
// own folder, and an undo asked for while a snapshot is written waits for it.

#include "canvastest.h"
#include "historydatacompressiontaskmanager.h"
#include "testenv.h"
#include "util.h"

#include <QMouseEvent>
#include <QPointer>
#include <QProcess>

namespace {

QPixmap filled(const QColor &color, QSize size = QSize(64, 32))
{
  QPixmap pixmap(size);
  pixmap.fill(color);
  return pixmap;
}

QStringList entries(const QString &folder)
{
  return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

QString sharedFolder()
{
  return QDir(Util::cacheLocation()).filePath("DrawingHistory");
}

} // namespace

class TestHistory : public QObject
{
  Q_OBJECT
private slots:
  void takesComeBackNewestFirst();
  void pushesInOneMillisecondAreBothKept();
  void eachHistoryKeepsItsOwnFolder();
  void withoutItsFolderSnapshotsStayInTheCache();
  void abandonedFoldersAreRemoved();
  void threeStrokesThreeUndos();
  void undoWhileWritingWaits();
  void deletingTheCanvasWhileItWaits();
};

void TestHistory::takesComeBackNewestFirst()
{
  HistoryDataCompressionTaskManager history;
  QVERIFY(history.folderPath().startsWith(sharedFolder() + "/"));
  const QList<QColor> colors{Qt::red, Qt::green, Qt::blue};
  for (const QColor &color : colors)
    history.push(filled(color));
  QTRY_VERIFY(!history.isBusy());
  QCOMPARE(entries(history.folderPath()).size(), 3);
  for (int i = colors.size() - 1; i >= 0; --i) {
    const QPixmap snapshot = history.takeSnapshot();
    QCOMPARE(snapshot.size(), QSize(64, 32));
    QCOMPARE(snapshot.toImage().pixel(10, 10), colors[i].rgb());
  }
  QVERIFY(entries(history.folderPath()).isEmpty());
  QVERIFY(!history.hasSnapshots());
  QVERIFY(history.takeSnapshot().isNull());
}

void TestHistory::pushesInOneMillisecondAreBothKept()
{
  HistoryDataCompressionTaskManager history;
  history.push(filled(Qt::red));
  history.push(filled(Qt::blue));
  QCOMPARE(history.files().size(), 2);
  QVERIFY(history.files()[0] != history.files()[1]);
  QSignalSpy idle(&history, &HistoryDataCompressionTaskManager::historyIdle);
  QVERIFY(idle.wait(10000));
  QCOMPARE(idle.count(), 1);
  QCOMPARE(history.takeSnapshot().toImage().pixel(1, 1), QColor(Qt::blue).rgb());
  QCOMPARE(history.takeSnapshot().toImage().pixel(1, 1), QColor(Qt::red).rgb());
}

void TestHistory::eachHistoryKeepsItsOwnFolder()
{
  auto *first = new CanvasWidget(640, 360);
  CanvasWidget second(640, 360);
  HistoryDataCompressionTaskManager *kept = second.history();
  QVERIFY(first->history()->folderPath() != kept->folderPath());
  first->clear();
  second.drawImage(filled(Qt::green, QSize(640, 360)));
  second.clear();
  const QString firstFolder = first->history()->folderPath();
  // Deleted while its write may still run: it waits, then removes only its own folder.
  delete first;
  QVERIFY(!QDir(firstFolder).exists());
  QVERIFY(QDir(kept->folderPath()).exists());
  QTRY_VERIFY(!kept->isBusy());
  QCOMPARE(entries(kept->folderPath()).size(), 1);
  QCOMPARE(kept->takeSnapshot().toImage().pixel(1, 1), QColor(Qt::green).rgb());
}

void TestHistory::withoutItsFolderSnapshotsStayInTheCache()
{
  const QString cache = Util::cacheLocation();
  QDir(sharedFolder()).removeRecursively();
  QVERIFY(QDir().mkpath(cache));
  // A file where the folder should be, and a file of someone else's in the cache.
  QFile blocker(sharedFolder());
  QVERIFY(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  QFile other(QDir(cache).filePath("other.txt"));
  QVERIFY(other.open(QIODevice::WriteOnly));
  other.close();
  {
    HistoryDataCompressionTaskManager history;
    QCOMPARE(history.folderPath(), QDir(cache).absolutePath());
    history.push(filled(Qt::red));
    history.push(filled(Qt::blue));
    QTRY_VERIFY(!history.isBusy());
    QCOMPARE(history.takeSnapshot().toImage().pixel(1, 1), QColor(Qt::blue).rgb());
  }
  // The snapshot left is removed with the history; nothing else is.
  QCOMPARE(entries(cache), (QStringList{"DrawingHistory", "other.txt"}));
  QVERIFY(QFileInfo(sharedFolder()).isFile());
  QFile::remove(sharedFolder());
  other.remove();
}

void TestHistory::abandonedFoldersAreRemoved()
{
  QDir(sharedFolder()).removeRecursively();
  // What a session that crashed leaves: a folder with a snapshot, and the lock of a process
  // that is gone.
  const QString abandoned = QDir(sharedFolder()).filePath("abandoned");
  QVERIFY(QDir().mkpath(abandoned));
  QVERIFY(filled(Qt::red).save(QDir(abandoned).filePath("1"), "PNG"));
  QProcess ended;
  ended.start("true", QStringList());
  QVERIFY(ended.waitForStarted());
  const qint64 pid = ended.processId();
  QVERIFY(ended.waitForFinished());
  QFile lock(abandoned + ".lock");
  QVERIFY(lock.open(QIODevice::WriteOnly));
  const QString app = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
  lock.write(QString("%1\n%2\n%3\n").arg(pid).arg(app, QSysInfo::machineHostName()).toUtf8());
  lock.close();
  {
    HistoryDataCompressionTaskManager live;
    live.push(filled(Qt::green));
    QTRY_VERIFY(!live.isBusy());
    QVERIFY(!QDir(abandoned).exists());
    // A history that is alive keeps its folder when another one starts.
    HistoryDataCompressionTaskManager second;
    QCOMPARE(entries(live.folderPath()).size(), 1);
    QCOMPARE(live.takeSnapshot().toImage().pixel(1, 1), QColor(Qt::green).rgb());
  }
  QVERIFY(!QFileInfo::exists(sharedFolder()));
}

void TestHistory::threeStrokesThreeUndos()
{
  CanvasWindow w;
  QPixmap start(1920, 1080);
  start.fill(QColor(0, 0, 255, 100));
  w.canvas.drawImage(start);
  const QImage initial = w.image();
  for (int i = 0; i < 3; ++i)
    QVERIFY(CanvasProbe::drawDrag(w.canvas, QPoint(100, 100 + 100 * i), QPoint(800, 150 + 100 * i)));
  QVERIFY(w.image() != initial);
  for (int i = 0; i < 3; ++i) {
    w.canvas.undo();
    QTRY_VERIFY(!w.canvas.isWaiting());
  }
  QVERIFY(w.image() == initial);
  QSignalSpy waiting(&w.canvas, &CanvasWidget::canvasWidgetShowWaiting);
  w.canvas.undo();
  QCOMPARE(waiting.count(), 0);
  QVERIFY(w.image() == initial);
}

void TestHistory::undoWhileWritingWaits()
{
  CanvasWindow w;
  QVERIFY(CanvasProbe::drawDrag(w.canvas, QPoint(100, 100), QPoint(800, 400)));
  const QImage drawn = w.image();
  QSignalSpy show(&w.canvas, &CanvasWidget::canvasWidgetShowWaiting);
  QSignalSpy hide(&w.canvas, &CanvasWidget::canvasWidgetHideWaiting);
  // The clear's snapshot is written on the pool; its completion cannot have come yet.
  w.canvas.clear();
  w.canvas.undo();
  QCOMPARE(show.count(), 1);
  QVERIFY(w.canvas.isWaiting());
  // Input and further undos are ignored meanwhile (sent straight to the canvas, so the
  // write's completion cannot come in between).
  const QImage cleared = w.image();
  w.canvas.undo();
  const auto send = [&](QEvent::Type type, QPoint pos, Qt::MouseButtons buttons) {
    QMouseEvent event(type, pos, w.canvas.mapToGlobal(pos), Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&w.canvas, &event);
  };
  send(QEvent::MouseButtonPress, QPoint(100, 500), Qt::LeftButton);
  send(QEvent::MouseMove, QPoint(400, 500), Qt::LeftButton);
  send(QEvent::MouseButtonRelease, QPoint(800, 500), Qt::NoButton);
  QVERIFY(w.canvas.isWaiting());
  QCOMPARE(w.canvas.history()->files().size(), 2);
  QVERIFY(w.image() == cleared);
  QTRY_COMPARE(hide.count(), 1);
  QCOMPARE(show.count(), 1);
  QCOMPARE(hide.count(), 1);
  QVERIFY(!w.canvas.isWaiting());
  QVERIFY(w.image() == drawn);
  QCOMPARE(w.canvas.history()->files().size(), 1);
}

void TestHistory::deletingTheCanvasWhileItWaits()
{
  QPointer<CanvasWidget> canvas = new CanvasWidget(1920, 1080);
  canvas->resize(960, 540);
  canvas->clear();
  canvas->clear();
  canvas->undo();
  QVERIFY(canvas->isWaiting());
  const QString folder = canvas->history()->folderPath();
  delete canvas;
  // Whatever the pool posted back is dropped with the history.
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
  QVERIFY(!QDir(folder).exists());
}

TAVO_TEST_MAIN(TestHistory)
#include "tst_history.moc"
