#include "xmlfile.h"

#include "wholefile.h"

#include <QDebug>
#include <QFileDevice>
#include <QXmlStreamWriter>

int saveXmlFile(const QString &path, bool indent, const std::function<bool(QXmlStreamWriter &)> &body,
                const char *warning, QString *error, bool synced)
{
  if (path.isEmpty()) {
    if (error)
      *error = QStringLiteral("no project folder");
    return -1;
  }
  const WholeFile::Result result = WholeFile::write(
      path,
      [&](QFileDevice &file) {
        QXmlStreamWriter writer(&file);
        writer.setAutoFormatting(indent);
        writer.setAutoFormattingIndent(4);
        writer.writeStartDocument();
        body(writer);
        writer.writeEndDocument();
        return !writer.hasError();
      },
      synced, error);
  if (result == WholeFile::WriteFailed) {
    qWarning("%s", warning);
    return -2;
  }
  return result == WholeFile::Written ? 0 : -1;
}
