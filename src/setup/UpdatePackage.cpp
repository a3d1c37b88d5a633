#include "setup/UpdatePackage.h"

#include <cstdint>
#include <limits>

#include "setup/Product.h"
#include "storage/CompressedBlock.h"
#include "storage/LZRBCompress.h"
#include "storage/SealedStream.h"
#include "storage/StreamException.h"
#include "storage/TableWriter.h"
#include "storage/TypedStream.h"

namespace marlowen {

namespace {

// The number the writer puts in the package's free value slot.
constexpr int32_t kPackageFormat = 1;

void LoadBytes(TCustomMemStream& stream, const std::vector<uint8_t>& bytes) {
    if (bytes.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
        throw EStreamException::OutOfMemory(stream.ClassName());
    }
    if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
    stream.SetPosition(0);
}

void ReadHeader(TCustomMemStream& stream, TUpdatePackageHeader& header) {
    header.FilesFolder = stream.ReadString();
    header.LinksFolder = stream.ReadString();
    stream.SkipValue();
    for (int i = 0; i < 3; ++i) stream.ReadString();
    // The level is unsigned; the stream holds it as a signed 32-bit integer of the same bits.
    header.UpdateLevel = static_cast<uint32_t>(stream.ReadInteger());
}

}  // namespace

void ReadUpdatePackage(const std::vector<uint8_t>& bytes, std::string_view key, TUpdatePackageHeader& header,
                       TDataRecords& actions) {
    TTypedStream stream;
    LoadBytes(stream, bytes);
    OpenSealedStream(stream, key);
    DecompressStream(stream, LZRBCompress());
    stream.SetPosition(0);
    ReadHeader(stream, header);
    actions.LoadFromStream(stream);
}

void AddUpdateActionFields(TDataRecords& actions) {
    actions.AddFieldDef(UpdateField::Action, TFieldType::Text);
    actions.AddFieldDef(UpdateField::FileName, TFieldType::Text);
    actions.AddFieldDef(UpdateField::Path, TFieldType::Text);
    actions.AddFieldDef(UpdateField::Link, TFieldType::Text);
    actions.AddFieldDef(UpdateField::Body, TFieldType::Blob);
}

TDataRecord& AddUpdateAction(TDataRecords& actions, const std::string& action, const std::string& fileName,
                             const std::string& path, const std::string& link, const std::string& body) {
    TDataRecord& record = actions.Add();
    if (!action.empty()) record.SetText(UpdateField::Action, action);
    if (!fileName.empty()) record.SetText(UpdateField::FileName, fileName);
    if (!path.empty()) record.SetText(UpdateField::Path, path);
    if (!link.empty()) record.SetText(UpdateField::Link, link);
    if (!body.empty()) record.SetBlob(UpdateField::Body, body);
    return record;
}

std::vector<uint8_t> WriteUpdatePackage(const TUpdatePackageHeader& header, const TDataRecords& actions,
                                        std::string_view key, const std::string& comment) {
    TTypedStream content;
    content.WriteString(header.FilesFolder);
    content.WriteString(header.LinksFolder);
    content.WriteInteger(kPackageFormat);
    content.WriteString(Product::Name);
    content.WriteString("update");
    content.WriteString(comment);
    content.WriteInteger(static_cast<int32_t>(header.UpdateLevel));
    WriteTable(actions, content);

    const std::vector<uint8_t> packed = CompressBlock(LZRBCompress(), content.Memory(), content.Size());
    TTypedStream sealed;
    LoadBytes(sealed, packed);
    sealed.SetPosition(sealed.Size());
    SealStream(sealed, key);
    return std::vector<uint8_t>(sealed.Memory(), sealed.Memory() + sealed.Size());
}

}  // namespace marlowen
