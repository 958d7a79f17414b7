#pragma once

#include <QList>
#include <QWidget>

class QLabel;
class QScrollArea;
class TooltipButton;

// A scrolling strip of drawing tool buttons, laid out in a row or a column by its shape,
// or as a grid of 50 x 50 cells. A click reaches `onCommand` 200 ms later, after the
// button's pressed look has shown.
class DrawingCommonToolsWidget : public QWidget
{
  Q_OBJECT
public:
  explicit DrawingCommonToolsWidget(QWidget *parent = nullptr);

  TooltipButton *addButton(const QString &normalIcon, const QString &selectedIcon, int cmdId);
  // With the command's own pictures.
  TooltipButton *addCommandButton(int cmdId);
  TooltipButton *findButton(int cmdId) const;
  void deselectAll();
  QSize sizeForWidth(int width) const;

  const QList<TooltipButton *> &buttons() const { return _buttons; }
  QScrollArea *scrollArea() const { return _scrollArea; }
  QLabel *startIndicator() const { return _startIndicator; }
  QLabel *endIndicator() const { return _endIndicator; }
  bool isGridLayout() const { return _gridLayout; }

public slots:
  void onButtonClicked();

protected:
  virtual void onCommand(int cmdId, TooltipButton *button) = 0;
  void setGridLayout(bool grid);
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void showEvent(QShowEvent *event) override;

private:
  void _layoutButtons();
  void _layoutStrip();
  void _layoutGrid();

  QScrollArea *_scrollArea = nullptr;
  QWidget *_content = nullptr;
  QLabel *_startIndicator = nullptr;
  QLabel *_endIndicator = nullptr;
  QList<TooltipButton *> _buttons;
  bool _gridLayout = false;
};
