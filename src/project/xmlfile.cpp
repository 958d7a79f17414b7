#include "xmlfile.h"

#include <QDebug>
#include <QSaveFile>
#include <QXmlStreamWriter>

int saveXmlFile(const QString &path, bool indent, const std::function<bool(QXmlStreamWriter &)> &body,
                const char *warning, QString *error)
{
  auto fail = [error](int code, const QString &why) {
    if (error)
      *error = why;
    return code;
  };
  if (path.isEmpty())
    return fail(-1, QStringLiteral("no project folder"));
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return fail(-1, file.errorString());
  QXmlStreamWriter writer(&file);
  writer.setAutoFormatting(indent);
  writer.setAutoFormattingIndent(4);
  writer.writeStartDocument();
  body(writer);
  writer.writeEndDocument();
  // A full disk shows only when the buffer is flushed, and commit() would still install a
  // short file: check both before replacing the old one.
  if (writer.hasError() || !file.flush() || file.error() != QFileDevice::NoError) {
    const QString why = file.errorString();
    file.cancelWriting();
    qWarning("%s", warning);
    return fail(-2, why);
  }
  return file.commit() ? 0 : fail(-1, file.errorString());
}
