#pragma once

#include <string>
#include <vector>

#include "core/SafePath.h"

namespace marlowen {

class TDataRecord;
struct TPlatform;
struct TUninstallInfo;
struct TUpdatePackageHeader;

// Where a package may act: the registered installation's folders (the roots, trusted as the
// registry names them once the path guard accepts them) and the package's own folders inside them.
struct TUpdateTarget {
    TSafePath InstallFolder;
    TSafePath FilesFolder;
    TSafePath ProgramGroup;
    TSafePath LinksFolder;
};

// The target of a package for an installation. Raises the error a user sees, naming the folder,
// unless the guard accepts every folder, each root lies below its drive's or share's root, and
// the package's files folder lies in the install folder and its shortcut folder in the program
// group.
TUpdateTarget ConfineUpdate(const TUninstallInfo& installed, const TUpdatePackageHeader& header);

// Raises the error a user sees, naming the part, unless every Path, FileName and Link of a record
// that acts ("D" or "U") is a relative path the guard accepts (TSafePath::Join: no "." or "..",
// nothing rooted or drive-qualified, no stream, no part ending in a dot or a space, no device
// name, no control character). A field the table lacks is not checked here; the action itself
// raises the table's error for it.
void CheckUpdateActionPaths(const TUpdateTarget& target, const TDataRecord& record);

// Carries out one action record of an update package. The first character of "UpdateAction"
// chooses: "D" deletes the file, the shortcut and the (empty) folder the record names, ignoring
// what fails; "U" writes the file from "Body" (creating its folders) and makes the shortcut. Any
// other text does nothing. The parts of an action are independent: a record may name only a
// shortcut or only a folder.
//
// Paths: folder = files folder\Path, file = folder\FileName, shortcut = links folder\Link.lnk.
// Every write and delete goes through folders held from the root down (THeldFolder): a link on the
// way is never followed; an update write meeting one raises, a delete does nothing. A new file
// replaces the old one only once it is completely written, so a failure (a file in use, a full
// disk) leaves the old file intact; it raises, and so does a failing shortcut. A field name the
// table does not define raises the table's error. A record the guard refuses raises before
// anything is touched.
void ApplyUpdateAction(TPlatform& platform, const TUpdateTarget& target, const TDataRecord& record);

}  // namespace marlowen
