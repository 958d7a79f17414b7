#pragma once

#include <QString>

#include <functional>

class QFileDevice;

// Writes a file so that a kill or a full disk at any moment leaves the old file or the new one
// whole: the bytes go to the file's name followed by the temporary suffix, and that file is
// renamed over the old one only when every byte got through. The temporary's name is one only
// this program makes, so what a killed write leaves is told apart from the user's files.
// A link at path is followed: the file it names is replaced and the link stays. A file its
// owner made read-only is never replaced.
namespace WholeFile {

enum Result { Written = 0, CannotCreate = -1, WriteFailed = -2, CannotReplace = -3 };

// ".part": what follows a file's name while it is being written.
QString temporarySuffix();

// Writes path through body, which returns false to stop (the old file stays). Synced, the new
// file and its folder reach the disk before this returns (a folder that cannot be synced is
// only logged: the file is replaced); unsynced, the file is still replaced whole, without
// waiting for the disk. On failure *error, when given, says why.
Result write(const QString &path, const std::function<bool(QFileDevice &)> &body, bool synced = true,
             QString *error = nullptr);

} // namespace WholeFile
