// Transform handles over the preview: which part a press grabs, rotation and move snapping,
// stretching, the delayed wheel report, pinches, context requests, and the geometry round trip.
#include "gestures.h"
#include "testenv.h"
#include "transformwidget.h"

#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QNativeGestureEvent>
#include <QSignalSpy>
#include <QWheelEvent>
#include <cmath>
#include <memory>

namespace {
constexpr double Radians = 3.141592653589793 / 180;

struct Preview
{
  QWidget host;
  TransformWidget *layer;

  explicit Preview(float tolerance = 5.0f)
  {
    host.resize(800, 600);
    layer = new TransformWidget(":/images/transform_dot_normal", ":/images/transform_square_normal",
                                ":/images/transform_central_point_normal", QColor(236, 236, 236, 128), tolerance,
                                &host);
    layer->setGeometry(0, 0, 800, 600);
    layer->setPlaybackAreaFrame(QRectF(100, 100, 600, 400));
    host.show();
  }
  // A layer of w x h centred at c, turned by degrees, anchored at its centre.
  void place(const QPointF &c, double w, double h, double degrees, const QPointF &anchor = {0.5, 0.5})
  {
    const QPointF offset = QTransform().rotate(degrees).map(QPointF((anchor.x() - 0.5) * w, (anchor.y() - 0.5) * h));
    const QPointF base((anchor.x() - 0.5) * w, (anchor.y() - 0.5) * h);
    layer->setContentLayerGeometry(c + offset - base, QSizeF(w, h), float(degrees * Radians), anchor, QSizeF(w, h));
  }
  QPoint global(const QPointF &p) const { return host.mapToGlobal(p.toPoint()); }
  bool press(const QPointF &p)
  {
    QMouseEvent e(QEvent::MouseButtonPress, p, global(p), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    return layer->handleMousePressEvent(&e);
  }
  bool move(const QPointF &p)
  {
    QMouseEvent e(QEvent::MouseMove, p, global(p), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    return layer->handleMouseMoveEvent(&e);
  }
  bool wheel(const QPointF &p, const QPoint &angle)
  {
    QWheelEvent e(p, QPointF(global(p)), QPoint(), angle, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    return layer->handleWheelEvent(&e);
  }
  bool gesture(Qt::NativeGestureType type, const QPointF &p, double value = 0)
  {
    QNativeGestureEvent e(type, nullptr, p, p, QPointF(global(p)), value, 0, 0);
    return layer->handleGestureEvent(&e);
  }
  QSizeF size() const
  {
    QSizeF s;
    layer->getContentLayerGeometry(nullptr, &s, nullptr, nullptr);
    return s;
  }
};
} // namespace

class TestTransform : public QObject
{
  Q_OBJECT
private slots:
  void rotationSnapping_data()
  {
    QTest::addColumn<double>("degrees");
    QTest::addColumn<float>("tolerance");
    QTest::addColumn<double>("snapped");
    QTest::newRow("44.5 within a degree") << 44.5 << 5.0f << 45.0;
    QTest::newRow("44.5 outside a tenth") << 44.5 << 0.5f << 44.5;
    QTest::newRow("-44.5 within a degree") << -44.5 << 5.0f << -45.0;
    QTest::newRow("89.95 within a tenth") << 89.95 << 0.5f << 90.0;
    QTest::newRow("30 free") << 30.0 << 5.0f << 30.0;
  }
  void rotationSnapping()
  {
    QFETCH(double, degrees);
    QFETCH(float, tolerance);
    QFETCH(double, snapped);
    Preview p(tolerance);
    p.place({400, 300}, 200, 100, degrees);
    QSignalSpy changed(p.layer, &TransformWidget::transformWidgetContentLayerGeometryDidChange);
    // Grab the top-left corner and let go without turning it.
    const QPointF corner = QTransform()
                             .translate(400, 300)
                             .rotate(degrees)
                             .translate(-400, -300)
                             .map(QPointF(300, 250));
    QVERIFY(p.press(corner));
    QCOMPARE(p.layer->hitRegion(), int(TransformWidget::TopLeft));
    QCOMPARE(p.layer->guides().rotationSnapped, snapped != degrees); // shown at the press
    QVERIFY(p.move(corner));
    QVERIFY2(std::fabs(p.layer->rotationDegrees() - snapped) < 0.01,
             qPrintable(QString("turned to %1").arg(p.layer->rotationDegrees())));
    QVERIFY(p.layer->handleMouseReleaseEvent());
    QCOMPARE(changed.count(), snapped != degrees ? 1 : 0);
    QVERIFY(!p.layer->guides().rotationSnapped);
    QVERIFY(!p.layer->handleMouseReleaseEvent()); // nothing grabbed any more
  }

  void whatAPressGrabs_data()
  {
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<QPointF>("anchor");
    QTest::addColumn<QPointF>("at"); // from the layer's centre
    QTest::addColumn<int>("region");
    QTest::newRow("anchor at the centre") << QSizeF(200, 100) << QPointF(0.5, 0.5) << QPointF(5, 5) << 8;
    QTest::newRow("anchor over the top-left handle") << QSizeF(100, 100) << QPointF(0, 0) << QPointF(-48, -48) << 8;
    QTest::newRow("30 x 30: no anchor") << QSizeF(30, 30) << QPointF(0.5, 0.5) << QPointF(5, -10) << 1;
    QTest::newRow("right edge handle") << QSizeF(200, 100) << QPointF(0.5, 0.5) << QPointF(100, 0) << 3;
    QTest::newRow("body") << QSizeF(200, 100) << QPointF(0.5, 0.5) << QPointF(50, 20) << 9;
    QTest::newRow("empty preview") << QSizeF(200, 100) << QPointF(0.5, 0.5) << QPointF(200, 0) << 10;
  }
  void whatAPressGrabs()
  {
    QFETCH(QSizeF, size);
    QFETCH(QPointF, anchor);
    QFETCH(QPointF, at);
    QFETCH(int, region);
    Preview p;
    p.place({400, 300}, size.width(), size.height(), 0, anchor);
    QCOMPARE(p.layer->isAnchorVisible(), size.width() > 30);
    QCOMPARE(p.press(QPointF(400, 300) + at), region != 10);
    QCOMPARE(p.layer->hitRegion(), region);
  }

  void holdGuides_data()
  {
    QTest::addColumn<bool>("moveFirst");
    QTest::newRow("held still") << false;
    QTest::newRow("moved before 200 ms") << true;
  }
  void holdGuides()
  {
    QFETCH(bool, moveFirst);
    Preview p;
    p.place({400, 300}, 200, 100, 0); // anchor on the movie frame's centre
    QVERIFY(p.press({450, 320}));
    QVERIFY(!p.layer->guides().any());
    if (moveFirst) {
      QVERIFY(p.move({530, 400}));
      Gestures::hold(400);
      QVERIFY(!p.layer->guides().any());
      return;
    }
    QElapsedTimer clock;
    clock.start();
    QTRY_VERIFY(p.layer->guides().centerGuideX && p.layer->guides().centerGuideY);
    QVERIFY(clock.elapsed() >= 150);
    p.layer->handleMouseReleaseEvent();
    QVERIFY(!p.layer->guides().any());
  }

  void edgeSnapping_data()
  {
    QTest::addColumn<double>("degrees");
    QTest::addColumn<QPoint>("drag");
    QTest::addColumn<int>("edgeGuideX");
    QTest::addColumn<double>("centreX");
    // A 200 x 100 layer at (300, 300); the movie frame's left edge is at 100.
    QTest::newRow("upright: left edge snaps") << 0.0 << QPoint(-97, 37) << 1 << 200.0;
    QTest::newRow("90.5 degrees: unrotated edges") << 90.5 << QPoint(-97, 37) << 1 << 200.0;
    QTest::newRow("45 degrees: no edges") << 45.0 << QPoint(-97, 37) << 0 << 203.0;
    QTest::newRow("45 degrees: the anchor snaps") << 45.0 << QPoint(-197, 37) << 1 << 100.0;
  }
  void edgeSnapping()
  {
    QFETCH(double, degrees);
    QFETCH(QPoint, drag);
    QFETCH(int, edgeGuideX);
    QFETCH(double, centreX);
    Preview p;
    p.place({300, 300}, 200, 100, degrees);
    QSignalSpy changed(p.layer, &TransformWidget::transformWidgetContentLayerGeometryDidChange);
    const QPointF at(340, 320);
    QVERIFY(p.press(at));
    QCOMPARE(p.layer->hitRegion(), int(TransformWidget::Body));
    QVERIFY(p.move(at + drag));
    QCOMPARE(p.layer->guides().edgeGuideX, edgeGuideX);
    QCOMPARE(p.layer->center().x(), centreX);
    QCOMPARE(p.layer->center().y(), 337.0);
    p.layer->handleMouseReleaseEvent();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(p.layer->guides().edgeGuideX, 0);
  }

  void releasedWhereItStarted_data()
  {
    QTest::addColumn<QPointF>("grab"); // from the centre
    QTest::addColumn<bool>("backToStart");
    QTest::newRow("move, back") << QPointF(50, 20) << true;
    QTest::newRow("move, away") << QPointF(50, 20) << false;
    QTest::newRow("rotation, back") << QPointF(-100, -50) << true;
    QTest::newRow("rotation, away") << QPointF(-100, -50) << false;
  }
  void releasedWhereItStarted()
  {
    QFETCH(QPointF, grab);
    QFETCH(bool, backToStart);
    Preview p;
    p.place({420, 270}, 200, 100, 10);
    QSignalSpy changed(p.layer, &TransformWidget::transformWidgetContentLayerGeometryDidChange);
    const QPointF at = QTransform().translate(420, 270).rotate(10).map(grab);
    QVERIFY(p.press(at));
    QVERIFY(p.move(at + QPointF(30, 70)));
    if (backToStart)
      QVERIFY(p.move(at));
    p.layer->handleMouseReleaseEvent();
    QCOMPARE(changed.count(), backToStart ? 0 : 1);
  }

  void anchorDrags_data()
  {
    QTest::addColumn<QPoint>("drag");
    QTest::addColumn<bool>("onVertical");
    QTest::addColumn<QPointF>("anchor");
    // A 200 x 100 upright layer at (400, 300): the centre lines are x = 400 and y = 300.
    QTest::newRow("near the vertical line: snaps onto it") << QPoint(3, 40) << true << QPointF(0.5, 0.9);
    QTest::newRow("free") << QPoint(30, 40) << false << QPointF(0.65, 0.9);
  }
  void anchorDrags()
  {
    QFETCH(QPoint, drag);
    QFETCH(bool, onVertical);
    QFETCH(QPointF, anchor);
    Preview p;
    p.place({400, 300}, 200, 100, 0);
    QSignalSpy changed(p.layer, &TransformWidget::transformWidgetContentLayerGeometryDidChange);
    QVERIFY(p.press({400, 300}));
    QCOMPARE(p.layer->hitRegion(), int(TransformWidget::Anchor));
    QVERIFY(p.layer->guides().anchorOnVerticalLine && p.layer->guides().anchorOnHorizontalLine);
    QVERIFY(p.move(QPointF(400, 300) + drag));
    QCOMPARE(p.layer->guides().anchorOnVerticalLine, onVertical);
    QVERIFY(!p.layer->guides().anchorOnHorizontalLine);
    QPointF got;
    QSizeF size;
    p.layer->getContentLayerGeometry(nullptr, &size, nullptr, &got);
    QVERIFY2(qAbs(got.x() - anchor.x()) < 1e-6 && qAbs(got.y() - anchor.y()) < 1e-6,
             qPrintable(QString("anchor (%1, %2)").arg(got.x()).arg(got.y())));
    QCOMPARE(p.layer->center(), QPointF(400, 300)); // the layer stays
    QCOMPARE(size, QSizeF(200, 100));
    p.layer->handleMouseReleaseEvent();
    QCOMPARE(changed.count(), 1);
    QVERIFY(!p.layer->guides().any());
  }

  void stretchStopsAtTheMinimum()
  {
    Preview p;
    p.place({400, 300}, 200, 100, 0);
    QVERIFY(p.press({500, 300}));
    QCOMPARE(p.layer->hitRegion(), int(TransformWidget::Right));
    QVERIFY(p.move({450, 300}));
    QCOMPARE(p.size(), QSizeF(150, 100));
    QCOMPARE(p.layer->center(), QPointF(375, 300)); // the left edge stays
    QVERIFY(p.move({200, 300}));
    QCOMPARE(p.size(), QSizeF(30, 100));
    QCOMPARE(p.layer->center(), QPointF(250, 300)); // half the drag, past the size's stop
  }

  void wheelReportsOnceAfterTheLast_data()
  {
    QTest::addColumn<int>("steps");
    QTest::addColumn<QPoint>("angle");
    QTest::newRow("ten steps") << 10 << QPoint(0, 120);
    QTest::newRow("no delta") << 1 << QPoint();
  }
  void wheelReportsOnceAfterTheLast()
  {
    QFETCH(int, steps);
    QFETCH(QPoint, angle);
    // Each step scales by its delta over the mean side, about the centre.
    double width = 200, height = 100;
    for (int i = 0; i < steps; ++i) {
      const double factor = angle.y() / 8 / ((width + height) / 2) + 1;
      width *= factor;
      height *= factor;
    }
    Preview p;
    p.place({400, 300}, 200, 100, 0);
    QSignalSpy changed(p.layer, &TransformWidget::transformWidgetContentLayerGeometryDidChange);
    QVERIFY(!p.wheel({700, 50}, angle)); // off the layer
    for (int i = 0; i < steps; ++i) {
      QVERIFY(p.wheel({400, 300}, angle));
      // The report keeps waiting while steps come: wait longer than 200 ms in all, no report.
      QTest::qWait(30);
    }
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(changed.count(), 0);
    QTRY_COMPARE(changed.count(), 1);
    QVERIFY(clock.elapsed() >= 150);
    QVERIFY(std::fabs(p.size().width() - width) < 0.01);
    Gestures::hold(300);
    QCOMPARE(changed.count(), 1);
  }

  void pinches_data()
  {
    QTest::addColumn<int>("type");
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<bool>("consumed");
    QTest::addColumn<double>("width");
    QTest::newRow("begin over the layer") << int(Qt::BeginNativeGesture) << QPointF(400, 300) << true << 200.0;
    QTest::newRow("end over the layer") << int(Qt::EndNativeGesture) << QPointF(400, 300) << true << 200.0;
    QTest::newRow("zoom over the layer") << int(Qt::ZoomNativeGesture) << QPointF(400, 300) << true << 250.0;
    QTest::newRow("begin over empty preview") << int(Qt::BeginNativeGesture) << QPointF(700, 50) << false << 200.0;
    QTest::newRow("zoom over empty preview") << int(Qt::ZoomNativeGesture) << QPointF(700, 50) << false << 200.0;
  }
  void pinches()
  {
    QFETCH(int, type);
    QFETCH(QPointF, at);
    QFETCH(bool, consumed);
    QFETCH(double, width);
    Preview p;
    p.place({400, 300}, 200, 100, 0);
    QCOMPARE(p.gesture(Qt::NativeGestureType(type), at, 0.25), consumed);
    QCOMPARE(p.size().width(), width);
  }

  void contextRequests()
  {
    Preview p;
    p.place({400, 300}, 200, 100, 30);
    QSignalSpy menu(p.layer, &TransformWidget::transformWidgetRequestContextMenu);
    const QPointF inside(400, 340), outside(700, 50);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, inside, p.global(inside), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
    QVERIFY(p.layer->handleMouseDoubleClickEvent(&dbl));
    QContextMenuEvent right(QContextMenuEvent::Mouse, inside.toPoint(), p.global(inside));
    QVERIFY(p.layer->handleContextMenuEvent(&right));
    QCOMPARE(menu.count(), 2);
    QCOMPARE(menu.at(0).at(1).toPoint(), p.global(inside));
    QMouseEvent dblOut(QEvent::MouseButtonDblClick, outside, p.global(outside), Qt::LeftButton, Qt::LeftButton,
                       Qt::NoModifier);
    QVERIFY(!p.layer->handleMouseDoubleClickEvent(&dblOut));
    QContextMenuEvent rightOut(QContextMenuEvent::Mouse, outside.toPoint(), p.global(outside));
    QVERIFY(!p.layer->handleContextMenuEvent(&rightOut));
    QCOMPARE(menu.count(), 2);
  }

  void geometryRoundTrip_data()
  {
    QTest::addColumn<QPointF>("position");
    QTest::addColumn<float>("rotation");
    QTest::addColumn<QPointF>("anchor");
    QTest::addColumn<QSizeF>("baseSize");
    QTest::newRow("centred, upright") << QPointF(320, 240) << 0.0f << QPointF(0.5, 0.5) << QSizeF(160, 90);
    QTest::newRow("off-centre anchor, turned") << QPointF(100.5, 80.25) << 0.7f << QPointF(0.2, 0.9)
                                               << QSizeF(400, 300);
    QTest::newRow("anchor outside") << QPointF(10, 20) << -2.0f << QPointF(1.5, -0.25) << QSizeF(64, 64);
  }
  void geometryRoundTrip()
  {
    QFETCH(QPointF, position);
    QFETCH(float, rotation);
    QFETCH(QPointF, anchor);
    QFETCH(QSizeF, baseSize);
    Preview p;
    p.layer->setContentLayerGeometry(position, QSizeF(210, 130), rotation, anchor, baseSize, true);
    QPointF gotPosition, gotAnchor;
    QSizeF gotSize;
    float gotRotation = 0;
    p.layer->getContentLayerGeometry(&gotPosition, &gotSize, &gotRotation, &gotAnchor);
    QVERIFY2(std::fabs(gotPosition.x() - position.x()) < 1e-3 && std::fabs(gotPosition.y() - position.y()) < 1e-3,
             qPrintable(QString("(%1, %2)").arg(gotPosition.x()).arg(gotPosition.y())));
    QCOMPARE(gotSize, QSizeF(210, 130));
    QCOMPARE(gotRotation, rotation);
    QCOMPARE(gotAnchor, anchor);
    p.layer->getContentLayerGeometry(nullptr, nullptr, nullptr, nullptr); // every part optional
  }
};

TAVO_TEST_MAIN(TestTransform)
#include "tst_transform.moc"
