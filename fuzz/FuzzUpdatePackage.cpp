// An update package from arbitrary bytes, end to end: opening the seal, the compressed container,
// the header and the action table, then the confinement check against a registered installation.
// Loading succeeds or raises a library error; a package the check accepts names only paths inside
// the installation. The first byte chooses how much of the package the input is: the sealed file
// itself, the container (sealed here) or the plain content (compressed and sealed here), so that
// the fuzzer reaches every layer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "setup/SystemIntegration.h"
#include "setup/UpdateAction.h"
#include "setup/UpdatePackage.h"
#include "storage/CompressedBlock.h"
#include "storage/DataRecords.h"
#include "storage/LZRBCompress.h"
#include "storage/SealedStream.h"
#include "storage/TypedStream.h"

using namespace marlowen;

namespace {

constexpr char kKey[] = "secret";

void Require(bool condition) {
    if (!condition) std::abort();
}

std::vector<uint8_t> Sealed(const std::vector<uint8_t>& container) {
    TTypedStream stream;
    if (!container.empty()) stream.WriteBuffer(container.data(), static_cast<int32_t>(container.size()));
    SealStream(stream, kKey);
    return std::vector<uint8_t>(stream.Memory(), stream.Memory() + stream.Size());
}

std::vector<uint8_t> PackageOf(const uint8_t* data, size_t size, uint8_t layer) {
    std::vector<uint8_t> bytes(data, data + size);
    if (layer % 3 == 0) return bytes;
    if (layer % 3 == 2) bytes = CompressBlock(LZRBCompress(), bytes.data(), static_cast<int32_t>(bytes.size()));
    return Sealed(bytes);
}

std::string Field(const TDataRecord& record, const char* name) {
    return record.Owner().FieldDefs().Find(name) != nullptr ? record.GetText(name) : std::string();
}

void CheckConfined(const TUpdateTarget& target, const TDataRecord& record) {
    const std::string action = Field(record, UpdateField::Action);
    if (action.empty() || (action[0] != 'D' && action[0] != 'U')) return;
    const auto folder = target.FilesFolder.Join(Field(record, UpdateField::Path));
    Require(folder && folder->IsInside(target.InstallFolder));
    const auto file = folder->Join(Field(record, UpdateField::FileName));
    Require(file && file->IsInside(target.InstallFolder));
    const auto link = target.LinksFolder.Join(Field(record, UpdateField::Link) + ".lnk");
    Require(link && link->IsInside(target.ProgramGroup));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > (1u << 18)) return 0;
    TUpdatePackageHeader header;
    TDataRecords actions;
    try {
        ReadUpdatePackage(PackageOf(data + 1, size - 1, data[0]), kKey, header, actions);
    } catch (const Exception&) {
        return 0;
    }
    TUninstallInfo installed;
    installed.InstallFolder = "C:\\Program Files (x86)\\Marlowen";
    installed.ProgramGroup = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Marlowen";
    try {
        const TUpdateTarget target = ConfineUpdate(installed, header);
        Require(target.FilesFolder.IsInside(target.InstallFolder));
        Require(target.LinksFolder.IsInside(target.ProgramGroup));
        for (const TDataRecord* record : actions) {
            CheckUpdateActionPaths(target, *record);
            CheckConfined(target, *record);
        }
    } catch (const Exception&) {
        // Refused: the package changes nothing.
    }
    return 0;
}
