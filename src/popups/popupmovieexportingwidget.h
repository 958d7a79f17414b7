#pragma once

#include "commonpopup.h"

#include <QMetaType>
#include <QSize>

class PopupMainWidget;
class QImage;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSlider;
class QSpacerItem;
class QStackedWidget;

// What the user asked the export popup for; this popup only ever saves to the computer.
enum MovieExportingAction {
  MovieExportingActionComputer = 1,
  MovieExportingActionEmail = 2,
  MovieExportingActionYoutube = 3,
  MovieExportingActionFacebook = 4,
};
Q_DECLARE_METATYPE(MovieExportingAction)

// The export popup: a settings page (resolution, frame rate, codec, name, folder) whose
// "Export" hands the choice to the editor, then, while the editor exports, a progress page
// and finally an error or a result page with the facts of the written file.
class PopupMovieExportingWidget : public CommonPopup
{
  Q_OBJECT
public:
  explicit PopupMovieExportingWidget(QWidget *parent);

  // Mode 0 centred with a fade, 1 a bottom sheet sliding up.
  void showPopupWithSettings(QWidget *parent, int resolutionIndex, float aspectWidth, float aspectHeight,
                             const QString &defaultName, const QString &location, const QString &codecId,
                             float frameRate, int presentationMode);

  // 0 360P .. 4 4K.
  int resolution() const { return _resolutionIndex; }
  int resolutionIndex() const { return resolution(); }
  float frameRate() const { return _frameRate; }
  // The typed name made safe for a file name, else the default name.
  QString movieName() const;
  QString saveLocation() const { return _saveLocation; }
  QString videoCodec() const { return _codecId; }

  // The run of the export: progress 0..1, then the end (an empty error text means success).
  void setExportProgress(float progress);
  void showExportResult(const QString &errorText, const QString &filePath);
  // The editor's form with a still of the movie, which this popup does not show.
  void showExportResult(const QString &errorText, const QString &filePath, const QImage &picture);

  static QSize exportPanelSize() { return QSize(500, 370); }

  void initialize() override;
  void showPopup(QWidget *parent, const QString &title, const QPoint &anchor) override;
  void layoutAt(const QPoint &anchor) override;
  bool onReturnKeyPressed() override;

signals:
  void popupMovieExportingWidgetShareAction(PopupMovieExportingWidget *exportingWidget, MovieExportingAction action);
  void popupMovieExportingWidgetExportCancelAction(PopupMovieExportingWidget *exportingWidget);
  void popupMovieExportingWidgetCheckCanShareToEmail(PopupMovieExportingWidget *exportingWidget,
                                                     bool *canShareToEmail);
  void popupMovieExportingWidgetCheckCanShareToFacebook(PopupMovieExportingWidget *exportingWidget,
                                                        bool *canShareToFacebook);

public slots:
  void resolutionSliderValueChanged(int value);
  void shareOperationButtonOnClicked();
  void frameRateButtonOnClicked();
  void videoCodecButtonOnClicked();
  void locationButtonOnClicked();
  void exportCancelButtonOnClicked();
  void errorCloseButtonOnClicked();
  void computerDoneButtonOnClicked();
  void computerGoButtonOnClicked();

private:
  // The look of Export, Cancel, Close and Done.
  static QString _outlinedButtonStyle();
  void _buildForm();
  QWidget *_buildSettingsPage();
  QWidget *_buildExportPage();
  QWidget *_buildErrorPage();
  QWidget *_buildDonePage();
  void _initializeSettingsPage();
  void _initializeResultPages();
  void _updateResolutionLabel();
  void _clearNameFocus();
  void _showError(const QString &text);
  void _showDone(const QString &filePath, qint64 size);

  int _presentationMode = 0;
  float _aspectWidth = 0;
  float _aspectHeight = 0;
  int _resolutionIndex = 2;
  QString _defaultMovieName;
  QString _saveLocation;
  float _frameRate = 30;
  QString _codecId;

  // The form.
  PopupMainWidget *_panel = nullptr;
  QStackedWidget *_mainStackedWidget = nullptr;
  QWidget *_defaultPage = nullptr;
  QWidget *_exportPage = nullptr;
  QWidget *_errorPage = nullptr;
  QWidget *_computerDonePage = nullptr;
  QWidget *_resolutionPanel = nullptr;
  QLabel *_resolutionLabel = nullptr;
  QLabel *_resolutionDetailLabel = nullptr;
  QSpacerItem *_detailGap = nullptr;
  QSlider *_resolutionSlider = nullptr;
  QList<QLabel *> _tickLabels;
  QLabel *_frameRateLabel = nullptr;
  QWidget *_frameRateButtonContainer = nullptr;
  QPushButton *_frameRateButton = nullptr;
  QPushButton *_frameRateTriangleButton = nullptr;
  QLabel *_videoCodecLabel = nullptr;
  QWidget *_videoCodecButtonContainer = nullptr;
  QPushButton *_videoCodecButton = nullptr;
  QPushButton *_videoCodecTriangleButton = nullptr;
  QWidget *_separatorWidget = nullptr;
  QStackedWidget *_optionsStackedWidget = nullptr;
  QWidget *_computerOptionsPage = nullptr;
  QLabel *_shareLabel = nullptr;
  QLabel *_nameLabel = nullptr;
  QLineEdit *_nameLineEdit = nullptr;
  QLabel *_locationLabel = nullptr;
  QLabel *_locationValueLabel = nullptr;
  QPushButton *_locationButton = nullptr;
  QPushButton *_exportButton = nullptr;
  QLabel *_exportLabel = nullptr;
  QProgressBar *_exportProgressBar = nullptr;
  QPushButton *_exportCancelButton = nullptr;
  QLabel *_errorLabel = nullptr;
  QLabel *_errorDetailLabel = nullptr;
  QPushButton *_errorCloseButton = nullptr;
  QList<QLabel *> _doneCaptionLabels;
  QWidget *_computerDoneDetailPanel = nullptr;
  QLabel *_doneFileNameValueLabel = nullptr;
  QLabel *_doneFileSizeValueLabel = nullptr;
  QLabel *_doneDurationValueLabel = nullptr;
  QLabel *_doneVideoValueLabel = nullptr;
  QLabel *_doneAudioValueLabel = nullptr;
  QPushButton *_doneFileNameGoButton = nullptr;
  QPushButton *_computerDoneButton = nullptr;
};
