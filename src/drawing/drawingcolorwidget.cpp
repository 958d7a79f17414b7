#include "drawingcolorwidget.h"

#include "popupdrawingmodewidget.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadialGradient>
#include <QSettings>
#include <cmath>

namespace {

const char *kGroup = "DrawingColorView";

} // namespace

DrawingColorWidget::DrawingColorWidget(QSize canvasSize, QWidget *parent)
  : QWidget(parent), _canvasSize(canvasSize), _checkerBrush(QPixmap(":/images/drawing/hollow_back"))
{
  _checkerBrush.setTransform(QTransform::fromScale(0.5, 0.5));
  _contentButton = new QPushButton(this);
  _contentButton->setFlat(true);
  _contentButton->setStyleSheet("background-color:transparent;");
  connect(_contentButton, &QPushButton::clicked, this, &DrawingColorWidget::contentOnClicked);

  QSettings settings;
  settings.beginGroup(kGroup);
  // A damaged store falls back to the defaults rather than to a colour nothing draws.
  auto readColor = [&settings](const char *key, QColor &color) {
    const QColor stored = settings.value(key, color).value<QColor>();
    if (stored.isValid())
      color = stored;
  };
  _mode = settings.value("Mode", _mode).toInt();
  _modeNonHollow = settings.value("ModeNonHollow", _modeNonHollow).toInt();
  readColor("Color", _color);
  _patternPath = settings.value("Pattern", _patternPath).toString();
  readColor("LinearStartColor", _linearStartColor);
  readColor("LinearEndColor", _linearEndColor);
  readColor("RadialStartColor", _radialStartColor);
  readColor("RadialEndColor", _radialEndColor);
  _linearStartLocation = settings.value("LinearStartLocation", _linearStartLocation).toPointF();
  _linearEndLocation = settings.value("LinearEndLocation", _linearEndLocation).toPointF();
  _radialStartLocation = settings.value("RadialStartLocation", _radialStartLocation).toPointF();
  _radialEndLocation = settings.value("RadialEndLocation", _radialEndLocation).toPointF();
  settings.endGroup();
  if (_mode < DrawingColorModeEraser || _mode > DrawingColorModeRadialGradient)
    _mode = DrawingColorModeColor;
}

DrawingColorWidget::~DrawingColorWidget()
{
  QSettings settings;
  settings.beginGroup(kGroup);
  settings.setValue("Mode", _mode);
  settings.setValue("ModeNonHollow", _modeNonHollow);
  settings.setValue("Color", _color);
  settings.setValue("Pattern", _patternPath);
  settings.setValue("LinearStartColor", _linearStartColor);
  settings.setValue("LinearEndColor", _linearEndColor);
  settings.setValue("RadialStartColor", _radialStartColor);
  settings.setValue("RadialEndColor", _radialEndColor);
  settings.setValue("LinearStartLocation", _linearStartLocation);
  settings.setValue("LinearEndLocation", _linearEndLocation);
  settings.setValue("RadialStartLocation", _radialStartLocation);
  settings.setValue("RadialEndLocation", _radialEndLocation);
  settings.endGroup();
}

PopupDrawingModeWidget *DrawingColorWidget::popup() const
{
  return _popup;
}

void DrawingColorWidget::setCanvasSize(const QSize &canvasSize)
{
  if (canvasSize == _canvasSize)
    return;
  _canvasSize = canvasSize;
  if (_mode == DrawingColorModeLinearGradient || _mode == DrawingColorModeRadialGradient) {
    _pattern = _gradientPicture();
    update();
  }
}

void DrawingColorWidget::setHardness(float hardness)
{
  _hardness = hardness;
  update();
}

void DrawingColorWidget::selectColorMode()
{
  _mode = DrawingColorModeColor;
  update();
}

void DrawingColorWidget::selectPatternMode()
{
  _mode = DrawingColorModePattern;
  if (_patternPath.isEmpty())
    _patternPath = ":/images/texture/01";
  _pattern = QPixmap(_patternPath);
  update();
}

void DrawingColorWidget::selectLinearGradientMode()
{
  _selectGradientMode(DrawingColorModeLinearGradient);
}

void DrawingColorWidget::selectRadialGradientMode()
{
  _selectGradientMode(DrawingColorModeRadialGradient);
}

void DrawingColorWidget::_selectGradientMode(int mode)
{
  _mode = mode;
  _pattern = _gradientPicture();
  update();
}

void DrawingColorWidget::switchToRubber()
{
  _modeNonHollow = _mode;
  selectRubberMode();
}

void DrawingColorWidget::selectRubberMode()
{
  _mode = DrawingColorModeEraser;
  update();
}

void DrawingColorWidget::restoreNonHollowMode()
{
  switch (_modeNonHollow) {
  case DrawingColorModePattern:
    selectPatternMode();
    break;
  case DrawingColorModeLinearGradient:
    selectLinearGradientMode();
    break;
  case DrawingColorModeRadialGradient:
    selectRadialGradientMode();
    break;
  default:
    selectColorMode();
    break;
  }
}

void DrawingColorWidget::dismissPopup()
{
  if (_popup)
    _popup->dismiss();
}

QPixmap DrawingColorWidget::_gradientPicture() const
{
  const int w = _canvasSize.width(), h = _canvasSize.height();
  if (w < 1 || h < 1)
    return QPixmap();
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  auto scaled = [w, h](const QPointF &location) { return QPointF(w * location.x(), h * location.y()); };
  QBrush brush;
  if (_mode != DrawingColorModeRadialGradient) {
    QLinearGradient gradient(scaled(_linearStartLocation), scaled(_linearEndLocation));
    gradient.setColorAt(0, _linearStartColor);
    gradient.setColorAt(1, _linearEndColor);
    brush = gradient;
  } else {
    const QPointF centre = scaled(_radialStartLocation);
    const QPointF rim = scaled(_radialEndLocation);
    QRadialGradient gradient(centre, std::hypot(rim.x() - centre.x(), rim.y() - centre.y()));
    gradient.setColorAt(0, _radialStartColor);
    gradient.setColorAt(1, _radialEndColor);
    brush = gradient;
  }
  QPainter p(&image);
  p.fillRect(image.rect(), brush);
  p.end();
  return QPixmap::fromImage(image);
}

// The popup

QWidget *DrawingColorWidget::_popupHost() const
{
  return _popupParent ? _popupParent : parentWidget();
}

QPoint DrawingColorWidget::_popupAnchor() const
{
  if (_popupParent)
    return _popupParent->mapFromGlobal(mapToGlobal(QPoint(width() / 2, height())));
  return QPoint(x() + width() / 2, y());
}

void DrawingColorWidget::contentOnClicked()
{
  QWidget *host = _popupHost();
  if (_mode <= DrawingColorModeEraser || !host)
    return;
  dismissPopup();
  auto *popup = new PopupDrawingModeWidget(host);
  if (_popupShadow) {
    popup->setBackgroundColor(QColor(44, 46, 50, 244));
    popup->addDropShadow();
  }
  connect(popup, &PopupDrawingModeWidget::drawingModePopupModeChanged, this,
          &DrawingColorWidget::onPopupDrawingModeWidgetModeChanged);
  connect(popup, &PopupDrawingModeWidget::drawingModePopupColorSelected, this,
          &DrawingColorWidget::onPopupDrawingModeWidgetColorSelected);
  connect(popup, &PopupDrawingModeWidget::drawingModePopupNeedColorPickingImage, this,
          &DrawingColorWidget::onPopupDrawingModeWidgetNeedColorPickingImage, Qt::DirectConnection);
  connect(popup, &PopupDrawingModeWidget::drawingModePopupGetPlaybackAreaFrame, this,
          &DrawingColorWidget::onPopupDrawingModeWidgetGetPlaybackAreaFrame, Qt::DirectConnection);
  connect(popup, &PopupDrawingModeWidget::drawingModePopupDidPatternChange, this,
          &DrawingColorWidget::onPopupDrawingModeWidgetDidPatternChange);
  connect(popup, &PopupDrawingModeWidget::drawingModePopupGetCanvasSize, this,
          &DrawingColorWidget::onPopupDrawingModeWidgetGetCanvasSize, Qt::DirectConnection);
  connect(popup, &PopupDrawingModeWidget::drawingModePopupGradientValueDidChange, this,
          &DrawingColorWidget::onPopupDrawingModeWidgetGradientValueDidChange);
  connect(popup, &CommonPopup::dismissed, this, &DrawingColorWidget::onPopupDismissed);
  _popup = popup;
  popup->showPopupWithValues(host, _popupAnchor(), _mode, _color, _linearStartColor, _linearEndColor,
                             _linearStartLocation, _linearEndLocation, _radialStartColor, _radialEndColor,
                             _radialStartLocation, _radialEndLocation);
}

void DrawingColorWidget::onPopupDrawingModeWidgetModeChanged(PopupDrawingModeWidget *, int mode)
{
  switch (mode) {
  case DrawingColorModeColor:
    selectColorMode();
    emit drawingColorWidgetColorChanged(this, _color);
    return;
  case DrawingColorModePattern:
    selectPatternMode();
    break;
  case DrawingColorModeLinearGradient:
    selectLinearGradientMode();
    break;
  case DrawingColorModeRadialGradient:
    selectRadialGradientMode();
    break;
  default:
    return;
  }
  emit drawingColorWidgetPatternChanged(this, _pattern);
}

void DrawingColorWidget::onPopupDrawingModeWidgetColorSelected(PopupDrawingModeWidget *, QColor color)
{
  _color = color;
  update();
  dismissPopup();
  emit drawingColorWidgetColorChanged(this, _color);
}

void DrawingColorWidget::onPopupDrawingModeWidgetNeedColorPickingImage(PopupDrawingModeWidget *, QImage *image)
{
  emit drawingColorWidgetNeedColorPickingImage(this, image);
}

void DrawingColorWidget::onPopupDrawingModeWidgetGetPlaybackAreaFrame(PopupDrawingModeWidget *, QRect *rect,
                                                                      QWidget *inWidget)
{
  emit drawingColorWidgetGetPlaybackAreaFrame(this, rect, inWidget);
}

void DrawingColorWidget::onPopupDrawingModeWidgetDidPatternChange(PopupDrawingModeWidget *, QString imgPath)
{
  _patternPath = imgPath;
  _pattern = QPixmap(imgPath);
  update();
  dismissPopup();
  if (!_pattern.isNull())
    emit drawingColorWidgetPatternChanged(this, _pattern);
}

void DrawingColorWidget::onPopupDrawingModeWidgetGetCanvasSize(PopupDrawingModeWidget *, QSize *size)
{
  if (size)
    *size = _canvasSize;
}

void DrawingColorWidget::onPopupDrawingModeWidgetGradientValueDidChange(PopupDrawingModeWidget *,
                                                                        bool radialOrLinearGradient,
                                                                        QColor startColor, QColor endColor,
                                                                        QPointF startLocation, QPointF endLocation)
{
  if (radialOrLinearGradient) {
    _radialStartColor = startColor;
    _radialEndColor = endColor;
    _radialStartLocation = startLocation;
    _radialEndLocation = endLocation;
  } else {
    _linearStartColor = startColor;
    _linearEndColor = endColor;
    _linearStartLocation = startLocation;
    _linearEndLocation = endLocation;
  }
  _pattern = _gradientPicture();
  update();
  emit drawingColorWidgetPatternChanged(this, _pattern);
}

void DrawingColorWidget::onPopupDismissed(CommonPopup *popup)
{
  if (popup == _popup)
    _popup = nullptr;
}

// Painting and geometry

void DrawingColorWidget::paintEvent(QPaintEvent *)
{
  QPainter p(this);
  p.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
  QPainterPath clip;
  clip.addRoundedRect(rect(), 10, 10);
  p.setClipPath(clip);
  p.fillRect(rect(), _checkerBrush);
  p.setOpacity(_hardness);
  if (_mode >= DrawingColorModePattern && _mode <= DrawingColorModeRadialGradient && !_pattern.isNull()) {
    p.drawPixmap(rect(), _pattern);
  } else if (_mode == DrawingColorModeColor) {
    p.setPen(Qt::NoPen);
    p.setBrush(_color);
    p.drawRect(rect());
  } else if (_mode < DrawingColorModePattern || _mode > DrawingColorModeRadialGradient) {
    if (_eraserSymbol.isNull())
      _eraserSymbol = QPixmap(":/images/drawing/color_rubber");
    p.drawPixmap(QRect(width() / 2 - 15, height() / 2 - 15, 30, 30), _eraserSymbol);
  }
}

void DrawingColorWidget::resizeEvent(QResizeEvent *event)
{
  QWidget::resizeEvent(event);
  _contentButton->setGeometry(rect());
  if (_popup)
    _popup->moveToAnchor(_popupAnchor());
}

void DrawingColorWidget::moveEvent(QMoveEvent *event)
{
  QWidget::moveEvent(event);
  if (_popup)
    _popup->moveToAnchor(_popupAnchor());
}
