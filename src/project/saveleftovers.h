#pragma once
// What a save can leave behind when the process is killed at the wrong moment: a file is
// written under a temporary name and renamed over the old one, and a kill between the two
// leaves the temporary beside the file. Only names the program itself makes count: one of the
// project folder's own files followed by the writer's temporary suffix (".part"). Anything
// else in the folder is the user's.

#include <QString>

namespace SaveLeftovers {

// A temporary of one of the project folder's own files: the XML files, the media explorer's
// settings and the drawings.
bool isProjectLeftover(const QString &fileName);

// A temporary of an undo snapshot in the history folder.
bool isHistoryLeftover(const QString &fileName);

// Removes the project folder's leftovers (plain files only, never links), those of its history
// folder and the media explorer's scratch folders; how many went.
int removeProjectLeftovers(const QString &projectDir);

} // namespace SaveLeftovers
