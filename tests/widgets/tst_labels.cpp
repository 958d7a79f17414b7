// Labels and image widgets: slideshow timing, delayed starts, rotation, tabs and the
// movie-size buttons.

#include "animatedlabel.h"
#include "moviesizegridbutton.h"
#include "rotatableimagewidget.h"
#include "roundtabwidget.h"
#include "slideshowlabel.h"
#include "pixelprobe.h"
#include "testenv.h"

#include <algorithm>

#include <QElapsedTimer>
#include <QTemporaryDir>

namespace {

bool sameRect(const QRectF &a, const QRectF &b)
{
  const bool same = qAbs(a.x() - b.x()) < 1e-4 && qAbs(a.y() - b.y()) < 1e-4 && qAbs(a.width() - b.width()) < 1e-4 &&
                    qAbs(a.height() - b.height()) < 1e-4;
  if (!same)
    qWarning() << a << "is not" << b;
  return same;
}

} // namespace

class TestLabels : public QObject
{
  Q_OBJECT
private slots:
  void slideshowTiming();
  void slideshowSkipsBrokenPictures();
  void slideshowWithoutPictures();
  void animatedLabelDelayedStart();
  void rotatedImage();
  void roundTab_data();
  void roundTab();
  void movieSizeFrames();
};

void TestLabels::slideshowTiming()
{
  QStringList images;
  for (int i = 1; i <= 4; ++i)
    images << QString(":/images/animation/eliminate_ani%1").arg(i);
  SlideshowLabel show(images, 2000);
  QCOMPARE(show.pictureCount(), 4);
  QCOMPARE(show.interval(), 500);
  QCOMPARE(show.pixmap(Qt::ReturnByValue).toImage(), QPixmap(images[0]).toImage());

  QSignalSpy completed(&show, &SlideshowLabel::slideshowCompleted);
  QList<qint64> changes;
  QElapsedTimer clock;
  connect(&show, &SlideshowLabel::slideshowCompleted, [&] { changes << clock.elapsed(); });
  clock.start();
  show.start();
  int lastIndex = 0;
  while (completed.isEmpty() && clock.elapsed() < 30000) {
    QTest::qWait(10);
    // A stalled poll may see two steps at once: both are counted.
    for (; lastIndex < std::min(show.currentIndex(), 3); ++lastIndex)
      changes << clock.elapsed();
  }
  QCOMPARE(completed.count(), 1);
  QCOMPARE(completed.first().first().value<SlideshowLabel *>(), &show);
  QCOMPARE(changes.size(), 4); // three picture changes and the completion
  // A busy machine can only make a step late: none comes well before its time (a coarse
  // timer may fire up to 5 % early, and each step is timed from the one before).
  for (int i = 0; i < 4; ++i)
    QVERIFY2(changes[i] >= 450 * (i + 1),
             qPrintable(QString("step %1 at %2 ms, expected from %3").arg(i).arg(changes[i]).arg(500 * (i + 1))));
  // The last picture stays; nothing more is reported.
  QCOMPARE(show.pixmap(Qt::ReturnByValue).toImage(), QPixmap(images[3]).toImage());
  QTest::qWait(700);
  QCOMPARE(completed.count(), 1);
}

void TestLabels::slideshowSkipsBrokenPictures()
{
  QTemporaryDir dir;
  const QString broken = dir.filePath("broken.png");
  QFile f(broken);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write("not a picture");
  f.close();
  SlideshowLabel show({":/images/animation/eliminate_ani1", broken, dir.filePath("missing.png"),
                       ":/images/animation/eliminate_ani2"},
                      1000);
  QCOMPARE(show.pictureCount(), 2);
  QCOMPARE(show.interval(), 500);
  QSignalSpy completed(&show, &SlideshowLabel::slideshowCompleted);
  show.start();
  QVERIFY(completed.wait(3000));
}

void TestLabels::slideshowWithoutPictures()
{
  SlideshowLabel show({"/nonexistent/a.png"}, 1000);
  QCOMPARE(show.pictureCount(), 0);
  QCOMPARE(show.interval(), 0);
  QSignalSpy completed(&show, &SlideshowLabel::slideshowCompleted);
  show.start();
  QTest::qWait(300);
  QCOMPARE(completed.count(), 0);
}

void TestLabels::animatedLabelDelayedStart()
{
  auto *label = new AnimatedLabel(nullptr, ":/images/loading_hud_dark");
  QVERIFY(label->hasScaledContents());
  label->start(100);
  QCOMPARE(label->movie()->state(), QMovie::NotRunning);
  QTRY_COMPARE(label->movie()->state(), QMovie::Running);
  QTRY_VERIFY(!label->pixmap(Qt::ReturnByValue).isNull());
  label->stop();
  QCOMPARE(label->movie()->state(), QMovie::NotRunning);
  delete label;

  // Deleted before the delay runs out: the timer goes with it and nothing starts.
  QPointer<AnimatedLabel> gone = new AnimatedLabel(nullptr, ":/images/loading_hud_dark");
  gone->start(50);
  delete gone;
  QTest::qWait(150);
  QVERIFY(gone.isNull());
}

void TestLabels::rotatedImage()
{
  QPixmap red(20, 20);
  red.fill(Qt::red);
  QPixmap blue(20, 20);
  blue.fill(Qt::blue);
  RotatableImageWidget widget;
  widget.resize(100, 40);
  PixelProbe::plainBackground(&widget, Qt::black);
  widget.setPixmap(red);
  widget.setDisabledPixmap(blue);

  QImage img = PixelProbe::grab(&widget);
  QVERIFY(PixelProbe::near(img.pixel(5, 5), Qt::red));
  // Turned 90 degrees about (50, 20): the stretched 100 x 40 picture stands 40 x 100,
  // overflowing the short side and leaving the sides empty.
  widget.setRotation(90);
  img = PixelProbe::grab(&widget);
  PROBE(img, 50, 2, Qt::red, 8);
  PROBE(img, 10, 20, Qt::black, 8);
  widget.setEnabled(false);
  img = PixelProbe::grab(&widget);
  PROBE(img, 50, 20, Qt::blue, 8);
}

void TestLabels::roundTab_data()
{
  QTest::addColumn<int>("shape");
  QTest::addColumn<QList<QPoint>>("filled");
  QTest::addColumn<QList<QPoint>>("empty");
  // 100 x 60. Shape 1 hangs from the top: flares reach the top corners, the bottom corners
  // are round.
  QTest::newRow("hanging") << 1 << QList<QPoint>{{50, 30}, {9, 1}} << QList<QPoint>{{1, 2}, {1, 58}, {11, 58}};
  // Shape 2 stands on the right edge: its flares reach the right corners, its left corners
  // are round (the top one used to be cut by a diagonal from above the widget).
  QTest::newRow("on the right") << 2 << QList<QPoint>{{50, 30}, {99, 8}, {99, 52}, {10, 14}, {10, 46}}
                                << QList<QPoint>{{50, 5}, {2, 5}, {1, 11}, {1, 49}, {50, 55}};
  QTest::newRow("on the left") << 3 << QList<QPoint>{{50, 30}, {1, 8}, {1, 52}, {90, 14}, {90, 46}}
                               << QList<QPoint>{{50, 5}, {98, 5}, {98, 11}, {98, 49}, {50, 55}};
}

void TestLabels::roundTab()
{
  QFETCH(int, shape);
  QFETCH(QList<QPoint>, filled);
  QFETCH(QList<QPoint>, empty);
  QCOMPARE(RoundTabWidget::cornerRadius(), 10.0);
  QWidget back;
  back.resize(100, 60);
  PixelProbe::plainBackground(&back, Qt::black);
  RoundTabWidget tab(shape, QColor(0, 200, 0), &back);
  tab.setGeometry(0, 0, 100, 60);
  const QImage img = PixelProbe::grab(&back);
  for (const QPoint &p : filled)
    PROBE(img, p.x(), p.y(), QColor(0, 200, 0), 60);
  for (const QPoint &p : empty)
    PROBE(img, p.x(), p.y(), Qt::black, 60);
}

void TestLabels::movieSizeFrames()
{
  QCOMPARE(MovieSizeGridButton::sizeForWidth(75), QSize(75, 100));

  MovieSizeGridButton wide("16:9", 16.0f / 9.0f);
  wide.resize(MovieSizeGridButton::sizeForWidth(100));
  QVERIFY(sameRect(wide.frameRect(), QRectF(10, 27.5, 80, 45)));
  MovieSizeGridButton tall("9:16", 9.0f / 16.0f);
  tall.resize(MovieSizeGridButton::sizeForWidth(100));
  QVERIFY(sameRect(tall.frameRect(), QRectF(27.5, 10, 45, 80)));

  wide.setTag(7);
  QCOMPARE(wide.commandId(), 7);
  wide.setCommandId(8);
  QCOMPARE(wide.tag(), 8);

  PixelProbe::plainBackground(&wide, Qt::black);
  PixelProbe::plainBackground(&tall, Qt::black);
  // Probes: the frame outline is grey, the accent once selected; the selected background.
  QImage img = PixelProbe::grab(&wide);
  PROBE(img, 50, 27, QColor(216, 216, 216), 40);
  QVERIFY(!PixelProbe::near(img.pixel(50, 22), QColor(216, 216, 216), 40));
  wide.setSelected(true);
  img = PixelProbe::grab(&wide);
  PROBE(img, 50, 27, QColor(54, 200, 255), 40);
  PROBE(img, 5, 50, QColor(44, 46, 50), 8);
  PROBE(img, 50, 72, QColor(54, 200, 255), 40);

  img = PixelProbe::grab(&tall);
  PROBE(img, 27, 50, QColor(216, 216, 216), 40);
  PROBE(img, 72, 50, QColor(216, 216, 216), 40);

  // The caption under the frame is light on the dark panel, not the palette's black.
  PixelProbe::plainBackground(&tall, QColor(31, 32, 35));
  img = PixelProbe::grab(&tall);
  int brightest = 0;
  for (int y = 95; y < 115; ++y)
    for (int x = 10; x < 90; ++x)
      brightest = qMax(brightest, qGray(img.pixel(x, y)));
  QVERIFY2(brightest > 200, qPrintable(QString("brightest caption pixel %1").arg(brightest)));
}

TAVO_TEST_MAIN(TestLabels)
#include "tst_labels.moc"
