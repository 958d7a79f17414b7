#pragma once

#include <QObject>
#include <QString>

class QTranslator;

// Installs the interface translation from the resources (":/languages/<code>.qm"), and beside
// it Qt's own translation of its dialogs and standard texts when the system has one.
class MultiLanguage : public QObject
{
  Q_OBJECT
public:
  explicit MultiLanguage(QObject *parent = nullptr);

  // A code such as "zh_CN". Without that translation the current one stays.
  void load(const QString &language);
  QString currentLanguage() const { return m_language; }

private:
  QTranslator *m_translator = nullptr;
  QTranslator *m_qtTranslator = nullptr;
  QString m_language;
};
