#pragma once

#include <QList>
#include <QWidget>

class QPixmap;
class QPushButton;
class QScrollArea;

// The pattern page of the drawing fill popup: a flowing grid of square texture buttons and
// "Custom Picture...", which takes any picture file, fits it to the canvas and saves it as
// the custom pattern. The choice goes out as a picture path.
class TextureGridWidget : public QWidget
{
  Q_OBJECT
public:
  TextureGridWidget(const QStringList &picturePaths, QWidget *parent);

  const QList<QPushButton *> &gridButtons() const { return _gridButtons; }
  QScrollArea *scrollArea() const { return _scrollArea; }
  QPushButton *customButton() const { return _customButton; }

  // Where a custom picture is saved, in the cache folder.
  static QString customPatternPath();

signals:
  void textureGridWidgetPatternDidSelect(TextureGridWidget *textureWidget, QString imgRes);
  // Asked before a custom picture is fitted; connect directly and fill the canvas size.
  void textureGridWidgetGetCanvasSize(TextureGridWidget *textureWidget, QSize *size);

public slots:
  void onGridButtonClicked();
  void onCustomButtonClicked();

protected:
  void resizeEvent(QResizeEvent *event) override;

private:
  void _buildForm();
  void _addGridButton(const QString &path, int number);
  void _saveCustomPattern(QPixmap picture);

  QList<QPushButton *> _gridButtons;
  QScrollArea *_scrollArea = nullptr;
  QWidget *_scrollAreaWidgetContents = nullptr;
  QPushButton *_customButton = nullptr;
};
