#pragma once

#include <QStyledItemDelegate>

// Paints the rows of the navigation list in one of two display styles.
class LeftsideListWidgetItemDelegate : public QStyledItemDelegate
{
  Q_OBJECT
public:
  explicit LeftsideListWidgetItemDelegate(QObject *parent = nullptr);

  int displayStyle() const { return _displayStyle; }
  void setDisplayStyle(int style) { _displayStyle = style; }

  void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

  // The largest point size, from the font's own down to 6, at which the text fits the width
  // without eliding.
  static QFont fittingFont(const QFont &font, const QString &text, int width);

private:
  int _displayStyle = 0;
};
