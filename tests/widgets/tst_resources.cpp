// The generated artwork: every path the program names loads, the animations animate, the
// sound is PCM, and the generator writes the same bytes every time.

#include "testenv.h"

#include <QDirIterator>
#include <QMovie>
#include <QPixmap>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>

class TestResources : public QObject
{
  Q_OBJECT
private slots:
  void everyNamedPathLoads();
  void animationsHaveSeveralFrames_data();
  void animationsHaveSeveralFrames();
  void sizesTheCodeReliesOn();
  void shutterIsPcm();
  void generatorIsDeterministic();
};

static QStringList namedPaths()
{
  QFile file(TAVO_RESOURCE_PATHS);
  if (!file.open(QIODevice::ReadOnly))
    return {};
  QStringList paths;
  for (const QByteArray &line : file.readAll().split('\n')) {
    const QString path = QString::fromUtf8(line).trimmed();
    if (path.startsWith(":/"))
      paths << path;
  }
  return paths;
}

void TestResources::everyNamedPathLoads()
{
  const QStringList paths = namedPaths();
  QVERIFY2(paths.size() > 200, qPrintable(QString("only %1 paths listed").arg(paths.size())));
  QStringList missing;
  for (const QString &path : paths) {
    if (path.startsWith(":/assets/")) {
      if (!QFile::exists(path))
        missing << path;
    } else if (QPixmap(path).isNull()) {
      missing << path;
    }
  }
  QVERIFY2(missing.isEmpty(), qPrintable("not loadable: " + missing.join(", ")));
}

void TestResources::animationsHaveSeveralFrames_data()
{
  QTest::addColumn<QString>("path");
  QTest::addColumn<QSize>("size");
  QTest::newRow("spinner") << ":/images/loading_hud_dark" << QSize(150, 150);
  QTest::newRow("small spinner") << ":/images/loading_hud_dark_small" << QSize(150, 150);
  QTest::newRow("black spinner") << ":/images/loading_hud_black" << QSize(150, 150);
  QTest::newRow("double tap") << ":/images/help-tip/segment_opr_double_tap_help" << QSize(795, 391);
  QTest::newRow("press and drag") << ":/images/help-tip/segment_opr_press_n_drag_help" << QSize(795, 541);
  QTest::newRow("media explorer") << ":/images/help-tip/media_explorer_help" << QSize(808, 626);
}

void TestResources::animationsHaveSeveralFrames()
{
  QFETCH(QString, path);
  QFETCH(QSize, size);
  QMovie movie(path);
  QVERIFY2(movie.isValid(), qPrintable(path));
  QVERIFY2(movie.frameCount() > 1, qPrintable(QString("%1 has %2 frames").arg(path).arg(movie.frameCount())));
  // Decode every frame: a broken LZW stream shows up as a failed jump.
  QImage previous;
  bool changes = false;
  for (int i = 0; i < movie.frameCount(); ++i) {
    QVERIFY2(movie.jumpToFrame(i), qPrintable(QString("frame %1 of %2").arg(i).arg(path)));
    const QImage frame = movie.currentImage();
    QCOMPARE(frame.size(), size);
    changes |= !previous.isNull() && frame != previous;
    previous = frame;
  }
  QVERIFY2(changes, "all frames alike");
}

void TestResources::sizesTheCodeReliesOn()
{
  const struct
  {
    const char *path;
    QSize size;
  } expected[] = {
    {":/images/trim_bar", QSize(26, 64)},
    {":/images/transition_left_trim_bar", QSize(34, 24)},
    {":/images/transition_right_trim_bar", QSize(34, 24)},
    {":/images/pointer_button", QSize(27, 21)},
    {":/images/pointer_yellow_button", QSize(27, 21)},
    {":/images/crop_top_left_normal", QSize(40, 40)},
    {":/images/animation/eliminate_ani1", QSize(40, 40)},
    {":/images/texture/01", QSize(128, 128)},
  };
  for (const auto &e : expected)
    QCOMPARE(QPixmap(e.path).size(), e.size);
  QCOMPARE(QPixmap(":/images/pointer_gradient_line").width(), 3);
  QCOMPARE(QPixmap(":/images/pointer_yellow_dashed_line").width(), 3);
  QCOMPARE(QPixmap(":/images/transform_dot_normal").size(), QPixmap(":/images/transform_square_normal").size());
  QCOMPARE(QPixmap(":/images/transform_dot_transition").size(), QPixmap(":/images/transform_square_transition").size());
  QVERIFY(QPixmap(":/images/trim_bar").height() > 44);
  // Some textures are not square, for the centred crops.
  bool nonSquare = false;
  for (int n = 1; n <= 16; ++n) {
    const QSize s = QPixmap(QString::asprintf(":/images/texture/%02d", n)).size();
    nonSquare |= s.width() != s.height();
  }
  QVERIFY(nonSquare);
  // Variants are drawn in their colours: the selected easing icon in the accent.
  const QImage accent = QImage(":/images/easing/easing_linear2").convertToFormat(QImage::Format_ARGB32);
  bool hasAccent = false;
  for (int y = 0; y < accent.height() && !hasAccent; ++y)
    for (int x = 0; x < accent.width() && !hasAccent; ++x)
      hasAccent = accent.pixel(x, y) == qRgb(54, 200, 255);
  QVERIFY(hasAccent);
  QVERIFY(QImage(":/images/easing/easing_linear") != accent);
  // The checkerboard alternates two colours in cells of 8 pixels.
  const QImage board(":/images/drawing/hollow_back");
  QVERIFY(board.pixel(0, 0) != board.pixel(8, 0));
  QCOMPARE(board.pixel(0, 0), board.pixel(8, 8));
}

void TestResources::shutterIsPcm()
{
  QFile wav(":/assets/shutter.wav");
  QVERIFY(wav.open(QIODevice::ReadOnly));
  const QByteArray bytes = wav.readAll();
  QVERIFY(bytes.size() > 44);
  QCOMPARE(bytes.left(4), QByteArray("RIFF"));
  QCOMPARE(bytes.mid(8, 8), QByteArray("WAVEfmt "));
  QCOMPARE(qFromLittleEndian<quint16>(bytes.constData() + 20), quint16(1));  // PCM
  QCOMPARE(qFromLittleEndian<quint16>(bytes.constData() + 34), quint16(16)); // bits
  const quint32 dataSize = qFromLittleEndian<quint32>(bytes.constData() + 40);
  QVERIFY(dataSize > 0);
  QCOMPARE(int(dataSize), bytes.size() - 44);
  // Not silence.
  int loud = 0;
  for (int i = 44; i + 1 < bytes.size(); i += 2)
    loud += qAbs(qFromLittleEndian<qint16>(bytes.constData() + i)) > 1000;
  QVERIFY(loud > 100);
}

static QMap<QString, QByteArray> readTree(const QString &root)
{
  QMap<QString, QByteArray> files;
  QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    QFile f(it.next());
    f.open(QIODevice::ReadOnly);
    files.insert(QDir(root).relativeFilePath(f.fileName()), f.readAll());
  }
  return files;
}

void TestResources::generatorIsDeterministic()
{
  QTemporaryDir first, second;
  for (const QString &dir : {first.path(), second.path()}) {
    QProcess gen;
    gen.start(TAVO_IMAGEGEN, {dir});
    // An instrumented build runs the generator several times slower.
    QVERIFY(gen.waitForFinished(60000 * std::max(1, qEnvironmentVariableIntValue("TAVO_TEST_TIMEOUT_SCALE"))));
    QCOMPARE(gen.exitCode(), 0);
  }
  const auto a = readTree(first.path()), b = readTree(second.path());
  QVERIFY(a.size() > 200);
  QCOMPARE(a.keys(), b.keys());
  for (auto it = a.begin(); it != a.end(); ++it)
    QVERIFY2(it.value() == b.value(it.key()), qPrintable(it.key() + " differs between runs"));
}

TAVO_TEST_MAIN(TestResources)
#include "tst_resources.moc"
