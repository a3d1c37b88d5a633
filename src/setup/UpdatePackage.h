#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "storage/DataRecords.h"

namespace marlowen {

// What an update package says about itself: where its files and its shortcuts go, and the update
// level the installation reaches once every action is applied.
struct TUpdatePackageHeader {
    std::string FilesFolder;
    std::string LinksFolder;
    uint32_t UpdateLevel = 0;
};

// The field names of an action record.
namespace UpdateField {
constexpr const char* Action = "UpdateAction";  // text: "D..." deletes, "U..." writes
constexpr const char* FileName = "FileName";    // text, relative to the folder
constexpr const char* Path = "Path";            // text, relative to the files folder
constexpr const char* Link = "Link";            // text: shortcut name without ".lnk"
constexpr const char* Body = "Body";            // blob: the new content of the file
}  // namespace UpdateField

// An update package file is a sealed container holding a compressed typed stream (4-byte
// little-endian expanded length, then LZRB data) of: files folder, links folder, one value of any
// kind, three strings, the update level as an integer, then the action table.
//
// Opens the package with the key and reads its header and action table. A wrong key or damaged
// bytes raise the storage errors (EStreamException "Данные повреждены или испорчены.",
// ECompressException, typed-read errors); `actions` may then hold a partial table.
void ReadUpdatePackage(const std::vector<uint8_t>& bytes, std::string_view key, TUpdatePackageHeader& header,
                       TDataRecords& actions);

// Gives an empty table the five action fields (all text but the blob Body).
void AddUpdateActionFields(TDataRecords& actions);
// Appends one action; empty texts stay absent from the record.
TDataRecord& AddUpdateAction(TDataRecords& actions, const std::string& action, const std::string& fileName,
                             const std::string& path, const std::string& link, const std::string& body = "");

// The sealed package bytes of the header and the table. The descriptive values carry a format
// number, the product name, "update" and the comment; no value depends on the time of writing,
// so the same input always gives the same bytes.
std::vector<uint8_t> WriteUpdatePackage(const TUpdatePackageHeader& header, const TDataRecords& actions,
                                        std::string_view key, const std::string& comment = "");

}  // namespace marlowen
