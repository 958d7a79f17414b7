#pragma once

#include "commonpopup.h"

#include <QPointer>

class PopupMainWidget;
class QPushButton;
class QVBoxLayout;

// What to add to a track: a balloon pointing at the track's add button with "Choose
// File...", "Camera", "Microphone", "Text" and "Self-Draw", each reported by its own
// signal. The track kind restricts the choices; the owner dismisses the popup.
class PopupMediaTypeSelectionWidget : public CommonPopup
{
  Q_OBJECT
public:
  explicit PopupMediaTypeSelectionWidget(QWidget *parent);

  // 0 all choices, 3 only "Choose File...", anything else "Choose File..." and "Camera".
  // Only ever disables: a popup serves one opening.
  void setRestriction(int restriction);
  int restriction() const { return _restriction; }

  // The balloon follows anchorWidget (its right edge's middle), not an anchor point.
  void showPopupAt(QWidget *parent, const QString &title, QWidget *anchorWidget);

  void initialize() override;
  void showPopup(QWidget *parent, const QString &title, const QPoint &anchor) override;
  void layoutAt(const QPoint &anchor) override;

  PopupMainWidget *balloon() const;
  QPushButton *chooseFileButton() const { return _chooseFileButton; }
  QPushButton *cameraButton() const { return _cameraButton; }
  QPushButton *microphoneButton() const { return _microphoneButton; }
  QPushButton *textButton() const { return _textButton; }
  QPushButton *selfdrawButton() const { return _selfdrawButton; }

signals:
  void popupMediaTypeSelectionWidgetDidClickSelectFile(PopupMediaTypeSelectionWidget *mediaTypeWidget);
  void popupMediaTypeSelectionWidgetDidClickCamera(PopupMediaTypeSelectionWidget *mediaTypeWidget);
  void popupMediaTypeSelectionWidgetDidClickMicrophone(PopupMediaTypeSelectionWidget *mediaTypeWidget);
  void popupMediaTypeSelectionWidgetDidClickText(PopupMediaTypeSelectionWidget *mediaTypeWidget);
  void popupMediaTypeSelectionWidgetDidClickSelfDraw(PopupMediaTypeSelectionWidget *mediaTypeWidget);

public slots:
  void onMediaTypeButtonClicked();

private:
  void _buildForm();

  QPointer<QWidget> _anchorWidget;
  int _restriction = 0;
  QVBoxLayout *_mainVerticalLayout = nullptr;
  QPushButton *_chooseFileButton = nullptr;
  QPushButton *_cameraButton = nullptr;
  QPushButton *_microphoneButton = nullptr;
  QPushButton *_textButton = nullptr;
  QPushButton *_selfdrawButton = nullptr;
};
