#include "drawingsegment.h"

#include "segmentlistener.h"
#include "userstyleapply.h"
#include "wholefile.h"

#include <QDebug>
#include <QDir>
#include <QFileDevice>
#include <QFileInfo>

namespace {
const QString kDrawing = QStringLiteral("DRAWING");
}

DrawingSegment::DrawingSegment(const Segment *other, const QString &filePath, float rangeStart,
                               SegmentListener *listener)
    : ImageSegment(other, filePath, rangeStart, listener)
{
  setType(kDrawing);
}

DrawingSegment::DrawingSegment(const QSizeF &drawingSize, float rangeStart, float duration,
                               SegmentListener *listener, const UserStyleDefaults *defaults)
    : ImageSegment(listener)
{
  setType(kDrawing);
  setRangeStart(rangeStart);
  setDuration(duration);
  setNaturalSize(drawingSize);
  setSizeValue(*properties(), QStringLiteral("DrawSize"), drawingSize);
  QPixmap blank(int(drawingSize.width()), int(drawingSize.height()));
  blank.fill(Qt::transparent);
  setDrawingImage(blank);
  setTimeStamp();
  if (defaults)
    UserStyleApply::applyDrawingStyle(*defaults, *this);
  if (listener)
    startLoading(true);
}

DrawingSegment::DrawingSegment(PropertyMap *properties, SegmentListener *listener, bool isNew)
    : ImageSegment(properties, listener, isNew)
{
}

QPixmap DrawingSegment::pixmap() const
{
  const QString path = filePath();
  return QFileInfo(path).isFile() ? QPixmap(path) : QPixmap();
}

QString DrawingSegment::newDrawingImagePath(const QString &folder)
{
  const QDir dir(folder);
  for (int n = 1;; ++n) {
    const QString name = QStringLiteral("drawingImage-%1.png").arg(n);
    if (!dir.exists(name))
      return folder + QDir::separator() + name;
  }
}

bool DrawingSegment::setDrawingImage(const QPixmap &pixmap)
{
  const QString folder = listener() ? listener()->projectFolder() : QString();
  bool saved = false;
  QString path;
  if (!folder.isEmpty() && !pixmap.isNull()) {
    path = newDrawingImagePath(folder);
    saved = WholeFile::write(path, [&pixmap](QFileDevice &file) { return pixmap.save(&file, "PNG", 80); }) ==
            WholeFile::Written;
  }
  if (!saved) {
    qDebug() << "Save drawing image failed";
    return false;
  }
  setFile(path);
  setNaturalSize(pixmap.size());
  setSizeValue(*properties(), QStringLiteral("DrawSize"), pixmap.size());
  if (!preview().isNull())
    setPreview(pixmap.scaled(preview().size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
  // A read of the previous file still under way would bring the old picture back.
  if (state() == SegmentLoading)
    loadPreview();
  return true;
}
