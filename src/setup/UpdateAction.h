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
// A field name the table does not define raises the table's error.
void ApplyUpdateAction(TPlatform& platform, const std::string& filesFolder, const std::string& linksFolder,
                       const TDataRecord& record);

}  // namespace marlowen
