#pragma once

#include <QScrollArea>

class QPushButton;

// The column of row header buttons left of the timeline. A button shows its row's kind of
// media and reports clicks by its tag.
class GutterScrollArea : public QScrollArea
{
  Q_OBJECT
public:
  explicit GutterScrollArea(QWidget *parent = nullptr);

  int addTrackButton();
  QPushButton *buttonByTag(int tag) const;
  bool isLastTrackButton(int tag) const;
  void setTrackType(int tag, const QString &type);
  void updateTrackButtons(const QList<int> &tags, const QStringList &types);
  void removeTrackButton(int tag);
  void removeTrackButtons(const QList<int> &tags);
  void removeAllTrackButtons();
  void setVerticalOffset(float y);

  int buttonCount() const { return _buttons.size(); }
  QPushButton *buttonAt(int index) const { return _buttons.value(index, nullptr); }

signals:
  void gutterAreaFunctionButtonPressed(int tag);

private slots:
  void _onFunctionButtonPressed();

private:
  void _setIcon(QPushButton *button, const QString &type);
  void _animateToTargets(const QHash<QPushButton *, QPoint> &targets);

  QList<QPushButton *> _buttons;
};
