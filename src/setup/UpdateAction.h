#pragma once

#include <string>

namespace marlowen {

class TDataRecord;
struct TPlatform;

// Carries out one action record of an update package. The first character of "UpdateAction"
// chooses: "D" deletes the file, the shortcut and the (empty) folder the record names, ignoring
// what fails; "U" writes the file from "Body" (creating its folders) and makes the shortcut. Any
// other text does nothing. The parts of an action are independent: a record may name only a
// shortcut or only a folder.
//
// Paths: folder = filesFolder\Path, file = folder\FileName, shortcut = linksFolder\Link.lnk.
// A new file replaces the old one only once it is completely written, so a failure (a file in
// use, a full disk) leaves the old file intact; it raises, and so does a failing shortcut.
// A field name the table does not define raises the table's error. A record whose parts would
// leave their folder (see CheckUpdateActionPaths) raises before anything is touched.
void ApplyUpdateAction(TPlatform& platform, const std::string& filesFolder, const std::string& linksFolder,
                       const TDataRecord& record);

// Raises the error a user sees, naming the part, unless every Path, FileName and Link of a record
// that acts ("D" or "U") stays inside its folder once joined to it (IsContainedPath: no "..",
// nothing rooted or drive-qualified, no stream, no "\\" start). A field the table lacks is not
// checked here; the action itself raises the table's error for it.
void CheckUpdateActionPaths(const TDataRecord& record);

}  // namespace marlowen
