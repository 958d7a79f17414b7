#include "multilanguage.h"

#include <QCoreApplication>
#include <QFile>
#include <QTranslator>

// The translations live in this static library: pull them into the program.
static void initLanguageResources()
{
  Q_INIT_RESOURCE(languages);
}

MultiLanguage::MultiLanguage(QObject *parent) : QObject(parent)
{
  initLanguageResources();
}

void MultiLanguage::load(const QString &language)
{
  if (language == m_language)
    return;
  const QString path = QString(":/languages/%1.qm").arg(language);
  if (!QFile::exists(path))
    return;
  auto *translator = new QTranslator(this);
  if (!translator->load(path)) {
    delete translator;
    return;
  }
  m_language = language;
  if (m_translator) {
    QCoreApplication::removeTranslator(m_translator);
    delete m_translator;
  }
  m_translator = translator;
  QCoreApplication::installTranslator(m_translator);
}
