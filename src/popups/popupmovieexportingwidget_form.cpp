// The widget tree of the export popup: the settings page and the three pages of the run.
#include "popupmovieexportingwidget.h"

#include "formparts.h"
#include "popupmainwidget.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QVBoxLayout>

using namespace FormParts;

namespace {

// A 100-px wide button centred in its row.
QPushButton *addCentredButton(QVBoxLayout *layout, const char *name, const QString &text, QWidget *parent)
{
  QPushButton *button = flatButton(name, text, parent);
  button->setMinimumSize(100, 35);
  button->setMaximumWidth(100);
  layout->addWidget(button, 0, Qt::AlignHCenter);
  return button;
}

// The value button and its triangle, joined in one rounded container.
QWidget *newMenuButtonPair(const char *containerName, const char *buttonName, const char *triangleName,
                           const QString &text, QWidget *parent, QPushButton **button, QPushButton **triangle)
{
  auto *container = new QWidget(parent);
  container->setObjectName(containerName);
  auto *layout = new QHBoxLayout(container);
  layout->setSpacing(0);
  layout->setContentsMargins(0, 0, 0, 0);
  *button = flatButton(buttonName, text, container);
  *triangle = flatButton(triangleName, QString(), container);
  (*triangle)->setFixedWidth(32);
  (*triangle)->setIcon(QIcon(":/images/move_down"));
  (*triangle)->setIconSize(QSize(12, 12));
  layout->addWidget(*button);
  layout->addWidget(*triangle);
  return container;
}

} // namespace

void PopupMovieExportingWidget::_buildForm()
{
  setObjectName("PopupMovieExportingWidget");
  setWindowTitle("Form");
  resize(763, 462);
  _panel = new PopupMainWidget(this);
  _panel->setObjectName("mainWidget");
  _panel->setGeometry(50, 14, 651, 431);
  auto *verticalLayout = new QVBoxLayout(_panel);
  verticalLayout->setSpacing(6);
  QMargins margins = verticalLayout->contentsMargins();
  margins.setRight(12);
  margins.setBottom(12);
  verticalLayout->setContentsMargins(margins);
  _mainStackedWidget = new QStackedWidget(_panel);
  _mainStackedWidget->setObjectName("mainStackedWidget");
  _mainStackedWidget->setMinimumHeight(100);
  _mainStackedWidget->addWidget(_buildSettingsPage());
  _mainStackedWidget->addWidget(_buildExportPage());
  _mainStackedWidget->addWidget(_buildErrorPage());
  _mainStackedWidget->addWidget(_buildDonePage());
  verticalLayout->addWidget(_mainStackedWidget);
}

QWidget *PopupMovieExportingWidget::_buildSettingsPage()
{
  _defaultPage = new QWidget;
  _defaultPage->setObjectName("defaultPage");
  auto *pageLayout = new QVBoxLayout(_defaultPage);
  pageLayout->setSpacing(6);
  pageLayout->setContentsMargins(0, 0, 0, 0);

  // Resolution.
  _resolutionPanel = new QWidget(_defaultPage);
  _resolutionPanel->setObjectName("resolutionPanel");
  auto *resolutionLayout = new QVBoxLayout(_resolutionPanel);
  QMargins margins = resolutionLayout->contentsMargins();
  margins.setLeft(12);
  margins.setRight(12);
  resolutionLayout->setContentsMargins(margins);
  QLabel *title = label("titleLabel", tr("Export & Share"), _resolutionPanel);
  title->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  title->setMinimumHeight(18);
  title->setAlignment(Qt::AlignCenter);
  setForm(_panel, title);
  _resolutionLabel = label("resolutionLabel", tr("Resolution"), _resolutionPanel);
  auto *detailRow = new QWidget(_resolutionPanel);
  detailRow->setObjectName("widget_8");
  auto *detailLayout = new QHBoxLayout(detailRow);
  detailLayout->setContentsMargins(0, 0, 0, 0);
  _resolutionDetailLabel = label("resolutionDetailLabel", "HD - 720P (1280x720)", detailRow);
  detailLayout->addWidget(_resolutionDetailLabel);
  detailLayout->addItem(expandingH());
  _resolutionSlider = new QSlider(Qt::Horizontal, _resolutionPanel);
  _resolutionSlider->setObjectName("resolutionSlider");
  _resolutionSlider->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  auto *ticks = new QWidget(_resolutionPanel);
  ticks->setObjectName("widget");
  auto *tickLayout = new QHBoxLayout(ticks);
  tickLayout->setContentsMargins(0, 0, 0, 0);
  const char *const tickNames[] = {"label360p", "label540p", "label720p", "label1080p", "label4k"};
  const QString tickTexts[] = {tr("360P"), tr("540P"), tr("720P"), tr("1080P"), tr("4K")};
  for (int i = 0; i < 5; ++i) {
    if (i > 0)
      tickLayout->addItem(expandingH());
    _tickLabels << label(tickNames[i], tickTexts[i], ticks);
    tickLayout->addWidget(_tickLabels.last());
  }
  _detailGap = fixedV(10);
  resolutionLayout->addWidget(title);
  resolutionLayout->addWidget(_resolutionLabel);
  resolutionLayout->addWidget(detailRow);
  resolutionLayout->addItem(_detailGap);
  resolutionLayout->addWidget(_resolutionSlider);
  resolutionLayout->addWidget(ticks);
  resolutionLayout->addItem(fixedV(10));
  pageLayout->addWidget(_resolutionPanel);

  // Frame rate and codec.
  auto *choices = new QWidget(_defaultPage);
  choices->setObjectName("widget_5");
  auto *choicesLayout = new QHBoxLayout(choices);
  margins = choicesLayout->contentsMargins();
  margins.setTop(0);
  margins.setBottom(0);
  choicesLayout->setContentsMargins(margins);
  _frameRateLabel = label("frameRateLabel", tr("Frame Rate"), choices);
  _frameRateButtonContainer = newMenuButtonPair("frameRateButtonContainer", "frameRateButton",
                                                "frameRateTriangleButton", "30", choices, &_frameRateButton,
                                                &_frameRateTriangleButton);
  _videoCodecLabel = label("videoCodecLabel", tr("Video Codec"), choices);
  _videoCodecButtonContainer = newMenuButtonPair("videoCodecButtonContainer", "videoCodecButton",
                                                 "videoCodecTriangleButton", "H.264", choices, &_videoCodecButton,
                                                 &_videoCodecTriangleButton);
  choicesLayout->addWidget(_frameRateLabel);
  choicesLayout->addWidget(_frameRateButtonContainer);
  choicesLayout->addItem(expandingH());
  choicesLayout->addWidget(_videoCodecLabel);
  choicesLayout->addWidget(_videoCodecButtonContainer);
  pageLayout->addWidget(choices);

  _separatorWidget = new QWidget(_defaultPage);
  _separatorWidget->setObjectName("separatorWidget");
  _separatorWidget->setFixedHeight(1);
  pageLayout->addWidget(_separatorWidget);

  _optionsStackedWidget = new QStackedWidget(_defaultPage);
  _optionsStackedWidget->setObjectName("optionsStackedWidget");
  _optionsStackedWidget->setMaximumHeight(150);
  pageLayout->addWidget(_optionsStackedWidget);

  // Sharing elsewhere is declared but never offered; its page keeps its place in the stack.
  auto *sharePage = new QWidget;
  sharePage->setObjectName("shareOperationPage");
  auto *shareLayout = new QVBoxLayout(sharePage);
  _shareLabel = label("shareLabel", tr("Share to"), sharePage);
  shareLayout->addWidget(_shareLabel);
  auto *shareRow = new QHBoxLayout;
  for (const QString &caption : {tr("Save to Camera Roll"), tr("E-Mail"), tr("Youtube"), tr("Facebook")})
    shareRow->addWidget(new QPushButton(caption, sharePage));
  shareLayout->addLayout(shareRow);
  _optionsStackedWidget->addWidget(sharePage);

  _computerOptionsPage = new QWidget;
  _computerOptionsPage->setObjectName("computerOptionsPage");
  auto *optionsLayout = new QVBoxLayout(_computerOptionsPage);
  optionsLayout->setSpacing(6);
  optionsLayout->setContentsMargins(0, 12, 0, 0);
  auto *fields = new QWidget(_computerOptionsPage);
  fields->setObjectName("widget_6");
  auto *grid = new QGridLayout(fields);
  margins = grid->contentsMargins();
  margins.setTop(0);
  margins.setBottom(0);
  grid->setContentsMargins(margins);
  _nameLabel = label("nameLabel", tr("Name"), fields);
  _nameLineEdit = new QLineEdit(fields);
  _nameLineEdit->setObjectName("nameLineEdit");
  _nameLineEdit->setMinimumHeight(25);
  _nameLineEdit->setFocusPolicy(Qt::StrongFocus);
  _nameLineEdit->setClearButtonEnabled(false);
  _locationLabel = label("locationLabel", tr("Location"), fields);
  auto *locationRow = new QWidget(fields);
  locationRow->setObjectName("widget_7");
  auto *locationLayout = new QHBoxLayout(locationRow);
  locationLayout->setContentsMargins(0, 0, 0, 0);
  _locationValueLabel = label("locationValueLabel", QString(), locationRow);
  _locationValueLabel->setMinimumHeight(25);
  QSizePolicy stretch(QSizePolicy::Preferred, QSizePolicy::Preferred);
  stretch.setHorizontalStretch(1);
  _locationValueLabel->setSizePolicy(stretch);
  _locationButton = flatButton("locationButton", QString(), locationRow);
  _locationButton->setFixedWidth(30);
  _locationButton->setIcon(QIcon(":/images/export/export_folder"));
  locationLayout->addWidget(_locationValueLabel);
  locationLayout->addWidget(_locationButton);
  grid->addWidget(_nameLabel, 0, 0, Qt::AlignLeft | Qt::AlignVCenter);
  grid->addWidget(_nameLineEdit, 0, 1);
  grid->addWidget(_locationLabel, 1, 0, Qt::AlignLeft | Qt::AlignVCenter);
  grid->addWidget(locationRow, 1, 1);
  optionsLayout->addWidget(fields);
  optionsLayout->addItem(expandingV());
  _exportButton = flatButton("exportButton", tr("Export"), _computerOptionsPage);
  _exportButton->setFixedSize(100, 35);
  optionsLayout->addWidget(_exportButton, 0, Qt::AlignHCenter);
  _optionsStackedWidget->addWidget(_computerOptionsPage);
  return _defaultPage;
}

QWidget *PopupMovieExportingWidget::_buildExportPage()
{
  _exportPage = new QWidget;
  _exportPage->setObjectName("exportPage");
  auto *layout = new QVBoxLayout(_exportPage);
  _exportLabel = label("exportLabel", tr("Exporting movie..."), _exportPage);
  _exportLabel->setAlignment(Qt::AlignCenter);
  QLabel *detail = label("exportDetailLabel", tr("Please do not exit Tavo REN or lock the computer."), _exportPage);
  detail->setAlignment(Qt::AlignCenter);
  detail->setWordWrap(true);
  _exportProgressBar = new QProgressBar(_exportPage);
  _exportProgressBar->setObjectName("exportProgressBar");
  _exportProgressBar->setRange(0, 100);
  _exportProgressBar->setValue(0);
  layout->addItem(expandingV());
  layout->addWidget(_exportLabel);
  layout->addItem(fixedV(10));
  layout->addWidget(detail);
  layout->addItem(fixedV(10));
  layout->addWidget(_exportProgressBar);
  layout->addItem(expandingV());
  _exportCancelButton = addCentredButton(layout, "exportCancelButton", tr("Cancel"), _exportPage);
  return _exportPage;
}

QWidget *PopupMovieExportingWidget::_buildErrorPage()
{
  _errorPage = new QWidget;
  _errorPage->setObjectName("errorPage");
  auto *layout = new QVBoxLayout(_errorPage);
  auto *iconRow = new QWidget(_errorPage);
  iconRow->setObjectName("widget_3");
  auto *iconLayout = new QHBoxLayout(iconRow);
  QLabel *icon = label("errorIconLabel", QString(), iconRow);
  icon->setFixedSize(70, 70);
  icon->setScaledContents(true);
  icon->setPixmap(QPixmap(":/images/export/export_error_icon"));
  iconLayout->addItem(expandingH());
  iconLayout->addWidget(icon);
  iconLayout->addItem(expandingH());
  _errorLabel = label("errorLabel", tr("Export Failed"), _errorPage);
  _errorLabel->setAlignment(Qt::AlignCenter);
  _errorDetailLabel = label("errorDetailLabel", tr("Error"), _errorPage);
  _errorDetailLabel->setAlignment(Qt::AlignCenter);
  // Our own texts name whole paths; they wrap rather than widen the panel.
  _errorDetailLabel->setWordWrap(true);
  _errorCloseButton = flatButton("errorCloseButton", tr("Close"), _errorPage);
  _errorCloseButton->setMinimumHeight(35);
  layout->addItem(expandingV());
  layout->addWidget(iconRow);
  layout->addItem(fixedV(10));
  layout->addWidget(_errorLabel);
  layout->addItem(fixedV(10));
  layout->addWidget(_errorDetailLabel);
  layout->addItem(expandingV());
  layout->addWidget(_errorCloseButton);
  return _errorPage;
}

QWidget *PopupMovieExportingWidget::_buildDonePage()
{
  _computerDonePage = new QWidget;
  _computerDonePage->setObjectName("computerDonePage");
  auto *layout = new QVBoxLayout(_computerDonePage);
  auto *heading = new QWidget(_computerDonePage);
  heading->setObjectName("widget_4");
  auto *headingLayout = new QHBoxLayout(heading);
  QMargins margins = headingLayout->contentsMargins();
  margins.setBottom(12);
  headingLayout->setContentsMargins(margins);
  QLabel *icon = label("doneIconLabel", QString(), heading);
  icon->setFixedSize(72, 72);
  icon->setScaledContents(true);
  icon->setPixmap(QPixmap(":/images/export/export_done_icon"));
  headingLayout->addWidget(icon);
  headingLayout->addWidget(label("label", tr("Current movie has been exported successfully"), heading));
  layout->addWidget(heading);
  layout->addWidget(label("label_2", tr("Detail"), _computerDonePage));

  _computerDoneDetailPanel = new QWidget(_computerDonePage);
  _computerDoneDetailPanel->setObjectName("computerDoneDetailPanel");
  auto *grid = new QGridLayout(_computerDoneDetailPanel);
  struct Row
  {
    const char *captionName;
    QString caption;
    const char *valueName;
    const char *designText;
    QLabel **value;
  };
  const Row rows[] = {
    {"doneFileNameLabel", tr("File"), "doneFileNameValueLabel", "File name", &_doneFileNameValueLabel},
    {"doneFileSizeLabel", tr("Size"), "doneFileSizeValueLabel", "File size", &_doneFileSizeValueLabel},
    {"doneDurationLabel", tr("Duration"), "doneDurationValueLabel", "00:00", &_doneDurationValueLabel},
    {"doneVideoLabel", tr("Video"), "doneVideoValueLabel", "H264", &_doneVideoValueLabel},
    {"doneAudioLabel", tr("Audio"), "doneAudioValueLabel", "AAC", &_doneAudioValueLabel},
  };
  for (int i = 0; i < 5; ++i) {
    QLabel *caption = label(rows[i].captionName, rows[i].caption, _computerDoneDetailPanel);
    caption->setMinimumWidth(80);
    caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    _doneCaptionLabels << caption;
    *rows[i].value = label(rows[i].valueName, rows[i].designText, _computerDoneDetailPanel);
    grid->addWidget(caption, i, 0);
    grid->addWidget(*rows[i].value, i, 1);
  }
  _doneFileNameValueLabel->setWordWrap(true);
  _doneFileNameGoButton = flatButton("doneFileNameGoButton", QString(), _computerDoneDetailPanel);
  _doneFileNameGoButton->setFixedWidth(30);
  _doneFileNameGoButton->setIcon(QIcon(":/images/export/export_command_icon"));
  grid->addWidget(_doneFileNameGoButton, 0, 2);
  layout->addWidget(_computerDoneDetailPanel);
  _computerDoneButton = addCentredButton(layout, "computerDoneButton", tr("Done"), _computerDonePage);
  return _computerDonePage;
}
