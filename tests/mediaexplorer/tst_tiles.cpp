// The explorer's tile painters, probed on images painted through each delegate, and the
// drag picture of the lists.

#include "explorerfixtures.h"
#include "gestures.h"
#include "giphygifswidgetitemdelegate.h"
#include "localfileswidgetitemdelegate.h"
#include "pixelprobe.h"
#include "resourceassetswidgetitemdelegate.h"
#include "testenv.h"

#include <QApplication>
#include <QDrag>
#include <QPainter>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTimer>

using namespace ExplorerFixtures;

namespace {

const QColor kBack(10, 200, 10);
const QColor kSelected(44, 46, 50);
const QColor kGray(162, 162, 162);

struct Item
{
  QString name;
  QVariant icon;
  int type = 0;
  QString duration;
};

QPixmap plain(int w, int h, const QColor &color)
{
  QPixmap pm(w, h);
  pm.fill(color);
  return pm;
}

// Paints one item through a delegate into a cell of the given size on a plain background.
QImage paintCell(QAbstractItemDelegate *delegate, const QSize &cell, const Item &item, bool selected = false,
                 int durationRole = LocalFilesWidget::DurationRole)
{
  QStandardItemModel model;
  auto *entry = new QStandardItem(item.name);
  if (item.icon.isValid())
    entry->setData(item.icon, Qt::DecorationRole);
  entry->setData(item.type, LocalFilesWidget::TypeRole);
  entry->setData(item.duration, durationRole);
  model.appendRow(entry);
  QImage image(cell, QImage::Format_RGB32);
  image.fill(kBack);
  QPainter painter(&image);
  QStyleOptionViewItem option;
  option.rect = QRect(QPoint(0, 0), cell);
  option.state = QStyle::State_Enabled | (selected ? QStyle::State_Selected : QStyle::State_None);
  delegate->paint(&painter, option, model.index(0, 0));
  return image;
}

// Pixels of a rectangle within tolerance of a colour.
int countNear(const QImage &image, const QRect &rect, const QColor &color, int tolerance = 40)
{
  int n = 0;
  const QRect r = rect & image.rect();
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      n += PixelProbe::near(image.pixel(x, y), color, tolerance);
  return n;
}

// Pixels that are not the background.
QRect paintedBounds(const QImage &image, const QRect &rect)
{
  QRect bounds;
  for (int y = rect.top(); y <= rect.bottom(); ++y)
    for (int x = rect.left(); x <= rect.right(); ++x)
      if (!PixelProbe::near(image.pixel(x, y), kBack, 30))
        bounds |= QRect(x, y, 1, 1);
  return bounds;
}

// Text as the painters set it, for comparing elided lines.
QImage referenceText(const QSize &cell, const QRect &rect, const QString &text, Qt::TextElideMode mode, int flags,
                     const QColor &color, qreal pointDelta)
{
  QImage image(cell, QImage::Format_RGB32);
  image.fill(kBack);
  QPainter painter(&image);
  QFont font = QApplication::font();
  font.setPointSizeF(font.pointSizeF() + pointDelta);
  painter.setFont(font);
  painter.setPen(color);
  painter.drawText(rect, flags | Qt::TextSingleLine, painter.fontMetrics().elidedText(text, mode, rect.width()));
  return image.copy(rect);
}

} // namespace

class TestTiles : public QObject
{
  Q_OBJECT

private slots:
  // A 100 x 120 icon tile: P = (10, 10, 80, 100), image rectangle 80 x 80; an 80 x 60
  // thumbnail is fitted at T = (10, 20, 80, 60), so the badge sits at (13, 23).
  void localIconTiles_data()
  {
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("thumbnail");
    QTest::addColumn<QString>("duration");
    QTest::addColumn<QSize>("badge");
    QTest::newRow("video") << 1 << true << "1:15" << QSize(15, 8);
    QTest::newRow("audio") << 3 << true << "0:59" << QSize(11, 11);
    QTest::newRow("picture") << 2 << true << "1:15" << QSize();
    QTest::newRow("no thumbnail") << 1 << false << "1:15" << QSize();
    QTest::newRow("no duration") << 1 << true << "" << QSize();
  }
  void localIconTiles()
  {
    QFETCH(int, type);
    QFETCH(bool, thumbnail);
    QFETCH(QString, duration);
    QFETCH(QSize, badge);
    LocalFilesWidgetItemDelegate delegate(nullptr);
    delegate.setZoom(1);
    const Item item{"clip.mp4", thumbnail ? QVariant(QIcon(plain(80, 60, Qt::blue))) : QVariant(), type, duration};
    const QImage tile = paintCell(&delegate, QSize(100, 120), item);
    if (thumbnail) {
      PROBE(tile, 50, 70, QColor(Qt::blue), 8);
      PROBE(tile, 50, 15, kBack, 8);
    }
    const QRect badgeRect(13, 23, 15, 11);
    const QRect textRect(33, 20, 40, 11);
    if (badge.isValid()) {
      QVERIFY(countNear(tile, QRect(QPoint(13, 23), badge), Qt::white) > 10);
      const int textLeft = 13 + badge.width() + 5;
      QVERIFY(countNear(tile, QRect(textLeft, 22, 30, 9), Qt::white, 110) > 5);
      QCOMPARE(countNear(tile, QRect(textLeft - 4, 23, 3, 9), Qt::white), 0);
    } else {
      QCOMPARE(countNear(tile, badgeRect, Qt::white), 0);
      QCOMPARE(countNear(tile, textRect, Qt::white), 0);
    }
    // The name in its 20 px strip under the image rectangle.
    QVERIFY(countNear(tile, QRect(10, 90, 80, 20), Qt::white) > 10);
    QCOMPARE(countNear(tile, QRect(0, 110, 100, 10), Qt::white), 0);
  }

  void nameSmallerAtZoomZero()
  {
    for (int view = 0; view < 2; ++view) {
      int widths[2];
      for (int zoom = 0; zoom < 2; ++zoom) {
        LocalFilesWidgetItemDelegate delegate(nullptr);
        delegate.setViewMode(view);
        delegate.setZoom(zoom);
        const QImage cell = paintCell(&delegate, QSize(300, 120), {"wwwwwwwwww", QVariant(), 2, QString()});
        widths[zoom] = paintedBounds(cell, cell.rect()).width();
      }
      QVERIFY2(widths[0] < widths[1], qPrintable(QString("%1 >= %2").arg(widths[0]).arg(widths[1])));
    }
  }

  void selectedBackgroundInsideTheInset()
  {
    for (int view = 0; view < 2; ++view) {
      LocalFilesWidgetItemDelegate delegate(nullptr);
      delegate.setViewMode(view);
      const QImage cell = paintCell(&delegate, QSize(100, 120), {QString(), QVariant(), 2, QString()}, true);
      PROBE(cell, 50, view == 0 ? 100 : 60, kSelected, 4);
      PROBE(cell, 5, 60, kBack, 4);
      PROBE(cell, 95, 60, kBack, 4);
      // The list row's inset is left and right only.
      PROBE(cell, 50, 5, view == 0 ? kBack : kSelected, 4);
    }
  }

  // A 40 px list row 400 wide: P = (10, 0, 380, 40), the square (10, 0, 40, 40), the text
  // from x 60 to 380.
  void localListRows()
  {
    LocalFilesWidgetItemDelegate delegate(nullptr);
    delegate.setViewMode(1);
    delegate.setZoom(1);
    const QString name = "a very long file name that cannot fit into the row at all, not even close.mp4";
    const QSize cell(400, 40);
    const QRect text(60, 0, 320, 40);
    const QImage row = paintCell(&delegate, cell, {name, QIcon(plain(40, 40, Qt::blue)), 1, "1:02:05"});
    PROBE(row, 30, 20, QColor(Qt::blue), 8);
    PROBE(row, 5, 20, kBack, 8);
    // Name elided in the middle, left-aligned; the gray duration at the right end.
    QVERIFY(countNear(row, QRect(340, 0, 40, 40), kGray, 12) > 5);
    QCOMPARE(countNear(row, QRect(380, 0, 20, 40), kGray, 12), 0);
    const QImage expectedName =
      referenceText(cell, text, name, Qt::ElideMiddle, Qt::AlignLeft | Qt::AlignVCenter, Qt::white, 0);
    QCOMPARE(row.copy(QRect(60, 0, 200, 40)), expectedName.copy(QRect(0, 0, 200, 40)));
    // A picture row shows no duration.
    const QImage picture = paintCell(&delegate, cell, {"photo.png", QIcon(plain(40, 40, Qt::blue)), 2, "1:02:05"});
    QCOMPARE(countNear(picture, QRect(300, 0, 80, 40), kGray, 12), 0);
  }

  void assetTilesAndRows()
  {
    ResourceAssetsWidgetItemDelegate delegate(nullptr);
    // Icon tiles: the icon fitted into the cell less 10 px.
    const QImage tile =
      paintCell(&delegate, QSize(100, 100), {"sticker", QIcon(plain(160, 40, Qt::red)), 2, ""}, true, Qt::UserRole + 1);
    PROBE(tile, 50, 50, QColor(Qt::red), 8);
    PROBE(tile, 50, 35, kSelected, 4);
    PROBE(tile, 5, 50, kSelected, 4);
    QCOMPARE(tile.pixelColor(50, 5), QColor(kSelected));

    delegate.setMode(1);
    const QString title = "A title much too long for the row it is painted in, going on and on";
    const QString duration = "123:45:06 and a tail that is much too long for the row";
    const QSize cell(300, 40);
    const QRect text(60, 0, 220, 40);
    const QImage row = paintCell(&delegate, cell, {title, QIcon(plain(40, 40, Qt::red)), 3, duration}, false,
                                 Qt::UserRole + 1);
    PROBE(row, 30, 20, QColor(Qt::red), 8);
    QImage onlyTitle = paintCell(&delegate, cell, {title, QIcon(plain(40, 40, Qt::red)), 3, ""}, false, Qt::UserRole + 1);
    QCOMPARE(onlyTitle.copy(text),
             referenceText(cell, text, title, Qt::ElideRight, Qt::AlignLeft | Qt::AlignVCenter, Qt::white, 0));
    QImage onlyDuration =
      paintCell(&delegate, cell, {QString(), QIcon(plain(40, 40, Qt::red)), 3, duration}, false, Qt::UserRole + 1);
    QCOMPARE(onlyDuration.copy(text),
             referenceText(cell, text, duration, Qt::ElideLeft, Qt::AlignRight | Qt::AlignVCenter, kGray, -1));
  }

  // A 200 x 200 GIF cell: r = (10, 10, 180, 180).
  void gifTiles_data()
  {
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<QRect>("target");
    QTest::newRow("wide") << QSize(400, 40) << QRect(10, 91, 180, 18);
    QTest::newRow("tall") << QSize(40, 400) << QRect(91, 10, 18, 180);
    QTest::newRow("no frame") << QSize() << QRect(10, 33, 180, 135);
  }
  void gifTiles()
  {
    QFETCH(QSize, frame);
    QFETCH(QRect, target);
    GiphyGifsWidgetItemDelegate delegate(1.0f, nullptr);
    QStandardItemModel model;
    auto *entry = new QStandardItem;
    if (frame.isValid())
      entry->setData(plain(frame.width(), frame.height(), Qt::red), Qt::UserRole + 2);
    model.appendRow(entry);
    QImage image(200, 200, QImage::Format_RGB32);
    image.fill(kBack);
    {
      QPainter painter(&image);
      QStyleOptionViewItem option;
      option.rect = image.rect();
      delegate.paint(&painter, option, model.index(0, 0));
    }
    const QColor inside = frame.isValid() ? QColor(Qt::red) : delegate.placeholderPixmap().toImage().pixelColor(2, 2);
    QCOMPARE(paintedBounds(image, image.rect()), target);
    PROBE(image, target.left() + 2, target.top() + 2, inside, 8);
    PROBE(image, target.right() - 2, target.bottom() - 2, inside, 8);
  }

  // One selected tile of a scrolled list, dragged: only that tile, half transparent, held
  // where it was grabbed.
  void dragPicture()
  {
    QTemporaryDir root;
    const QString folder = root.filePath("many");
    QVERIFY(QDir().mkpath(folder));
    for (int i = 0; i < 40; ++i)
      QVERIFY(writePlainPicture(folder + QString("/p%1.png").arg(i, 2, 10, QChar('0')), 16, 16, Qt::green));
    Page page(folder, root.filePath("drag.config"), QSize(500, 300));
    QVERIFY(page.waitListed());
    QVERIFY(page.waitThumbnails(1));
    QListWidget *list = page.list();
    list->verticalScrollBar()->setValue(130);
    QTest::qWait(200);
    QListWidgetItem *item = list->itemAt(150, 150);
    QVERIFY(item);
    const QRect tile = list->visualItemRect(item);
    const QPoint grab = tile.center() + QPoint(3, 2);

    QPixmap picture;
    QPoint hotSpot;
    QTimer::singleShot(300, list, [&]() {
      if (QDrag *drag = list->findChild<QDrag *>()) {
        picture = drag->pixmap();
        hotSpot = drag->hotSpot();
      }
      QDrag::cancel();
    });
    // The drag takes the cursor's own position.
    QCursor::setPos(list->viewport()->mapToGlobal(grab + QPoint(30, 0)));
    Gestures::press(list->viewport(), grab);
    Gestures::moveInSteps(list->viewport(), grab, grab + QPoint(30, 0), 6);
    Gestures::release(list->viewport(), grab + QPoint(30, 0));
    QTRY_VERIFY(!picture.isNull());
    QCOMPARE(picture.size(), list->viewport()->size());
    const QImage image = picture.toImage();
    // The tile's selected background at half opacity; nothing outside it.
    const QPoint inside = tile.topLeft() + QPoint(12, tile.height() - 14);
    QVERIFY2(qAbs(qAlpha(image.pixel(inside)) - 128) <= 3, qPrintable(QString::number(qAlpha(image.pixel(inside)))));
    for (const QPoint &outside : {tile.topLeft() - QPoint(5, 5), tile.bottomRight() + QPoint(5, 5),
                                  QPoint(tile.right() + 60, tile.center().y())})
      QCOMPARE(qAlpha(image.pixel(outside)), 0);
    QVERIFY2((hotSpot - grab - QPoint(30, 0)).manhattanLength() <= 2, qPrintable(QString("%1,%2").arg(hotSpot.x()).arg(hotSpot.y())));
  }
};

TAVO_TEST_MAIN(TestTiles)
#include "tst_tiles.moc"
