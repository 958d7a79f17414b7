// The texture grid: the flow of its buttons, their square crops, the delayed choice, and
// custom pictures fitted to the canvas and saved into the cache folder.

#include "gestures.h"
#include "pixelprobe.h"
#include "scripteddialogprovider.h"
#include "testenv.h"
#include "texturegridwidget.h"
#include "util.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLayout>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <optional>

namespace {

QStringList builtInTextures()
{
  QStringList paths;
  for (int n = 1; n <= 16; ++n)
    paths << QString(":/images/texture/%1").arg(n, 2, 10, QChar('0'));
  return paths;
}

// A shown grid whose scroll area is `areaWidth` wide; answers the canvas question when
// `canvas` is set.
struct Grid
{
  TextureGridWidget grid;
  QSignalSpy chosen{&grid, &TextureGridWidget::textureGridWidgetPatternDidSelect};
  std::optional<QSize> canvas;
  int canvasQuestions = 0;
  explicit Grid(const QStringList &paths = builtInTextures(), int areaWidth = 300) : grid(paths, nullptr)
  {
    const QMargins m = grid.layout()->contentsMargins();
    grid.resize(areaWidth + m.left() + m.right(), 400);
    grid.show();
    QVERIFY(QTest::qWaitForWindowExposed(&grid));
    QObject::connect(&grid, &TextureGridWidget::textureGridWidgetGetCanvasSize, &grid,
                     [this](TextureGridWidget *, QSize *size) {
                       ++canvasQuestions;
                       if (canvas)
                         *size = *canvas;
                     });
  }
  // Waits for the next choice and returns its path.
  QString nextChoice()
  {
    const int before = chosen.count();
    if (!QTest::qWaitFor([&] { return chosen.count() > before; }, 5000))
      return QString("(nothing)");
    return chosen.last().at(1).toString();
  }
  // A grid button's choice is reported after anything the widget started before it.
  QString choiceAfterPending()
  {
    QPushButton *first = grid.gridButtons().first();
    Gestures::click(first, first->rect().center());
    return nextChoice();
  }
};

QString writePicture(const QString &folder, const QString &name, const QSize &size)
{
  QImage image(size, QImage::Format_ARGB32);
  image.fill(QColor(200, 40, 40));
  const QString path = folder + "/" + name;
  image.save(path, "PNG");
  return path;
}

} // namespace

class TestTextureGrid : public QObject
{
  Q_OBJECT
private slots:
  void init();
  void flow_data();
  void flow();
  void squareCrop();
  void choiceArrivesLater();
  void customPicture_data();
  void customPicture();
  void customPictureOverwrites();
  void cancelledDialogChangesNothing();
  void failuresAnnounceNothing_data();
  void failuresAnnounceNothing();

private:
  QTemporaryDir _pictures;
};

void TestTextureGrid::init()
{
  // Every case starts from a fresh profile without a cache folder.
  QDir(Util::cacheLocation()).removeRecursively();
  QSettings().remove("OpenPictureDir");
}

void TestTextureGrid::flow_data()
{
  QTest::addColumn<int>("areaWidth");
  QTest::addColumn<int>("perRow");
  QTest::newRow("300 px: four") << 300 << 4;
  QTest::newRow("324 px: still four") << 324 << 4;
  QTest::newRow("325 px: five") << 325 << 5;
  QTest::newRow("195 px: three") << 195 << 3;
}

void TestTextureGrid::flow()
{
  QFETCH(int, areaWidth);
  QFETCH(int, perRow);
  Grid g(builtInTextures(), areaWidth);
  QCOMPARE(g.grid.scrollArea()->width(), areaWidth);
  const auto &buttons = g.grid.gridButtons();
  QCOMPARE(buttons.size(), 16);
  for (int i = 0; i < 16; ++i) {
    QCOMPARE(buttons[i]->geometry(), QRect((i % perRow) * 65, (i / perRow) * 65, 65, 65));
    QCOMPARE(buttons[i]->property("tag").toInt(), i + 1);
    QCOMPARE(buttons[i]->property("img").toString(), builtInTextures()[i]);
    QVERIFY(!buttons[i]->icon().isNull());
  }
  // Down to the last button's bottom row of pixels.
  QCOMPARE(g.grid.scrollArea()->widget()->height(), (15 / perRow) * 65 + 64);
  QCOMPARE(g.grid.customButton()->text(), QString("Custom Picture..."));
  QCOMPARE(g.grid.customButton()->height(), 30);
}

void TestTextureGrid::squareCrop()
{
  // 160 x 96: red and blue bands outside the centred 96-px square, which is yellow over green.
  QImage image(160, 96, QImage::Format_RGB32);
  QPainter p(&image);
  p.fillRect(0, 0, 32, 96, Qt::red);
  p.fillRect(128, 0, 32, 96, Qt::blue);
  p.fillRect(32, 0, 96, 48, Qt::yellow);
  p.fillRect(32, 48, 96, 48, Qt::green);
  p.end();
  const QString path = _pictures.filePath("wide.png");
  QVERIFY(image.save(path));

  Grid g({path, _pictures.filePath("missing.png")});
  const QImage icon = g.grid.gridButtons()[0]->icon().pixmap(65, 65).toImage();
  QCOMPARE(icon.size(), QSize(65, 65));
  PROBE(icon, 1, 1, QColor(Qt::yellow), 10);
  PROBE(icon, 63, 1, QColor(Qt::yellow), 10);
  PROBE(icon, 1, 63, QColor(Qt::green), 10);
  PROBE(icon, 63, 63, QColor(Qt::green), 10);
  // A picture that does not load leaves its button without an icon.
  QVERIFY(g.grid.gridButtons()[1]->icon().isNull());
  QCOMPARE(g.grid.gridButtons()[1]->geometry(), QRect(65, 0, 65, 65));
}

void TestTextureGrid::choiceArrivesLater()
{
  Grid g;
  QPushButton *third = g.grid.gridButtons()[2];
  QElapsedTimer clock;
  clock.start();
  Gestures::click(third, third->rect().center());
  QCOMPARE(g.chosen.count(), 0);
  QCOMPARE(g.nextChoice(), QString(":/images/texture/03"));
  QVERIFY2(clock.elapsed() >= 180, qPrintable(QString("after %1 ms").arg(clock.elapsed())));
  QCOMPARE(g.chosen.last().at(0).value<TextureGridWidget *>(), &g.grid);
  QCOMPARE(g.chosen.count(), 1);
}

void TestTextureGrid::customPicture_data()
{
  QTest::addColumn<QSize>("picture");
  QTest::addColumn<QSize>("canvas"); // invalid: nobody answers
  QTest::addColumn<QSize>("saved");
  QTest::newRow("smaller: unscaled") << QSize(100, 50) << QSize(1280, 720) << QSize(100, 50);
  QTest::newRow("exactly the canvas") << QSize(1280, 720) << QSize(1280, 720) << QSize(1280, 720);
  QTest::newRow("wider: fits the width") << QSize(2000, 1000) << QSize(1280, 720) << QSize(1280, 640);
  QTest::newRow("taller: fits the height") << QSize(1000, 2000) << QSize(1280, 720) << QSize(360, 720);
  QTest::newRow("one side larger") << QSize(300, 800) << QSize(1280, 720) << QSize(270, 720);
  QTest::newRow("no canvas answer: unscaled") << QSize(500, 300) << QSize() << QSize(500, 300);
  QTest::newRow("empty canvas: unscaled") << QSize(500, 300) << QSize(0, 0) << QSize(500, 300);
}

void TestTextureGrid::customPicture()
{
  QFETCH(QSize, picture);
  QFETCH(QSize, canvas);
  QFETCH(QSize, saved);
  const QString file = writePicture(_pictures.path(), "picture.png", picture);
  ScriptedDialogProvider dialogs;
  dialogs.answers << file;
  Grid g;
  if (canvas.isValid())
    g.canvas = canvas;
  QTest::mouseClick(g.grid.customButton(), Qt::LeftButton);

  QCOMPARE(dialogs.kinds(), QStringList{"getOpenFileName"});
  QCOMPARE(dialogs.calls[0].title, QString("Open a Picture"));
  QCOMPARE(dialogs.calls[0].text, QStandardPaths::writableLocation(QStandardPaths::PicturesLocation));
  QCOMPARE(dialogs.calls[0].buttons, QStringList{Util::pictureFileFilter()});
  QCOMPARE(QSettings().value("OpenPictureDir").toString(), _pictures.path());

  const QString pattern = Util::cacheLocation() + "/texturePattern.png";
  QCOMPARE(g.chosen.count(), 0);
  QCOMPARE(g.nextChoice(), pattern);
  QCOMPARE(g.canvasQuestions, 1);
  const QImage written(pattern);
  QCOMPARE(written.size(), saved);
  PROBE(written, saved.width() / 2, saved.height() / 2, QColor(200, 40, 40), 4);
}

void TestTextureGrid::customPictureOverwrites()
{
  ScriptedDialogProvider dialogs;
  dialogs.answers << writePicture(_pictures.path(), "first.png", QSize(40, 30))
                  << writePicture(_pictures.path(), "second.png", QSize(70, 20));
  Grid g;
  g.canvas = QSize(1280, 720);
  QTest::mouseClick(g.grid.customButton(), Qt::LeftButton);
  const QString first = g.nextChoice();
  QCOMPARE(QImage(first).size(), QSize(40, 30));
  QTest::mouseClick(g.grid.customButton(), Qt::LeftButton);
  QCOMPARE(g.nextChoice(), first);
  QCOMPARE(QImage(first).size(), QSize(70, 20));
  // The second dialog opens where the first picture was.
  QCOMPARE(dialogs.calls[1].text, _pictures.path());
}

void TestTextureGrid::cancelledDialogChangesNothing()
{
  QSettings().setValue("OpenPictureDir", "/srv/pictures");
  ScriptedDialogProvider dialogs; // no answer: cancelled
  Grid g;
  g.canvas = QSize(1280, 720);
  QTest::mouseClick(g.grid.customButton(), Qt::LeftButton);
  QCOMPARE(dialogs.calls.size(), 1);
  QCOMPARE(dialogs.calls[0].text, QString("/srv/pictures"));
  QCOMPARE(g.choiceAfterPending(), QString(":/images/texture/01"));
  QCOMPARE(g.chosen.count(), 1);
  QCOMPARE(QSettings().value("OpenPictureDir").toString(), QString("/srv/pictures"));
  QVERIFY(!QFile::exists(TextureGridWidget::customPatternPath()));
}

void TestTextureGrid::failuresAnnounceNothing_data()
{
  QTest::addColumn<bool>("unloadable");
  QTest::newRow("a file that is no picture") << true;
  QTest::newRow("the pattern cannot be saved") << false;
}

void TestTextureGrid::failuresAnnounceNothing()
{
  QFETCH(bool, unloadable);
  QString file;
  if (unloadable) {
    file = _pictures.filePath("broken.png");
    QFile broken(file);
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
  } else {
    file = writePicture(_pictures.path(), "fine.png", QSize(40, 30));
    // A folder where the pattern file should go.
    QVERIFY(QDir().mkpath(TextureGridWidget::customPatternPath()));
    QTest::ignoreMessage(QtDebugMsg, "Save texture pattern image failed");
  }
  ScriptedDialogProvider dialogs;
  dialogs.answers << file;
  Grid g;
  g.canvas = QSize(1280, 720);
  QTest::mouseClick(g.grid.customButton(), Qt::LeftButton);
  QCOMPARE(g.choiceAfterPending(), QString(":/images/texture/01"));
  QCOMPARE(g.chosen.count(), 1);
  QVERIFY(QImage(TextureGridWidget::customPatternPath()).isNull());
  QCOMPARE(g.canvasQuestions, unloadable ? 0 : 1);
}

TAVO_TEST_MAIN(TestTextureGrid)
#include "tst_texture.moc"
