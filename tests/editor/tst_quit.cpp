// The editor, used and closed many times in a row, ends its process cleanly every time: the
// sound server connection that Qt Multimedia keeps for the whole process is not torn down by
// the libraries' exit handlers, where it races its own thread.
#include "editorfixture.h"
#include "mediafixtures.h"
#include "testenv.h"

#include <QProcess>

class TestQuit : public QObject
{
  Q_OBJECT

private slots:
  void usedAndClosedEndsCleanly()
  {
    EditorProject project;
    QVERIFY(project.isValid());
    const QString dir = project.directory();
    QVERIFY(MediaFixtures::writeTone(dir + "/tune.wav", 3));
    QVERIFY(MediaFixtures::writeTone(project.root() + "/preview.wav", 2, 660.0));
    QVERIFY(writeEditorProject(dir, "<Segment Type=\"MUSIC\" TrackId=\"9\" RangeStart=\"0\" RangeDuration=\"3\" "
                                    "File=\"tune.wav\" Title=\"Tune\" TrimStart=\"0\" TrimDuration=\"3\"/>\n"));
    for (int run = 1; run <= 5; ++run) {
      QProcess child;
      child.setProcessChannelMode(QProcess::MergedChannels);
      child.start(EDITOR_USECHILD, {project.root(), project.root() + "/preview.wav"});
      QVERIFY(child.waitForFinished(120000));
      const QString output = QString::fromLocal8Bit(child.readAll());
      const QString what = QStringLiteral("run %1: %2").arg(run).arg(output.right(3000));
      QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, qPrintable(what));
      for (const char *used : {"timeline played", "sound previewed", "shutter sounded", "closed"})
        QVERIFY2(output.contains(QLatin1String(used)), qPrintable(what));
      QVERIFY2(!output.contains(QLatin1String("exit handlers ran")), qPrintable(what));
    }
  }
};

TAVO_TEST_MAIN(TestQuit)

#include "tst_quit.moc"
