#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QSlider;
class QVBoxLayout;
class SwitchButton;

// The "Settings" page of the start window: edits the user settings store directly and writes
// it to disk when the page is hidden.
class SettingsWidget : public QWidget
{
  Q_OBJECT
public:
  explicit SettingsWidget(QWidget *parent = nullptr);

  QString title() const { return tr("Settings"); }

signals:
  void issueShowTextMessage(QString message);
  void workingDirectoryChanged();

public slots:
  void onSegmentPropertiesSwitchValueChanged(bool value);
  void onAutoAlignSwitchValueChanged(bool value);
  void onHardwareAccelSwitchValueChanged(bool value);
  void onAutoCopyAssetsSwitchValueChanged(bool value);
  void onSliderValueChanged(int value);
  void onSliderReleased();
  void onSegmentPropertiesResetButtonClicked();
  void onWorkingDirectoryButtonClicked();

protected:
  void hideEvent(QHideEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;

private:
  void _buildForm();
  QWidget *_addPanel(const char *name, int height);
  void _addSeparator(const char *name);
  QLabel *_label(QWidget *panel, const char *name, const QString &text);
  QSlider *_durationPanel(const char *prefix, const QString &title, float seconds);
  SwitchButton *_switchPanel(const char *panelName, const char *prefix, int height, const QString &title,
                             const QString &detail, bool value);
  void _refreshHardwareDetail();
  QLabel *_valueLabelOf(QSlider *slider) const;
  void _storeDuration(QSlider *slider);

  QVBoxLayout *_contents = nullptr;
  QWidget *_layoutPanel = nullptr;
  QLabel *_layoutValueLabel = nullptr;
  QLabel *_hardwareDetailLabel = nullptr;
  QLabel *_workingDirectoryValueLabel = nullptr;
  bool _layoutRowPressed = false;
};
