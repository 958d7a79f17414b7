#include "xmlfile.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QXmlStreamWriter>

#include <cstdio>

namespace {

// Declaration and body into file; false when a byte did not get through.
bool _writeDocument(QFileDevice &file, bool indent, const std::function<bool(QXmlStreamWriter &)> &body)
{
  QXmlStreamWriter writer(&file);
  writer.setAutoFormatting(indent);
  writer.setAutoFormattingIndent(4);
  writer.writeStartDocument();
  body(writer);
  writer.writeEndDocument();
  // A full disk shows only when the buffer is flushed: check both before replacing the old file.
  return !writer.hasError() && file.flush() && file.error() == QFileDevice::NoError;
}

} // namespace

int saveXmlFile(const QString &path, bool indent, const std::function<bool(QXmlStreamWriter &)> &body,
                const char *warning, QString *error, bool synced)
{
  auto fail = [error](int code, const QString &why) {
    if (error)
      *error = why;
    return code;
  };
  if (path.isEmpty())
    return fail(-1, QStringLiteral("no project folder"));
  if (!synced) {
    // Still whole or not at all: a temporary file renamed over the old one, without the wait
    // for the disk.
    const QString temporary = path + QStringLiteral(".part");
    // A link in its place is taken away, never written through.
    if (QFileInfo(temporary).isSymLink() && !QFile::remove(temporary))
      return fail(-1, QStringLiteral("cannot replace %1").arg(temporary));
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
      return fail(-1, file.errorString());
    if (!_writeDocument(file, indent, body)) {
      const QString why = file.errorString();
      file.close();
      file.remove();
      qWarning("%s", warning);
      return fail(-2, why);
    }
    file.close();
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0) {
      file.remove();
      return fail(-1, QStringLiteral("cannot replace %1").arg(path));
    }
    return 0;
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    return fail(-1, file.errorString());
  if (!_writeDocument(file, indent, body)) {
    const QString why = file.errorString();
    file.cancelWriting();
    qWarning("%s", warning);
    return fail(-2, why);
  }
  return file.commit() ? 0 : fail(-1, file.errorString());
}
