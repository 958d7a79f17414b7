#pragma once

#include <QHash>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

// A rounded bar of equal segments, each with a title or an icon; exactly one is selected.
class SegmentedControl : public QWidget
{
  Q_OBJECT
public:
  explicit SegmentedControl(QWidget *parent = nullptr);

  void setSegmentTitles(const QStringList &titles);
  QString segmentTitle(int index) const;
  int count() const { return _titles.size(); }
  void setCurrentIndex(int index);
  int currentIndex() const { return _currentIndex; }
  void setSegmentIcons(int index, const QPixmap &normal, const QPixmap &selected);

  void setBackgroundColor(const QColor &color);
  void setSelectedSegmentColor(const QColor &color);
  void setTextColor(const QColor &color);
  void setSelectedTextColor(const QColor &color);
  void setIconSize(const QSize &size);
  void setBorderWidth(float width);
  void setCornerRadius(float radius);

  // The segment under x, or -1 when x is outside the control.
  int segmentAt(const QPoint &pos) const;

signals:
  void segmentIndexChanged(SegmentedControl *segmentControl, int index);

protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;

private:
  QColor _backgroundColor = QColor(0, 0, 0);
  QColor _selectedColor = Qt::white;
  QColor _textColor = Qt::white;
  QColor _selectedTextColor = Qt::black;
  QStringList _titles;
  int _currentIndex = 0;
  QHash<int, QPixmap> _normalIcons;
  QHash<int, QPixmap> _selectedIcons;
  QSize _iconSize = QSize(16, 16);
  QPoint _pressedPos = QPoint(-1, -1);
  float _borderWidth = 2.0f;
  bool _pressed = false;
  float _cornerRadius = 5.0f;
};
