#pragma once

#include <QString>

#include <functional>

class QXmlStreamWriter;

// Writes an XML document (declaration, then body) to path through a temporary file that
// replaces the old one only when every byte reached the disk. body returns false to stop.
// Returns 0, -1 (cannot create or replace the file) or -2 (writing failed, warning logged);
// on failure *error, when given, says why. A file that need not outlive a crash of the
// system (synced false) is still replaced whole, but without waiting for the disk.
int saveXmlFile(const QString &path, bool indent, const std::function<bool(QXmlStreamWriter &)> &body,
                const char *warning, QString *error = nullptr, bool synced = true);
