#pragma once

#include "mediaexplorerwidget.h"

class RoundTabWidget;
class TooltipButton;

// The explorer framed by two narrow button columns: back and media-kind filters on the left,
// three locations with a rounded marker behind the chosen one on the right. The buttons only
// change which of them is highlighted.
class HorizontalMediaExplorerWidget : public MediaExplorerWidget
{
  Q_OBJECT
public:
  HorizontalMediaExplorerWidget(const QString &projectDir, QWidget *parent);

  TooltipButton *button(const QString &objectName) const;
  RoundTabWidget *marker() const { return _marker; }

public slots:
  void onBackButtonClicked();
  void onFilterPictureButtonClicked();
  void onFilterVideoButtonClicked();
  void onFilterMusicButtonClicked();
  void onLocPhotoGalleryButtonClicked();
  void onLocInAppLibraryButtonClicked();
  void onLocFileSharingButtonClicked();

protected:
  void resizeEvent(QResizeEvent *event) override;

private:
  TooltipButton *_addButton(QWidget *panel, const QString &name, const QString &icon, bool selectable,
                            bool disableable, const QString &toolTip, int iconSide);
  // Exactly one of the group is selected.
  static void _selectOne(const QList<TooltipButton *> &group, TooltipButton *selected);
  void _moveLocationMarker();

  QWidget *_rightPanel = nullptr;
  QList<TooltipButton *> _filterButtons;
  QList<TooltipButton *> _locationButtons;
  TooltipButton *_backButton = nullptr;
  RoundTabWidget *_marker = nullptr;
};
