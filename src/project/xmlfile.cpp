#include "xmlfile.h"

#include <QDebug>
#include <QSaveFile>
#include <QXmlStreamWriter>

int saveXmlFile(const QString &path, bool indent, const std::function<bool(QXmlStreamWriter &)> &body,
                const char *warning)
{
  if (path.isEmpty())
    return -1;
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return -1;
  QXmlStreamWriter writer(&file);
  writer.setAutoFormatting(indent);
  writer.setAutoFormattingIndent(4);
  writer.writeStartDocument();
  body(writer);
  writer.writeEndDocument();
  // A full disk shows only when the buffer is flushed, and commit() would still install a
  // short file: check both before replacing the old one.
  if (writer.hasError() || !file.flush() || file.error() != QFileDevice::NoError) {
    file.cancelWriting();
    qWarning("%s", warning);
    return -2;
  }
  return file.commit() ? 0 : -1;
}
