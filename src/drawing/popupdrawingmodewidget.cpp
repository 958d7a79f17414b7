#include "popupdrawingmodewidget.h"

#include "dialogprovider.h"
#include "editablegradientwidget.h"
#include "popupcolormatrixwidget.h"
#include "texturegridwidget.h"
#include "tooltipbutton.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace {

const int kPanelWidth = 383;
const int kPanelHeight = 470;
const int kGradientInset = 12;

struct Tab
{
  const char *objectName;
  const char *picture;
};

const Tab kTabs[4] = {{"colorModeButton", "fill"},
                      {"patternModeButton", "pattern"},
                      {"linearModeButton", "linear"},
                      {"radialModeButton", "radial"}};

} // namespace

PopupDrawingModeWidget::PopupDrawingModeWidget(QWidget *parent) : CommonPopup(parent)
{
  _buildForm();
  setForm(_mainWidget, nullptr);
}

void PopupDrawingModeWidget::_buildForm()
{
  setObjectName("PopupDrawingModeWidget");
  _mainWidget = new QWidget(this);
  _mainWidget->setObjectName("mainWidget");
  _mainVerticalLayout = new QVBoxLayout(_mainWidget);
  _mainVerticalLayout->setObjectName("mainVerticalLayout");
  _mainVerticalLayout->setSpacing(0);
  _mainVerticalLayout->setContentsMargins(0, 0, 0, 0);

  _buttonAreaWidget = new QWidget(_mainWidget);
  _buttonAreaWidget->setObjectName("buttonAreaWidget");
  _buttonAreaWidget->setFixedHeight(38);
  _horizontalLayout = new QHBoxLayout(_buttonAreaWidget);
  _horizontalLayout->setObjectName("horizontalLayout");
  _horizontalLayout->setSpacing(0);
  _horizontalLayout->setContentsMargins(0, 0, 0, 0);
  for (int i = 0; i < 4; ++i) {
    const QString picture = QString(":/images/drawing/") + kTabs[i].picture;
    auto *button = new TooltipButton(picture, picture + "_", _buttonAreaWidget);
    button->setObjectName(kTabs[i].objectName);
    button->setFlat(true);
    button->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
    button->setIconSize(QSize(27, 27));
    _horizontalLayout->addWidget(button);
    _tabButtons[i] = button;
  }
  _contentWidget = new QWidget(_mainWidget);
  _contentWidget->setObjectName("contentWidget");
  _mainVerticalLayout->addWidget(_buttonAreaWidget);
  _mainVerticalLayout->addWidget(_contentWidget, 1);
}

TooltipButton *PopupDrawingModeWidget::tabButton(int mode) const
{
  return mode >= 1 && mode <= 4 ? _tabButtons[mode - 1] : nullptr;
}

void PopupDrawingModeWidget::showPopupWithValues(QWidget *parent, const QPoint &anchor, int mode, const QColor &color,
                                                 const QColor &linearStartColor, const QColor &linearEndColor,
                                                 const QPointF &linearStartLocation, const QPointF &linearEndLocation,
                                                 const QColor &radialStartColor, const QColor &radialEndColor,
                                                 const QPointF &radialStartLocation, const QPointF &radialEndLocation)
{
  _mode = mode;
  _color = color;
  _linearStartColor = linearStartColor;
  _linearEndColor = linearEndColor;
  _linearStartLocation = linearStartLocation;
  _linearEndLocation = linearEndLocation;
  _radialStartColor = radialStartColor;
  _radialEndColor = radialEndColor;
  _radialStartLocation = radialStartLocation;
  _radialEndLocation = radialEndLocation;
  showPopup(parent, QString(), anchor);
}

void PopupDrawingModeWidget::initialize()
{
  CommonPopup::initialize();
  _contentWidget->setStyleSheet("QWidget#contentWidget {background-color: black; "
                                "border-bottom-left-radius: 8px; border-bottom-right-radius: 8px;}");
  _buttonAreaWidget->setStyleSheet("QWidget#buttonAreaWidget {background-color: rgb(26,26,26); "
                                   "border-top-left-radius: 8px; border-top-right-radius: 8px;}");
  for (int i = 0; i < 4; ++i) {
    TooltipButton *button = _tabButtons[i];
    const QString picture = QString(":/images/drawing/") + kTabs[i].picture;
    button->setNormalIcon(picture);
    button->setSelectedIcon(picture + "_");
    button->setCommandId(i + 1);
    connect(button, &QPushButton::clicked, this, &PopupDrawingModeWidget::onButtonClicked, Qt::UniqueConnection);
  }
  _showPage(_mode);
  _updateTabs();
}

void PopupDrawingModeWidget::onButtonClicked()
{
  auto *button = qobject_cast<TooltipButton *>(sender());
  if (!button || button->commandId() == _mode)
    return;
  _mode = button->commandId();
  _showPage(_mode);
  _updateTabs();
  emit drawingModePopupModeChanged(this, _mode);
}

void PopupDrawingModeWidget::_showPage(int mode)
{
  if (mode < 1 || mode > 4)
    return;
  const QRect content(0, 0, _contentWidget->width(), _contentWidget->height());
  QWidget *page = nullptr;
  if (mode == 1) {
    if (!_colorPage) {
      _colorPage = new PopupColorMatrixWidget(_contentWidget);
      connect(_colorPage, &PopupColorMatrixWidget::colorMatrixPopupColorSelected, this,
              &PopupDrawingModeWidget::onPopupColorMatrixWidgetColorSelected);
      connect(_colorPage, &PopupColorMatrixWidget::colorMatrixPopupMoreColorNeeded, this,
              &PopupDrawingModeWidget::onPopupColorMatrixWidgetMoreColorNeeded);
      connect(_colorPage, &PopupColorMatrixWidget::colorMatrixPopupColorPickingImageNeeded, this,
              &PopupDrawingModeWidget::onPopupColorMatrixWidgetColorPickingImageNeeded, Qt::DirectConnection);
      connect(_colorPage, &PopupColorMatrixWidget::colorMatrixPopupGetPlaybackAreaFrame, this,
              &PopupDrawingModeWidget::onPopupColorMatrixWidgetGetPlaybackAreaFrame, Qt::DirectConnection);
      connect(_colorPage, &PopupColorMatrixWidget::colorMatrixPopupGetColorPickingLabelParent, this,
              &PopupDrawingModeWidget::onPopupColorMatrixWidgetGetColorPickingLabelParent, Qt::DirectConnection);
      connect(_colorPage, &PopupColorMatrixWidget::colorMatrixPopupSetParentWidgetHidden, this,
              &PopupDrawingModeWidget::onPopupColorMatrixWidgetSetParentWidgetHidden);
      _colorPage->setGeometry(content);
      _colorPage->embedInWidget(_contentWidget, true);
    }
    _colorPage->show();
    _colorPage->didChangeVisibility(true);
    page = _colorPage;
  } else if (mode == 2) {
    if (!_patternPage) {
      QStringList paths;
      for (int n = 1; n <= 16; ++n)
        paths << QString::asprintf(":/images/texture/%02d", n);
      _patternPage = new TextureGridWidget(paths, _contentWidget);
      _patternPage->setGeometry(content);
      connect(_patternPage, &TextureGridWidget::textureGridWidgetPatternDidSelect, this,
              &PopupDrawingModeWidget::onTextureGridWidgetPatternDidSelect);
      connect(_patternPage, &TextureGridWidget::textureGridWidgetGetCanvasSize, this,
              &PopupDrawingModeWidget::onTextureGridWidgetGetCanvasSize, Qt::DirectConnection);
    }
    page = _patternPage;
  } else {
    EditableGradientWidget *&gradient = mode == 3 ? _linearPage : _radialPage;
    if (!gradient)
      gradient = _makeGradientPage(mode == 4);
    page = gradient;
  }
  page->show();
  for (QWidget *other : {static_cast<QWidget *>(_colorPage), static_cast<QWidget *>(_patternPage),
                         static_cast<QWidget *>(_linearPage), static_cast<QWidget *>(_radialPage)}) {
    if (!other || other == page)
      continue;
    other->hide();
    // Hiding the colour page ends a colour pick it runs.
    if (other == _colorPage)
      _colorPage->didChangeVisibility(false);
  }
}

EditableGradientWidget *PopupDrawingModeWidget::_makeGradientPage(bool radial)
{
  auto *gradient = radial ? new EditableGradientWidget(_radialStartColor, _radialEndColor, _radialStartLocation,
                                                        _radialEndLocation, true, _contentWidget)
                          : new EditableGradientWidget(_linearStartColor, _linearEndColor, _linearStartLocation,
                                                        _linearEndLocation, false, _contentWidget);
  gradient->setGeometry(_contentWidget->rect().adjusted(kGradientInset, kGradientInset, -kGradientInset,
                                                        -kGradientInset));
  connect(gradient, &EditableGradientWidget::editableGradientWidgetValueDidChange, this,
          &PopupDrawingModeWidget::onEditableGradientWidgetValueDidChange);
  connect(gradient, &EditableGradientWidget::editableGradientWidgetGetPopupParent, this,
          &PopupDrawingModeWidget::onEditableGradientWidgetGetPopupParent, Qt::DirectConnection);
  connect(gradient, &EditableGradientWidget::editableGradientWidgetGetPlaybackAreaFrameInWidget, this,
          &PopupDrawingModeWidget::onEditableGradientWidgetGetPlaybackAreaFrameInWidget, Qt::DirectConnection);
  connect(gradient, &EditableGradientWidget::editableGradientWidgetColorPickingImageNeeded, this,
          &PopupDrawingModeWidget::onEditableGradientWidgetColorPickingImageNeeded, Qt::DirectConnection);
  return gradient;
}

void PopupDrawingModeWidget::_updateTabs()
{
  for (int i = 0; i < 4; ++i) {
    const bool selected = i + 1 == _mode;
    _tabButtons[i]->setSelected(selected);
    // The selected tab merges with the black page below it.
    _tabButtons[i]->setStyleSheet(QString("QPushButton {background-color: %1; border: none; "
                                          "border-top-left-radius: 8px; border-top-right-radius: 8px;}")
                                    .arg(selected ? "black" : "transparent"));
  }
}

void PopupDrawingModeWidget::layoutAt(const QPoint &anchor)
{
  QWidget *parent = parentWidget();
  const int parentWidth = parent ? parent->width() : width();
  const int parentHeight = parent ? parent->height() : height();
  int x = anchor.x() - kPanelWidth / 2;
  int y = anchor.y() - kPanelHeight - 10;
  if (x + kPanelWidth > parentWidth + 1)
    x = parentWidth - kPanelWidth - 9;
  if (x < 0)
    x = 10;
  if (y + kPanelHeight > parentHeight + 1)
    y = parentHeight - kPanelHeight - 9;
  if (y < 0)
    y = (parentHeight - kPanelHeight) / 2;
  _mainWidget->setGeometry(x, y, kPanelWidth, kPanelHeight);
  applyPanelStyle(_mainWidget, 10, 4);
  // The layout places the content area only when it next runs; the pages need it now.
  _mainVerticalLayout->activate();
  _fitPages();
}

void PopupDrawingModeWidget::_fitPages()
{
  const QRect content = _contentWidget->rect();
  if (_colorPage) {
    _colorPage->setGeometry(content);
    _colorPage->refreshColorPickingGeometry();
  }
  if (_patternPage)
    _patternPage->setGeometry(content);
  const QRect inset = content.adjusted(kGradientInset, kGradientInset, -kGradientInset, -kGradientInset);
  for (EditableGradientWidget *gradient : {_linearPage, _radialPage})
    if (gradient)
      gradient->setGeometry(inset);
}

void PopupDrawingModeWidget::resizeEvent(QResizeEvent *event)
{
  CommonPopup::resizeEvent(event);
  if (_embedded)
    _fitPages();
}

// Relays

void PopupDrawingModeWidget::onPopupColorMatrixWidgetColorSelected(PopupColorMatrixWidget *, QColor color)
{
  _color = color;
  emit drawingModePopupColorSelected(this, color);
}

void PopupDrawingModeWidget::onPopupColorMatrixWidgetMoreColorNeeded(PopupColorMatrixWidget *)
{
  const QColor color = DialogProvider::instance()->getColor(_color, parentWidget(), QString());
  if (!color.isValid())
    return;
  _color = color;
  if (_colorPage)
    _colorPage->addRecentColor(color);
  emit drawingModePopupColorSelected(this, color);
}

void PopupDrawingModeWidget::onPopupColorMatrixWidgetColorPickingImageNeeded(PopupColorMatrixWidget *, QImage *image)
{
  emit drawingModePopupNeedColorPickingImage(this, image);
}

void PopupDrawingModeWidget::onPopupColorMatrixWidgetGetPlaybackAreaFrame(PopupColorMatrixWidget *, QRect *rect)
{
  emit drawingModePopupGetPlaybackAreaFrame(this, rect, this);
}

void PopupDrawingModeWidget::onPopupColorMatrixWidgetGetColorPickingLabelParent(PopupColorMatrixWidget *,
                                                                                QWidget *&parent)
{
  // The still and the loupe of a pick lie over the whole popup.
  parent = this;
}

void PopupDrawingModeWidget::onPopupColorMatrixWidgetSetParentWidgetHidden(PopupColorMatrixWidget *, bool hide)
{
  _mainWidget->setHidden(hide);
}

void PopupDrawingModeWidget::onTextureGridWidgetPatternDidSelect(TextureGridWidget *, QString imgRes)
{
  emit drawingModePopupDidPatternChange(this, imgRes);
}

void PopupDrawingModeWidget::onTextureGridWidgetGetCanvasSize(TextureGridWidget *, QSize *size)
{
  emit drawingModePopupGetCanvasSize(this, size);
}

void PopupDrawingModeWidget::onEditableGradientWidgetValueDidChange(EditableGradientWidget *gradientWidget,
                                                                    QColor startColor, QColor endColor,
                                                                    QPointF startLocation, QPointF endLocation)
{
  emit drawingModePopupGradientValueDidChange(this, gradientWidget->isRadial(), startColor, endColor, startLocation,
                                              endLocation);
}

void PopupDrawingModeWidget::onEditableGradientWidgetGetPopupParent(EditableGradientWidget *, QWidget *&parent)
{
  parent = parentWidget();
}

void PopupDrawingModeWidget::onEditableGradientWidgetGetPlaybackAreaFrameInWidget(EditableGradientWidget *,
                                                                                  QRect *rect, QWidget *inWidget)
{
  emit drawingModePopupGetPlaybackAreaFrame(this, rect, inWidget);
}

void PopupDrawingModeWidget::onEditableGradientWidgetColorPickingImageNeeded(EditableGradientWidget *, QImage *image)
{
  emit drawingModePopupNeedColorPickingImage(this, image);
}

// Pointer events: a colour pick covers the whole popup.

bool PopupDrawingModeWidget::_forwardToColorPage(QMouseEvent *event)
{
  if (!_colorPage || !_colorPage->colorPickingActive())
    return false;
  // An event the page ignores comes back up through its parents to this popup.
  if (_forwarding) {
    event->ignore();
    return true;
  }
  _forwarding = true;
  QMouseEvent forwarded(event->type(), _colorPage->mapFromGlobal(event->globalPos()), event->windowPos(),
                        event->screenPos(), event->button(), event->buttons(), event->modifiers(), event->source());
  QCoreApplication::sendEvent(_colorPage, &forwarded);
  _forwarding = false;
  return true;
}

void PopupDrawingModeWidget::mousePressEvent(QMouseEvent *event)
{
  if (_forwarding) {
    event->ignore();
    return;
  }
  if (_forwardToColorPage(event) && _colorPage->isDraggingColorPicker()) {
    event->accept();
    return;
  }
  CommonPopup::mousePressEvent(event);
}

void PopupDrawingModeWidget::mouseMoveEvent(QMouseEvent *event)
{
  if (!_forwardToColorPage(event))
    QWidget::mouseMoveEvent(event);
}

void PopupDrawingModeWidget::mouseReleaseEvent(QMouseEvent *event)
{
  if (!_forwardToColorPage(event))
    QWidget::mouseReleaseEvent(event);
}
