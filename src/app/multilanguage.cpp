#include "multilanguage.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QTranslator>

// Qt's own texts on the buttons of our message boxes; Qt's translation is a separate system
// package that may be missing, so ours carries them too (generic and GNOME platform themes).
Q_DECL_UNUSED static const char *const kQtButtonTexts[] = {
  QT_TRANSLATE_NOOP("QPlatformTheme", "OK"),  QT_TRANSLATE_NOOP("QPlatformTheme", "&Yes"),
  QT_TRANSLATE_NOOP("QPlatformTheme", "&No"), QT_TRANSLATE_NOOP("QPlatformTheme", "Cancel"),
  QT_TRANSLATE_NOOP("QGnomeTheme", "&OK"),    QT_TRANSLATE_NOOP("QGnomeTheme", "&Cancel"),
};

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
  if (m_qtTranslator) {
    QCoreApplication::removeTranslator(m_qtTranslator);
    delete m_qtTranslator;
    m_qtTranslator = nullptr;
  }
  // Qt's translation goes in first: the last installed is asked first, so ours keeps the
  // final word on the texts both translate.
  auto *qtTranslator = new QTranslator(this);
  if (qtTranslator->load(QStringLiteral("qt_") + language, QLibraryInfo::location(QLibraryInfo::TranslationsPath))) {
    m_qtTranslator = qtTranslator;
    QCoreApplication::installTranslator(m_qtTranslator);
  } else {
    delete qtTranslator;
  }
  m_translator = translator;
  QCoreApplication::installTranslator(m_translator);
}
