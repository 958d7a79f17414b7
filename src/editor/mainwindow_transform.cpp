// The transform overlay's two requests: a finished gesture becomes the segment's (or the edited
// transition state's) user transform, and the context menu offers the window's layer actions.

#include "mainwindow.h"

#include "avengine.h"
#include "avglwidget.h"
#include "dialogprovider.h"
#include "editscrollarea.h"
#include "projectmanager.h"
#include "segment.h"
#include "segmenttypes.h"
#include "segmentwidget.h"
#include "transformwidget.h"
#include "util.h"

#include <QMenu>

// The stored translation is the layer centre's offset from the preview's centre and the scale is
// relative to the picture's fitted size, as the overlay is laid out from them: a gesture that
// moved nothing stores what was there.
void MainWindow::transformWidget_contentLayerGeometryDidChange(TransformWidget *widget)
{
  Segment *segment = widget ? widget->segment() : nullptr;
  if (!segment || !_previewWidget || !isVisualSegment(segment))
    return;
  const QSizeF preview(_previewWidget->size());
  const QSizeF natural = _overlayNaturalSize(segment, preview);
  if (preview.isEmpty() || natural.isEmpty())
    return;
  QPointF position;
  QSizeF size;
  float rotation = 0;
  QPointF anchor;
  widget->getContentLayerGeometry(&position, &size, &rotation, &anchor);
  const QPointF local = position - _previewFrameInOverlayParent().topLeft();
  const QPointF translation(local.x() / preview.width() - 0.5, local.y() / preview.height() - 0.5);
  const QSizeF scale(size.width() / natural.width(), size.height() / natural.height());

  _recordOperation();
  SegmentWidget *block = _editedBlock();
  AVEngine *engine = _engine;
  if (_isTransitionStateEdited() && block->segment() == segment) {
    const int id = block->transitionId();
    const bool begin = _editedTransitionEnd != 0;
    segment->setTransitionUserTranslation(id, begin, translation);
    segment->setTransitionUserScale(id, begin, scale);
    segment->setTransitionUserRotation(id, begin, rotation);
    segment->setTransitionUserAnchorPoint(id, begin, anchor);
    if (engine) {
      const quint32 group = quint32(id);
      // The facade's flag means "is end".
      const QPointF t = segment->transitionUserTranslation(id, begin);
      const QSizeF s = segment->transitionUserScale(id, begin);
      const QPointF a = segment->transitionUserAnchorPoint(id, begin);
      engine->setTransitionValue(segment->id(), group, !begin, kAVPropertyPosition, float(t.x()), float(t.y()));
      engine->setTransitionValue(segment->id(), group, !begin, kAVPropertyScale, float(s.width()),
                                 float(s.height()));
      engine->setTransitionValue(segment->id(), group, !begin, kAVPropertyRotation,
                                 segment->transitionUserRotation(id, begin), 0);
      engine->setTransitionValue(segment->id(), group, !begin, kAVPropertyAnchor, float(a.x()), float(a.y()));
    }
  } else {
    segment->setUserTranslation(translation);
    segment->setUserScale(scale);
    segment->setUserRotation(double(rotation));
    segment->setUserAnchorPoint(anchor);
    if (engine) {
      const QPointF t = segment->userTranslation();
      const QSizeF s = segment->userScale();
      const QPointF a = segment->userAnchorPoint();
      engine->setSegmentProperty(segment->id(), kAVPropertyPosition, float(t.x()), float(t.y()));
      engine->setSegmentProperty(segment->id(), kAVPropertyScale, float(s.width()), float(s.height()));
      engine->setSegmentProperty(segment->id(), kAVPropertyRotation, float(segment->userRotation()));
      engine->setSegmentProperty(segment->id(), kAVPropertyAnchor, float(a.x()), float(a.y()));
    }
  }
  if (engine)
    engine->refresh();
  _projectManager->setModified(true);
  updateInspectorGeometry();
}

void MainWindow::transformWidget_requestContextMenu(TransformWidget *widget, QPoint pos)
{
  Segment *segment = widget ? widget->segment() : nullptr;
  if (!segment)
    return;
  SegmentWidget *block = _editedBlock();
  const int transitionId = block ? block->transitionId() : 0;
  const QString type = segment->type();

  QPointer<QMenu> menu = new QMenu(this);
  menu->setWindowFlags(menu->windowFlags() | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
  menu->setAttribute(Qt::WA_TranslucentBackground);
  Util::applyPopupMenuStyleSheet(menu);
  menu->addAction(_actions.maintainAspectRatio);
  menu->addAction(_actions.restoreDefault);
  if (type != QLatin1String("TEXT"))
    menu->addAction(_actions.fillScreen);
  if (transitionId <= 0) {
    if (type == QLatin1String("TEXT"))
      menu->addAction(_actions.editText);
    else if (type == QLatin1String("IMAGE"))
      menu->addAction(_actions.originalSize);
    else if (type == QLatin1String("DRAWING"))
      menu->addAction(_actions.editDrawing);
  }
  // The menu's own trigger is held back, so the chosen action fires once whoever ran the menu.
  const QList<QAction *> offered = menu->actions();
  for (QAction *action : offered)
    action->blockSignals(true);
  QPointer<MainWindow> self(this);
  QAction *chosen = DialogProvider::instance()->execMenu(menu, pos);
  // The window may have gone while the menu ran, and the menu with it.
  if (!self)
    return;
  for (QAction *action : offered)
    action->blockSignals(false);
  delete menu;
  if (chosen)
    chosen->trigger();
}
