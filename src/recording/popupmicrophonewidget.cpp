#include "popupmicrophonewidget.h"

#include "animationswitch.h"
#include "audioinputbackend.h"
#include "audiolevelmeterwidget.h"
#include "audiolevels.h"
#include "devicemenu.h"
#include "popupmainwidget.h"
#include "util.h"
#include "warningbox.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenu>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int panelWidth = 430;
constexpr int panelHeight = 280;
// How long a start of the recorder may take before it counts as failed.
constexpr int startWaitMs = 3000;

QSpacerItem *spacer(int w, int h)
{
  return new QSpacerItem(w, h, QSizePolicy::Expanding, QSizePolicy::Minimum);
}

QWidget *row(QWidget *parent, const char *name, const char *layoutName, QHBoxLayout **layout)
{
  auto *w = new QWidget(parent);
  w->setObjectName(name);
  *layout = new QHBoxLayout(w);
  (*layout)->setObjectName(layoutName);
  return w;
}

} // namespace

PopupMicrophoneWidget::PopupMicrophoneWidget(QWidget *parent) : CommonPopup(parent)
{
  _buildForm();
  _recorder = AudioInputBackend::create(this);
  connect(_recorder, &AudioInputBackend::audioBufferProbed, this, &PopupMicrophoneWidget::processBuffer);
  connect(_recorder, &AudioInputBackend::error, this, &PopupMicrophoneWidget::displayErrorMessage);
  // One connection for warm-up and takes alike: a second one would hand a take over twice.
  connect(_recorder, &AudioInputBackend::stateChanged, this, &PopupMicrophoneWidget::onStateChanged,
          Qt::UniqueConnection);
}

PopupMicrophoneWidget::~PopupMicrophoneWidget() = default;

void PopupMicrophoneWidget::_buildForm()
{
  setObjectName("PopupMicrophoneWidget");
  setWindowTitle("Form");
  resize(685, 505);
  _panel = new PopupMainWidget(this);
  _panel->setObjectName("mainWidget");
  auto *verticalLayout = new QVBoxLayout(_panel);
  verticalLayout->setObjectName("verticalLayout");
  verticalLayout->setSpacing(0);
  verticalLayout->setContentsMargins(12, 0, 12, 12);

  QHBoxLayout *layout = nullptr;
  QWidget *topPanel = row(_panel, "topPanel", "horizontalLayout", &layout);
  topPanel->setFixedHeight(44);
  layout->setSpacing(0);
  layout->setContentsMargins(0, 0, 0, 0);
  _microphoneButton = new QPushButton(topPanel);
  _microphoneButton->setObjectName("microphoneButton");
  _triangleButton = new QPushButton(topPanel);
  _triangleButton->setObjectName("triangleButton");
  _triangleButton->setMaximumWidth(16);
  _triangleButton->setIcon(QIcon(":/images/move_down"));
  _triangleButton->setIconSize(QSize(12, 12));
  layout->addItem(spacer(233, 17));
  layout->addWidget(_microphoneButton);
  layout->addWidget(_triangleButton);
  layout->addItem(spacer(40, 20));
  verticalLayout->addWidget(topPanel);

  QWidget *meterRow = row(_panel, "widget", "horizontalLayout_3", &layout);
  _meterWidget = new AudioLevelMeterWidget(meterRow);
  _meterWidget->setObjectName("meterWidget");
  _meterWidget->setFixedSize(250, 50);
  layout->addItem(spacer(64, 20));
  layout->addWidget(_meterWidget);
  layout->addItem(spacer(63, 20));
  verticalLayout->addWidget(meterRow);

  QWidget *recordRow = row(_panel, "widget_2", "horizontalLayout_2", &layout);
  QMargins margins = layout->contentsMargins();
  layout->setContentsMargins(margins.left(), 12, margins.right(), 12);
  _recordButton = new QPushButton(recordRow);
  _recordButton->setObjectName("recordButton");
  _recordButton->setFixedSize(100, 40);
  _recordButton->setIcon(QIcon(":/images/voice_recording_1"));
  _recordButton->setIconSize(QSize(25, 25));
  layout->addItem(spacer(135, 20));
  layout->addWidget(_recordButton);
  layout->addItem(spacer(134, 20));
  verticalLayout->addWidget(recordRow);

  QWidget *cancelRow = row(_panel, "widget_4", "horizontalLayout_4", &layout);
  margins = layout->contentsMargins();
  layout->setContentsMargins(margins.left(), 0, margins.right(), 0);
  _cancelButton = new QPushButton(cancelRow);
  _cancelButton->setObjectName("cancelButton");
  _cancelButton->setMinimumHeight(30);
  layout->addItem(spacer(151, 20));
  layout->addWidget(_cancelButton);
  layout->addItem(spacer(150, 20));
  verticalLayout->addWidget(cancelRow);

  _microphoneButton->setText(tr("No microphone"));
  _cancelButton->setText(tr("Cancel"));
  setForm(_panel, nullptr);
}

void PopupMicrophoneWidget::showWithStartTime(QWidget *parent, float startTime, int placement)
{
  _placement = placement;
  _startTime = startTime;
  showPopup(parent, QString(), QPoint(0, 0));
}

void PopupMicrophoneWidget::initialize()
{
  CommonPopup::initialize();
  setStyleSheet("QLabel {color: white;}"
                "QLabel:disabled {color: rgb(128,128,128);}"
                "QToolTip {background-color: rgb(54,200,255); color: white; padding: 2px; border-radius: 3px;"
                " border: none;}");
  _panel->setBackgroundColor(QColor(31, 32, 35, 255));
  _panel->setBorderColor(QColor(64, 64, 64, 128));
  QFont font = _microphoneButton->font();
  font.setPointSize(font.pointSize() + 1);
  _microphoneButton->setFont(font);
  _microphoneButton->setStyleSheet("QPushButton {background-color: transparent; color: white; border: none;}");
  _triangleButton->setStyleSheet("QPushButton {background-color: transparent; border: none;}");
  connect(_microphoneButton, &QPushButton::clicked, this, &PopupMicrophoneWidget::microphoneButtonOnClick,
          Qt::UniqueConnection);
  connect(_triangleButton, &QPushButton::clicked, this, &PopupMicrophoneWidget::microphoneButtonOnClick,
          Qt::UniqueConnection);
  _cancelButton->setStyleSheet("QPushButton {background-color: transparent; color: white; border: none;"
                               " border-radius: 5px; padding: 0px 10px;}"
                               "QPushButton:hover {background-color: rgb(44,46,50);}"
                               "QPushButton:pressed {background-color: black;}"
                               "QPushButton:disabled {color: rgb(44,46,50);}");
  connect(_cancelButton, &QPushButton::clicked, this, &PopupMicrophoneWidget::cancelButtonOnClick,
          Qt::UniqueConnection);
  _recordButton->setStyleSheet("QPushButton {background-color: white; border: none; border-radius: 20px;}"
                               "QPushButton:pressed {background-color: gray;}");
  connect(_recordButton, &QPushButton::clicked, this, &PopupMicrophoneWidget::recordButtonOnClick,
          Qt::UniqueConnection);
  if (!_inputMenu)
    _buildInputMenu();
}

void PopupMicrophoneWidget::showPopup(QWidget *parent, const QString &, const QPoint &anchor)
{
  initialize();
  setGeometry(0, 0, parent->width(), parent->height());
  if (_placement == 0) {
    if (isAnimationEnabled())
      Util::fadeInWidget(this, 200, 1.0f);
    else
      show();
  } else if (isAnimationEnabled()) {
    move(0, parent->height());
    show();
    auto *slide = new QPropertyAnimation(this, "pos", this);
    slide->setDuration(200);
    slide->setEndValue(QPoint(0, 0));
    slide->start(QAbstractAnimation::DeleteWhenStopped);
  } else {
    show();
  }
  layoutAt(anchor);
  addDropShadow();
}

void PopupMicrophoneWidget::layoutAt(const QPoint &)
{
  const QWidget *parent = parentWidget();
  const int parentWidth = parent ? parent->width() : width();
  const int parentHeight = parent ? parent->height() : height();
  const int x = (parentWidth - panelWidth) / 2;
  const int y = _placement == 0 ? (parentHeight - panelHeight) / 2 : parentHeight - 40 - panelHeight;
  _panel->setGeometry(x, y, panelWidth, panelHeight);
}

// The sound system names some inputs with a trailing colon ("default:"), which is no part
// of what the user should read.
static QString inputLabel(QString name)
{
  while (name.endsWith(QLatin1Char(':')))
    name.chop(1);
  return name;
}

void PopupMicrophoneWidget::_buildInputMenu()
{
  _inputMenu = DeviceMenu::create(this);
  const QString defaultInput = _recorder->defaultAudioInput();
  const QStringList inputs = _recorder->audioInputs();
  for (const QString &name : inputs)
    DeviceMenu::addDevice(_inputMenu, inputLabel(name), name, name == defaultInput);
  if (inputs.isEmpty())
    return;
  if (inputs.contains(defaultInput)) {
    _selectInput(defaultInput);
  } else {
    _inputMenu->actions().first()->setChecked(true);
    _selectInput(inputs.first());
  }
}

void PopupMicrophoneWidget::_selectInput(const QString &name)
{
  _currentInput = name;
  _phase = Phase::Idle;
  _warmUpRunning = false;
  _recorder->stop();
  const int generation = ++_warmUpGeneration;
  QTimer::singleShot(100, this, [this, name, generation] { _startWarmUp(name, generation); });
}

void PopupMicrophoneWidget::_startWarmUp(const QString &name, int generation)
{
  if (generation != _warmUpGeneration || _phase != Phase::Idle)
    return;
  _phase = Phase::WarmUp;
  _recorder->setAudioInput(name);
  _recorder->setQuality(QMultimedia::LowQuality);
  const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  // A fresh account has no cache folder yet, and the recorder does not make one.
  QDir().mkpath(cache);
  _recorder->setOutputLocation(QUrl::fromLocalFile(cache + QDir::separator() + "dummy.wav"));
  _watchStart(Phase::WarmUp);
  _recorder->record();
}

void PopupMicrophoneWidget::_watchStart(Phase phase)
{
  const int serial = ++_startSerial;
  QTimer::singleShot(startWaitMs, this, [this, serial, phase] {
    if (serial != _startSerial || _phase != phase)
      return;
    if (phase == Phase::WarmUp && !_warmUpRunning) {
      _failWarmUp();
    } else if (phase == Phase::Take && !_takeRunning) {
      _takeFailed = true;
      _finishTake();
    }
  });
}

void PopupMicrophoneWidget::_failWarmUp()
{
  qDebug() << "No microphone: the warm-up recording did not start" << _recorder->errorString();
  _phase = Phase::Idle;
  _warmUpRunning = false;
  _microphoneButton->setText(tr("No microphone"));
  _recorder->stop();
}

void PopupMicrophoneWidget::microphoneButtonOnClick()
{
  // Switching inputs stops the recorder: never while a take starts or runs.
  if (!_inputMenu || _inputMenu->actions().isEmpty() || _phase == Phase::TakeStarting || _phase == Phase::Take)
    return;
  if (QAction *chosen = DeviceMenu::exec(_inputMenu, _microphoneButton))
    updateMicrophoneDevice(chosen);
}

void PopupMicrophoneWidget::updateMicrophoneDevice(QAction *action)
{
  _selectInput(action->data().toString());
}

void PopupMicrophoneWidget::recordButtonOnClick()
{
  if (_recording) {
    _recorder->stop();
    return;
  }
  if (!_inputMenu || _inputMenu->actions().isEmpty() || _phase != Phase::WarmUp || !_warmUpRunning)
    return;
  _recordButton->setEnabled(false);
  _cancelButton->setEnabled(false);
  _phase = Phase::TakeStarting;
  _recorder->stop();
  QTimer::singleShot(100, this, &PopupMicrophoneWidget::_startTake);
}

void PopupMicrophoneWidget::_startTake()
{
  if (_phase != Phase::TakeStarting)
    return;
  _phase = Phase::Take;
  _takeRunning = false;
  _takeFailed = false;
  // Levels of an earlier, failed take do not belong to this one.
  _meterValues.clear();
  emit popupMicrophoneWidgetGetStartTime(this, &_startTime);
  _recorder->setQuality(QMultimedia::HighQuality);
  _takeFile = QStandardPaths::writableLocation(QStandardPaths::TempLocation) + QDir::separator() +
              QString::number(QDateTime::currentMSecsSinceEpoch()) + ".wav";
  _recorder->setOutputLocation(QUrl::fromLocalFile(_takeFile));
  _watchStart(Phase::Take);
  _recorder->record();
}

void PopupMicrophoneWidget::onStateChanged(QMediaRecorder::State state)
{
  // A report that no longer matches the recorder is a late one of an earlier start.
  if (state != _recorder->state())
    return;
  switch (_phase) {
  case Phase::WarmUp:
    if (state == QMediaRecorder::RecordingState) {
      _warmUpRunning = true;
      _microphoneButton->setText(inputLabel(_currentInput));
    } else if (state == QMediaRecorder::StoppedState) {
      _failWarmUp();
    }
    break;
  case Phase::Take:
    if (state == QMediaRecorder::RecordingState) {
      _takeRunning = true;
      _recordButton->setEnabled(true);
      if (!_blinkTimer) {
        _blinkTimer = new QTimer(this);
        connect(_blinkTimer, &QTimer::timeout, this, &PopupMicrophoneWidget::updateRecording);
      }
      _blinkTimer->start(500);
      _recording = true;
    } else if (state == QMediaRecorder::PausedState) {
      if (_blinkTimer)
        _blinkTimer->stop();
      _setRecordIcon(":/images/voice_recording_1");
    } else if (_takeRunning || _takeFailed) {
      _finishTake();
    }
    break;
  case Phase::Idle:
  case Phase::TakeStarting:
    break;
  }
}

bool PopupMicrophoneWidget::_takeRecorded() const
{
  if (_takeFailed || !_takeRunning)
    return false;
  const QUrl actual = _recorder->actualLocation();
  const QString written = actual.isEmpty() ? _recorder->outputLocation().toLocalFile() : actual.toLocalFile();
  if (QFileInfo(written) != QFileInfo(_takeFile))
    return false;
  const QFileInfo file(_takeFile);
  return file.exists() && file.size() > 0;
}

void PopupMicrophoneWidget::_finishTake()
{
  const bool recorded = _takeRecorded();
  _phase = Phase::Idle;
  _recording = false;
  _takeRunning = false;
  _recordButton->setEnabled(true);
  _cancelButton->setEnabled(true);
  if (_blinkTimer)
    _blinkTimer->stop();
  _blinkPhase = 0;
  _setRecordIcon(":/images/voice_recording_1");
  if (recorded) {
    emit popupMicrophoneWidgetSoundCaptured(this, _takeFile, _meterValues);
    return;
  }
  qDebug() << "The take recorded nothing usable:" << _takeFile;
  _selectInput(_currentInput);
}

void PopupMicrophoneWidget::updateRecording()
{
  const bool wasOne = _blinkPhase == 1;
  _blinkPhase = 1 - _blinkPhase;
  _setRecordIcon(wasOne ? ":/images/voice_recording_1" : ":/images/voice_recording_2");
}

void PopupMicrophoneWidget::_setRecordIcon(const QString &path)
{
  _recordButton->setIcon(QIcon(path));
}

void PopupMicrophoneWidget::processBuffer(const QAudioBuffer &buffer)
{
  const QVector<double> levels = AudioLevels::levels(buffer);
  if (levels.isEmpty())
    return;
  const float level = float(levels.first());
  _meterWidget->setLevel(level);
  if (!_recording)
    return;
  emit popupMicrophoneWidgetRequestScrollToTime(this, float(_recorder->duration() / 1000.0 + _startTime));
  _meterValues.append(level);
}

void PopupMicrophoneWidget::displayErrorMessage()
{
  if (_phase == Phase::WarmUp) {
    _failWarmUp();
    return;
  }
  // Between takes (after a failed warm-up, while an input is being switched) the
  // "No microphone" text says enough; a box per report would pile up.
  if (_phase == Phase::Idle) {
    qDebug() << "Recorder error between takes:" << _recorder->errorString();
    return;
  }
  _takeFailed = true;
  QPointer<PopupMicrophoneWidget> alive(this);
  WarningBox::show(this, tr("Error Occurs"), _recorder->errorString());
  if (!alive)
    return;
  // A recorder that reports its error already stopped sends no further Stopped.
  if (_phase == Phase::Take && _recorder->state() == QMediaRecorder::StoppedState)
    _finishTake();
}

void PopupMicrophoneWidget::cancelButtonOnClick()
{
  dismiss();
}
