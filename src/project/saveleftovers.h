#pragma once
// What a save can leave behind when the process is killed at the wrong moment: a file is
// written under a temporary name and renamed over the old one, and a kill between the two
// leaves the temporary beside the file. Only names the program itself makes count: its own
// file's name followed by ".part" (our unsynced writer) or by QSaveFile's "." and six random
// letters. Anything else in the folder is the user's.

#include <QString>

namespace SaveLeftovers {

// The name of the file whose save left fileName ("project.xml" for "project.xml.AdNTen"), or
// an empty string when fileName does not end as a save's temporary does.
QString savedName(const QString &fileName);

// A temporary of one of the project folder's own files: the XML files, the media explorer's
// settings and the drawings.
bool isProjectLeftover(const QString &fileName);

// Removes the project folder's leftovers (plain files only, never links); how many went.
int removeProjectLeftovers(const QString &projectDir);

} // namespace SaveLeftovers
