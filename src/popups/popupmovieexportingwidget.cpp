#include "popupmovieexportingwidget.h"

#include "choicemenu.h"
#include "dialogprovider.h"
#include "exportframesize.h"
#include "exportlists.h"
#include "popupappearance.h"
#include "popupmainwidget.h"
#include "seekablesliderstyle.h"

#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QSpacerItem>
#include <QStackedWidget>

namespace {

const char *const sliderStyle =
  "QSlider::groove:horizontal {background: transparent; height: 4px; border-radius: 2px;}"
  "QSlider::sub-page:horizontal {background: rgb(54,200,255); height: 4px; border-radius: 2px;}"
  "QSlider::add-page:horizontal {background: rgb(44,46,50); height: 4px; border-radius: 2px;}"
  "QSlider::handle:horizontal {background: white; width: 18px; margin-top: -7px; margin-bottom: -7px;"
  " border-radius: 9px;}"
  "QSlider::sub-page:horizontal:disabled {background: rgb(44,105,133);}"
  "QSlider::handle:horizontal:disabled {background: rgb(128,128,128);}";

const char *const menuButtonStyle =
  "QPushButton {color: white; background-color: transparent; padding: 5px 10px 5px 10px;}"
  "QPushButton:pressed {color: gray;}";

const char *const fieldStyle = "color: white; background-color: rgb(44,45,46); padding: 0 5px; border-radius: 5px;";

constexpr int bottomSheetGap = 40;

QString resolutionName(int index)
{
  switch (index) {
  case 0:
    return PopupMovieExportingWidget::tr("SD - 360P");
  case 1:
    return PopupMovieExportingWidget::tr("SD - 540P");
  case 2:
    return PopupMovieExportingWidget::tr("HD - 720P");
  case 3:
    return PopupMovieExportingWidget::tr("Full HD - 1080P");
  case 4:
    return PopupMovieExportingWidget::tr("Ultra HD - 4K");
  default:
    return QString();
  }
}

bool isUnsafeInFileName(QChar c)
{
  return c == '/' || c == '\\' || c == ':' || c.category() == QChar::Other_Control;
}

// Blanks for what would change the folder or break the name, then trimmed.
QString safeFileName(QString name)
{
  for (QChar &c : name)
    if (isUnsafeInFileName(c))
      c = ' ';
  return name.trimmed();
}

QFont resized(QFont font, int delta)
{
  font.setPointSize(font.pointSize() + delta);
  return font;
}

} // namespace

QString PopupMovieExportingWidget::_outlinedButtonStyle()
{
  return QStringLiteral(
    "QPushButton {color: white; background-color: transparent; border-radius: 5px; border: 1px solid darkgray;}"
    "QPushButton:pressed {color: darkgray;}");
}

PopupMovieExportingWidget::PopupMovieExportingWidget(QWidget *parent) : CommonPopup(parent)
{
  qRegisterMetaType<MovieExportingAction>("MovieExportingAction");
  _buildForm();
}

void PopupMovieExportingWidget::showPopupWithSettings(QWidget *parent, int resolutionIndex, float aspectWidth,
                                                      float aspectHeight, const QString &defaultName,
                                                      const QString &location, const QString &codecId,
                                                      float frameRate, int presentationMode)
{
  _presentationMode = presentationMode;
  _defaultMovieName = defaultName;
  _saveLocation = location;
  _codecId = codecId;
  _frameRate = frameRate;
  _aspectWidth = aspectWidth;
  _aspectHeight = aspectHeight;
  // An index the slider cannot show would export a frame of 0 x 0: take 360P, as shown.
  _resolutionIndex = resolutionIndex >= 0 && resolutionIndex <= 4 ? resolutionIndex : 0;
  {
    const QSignalBlocker blocker(_resolutionSlider);
    _resolutionSlider->setMaximum(4);
    _resolutionSlider->setValue(_resolutionIndex);
  }
  _updateResolutionLabel();
  showPopup(parent, tr("Export & Share"), QPoint(0, 0));
}

QString PopupMovieExportingWidget::movieName() const
{
  const QString name = safeFileName(_nameLineEdit->text());
  return name.isEmpty() ? _defaultMovieName : name;
}

// --- Showing and placing ---

void PopupMovieExportingWidget::initialize()
{
  CommonPopup::initialize();
  _initializeSettingsPage();
  _initializeResultPages();
}

void PopupMovieExportingWidget::_initializeSettingsPage()
{
  const QString greyLabels = "QLabel {color: rgb(192,192,192);} QLabel:disabled {color: rgb(128,128,128);}";
  _resolutionPanel->setStyleSheet(greyLabels + "QToolTip {color: white; background-color: rgb(54,200,255); padding: 2px;"
                                  " border-radius: 3px;}");
  _panel->setBackgroundColor(QColor(31, 32, 35, 255));
  _panel->setBorderColor(QColor(64, 64, 64, 128));
  _panel->setRadius(10);

  QFont bold = _resolutionLabel->font();
  bold.setWeight(75);
  _resolutionLabel->setFont(bold);
  _resolutionLabel->setStyleSheet("color: white;");
  _shareLabel->setFont(bold);
  _nameLabel->setFont(bold);
  _locationLabel->setFont(bold);
  const QFont smaller = resized(_resolutionDetailLabel->font(), -1);
  for (QLabel *label : QList<QLabel *>{_resolutionDetailLabel, _frameRateLabel, _videoCodecLabel} + _tickLabels)
    label->setFont(smaller);

  auto *style = new SeekableSliderStyle;
  style->setParent(_resolutionSlider);
  _resolutionSlider->setStyle(style);
  _resolutionSlider->setStyleSheet(sliderStyle);
  _resolutionSlider->setRange(0, 4);
  connect(_resolutionSlider, &QSlider::valueChanged, this, &PopupMovieExportingWidget::resolutionSliderValueChanged,
          Qt::UniqueConnection);

  // The captions of the frame rate and codec read like those above them on the dark panel.
  _frameRateLabel->parentWidget()->setStyleSheet(greyLabels);
  _separatorWidget->setStyleSheet("background-color: rgb(90,92,94);");
  _detailGap->changeSize(20, 0, QSizePolicy::Minimum, QSizePolicy::Fixed);
  _resolutionPanel->layout()->invalidate();
  _computerOptionsPage->setStyleSheet("QLabel {color: white;}");

  for (QWidget *container : {_frameRateButtonContainer, _videoCodecButtonContainer})
    container->setStyleSheet(QString("QWidget#%1 {color: white; background-color: rgb(44,45,46); border-radius: 5px;}")
                               .arg(container->objectName()));
  for (QPushButton *button : {_frameRateButton, _videoCodecButton})
    button->setStyleSheet(menuButtonStyle);
  _frameRateButtonContainer->setAttribute(Qt::WA_StyledBackground, true);
  _videoCodecButtonContainer->setAttribute(Qt::WA_StyledBackground, true);
  _frameRateButton->setText(frameRateText(_frameRate));
  _videoCodecButton->setText(codecDisplayName(_codecId));
  for (QPushButton *button : {_frameRateButton, _frameRateTriangleButton})
    connect(button, &QPushButton::clicked, this, &PopupMovieExportingWidget::frameRateButtonOnClicked,
            Qt::UniqueConnection);
  for (QPushButton *button : {_videoCodecButton, _videoCodecTriangleButton})
    connect(button, &QPushButton::clicked, this, &PopupMovieExportingWidget::videoCodecButtonOnClicked,
            Qt::UniqueConnection);

  _exportButton->setStyleSheet(_outlinedButtonStyle());
  connect(_exportButton, &QPushButton::clicked, this, &PopupMovieExportingWidget::shareOperationButtonOnClicked,
          Qt::UniqueConnection);

  _nameLineEdit->setStyleSheet(QString("QLineEdit {%1 border: none;}").arg(fieldStyle));
  _nameLineEdit->setText(_defaultMovieName);
  _nameLineEdit->unsetCursor();
  _locationValueLabel->setStyleSheet(QString("QLabel {%1}").arg(fieldStyle));
  _locationValueLabel->setText(QDir::toNativeSeparators(_saveLocation));
  _locationButton->setStyleSheet("QPushButton {background-color: rgb(44,45,46); border-radius: 5px;}"
                                 "QPushButton:pressed {background-color: rgb(7,8,10);}");
  connect(_locationButton, &QPushButton::clicked, this, &PopupMovieExportingWidget::locationButtonOnClicked,
          Qt::UniqueConnection);
  _optionsStackedWidget->setCurrentWidget(_computerOptionsPage);
}

void PopupMovieExportingWidget::showPopup(QWidget *parent, const QString &title, const QPoint &anchor)
{
  initialize();
  setGeometry(0, 0, parent->width(), parent->height());
  if (_titleLabel)
    _titleLabel->setText(title);
  if (_presentationMode == 0)
    PopupAppearance::fadeIn(this);
  else if (_presentationMode == 1)
    PopupAppearance::slideUp(this);
  else
    show();
  layoutAt(anchor);
  addDropShadow();
}

void PopupMovieExportingWidget::layoutAt(const QPoint &)
{
  const QWidget *parent = parentWidget();
  const QSize size = exportPanelSize();
  const int x = (parent->width() - size.width()) / 2;
  const int y = _presentationMode == 1 ? parent->height() - bottomSheetGap - size.height()
                                       : (parent->height() - size.height()) / 2;
  _panel->setGeometry(x, y, size.width(), size.height());
}

bool PopupMovieExportingWidget::onReturnKeyPressed()
{
  if (!_exportButton->isVisible())
    return false;
  _exportButton->click();
  return true;
}

// --- The settings page ---

void PopupMovieExportingWidget::_updateResolutionLabel()
{
  const QSize size = exportFrameSize(_aspectWidth, _aspectHeight, _resolutionIndex);
  _resolutionDetailLabel->setText(QString("%1 %2")
                                    .arg(resolutionName(_resolutionIndex))
                                    .arg(QString::asprintf("(%dx%d)", size.width(), size.height())));
}

void PopupMovieExportingWidget::_clearNameFocus()
{
  if (_nameLineEdit->hasFocus())
    _nameLineEdit->clearFocus();
}

void PopupMovieExportingWidget::resolutionSliderValueChanged(int value)
{
  _clearNameFocus();
  if (value >= 0 && value <= 4)
    _resolutionIndex = value;
  _updateResolutionLabel();
}

void PopupMovieExportingWidget::frameRateButtonOnClicked()
{
  _clearNameFocus();
  QMenu *menu = ChoiceMenu::create(this);
  ChoiceMenu::addChoices(menu, frameRateTexts());
  const int chosen = ChoiceMenu::exec(menu);
  if (chosen < 0)
    return;
  _frameRate = frameRateList()[chosen];
  _frameRateButton->setText(frameRateText(_frameRate));
}

void PopupMovieExportingWidget::videoCodecButtonOnClicked()
{
  _clearNameFocus();
  QMenu *menu = ChoiceMenu::create(this);
  const QList<ExportCodec> &codecs = exportCodecList();
  QStringList names;
  for (const ExportCodec &codec : codecs)
    names << codec.displayName;
  ChoiceMenu::addChoices(menu, names);
  const int chosen = ChoiceMenu::exec(menu);
  if (chosen < 0)
    return;
  _codecId = codecs[chosen].id;
  _videoCodecButton->setText(codecDisplayName(_codecId));
}

void PopupMovieExportingWidget::locationButtonOnClicked()
{
  _clearNameFocus();
  const QString folder =
    DialogProvider::instance()->getExistingDirectory(this, tr("Select save directory"), _saveLocation);
  if (folder.isEmpty())
    return;
  _saveLocation = QDir::toNativeSeparators(folder);
  _locationValueLabel->setText(_saveLocation);
}

void PopupMovieExportingWidget::shareOperationButtonOnClicked()
{
  emit popupMovieExportingWidgetShareAction(this, MovieExportingActionComputer);
}
