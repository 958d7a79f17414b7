#pragma once
// What a save can leave behind when the process is killed at the wrong moment: a file is
// written under a temporary name and renamed over the old one, and a kill between the two
// leaves the temporary beside the file. Only names the program itself makes count: one of the
// project folder's own files followed by the writer's temporary suffix (".part"). Anything
// else in the folder is the user's.

#include <QString>

namespace SaveLeftovers {

// A temporary of one of the project folder's own files: the XML files, the media explorer's
// settings, the cover picture and the drawings.
bool isProjectLeftover(const QString &fileName);

// An export the editor caches in the project folder, cut off before it was complete: the
// exporter writes "<project>_<size>_<codec>_<rate>fps.partial.<extension>" and renames it once
// done.
bool isExportLeftover(const QString &projectName, const QString &fileName);

// Either of the above in the project folder projectDir.
bool isFolderLeftover(const QString &projectDir, const QString &fileName);

// A temporary of an undo snapshot in the history folder.
bool isHistoryLeftover(const QString &fileName);

// Removes the project folder's leftovers (plain files only, never links), its cut-off exports,
// those of its history folder and the media explorer's scratch folders; how many went.
int removeProjectLeftovers(const QString &projectDir);

} // namespace SaveLeftovers
