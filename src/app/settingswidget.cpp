#include "settingswidget.h"

#include "browserdialogs.h"
#include "dialogprovider.h"
#include "editorwindows.h"
#include "projectmanager.h"
#include "switchbutton.h"
#include "usersettings.h"
#include "userstyledefaults.h"
#include "util.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QVBoxLayout>
#include <cmath>

namespace {
const char *const kSliderLabel = "valueLabel";

QString secondsText(int sliderValue)
{
  return QString::asprintf("%.1fs", sliderValue / 10.0);
}

void makeSmaller(QLabel *label, const char *style)
{
  label->setStyleSheet(style);
  QFont font = label->font();
  font.setPointSize(font.pointSize() - 1);
  label->setFont(font);
}
} // namespace

SettingsWidget::SettingsWidget(QWidget *parent) : QWidget(parent)
{
  _buildForm();
}

void SettingsWidget::_buildForm()
{
  setObjectName("SettingsWidget");
  setStyleSheet("QWidget{background-color: rgb(31,32,35); color: white; border: 0px;}");
  auto *outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  auto *scrollArea = new QScrollArea(this);
  scrollArea->setObjectName("scrollArea");
  scrollArea->setWidgetResizable(true);
  Util::applyScrollBarStyleSheet(scrollArea->verticalScrollBar());
  auto *contents = new QWidget;
  contents->setObjectName("scrollAreaContents");
  _contents = new QVBoxLayout(contents);
  _contents->setSpacing(0);
  _contents->setContentsMargins(20, 10, 20, 10);
  scrollArea->setWidget(contents);
  outer->addWidget(scrollArea);
  UserSettings *settings = UserSettings::instance();

  // The editor layout row: built, but not offered (only the desktop layout exists).
  _layoutPanel = _addPanel("videoEditorLayoutPanel", 50);
  _label(_layoutPanel, "videoEditorLayoutLabel", tr("Video Editor UI Layout"));
  _layoutValueLabel = _label(_layoutPanel, "videoEditorLayoutValueLabel", tr("Desktop"));
  _layoutValueLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  makeSmaller(_layoutValueLabel, "QLabel{color: rgb(162,162,162);}");
  _layoutValueLabel->setText(settings->editorUI() == 1 ? tr("Desktop") : tr("Classic"));
  _addSeparator("videoEditorLayoutSeparator");
  _layoutPanel->hide();
  findChild<QWidget *>("videoEditorLayoutSeparator")->hide();

  _durationPanel("photoDuration", tr("Default Photo Duration"), settings->photoDuration());
  _durationPanel("textDuration", tr("Default Text Duration"), settings->textDuration());
  _durationPanel("selfDrawDuration", tr("Default Self-Drawing Duration"), settings->drawingDuration());
  _addSeparator("durationSeparator");

  SwitchButton *segmentSwitch =
      _switchPanel("segmentPropertiesPanel", "segmentProperties", 120, tr("Auto Save/Apply Segment Properties"),
                   tr("Save segment properties and apply to the newly added segments"), settings->applyUserHabits());
  connect(segmentSwitch, &SwitchButton::valueChanged, this, &SettingsWidget::onSegmentPropertiesSwitchValueChanged);
  auto *resetButton = new QPushButton(tr("Reset Saved Segment Properties"), segmentSwitch->parentWidget());
  resetButton->setObjectName("segmentPropertiesResetButton");
  resetButton->setStyleSheet("QPushButton{background-color: transparent; color: rgb(54,200,255); text-align: left;}"
                             "QPushButton:pressed{color: gray;}");
  static_cast<QGridLayout *>(segmentSwitch->parentWidget()->layout())->addWidget(resetButton, 2, 0);
  connect(resetButton, &QPushButton::clicked, this, &SettingsWidget::onSegmentPropertiesResetButtonClicked);
  _addSeparator("segmentPropertiesSeparator");

  SwitchButton *alignSwitch =
      _switchPanel("autoAlignPanel", "autoAlign", 70, tr("Auto Align When Moving Objects"),
                   tr("Show guides when moving object to center/edges"), settings->autoDragDropAlign());
  connect(alignSwitch, &SwitchButton::valueChanged, this, &SettingsWidget::onAutoAlignSwitchValueChanged);
  _addSeparator("autoAlignSeparator");

  SwitchButton *hardwareSwitch =
      _switchPanel("hardwareAccelPanel", "hardwareAccel", 70, tr("Hardware Acceleration"),
                   tr("Enabled: high performance, loss compatibility"), settings->hardwareCodec());
  connect(hardwareSwitch, &SwitchButton::valueChanged, this, &SettingsWidget::onHardwareAccelSwitchValueChanged);
  _hardwareDetailLabel = findChild<QLabel *>("hardwareAccelDetailLabel");
  _addSeparator("hardwareAccelSeparator");

  QWidget *directoryPanel = _addPanel("workingDirectoryPanel", 70);
  auto *directoryLayout = static_cast<QGridLayout *>(directoryPanel->layout());
  directoryLayout->addWidget(_label(directoryPanel, "workingDirectoryLabel", tr("Working Directory")), 0, 0);
  _workingDirectoryValueLabel = _label(directoryPanel, "workingDirectoryValueLabel", "/Users/name/Movies/Tavo REN");
  _workingDirectoryValueLabel->setStyleSheet("QLabel{color: white;}");
  _workingDirectoryValueLabel->setText(QDir::toNativeSeparators(settings->workingDir()));
  directoryLayout->addWidget(_workingDirectoryValueLabel, 1, 0);
  auto *directoryButton = new QPushButton(directoryPanel);
  directoryButton->setObjectName("workingDirectoryButton");
  directoryButton->setIcon(QIcon(":/images/export/export_folder"));
  directoryButton->setIconSize(QSize(24, 24));
  directoryButton->setStyleSheet("QPushButton{background-color: transparent;}");
  directoryLayout->addWidget(directoryButton, 0, 1, 2, 1, Qt::AlignRight | Qt::AlignVCenter);
  connect(directoryButton, &QPushButton::clicked, this, &SettingsWidget::onWorkingDirectoryButtonClicked);
  _addSeparator("workingDirectorySeparator");

  SwitchButton *copySwitch =
      _switchPanel("hardwareAccelPanel_2", "autoCopyAssets", 70, tr("Auto Copy Files to Movie Directory"),
                   tr("Copy files to project directory when adding media to a movie"), settings->autoCopyAssets());
  connect(copySwitch, &SwitchButton::valueChanged, this, &SettingsWidget::onAutoCopyAssetsSwitchValueChanged);
  _contents->addStretch(1);

  _refreshHardwareDetail();
}

QWidget *SettingsWidget::_addPanel(const char *name, int height)
{
  auto *panel = new QWidget;
  panel->setObjectName(name);
  if (height > 0)
    panel->setFixedHeight(height);
  auto *layout = new QGridLayout(panel);
  layout->setContentsMargins(0, 8, 0, 8);
  layout->setColumnStretch(0, 1);
  _contents->addWidget(panel);
  return panel;
}

void SettingsWidget::_addSeparator(const char *name)
{
  auto *separator = new QWidget;
  separator->setObjectName(name);
  separator->setFixedHeight(1);
  separator->setStyleSheet("QWidget{background-color: rgb(44,46,50);}");
  _contents->addWidget(separator);
}

QLabel *SettingsWidget::_label(QWidget *panel, const char *name, const QString &text)
{
  auto *label = new QLabel(text, panel);
  label->setObjectName(name);
  if (panel == _layoutPanel) {
    auto *layout = static_cast<QGridLayout *>(panel->layout());
    layout->addWidget(label, 0, layout->count());
  }
  return label;
}

QSlider *SettingsWidget::_durationPanel(const char *prefix, const QString &title, float seconds)
{
  const QString name = QString::fromLatin1(prefix);
  QWidget *panel = _addPanel((name + "Panel").toLatin1().constData(), 80);
  auto *layout = static_cast<QGridLayout *>(panel->layout());
  layout->addWidget(_label(panel, (name + "Label").toLatin1().constData(), title), 0, 0);
  QLabel *value = _label(panel, (name + "ValueLabel").toLatin1().constData(), QString());
  value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  makeSmaller(value, "QLabel{color: rgb(162,162,162);}");
  layout->addWidget(value, 0, 1);
  auto *slider = new QSlider(Qt::Horizontal, panel);
  slider->setObjectName(name + "Slider");
  slider->setRange(1, 100);
  slider->setValue(int(std::trunc(seconds * 10)));
  slider->setProperty(kSliderLabel, QVariant::fromValue<QObject *>(value));
  value->setText(secondsText(slider->value()));
  layout->addWidget(slider, 1, 0, 1, 2);
  connect(slider, &QSlider::valueChanged, this, &SettingsWidget::onSliderValueChanged);
  connect(slider, &QSlider::sliderReleased, this, &SettingsWidget::onSliderReleased);
  return slider;
}

SwitchButton *SettingsWidget::_switchPanel(const char *panelName, const char *prefix, int height,
                                           const QString &title, const QString &detail, bool value)
{
  const QString name = QString::fromLatin1(prefix);
  QWidget *panel = _addPanel(panelName, height);
  auto *layout = static_cast<QGridLayout *>(panel->layout());
  layout->addWidget(_label(panel, (name + "Label").toLatin1().constData(), title), 0, 0);
  QLabel *detailLabel = _label(panel, (name + "DetailLabel").toLatin1().constData(), detail);
  makeSmaller(detailLabel, "QLabel{color: gray;}");
  layout->addWidget(detailLabel, 1, 0);
  auto *button = new SwitchButton(panel);
  button->setObjectName(name + "SwitchButton");
  button->setFixedSize(50, 26);
  button->setOnColor(QColor(54, 200, 255));
  button->setOffColor(QColor(25, 26, 28));
  button->setKnobColor(Qt::white);
  button->setDisabledOnColor(QColor(44, 105, 133));
  button->setDisabledOffColor(QColor(25, 26, 28));
  button->setDisabledKnobColor(QColor(128, 128, 128));
  button->setValue(value);
  layout->addWidget(button, 0, 1, 2, 1, Qt::AlignRight | Qt::AlignVCenter);
  return button;
}

QLabel *SettingsWidget::_valueLabelOf(QSlider *slider) const
{
  return slider ? qobject_cast<QLabel *>(slider->property(kSliderLabel).value<QObject *>()) : nullptr;
}

void SettingsWidget::_refreshHardwareDetail()
{
  _hardwareDetailLabel->setText(UserSettings::instance()->hardwareCodec()
                                    ? tr("Enabled: high performance, loss compatibility")
                                    : tr("Disabled: better compatibility, loss performance"));
}

void SettingsWidget::onSegmentPropertiesSwitchValueChanged(bool value)
{
  UserSettings::instance()->setApplyUserHabits(value);
}

void SettingsWidget::onAutoAlignSwitchValueChanged(bool value)
{
  UserSettings::instance()->setAutoDragDropAlign(value);
}

void SettingsWidget::onHardwareAccelSwitchValueChanged(bool value)
{
  UserSettings::instance()->setHardwareCodec(value);
  _refreshHardwareDetail();
}

void SettingsWidget::onAutoCopyAssetsSwitchValueChanged(bool value)
{
  UserSettings::instance()->setAutoCopyAssets(value);
}

void SettingsWidget::onSliderValueChanged(int value)
{
  auto *slider = qobject_cast<QSlider *>(sender());
  if (QLabel *label = _valueLabelOf(slider))
    label->setText(secondsText(value));
  // Only a drag waits for its release; a step by key, wheel or track click is final at once,
  // or the label would show a duration the setting never got.
  if (slider && !slider->isSliderDown())
    _storeDuration(slider);
}

void SettingsWidget::onSliderReleased()
{
  _storeDuration(qobject_cast<QSlider *>(sender()));
}

void SettingsWidget::_storeDuration(QSlider *slider)
{
  if (!slider)
    return;
  const float seconds = slider->value() / 10.0f;
  UserSettings *settings = UserSettings::instance();
  if (slider->objectName() == "photoDurationSlider")
    settings->setPhotoDuration(seconds);
  else if (slider->objectName() == "textDurationSlider")
    settings->setTextDuration(seconds);
  else if (slider->objectName() == "selfDrawDurationSlider")
    settings->setDrawingDuration(seconds);
}

void SettingsWidget::onSegmentPropertiesResetButtonClicked()
{
  QMessageBox box(window());
  Util::applyDialogStyleSheet(&box);
  box.setIcon(QMessageBox::Question);
  box.setText(tr("Do you really want to reset the saved segment properties?"));
  box.addButton(tr("Cancel"), QMessageBox::RejectRole);
  QPushButton *reset = box.addButton(tr("Reset"), QMessageBox::AcceptRole);
  if (DialogProvider::instance()->execMessageBox(&box) != reset)
    return;
  UserStyleDefaults::reset();
  emit issueShowTextMessage(tr("Segment properties reset successfully"));
}

void SettingsWidget::onWorkingDirectoryButtonClicked()
{
  // The editor finds its project through the working directory at every save: moving it
  // away would split the open movie between two folders.
  if (EditorWindows::openWindow()) {
    BrowserDialogs::warning(this, tr("Working Directory"),
                            tr("A movie is open in the editor. Close it before changing the working directory."));
    return;
  }
  const QString chosen = DialogProvider::instance()->getExistingDirectory(
      this, tr("Select working directory"), UserSettings::instance()->workingDir(), QFileDialog::ShowDirsOnly);
  if (chosen.isEmpty())
    return;
  const QString path = QDir::toNativeSeparators(chosen);
  _workingDirectoryValueLabel->setText(path);
  UserSettings::instance()->setWorkingDir(path);
  ProjectManager::setWorkingDirectory(path);
  emit workingDirectoryChanged();
}

void SettingsWidget::hideEvent(QHideEvent *event)
{
  QWidget::hideEvent(event);
  UserSettings::instance()->save();
}

void SettingsWidget::mousePressEvent(QMouseEvent *event)
{
  if (_layoutPanel->isVisible() && _layoutPanel->geometry().contains(_layoutPanel->parentWidget()->mapFrom(this, event->pos()))) {
    _layoutPanel->setStyleSheet("QWidget{background-color:rgb(44,46,50);}");
    _layoutRowPressed = true;
  }
  QWidget::mousePressEvent(event);
}

void SettingsWidget::mouseReleaseEvent(QMouseEvent *event)
{
  QWidget::mouseReleaseEvent(event);
  if (!_layoutRowPressed)
    return;
  _layoutPanel->setStyleSheet("QWidget{background-color: transparent;}");
  _layoutRowPressed = false;
  QMenu menu(this);
  menu.setWindowFlags(menu.windowFlags() | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
  menu.setAttribute(Qt::WA_TranslucentBackground);
  menu.setStyleSheet("QMenu{background-color: rgba(7,8,10,230); color: white;}");
  QAction *desktop = menu.addAction(tr("Desktop"));
  QAction *classic = menu.addAction(tr("Classic"));
  QAction *chosen = DialogProvider::instance()->execMenu(&menu, event->globalPos());
  if (!chosen)
    return;
  UserSettings::instance()->setEditorUI(chosen == desktop ? 1 : 0);
  _layoutValueLabel->setText(chosen == classic ? tr("Classic") : tr("Desktop"));
}
