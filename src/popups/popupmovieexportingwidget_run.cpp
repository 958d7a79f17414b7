// The export popup while the editor exports: progress, then the error or the result.
#include "popupmovieexportingwidget.h"

#include "util.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>

#include <cmath>

namespace {

const char *const pageLabelStyle = "QLabel {color: white;} QLabel:disabled {color: rgb(128,128,128);}";

void makeHeading(QLabel *label)
{
  QFont font = label->font();
  font.setWeight(75);
  font.setPointSize(font.pointSize() + 2);
  label->setFont(font);
}

} // namespace

void PopupMovieExportingWidget::_initializeResultPages()
{
  _exportPage->setStyleSheet(QString(pageLabelStyle) +
                             "QProgressBar {border: none; color: white; text-align: center;"
                             " background-color: rgb(44,46,50); height: 20px; border-radius: 10px;}"
                             "QProgressBar::chunk {background-color: rgb(54, 200, 255); border-radius: 10px;"
                             " border: none;}");
  makeHeading(_exportLabel);
  makeHeading(_errorLabel);
  _errorPage->setStyleSheet(pageLabelStyle);
  _computerDonePage->setStyleSheet("QLabel {color: white;}");
  for (QLabel *caption : _doneCaptionLabels)
    caption->setStyleSheet("QLabel {color: gray;}");
  _computerDoneDetailPanel->setAttribute(Qt::WA_StyledBackground, true);
  _computerDoneDetailPanel->setStyleSheet(
    "QWidget#computerDoneDetailPanel {background-color: rgb(44,46,50); border-radius: 5px;}");
  for (QPushButton *button : {_exportCancelButton, _errorCloseButton, _computerDoneButton})
    button->setStyleSheet(_outlinedButtonStyle());
  connect(_exportCancelButton, &QPushButton::clicked, this, &PopupMovieExportingWidget::exportCancelButtonOnClicked,
          Qt::UniqueConnection);
  connect(_errorCloseButton, &QPushButton::clicked, this, &PopupMovieExportingWidget::errorCloseButtonOnClicked,
          Qt::UniqueConnection);
  connect(_computerDoneButton, &QPushButton::clicked, this, &PopupMovieExportingWidget::computerDoneButtonOnClicked,
          Qt::UniqueConnection);
  connect(_doneFileNameGoButton, &QPushButton::clicked, this, &PopupMovieExportingWidget::computerGoButtonOnClicked,
          Qt::UniqueConnection);
}

void PopupMovieExportingWidget::setExportProgress(float progress)
{
  // A report queued before the end must not bring back a progress page nobody can leave.
  QWidget *page = _mainStackedWidget->currentWidget();
  if (page == _errorPage || page == _computerDonePage)
    return;
  if (page != _exportPage) {
    _mainStackedWidget->setCurrentWidget(_exportPage);
    setPersistent(true);
  }
  if (!(progress >= 0)) // also NaN
    progress = 0;
  _exportProgressBar->setValue(int(qMin(progress, 1.0f) * 100));
}

void PopupMovieExportingWidget::showExportResult(const QString &errorText, const QString &filePath)
{
  const QFileInfo info(filePath);
  if (!errorText.isEmpty())
    _showError(errorText);
  else if (filePath.isEmpty())
    _showError(tr("The export named no movie file."));
  else if (!info.isFile() || info.size() <= 0)
    // Told "done", but there is nothing to show: say so rather than report 0 bytes.
    _showError(tr("The movie file %1 is missing or empty.").arg(QDir::toNativeSeparators(filePath)));
  else
    _showDone(filePath, info.size());
  setPersistent(false);
}

void PopupMovieExportingWidget::showExportResult(const QString &errorText, const QString &filePath, const QImage &)
{
  showExportResult(errorText, filePath);
}

void PopupMovieExportingWidget::_showError(const QString &text)
{
  _errorDetailLabel->setText(text);
  _mainStackedWidget->setCurrentWidget(_errorPage);
}

void PopupMovieExportingWidget::_showDone(const QString &filePath, qint64 size)
{
  _doneFileNameValueLabel->setText(QDir::toNativeSeparators(filePath));
  const QString readable = Util::formatFileSize(size);
  _doneFileSizeValueLabel->setText(size >= 1024 ? tr("%1 bytes (%2)").arg(QString("%L1").arg(size), readable)
                                                : readable);
  QString videoText = QStringLiteral("H.264");
  QString audioText = tr("None");
  double seconds = 0;
  Util::probeMediaInfo(filePath, videoText, audioText, seconds);
  _doneDurationValueLabel->setText(Util::formatDuration(int(std::ceil(seconds))));
  _doneVideoValueLabel->setText(videoText);
  _doneAudioValueLabel->setText(audioText);
  _mainStackedWidget->setCurrentWidget(_computerDonePage);
}

void PopupMovieExportingWidget::exportCancelButtonOnClicked()
{
  emit popupMovieExportingWidgetExportCancelAction(this);
}

void PopupMovieExportingWidget::errorCloseButtonOnClicked()
{
  dismiss();
}

void PopupMovieExportingWidget::computerDoneButtonOnClicked()
{
  dismiss();
}

void PopupMovieExportingWidget::computerGoButtonOnClicked()
{
  Util::showFileInExplorer(_doneFileNameValueLabel->text());
}
