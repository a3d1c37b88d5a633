#include "PeResources.h"

#include <algorithm>
#include <cctype>

namespace marlowen::fstool {

namespace {

constexpr uint32_t kDataResourceType = 10;  // RT_RCDATA
constexpr uint32_t kHighBit = 0x80000000u;
constexpr uint32_t kMaxEntries = 4096;      // per directory: far more than any real image holds

// Little-endian reads that say when they would leave the image.
class TImageReader {
public:
    explicit TImageReader(const std::vector<uint8_t>& image) : Image_(image) {}

    bool Has(uint64_t offset, uint64_t size) const { return offset <= Image_.size() && size <= Image_.size() - offset; }
    std::optional<uint32_t> U16(uint64_t offset) const { return Read(offset, 2); }
    std::optional<uint32_t> U32(uint64_t offset) const { return Read(offset, 4); }
    const std::vector<uint8_t>& Image() const { return Image_; }

private:
    std::optional<uint32_t> Read(uint64_t offset, unsigned size) const {
        if (!Has(offset, size)) return std::nullopt;
        uint32_t value = 0;
        for (unsigned i = 0; i < size; ++i) value |= static_cast<uint32_t>(Image_[offset + i]) << (8 * i);
        return value;
    }
    const std::vector<uint8_t>& Image_;
};

struct TSection {
    uint32_t Address, Size, RawOffset, RawSize;
};

// Where the resource tree lies: the sections (to map addresses to file offsets) and the tree's
// own file offset.
struct TResourceTree {
    std::vector<TSection> Sections;
    uint64_t Base = 0;
    uint32_t BaseAddress = 0;
};

std::optional<uint64_t> FileOffset(const std::vector<TSection>& sections, uint32_t address, uint32_t size) {
    for (const TSection& s : sections) {
        const uint64_t span = std::max(s.Size, s.RawSize);
        if (address < s.Address || uint64_t(address) + size > s.Address + span) continue;
        const uint64_t inside = address - s.Address;
        if (inside + size > s.RawSize) return std::nullopt;
        return uint64_t(s.RawOffset) + inside;
    }
    return std::nullopt;
}

std::optional<TResourceTree> LocateTree(const TImageReader& in) {
    if (in.U16(0) != 0x5A4Du) return std::nullopt;  // "MZ"
    const auto pe = in.U32(0x3C);
    if (!pe || in.U32(*pe) != 0x00004550u) return std::nullopt;  // "PE\0\0"
    const uint64_t coff = uint64_t(*pe) + 4, optional = coff + 20;
    const auto sectionCount = in.U16(coff + 2), optionalSize = in.U16(coff + 16), magic = in.U16(optional);
    if (!sectionCount || !optionalSize || !magic || (*magic != 0x10B && *magic != 0x20B)) return std::nullopt;
    const uint64_t directories = optional + (*magic == 0x10B ? 96 : 112);
    const auto directoryCount = in.U32(directories - 4);
    if (!directoryCount || *directoryCount < 3 || directories + 24 > optional + *optionalSize) return std::nullopt;
    const auto address = in.U32(directories + 16);
    if (!address || *address == 0) return std::nullopt;

    TResourceTree tree;
    const uint64_t table = optional + *optionalSize;
    for (uint32_t i = 0; i < *sectionCount; ++i) {
        const uint64_t at = table + uint64_t(i) * 40;
        const auto size = in.U32(at + 8), va = in.U32(at + 12), rawSize = in.U32(at + 16), raw = in.U32(at + 20);
        if (!size || !va || !rawSize || !raw) return std::nullopt;
        tree.Sections.push_back({*va, *size, *raw, *rawSize});
    }
    const auto base = FileOffset(tree.Sections, *address, 16);
    if (!base) return std::nullopt;
    tree.Base = *base;
    tree.BaseAddress = *address;
    return tree;
}

bool NameIs(const TImageReader& in, const TResourceTree& tree, uint32_t offset, const std::string& name) {
    const uint64_t at = tree.Base + offset;
    const auto length = in.U16(at);
    if (!length || *length != name.size() || !in.Has(at + 2, uint64_t(*length) * 2)) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        const auto c = in.U16(at + 2 + 2 * i);
        if (!c || *c > 0x7F || std::toupper(static_cast<int>(*c)) != std::toupper(static_cast<unsigned char>(name[i]))) {
            return false;
        }
    }
    return true;
}

// The entry of a directory (at `offset` in the tree) that matches: by number, or by name when
// `name` is not empty; `any` takes the first entry. Its target offset, high bit included.
std::optional<uint32_t> FindEntry(const TImageReader& in, const TResourceTree& tree, uint32_t offset,
                                  std::optional<uint32_t> id, const std::string& name) {
    const uint64_t at = tree.Base + offset;
    const auto named = in.U16(at + 12), numbered = in.U16(at + 14);
    if (!named || !numbered || *named + *numbered > kMaxEntries) return std::nullopt;
    for (uint32_t i = 0; i < *named + *numbered; ++i) {
        const auto key = in.U32(at + 16 + uint64_t(i) * 8), target = in.U32(at + 20 + uint64_t(i) * 8);
        if (!key || !target) return std::nullopt;
        const bool isName = (*key & kHighBit) != 0;
        const bool match = id ? !isName && *key == *id
                              : name.empty() || (isName && NameIs(in, tree, *key & ~kHighBit, name));
        if (match) return *target;
    }
    return std::nullopt;
}

std::optional<uint32_t> SubDirectory(std::optional<uint32_t> target) {
    if (!target || (*target & kHighBit) == 0) return std::nullopt;
    return *target & ~kHighBit;
}

}  // namespace

std::optional<std::vector<uint8_t>> FindDataResource(const std::vector<uint8_t>& image, const std::string& name) {
    const TImageReader in(image);
    const std::optional<TResourceTree> tree = LocateTree(in);
    if (!tree) return std::nullopt;
    const auto types = SubDirectory(FindEntry(in, *tree, 0, kDataResourceType, ""));
    const auto names = types ? SubDirectory(FindEntry(in, *tree, *types, std::nullopt, name)) : std::nullopt;
    const auto language = names ? FindEntry(in, *tree, *names, std::nullopt, "") : std::nullopt;
    if (!language || (*language & kHighBit) != 0) return std::nullopt;
    const auto address = in.U32(tree->Base + *language), size = in.U32(tree->Base + *language + 4);
    if (!address || !size) return std::nullopt;
    // A section may claim more raw bytes than the file has.
    const auto offset = FileOffset(tree->Sections, *address, *size);
    if (!offset || !in.Has(*offset, *size)) return std::nullopt;
    return std::vector<uint8_t>(image.begin() + static_cast<ptrdiff_t>(*offset),
                                image.begin() + static_cast<ptrdiff_t>(*offset + *size));
}

}  // namespace marlowen::fstool
