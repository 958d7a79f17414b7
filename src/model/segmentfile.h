#pragma once

#include <QString>

class PropertyMap;
class SegmentListener;

// The "File" rules of the segments that refer to a media file. A file inside the project
// folder is stored by its bare name, so the folder can move with its files.
namespace SegmentFile {

// What to store for path: its bare name when it lies directly in the project folder,
// otherwise the path unchanged.
QString storedForm(SegmentListener *listener, const QString &path);
// The absolute path of a stored value: a bare name or a relative path is taken from the
// project folder.
QString absolutePath(SegmentListener *listener, const QString &stored);
// The last path component of a stored value, whichever separator it uses.
QString fileName(const QString &stored);
// "TimeStamp"; when it is 0 and the file exists, the file's last-modified time, written
// back, with *filled set.
double timeStampFromFile(PropertyMap &properties, const QString &path, bool *filled);

} // namespace SegmentFile
