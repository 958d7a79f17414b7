// The copy, move and duplicate jobs of the projects browser.
#include "browserfixture.h"
#include "copyormoveprojectstask.h"
#include "dircopier.h"
#include "testenv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QVector>

class TestProjectJobs : public QObject
{
  Q_OBJECT

  // Waits without a signal spy: a spy on a job's signal is written from the job's thread.
  static bool run(QThread *job)
  {
    job->start();
    return job->wait(10000);
  }

  // The progress reports as the GUI thread receives them (queued from the job's thread).
  struct Progress : QObject
  {
    QVector<float> seen;
    explicit Progress(CopyOrMoveProjectsTask *task)
    {
      connect(task, &CopyOrMoveProjectsTask::progressChanged, this, [this](float p) { seen << p; });
    }
  };

private slots:
  void copyIntoItsOwnFolderTakesFreeNumbers()
  {
    BrowserFolder root;
    const QString trip = root.addProject("Trip");
    for (const char *expected : {"Trip (1)", "Trip (2)"}) {
      CopyOrMoveProjectsTask task(nullptr, {trip}, root.projects(), true);
      QVERIFY(run(&task));
      int done = -1;
      QCOMPARE(task.result(&done), 1);
      QCOMPARE(done, 1);
      QVERIFY2(QFile::exists(root.projects() + "/" + expected + "/project.xml"), expected);
    }
    QVERIFY(QFile::exists(trip + "/project.xml"));
  }

  void copiedSampleLosesItsMark()
  {
    BrowserFolder root;
    const QString sample = root.addProject("Sample");
    QFile mark(sample + "/example.dat");
    QVERIFY(mark.open(QIODevice::WriteOnly));
    mark.close();
    const QString folder = root.addFolder("Box");
    CopyOrMoveProjectsTask task(nullptr, {sample}, folder, true);
    QVERIFY(run(&task));
    QCOMPARE(task.result(nullptr), 1);
    QVERIFY(QFile::exists(folder + "/Sample/shot.jpg"));
    QVERIFY(!QFile::exists(folder + "/Sample/example.dat"));
    QVERIFY(QFile::exists(sample + "/example.dat"));
  }

  void moveOntoItselfIsNotCountedButAdvances()
  {
    BrowserFolder root;
    const QString a = root.addProject("A");
    const QString folder = root.addFolder("Box");
    const QString b = root.addProject("B", "Box");
    CopyOrMoveProjectsTask task(nullptr, {b, a}, folder, false);
    Progress progress(&task);
    QVERIFY(run(&task));
    int done = -1;
    QCOMPARE(task.result(&done), 1);
    QCOMPARE(done, 1);
    QVERIFY(QFile::exists(folder + "/B/project.xml"));
    QVERIFY(QFile::exists(folder + "/A/project.xml"));
    QVERIFY(!QFile::exists(a));
    QTRY_COMPARE(progress.seen, QVector<float>({0.0f, 0.5f}));
  }

  void emptyListSucceedsAfterThePause()
  {
    BrowserFolder root;
    CopyOrMoveProjectsTask task(nullptr, {}, root.projects(), true);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(run(&task));
    QVERIFY(clock.elapsed() >= 490);
    int done = -1;
    QCOMPARE(task.result(&done), 1);
    QCOMPARE(done, 0);
  }

  void failureKeepsTheCountOfItemsDone()
  {
    BrowserFolder root;
    const QString a = root.addProject("A");
    const QString c = root.addProject("C");
    const QString x = root.addProject("X");
    const QString folder = root.addFolder("Box");
    // A plain file where the project should go: neither a copy nor a rename can put it there.
    QFile blocker(folder + "/X");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    for (bool copy : {true, false}) {
      CopyOrMoveProjectsTask task(nullptr, {copy ? a : c, x, copy ? c : a}, folder, copy);
      Progress progress(&task);
      QVERIFY(run(&task));
      int done = -1;
      QCOMPARE(task.result(&done), 0);
      QCOMPARE(done, 1);
      QTRY_COMPARE(progress.seen.size(), 1);
    }
    QVERIFY(QFile::exists(folder + "/A/project.xml"));
    QVERIFY(QFile::exists(folder + "/C/project.xml"));
    QVERIFY(QFile::exists(x + "/project.xml"));
    QVERIFY(QFile::exists(a + "/project.xml"));
  }

  void dirCopierCopiesAndReports()
  {
    BrowserFolder root;
    const QString trip = root.addProject("Trip");
    DirCopier copier(nullptr, trip, root.projects() + "/Trip Copy");
    QVERIFY(run(&copier));
    QVERIFY(copier.result());
    QVERIFY(QFile::exists(root.projects() + "/Trip Copy/shot.jpg"));
    DirCopier missing(nullptr, trip, root.projects() + "/no/such/place");
    QVERIFY(run(&missing));
    QVERIFY(!missing.result());
  }
};

TAVO_TEST_MAIN(TestProjectJobs)
#include "tst_app_projectjobs.moc"
