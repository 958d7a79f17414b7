#pragma once

#include <QTextEdit>

// A text edit that pastes plain text only.
class TextEditWidget : public QTextEdit
{
  Q_OBJECT
public:
  explicit TextEditWidget(QWidget *parent = nullptr);

  bool wasPasted() const { return _pasted; }

protected:
  void insertFromMimeData(const QMimeData *source) override;

private:
  bool _pasted = false;
};
