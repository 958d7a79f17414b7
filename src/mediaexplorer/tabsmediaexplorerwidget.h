#pragma once

#include "mediaexplorerwidget.h"

#include <QList>
#include <QStringList>

class QPushButton;
class QScrollArea;
class RoundTabWidget;

// The desktop editor's explorer: the pages above a strip of five text tabs. The current tab
// is kept per project.
class TabsMediaExplorerWidget : public MediaExplorerWidget
{
  Q_OBJECT
public:
  TabsMediaExplorerWidget(const QString &projectDir, QWidget *parent);
  ~TabsMediaExplorerWidget() override;

  void selectTab(int index);
  void showCurrentTabPage();

  int currentIndex() const { return _currentIndex; }
  QList<QPushButton *> tabButtons() const { return _tabButtons; }
  RoundTabWidget *marker() const { return _marker; }
  QScrollArea *scrollArea() const { return _scrollArea; }

public slots:
  void onLocButtonClicked();

protected:
  void resizeEvent(QResizeEvent *event) override;

private:
  void _layoutTabs();

  QScrollArea *_scrollArea = nullptr;
  QWidget *_scrollAreaWidget = nullptr;
  RoundTabWidget *_marker = nullptr;
  QStringList _tabTitles;
  QList<QPushButton *> _tabButtons;
  int _currentIndex = -1;
};
