// The segment tool bar's commands on the edited segment: edits made at once (rotate, flip,
// alignment, font), hand-overs to other operations, and the property popups whose value
// signals do the editing.

#include "mainwindow.h"
#include "trackwidget.h"

#include "avcomposition.h"
#include "avengine.h"
#include "dialogprovider.h"
#include "editscrollarea.h"
#include "imagesegment.h"
#include "popupchromakeywidget.h"
#include "popupcolorsscrollwidget.h"
#include "popupslidercolor1switch2sliderswidget.h"
#include "popupslidercolor2sliderswidget.h"
#include "popupslidercolorshadowwidget.h"
#include "popupslidercolorwidget.h"
#include "popupsliderwidget.h"
#include "projectmanager.h"
#include "scrollabletoolbar.h"
#include "segmentwidget.h"
#include "texteditwidget.h"
#include "textsegment.h"
#include "tooltipbutton.h"
#include "usersettings.h"
#include "userstyledefaults.h"
#include "util.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace {

constexpr int FirstSegmentCommand = 10001;
constexpr int LastSegmentCommand = 10028;
// Older projects keep pixel sizes of a frame this wide.
constexpr float ReferenceWidth = 1280.0f;

bool isType(const Segment *segment, const char *type)
{
  return segment->type() == QLatin1String(type);
}

bool isVisual(const Segment *segment)
{
  return !isType(segment, "MUSIC") && !isType(segment, "VOICE");
}

QColor colour(quint32 argb)
{
  return QColor::fromRgba(argb);
}

// A size the segment keeps as a fraction of the frame width, or as pixels of the reference.
float pixels(float fraction, float legacy, float frameWidth)
{
  return fraction > 0 ? fraction * frameWidth : legacy / ReferenceWidth * frameWidth;
}

QSizeF shadowOffsetPixels(const Segment *segment, float frameWidth)
{
  if (segment->hasShadowOffsetFraction()) {
    const QSizeF f = segment->shadowOffsetFraction();
    return QSizeF(f.width() * frameWidth, f.height() * frameWidth);
  }
  QSizeF offset = segment->shadowPixelOffset();
  if (offset.width() == 0 && offset.height() == 0) {
    const QSizeF old = segment->shadowOffset();
    offset = QSizeF(old.width() * 100, old.height() * 80);
  }
  return QSizeF(offset.width() / ReferenceWidth * frameWidth, offset.height() / ReferenceWidth * frameWidth);
}

// A font's style name, built from its weight and slant when the font has none.
QString fontStyleName(const QFont &font)
{
  if (!font.styleName().isEmpty())
    return font.styleName();
  QString style;
  if (font.weight() > QFont::Normal)
    style = QStringLiteral("Bold");
  if (font.style() == QFont::StyleItalic || font.style() == QFont::StyleOblique) {
    if (!style.isEmpty())
      style += QLatin1Char(' ');
    style += QStringLiteral("Italic");
  }
  return style;
}

} // namespace

QPoint MainWindow::_popupAnchor(ScrollableToolBar *toolbar, int cmdId) const
{
  TooltipButton *button = toolbar ? toolbar->button(cmdId) : nullptr;
  if (!button)
    return QPoint(0, 0);
  return button->mapTo(centralWidget(), QPoint(button->width() / 2, 0));
}

void MainWindow::_segmentCommand(ScrollableToolBar *toolbar, int cmdId)
{
  if (cmdId < FirstSegmentCommand || cmdId > LastSegmentCommand)
    return;
  SegmentWidget *block = _editScrollArea ? _editScrollArea->editingSegmentWidget() : nullptr;
  Segment *segment = block ? block->segment() : nullptr;
  if (!segment)
    return;

  switch (cmdId) {
  case 10001:
    block->setEditingState(false, true);
    break;
  case 10002:
    if (_segmentToolBar)
      _segmentToolBar->collapse();
    QTimer::singleShot(200, this, [this] {
      _buildTransitionToolBar();
      _selectFirstTransition();
    });
    _editScrollArea->hideTrimBars();
    _hideTransformWidget();
    break;
  case 10003:
    _maintainAspectRatio();
    break;
  case 10004:
    _restoreDefault();
    break;
  case 10006:
  case 10007:
  case 10008:
  case 10009:
    if (isVisual(segment))
      _rotateOrFlipSegment(segment, cmdId);
    break;
  case 10010:
    editScrollArea_copySegment(segment);
    break;
  case 10011:
    block->setEditingState(false, false);
    _removeSegmentWidgetWhenReady(block);
    break;
  case 10015:
    if (isType(segment, "TEXT"))
      _beginTextEditing(segment);
    break;
  case 10016:
    if (isType(segment, "TEXT"))
      _selectTextFont(segment);
    break;
  case 10019:
    if (isType(segment, "DRAWING"))
      _beginDrawing(segment);
    break;
  case 10020: {
    QPointer<SegmentWidget> guard(block);
    QTimer::singleShot(10, this, [this, guard] {
      if (guard && guard->segment())
        editScrollArea_splitSegment(guard->segment());
    });
    break;
  }
  case 10021:
    if (isType(segment, "MOVIE"))
      editScrollArea_grabSegmentScreen(segment);
    break;
  case 10023:
    if (isType(segment, "TEXT"))
      _cycleTextAlignment(toolbar, segment);
    break;
  case 10024:
    if (isVisual(segment))
      _beginCropping(segment);
    break;
  case 10028:
    if (isType(segment, "IMAGE"))
      _changeEditedPicture();
    break;
  default:
    _showSegmentPopup(toolbar, cmdId, segment, _popupAnchor(toolbar, cmdId));
    break;
  }
}

void MainWindow::_rotateOrFlipSegment(Segment *segment, int cmdId)
{
  _recordOperation();
  int property = kAVPropertyRotation;
  float value = 0;
  switch (cmdId) {
  case 10006:
    segment->rotateRight();
    value = float(segment->userRotation());
    break;
  case 10007:
    segment->rotateLeft();
    value = float(segment->userRotation());
    break;
  case 10008:
    segment->setFlippedHorizontally(!segment->isFlippedHorizontally());
    property = kAVPropertyRotationY;
    value = segment->userRotationY();
    break;
  default:
    segment->setFlippedVertically(!segment->isFlippedVertically());
    property = kAVPropertyRotationX;
    value = segment->userRotationX();
    break;
  }
  if (_engine)
    _engine->setSegmentProperty(segment->id(), property, value, 0, 0, 0);
  _notifyPlayheadTime();
  _updateTransformWidgetGeometry(true);
  if (_engine)
    _engine->refresh();
  _projectManager->setModified(true);
  updateInspectorGeometry();
}

void MainWindow::_selectTextFont(Segment *segment)
{
  auto *text = static_cast<TextSegment *>(segment);
  bool accepted = false;
  const QFont chosen = DialogProvider::instance()->getFont(&accepted, text->font(), this, QString(), {});
  if (!accepted)
    return;
  const QString family = chosen.family();
  const QString style = fontStyleName(chosen);
  if (family == text->fontName() && style == text->fontStyle())
    return;
  _recordOperation();
  _projectManager->setModified(true);
  text->setFontName(family);
  text->setFontStyle(style);
  if (_engine)
    _engine->setTextFont(text->id(), family.toUtf8().constData(), style.toUtf8().constData());
  if (UserSettings::instance()->applyUserHabits())
    UserStyleDefaults::instance()->setTextFont(family, style);
  if (auto *block = static_cast<SegmentWidget *>(_projectManager->segmentWidgetOf(segment)))
    block->setScale(_zoom, false);
  if (_textEditWidget) {
    _refreshTextEditorStyle(_textEditWidget, segment);
    _textEditWidget->setFocus();
  } else if (_engine) {
    _engine->refresh();
  }
  updateInspectorTextStyle();
}

void MainWindow::_cycleTextAlignment(ScrollableToolBar *toolbar, Segment *segment)
{
  auto *text = static_cast<TextSegment *>(segment);
  _recordOperation();
  _projectManager->setModified(true);
  const int old = text->alignment();
  const int alignment = old == 0 ? 2 : old == 2 ? 1 : 0;
  text->setAlignment(alignment);
  if (UserSettings::instance()->applyUserHabits())
    UserStyleDefaults::instance()->setTextAlignment(alignment);
  if (_engine)
    _engine->setSegmentProperty(text->id(), kAVPropertyTextAlignment, float(alignment), 0, 0, 0);
  if (TooltipButton *button = toolbar ? toolbar->button(10023) : nullptr) {
    const QString icon = QStringLiteral(":/images/toolbar/") + _alignmentIcon(alignment);
    button->setToolTip(_textAlignmentTitle(segment));
    button->setNormalIcon(icon);
    button->setSelectedIcon(icon + QLatin1Char('2'));
  }
  if (_engine)
    _engine->refresh();
}

void MainWindow::_showSegmentPopup(ScrollableToolBar *toolbar, int cmdId, Segment *segment, const QPoint &anchor)
{
  QWidget *parent = centralWidget();
  const float frameWidth = _composition ? float(_composition->width()) : ReferenceWidth;
  const float frameHeight = _composition ? float(_composition->height()) : ReferenceWidth * 9 / 16;
  const bool text = isType(segment, "TEXT");
  CommonPopup *popup = nullptr;
  int code = 0;
  switch (cmdId) {
  case 10005: {
    auto *slider = new PopupSliderWidget(parent);
    slider->showPopupWithValue(parent, tr("Transparency"), anchor, segment->userTransparency(), 0, 1, false, 0.05f);
    popup = slider;
    code = 1;
    break;
  }
  case 10018: {
    auto *slider = new PopupSliderWidget(parent);
    slider->setSnapValue(1.0f, 0.05f);
    slider->showPopupWithValue(parent, tr("Volume"), anchor, segment->userVolume(), 0, 2, false, 0.05f);
    popup = slider;
    code = 3;
    break;
  }
  case 10022: {
    auto *slider = new PopupSliderWidget(parent);
    slider->showPopupWithValue(parent, tr("Speed"), anchor, (segment->speed() - 0.25f) * 4, 0, 15, true, 1);
    popup = slider;
    code = 2;
    break;
  }
  case 10013: {
    if (!isVisual(segment) || text)
      return;
    auto *slider = new PopupSliderWidget(parent);
    const float radius = pixels(segment->cornerRadiusFraction(), segment->cornerRadius(), frameWidth);
    slider->showPopupWithValue(parent, tr("Round Corner"), anchor, radius, 0, float(Util::portraitScreenSize().width()),
                               false, 1);
    popup = slider;
    code = 4;
    break;
  }
  case 10017: {
    if (!text)
      return;
    auto *t = static_cast<TextSegment *>(segment);
    auto *sized = new PopupSliderColorWidget(parent);
    sized->showPopupWithValue(parent, tr("Text Size & Color"), anchor, t->scaledFontSize(QSizeF(frameWidth, frameHeight)),
                              colour(t->color()), 1, 960, 1);
    popup = sized;
    code = 10;
    break;
  }
  case 10012:
    if (!isVisual(segment))
      return;
    if (text) {
      auto *border = new PopupSliderColorWidget(parent);
      // A wider stored border shows at the slider's end rather than not at all.
      border->showPopupWithValue(parent, tr("Border Size & Color"), anchor, std::min(segment->borderWidth(), 32.0f),
                                 colour(segment->borderColor()), 0, 32, 0.5f);
      popup = border;
      code = 11;
    } else {
      auto *border = new PopupSliderColor1Switch2SlidersWidget(parent);
      const float fraction = segment->borderWidthFraction();
      const float width = fraction > 0 ? std::min(fraction * frameWidth, 64.0f)
                                       : segment->borderWidth() / ReferenceWidth * frameWidth;
      border->showPopupWithValues(parent, tr("Border Size & Color"), anchor, width, colour(segment->borderColor()), 0,
                                  64, 0.5f, tr("Tolerance"), float(segment->borderStrokeTolerance()), 0, 100, 1,
                                  tr("Intensity"), float(segment->borderStrokeStrength()), 0, 100, 1, tr("Stroke"),
                                  segment->borderStroke());
      popup = border;
      code = 30;
    }
    break;
  case 10014: {
    if (!isVisual(segment))
      return;
    auto *shadow = new PopupSliderColorShadowWidget(parent);
    shadow->showPopupWithValues(parent, tr("Shadow"), anchor, segment->shadowOpacity(), colour(segment->shadowColor()),
                                shadowOffsetPixels(segment, frameWidth), 0, 1, 0.05f, tr("Radius"),
                                segment->shadowRadius(frameWidth), 0, 32, 1);
    popup = shadow;
    code = 50;
    break;
  }
  case 10026: {
    if (!text)
      return;
    auto *t = static_cast<TextSegment *>(segment);
    auto *back = new PopupSliderColor2SlidersWidget(parent);
    back->showPopupWithValues(parent, tr("Text Background"), anchor, t->backColorAlpha(), colour(t->backColorRgb()), 0,
                              1, 0.05f, tr("Spacing"), std::min(t->backInset() * frameWidth, 80.0f), 0, 80, 0.5f,
                              tr("Round Corner"), t->backCorner() * 100, 0, 100, 0.5f);
    popup = back;
    code = 20;
    break;
  }
  case 10025: {
    if (!isVisual(segment))
      return;
    auto *colors = new PopupColorsScrollWidget(parent);
    colors->showPopupWithValues(parent, anchor, segment->clrSaturation(), segment->clrBrightness(),
                                segment->clrContrast(), segment->clrWhiteBalance(), segment->clrExposure(),
                                segment->clrHue(), segment->clrRed(), segment->clrGreen(), segment->clrBlue());
    popup = colors;
    break;
  }
  case 10027: {
    if (!isVisual(segment))
      return;
    auto *key = new PopupChromaKeyWidget(parent);
    key->showPopupWithValues(parent, anchor, segment->keyEnabled(), segment->keySensitivity(),
                             segment->keySmoothing(), colour(segment->keyColor()));
    connect(key, &PopupChromaKeyWidget::valuesChanged, this, &MainWindow::chromaKeyPopup_onValuesChanged);
    popup = key;
    code = 40;
    break;
  }
  default:
    return;
  }
  if (code)
    popup->setTag(code);
  _adoptPopup(popup, toolbar, cmdId);
}

// The popup becomes the window's current one; its values reach the handlers of the popups.
void MainWindow::_adoptPopup(CommonPopup *popup, ScrollableToolBar *toolbar, int cmdId)
{
  _selectedToolBarCommand = cmdId;
  if (toolbar)
    toolbar->setButtonSelected(cmdId, true);
  _currentPopup = popup;
  _connectPopupValueHandlers(popup);
  connect(popup, &CommonPopup::dismissed, this, &MainWindow::popup_onDismissed);
}

