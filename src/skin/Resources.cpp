#include "skin/Resources.h"

#include <climits>

#include "core/StringHash.h"
#include "platform/FileSystem.h"
#include "skin/Bitmap32.h"
#include "skin/FontImages.h"
#include "skin/ScaledImage.h"
#include "skin/XMLNode.h"
#include "storage/LZRBCompress.h"
#include "storage/TypedStream.h"

namespace marlowen {


namespace {

bool EndsWithText(std::string_view name, std::string_view suffix) {
    return name.size() >= suffix.size() && TextEquals(name.substr(name.size() - suffix.size()), suffix);
}

}  // namespace

TResourceKind ResourceKindOf(std::string_view name) {
    if (EndsWithText(name, ".bmp")) return TResourceKind::Bitmap;
    if (EndsWithText(name, ".fnt")) return TResourceKind::Font;
    if (EndsWithText(name, ".xml")) return TResourceKind::XML;
    if (EndsWithText(name, ".wav")) return TResourceKind::Sound;
    return TResourceKind::None;
}

void XorMaskBytes(uint8_t* data, size_t size, uint32_t mask) {
    if (mask == 0) return;
    size_t i = 0;
    for (; i + 4 <= size; i += 4) {
        for (int k = 0; k < 4; ++k) data[i + k] ^= static_cast<uint8_t>(mask >> (8 * k));
    }
    for (uint32_t rest = mask; i < size; ++i, rest >>= 8) data[i] ^= static_cast<uint8_t>(rest);
}

TResourceItem::TResourceItem(std::string name) : TCustomStringItem(std::move(name)) {}

TResourceItem::~TResourceItem() = default;

void TResourceItem::LoadBody(TCustomMemStream& stream) {
    Bitmap_.reset();
    Font_.reset();
    XML_.reset();
    Sound_.reset();
    switch (Kind()) {
        case TResourceKind::Bitmap: {
            auto bitmap = std::make_shared<TBitmap32>();
            bitmap->LoadFromPack(stream);
            Bitmap_ = std::move(bitmap);
            break;
        }
        case TResourceKind::Font: {
            auto font = std::make_unique<TFontImages>();
            font->Load(stream);
            Font_ = std::move(font);
            break;
        }
        case TResourceKind::XML: {
            auto root = std::make_unique<TXMLNode>();
            root->LoadFromStream(stream, true);
            XML_ = std::move(root);
            break;
        }
        case TResourceKind::Sound: {
            auto sound = std::make_unique<TMemStream>();
            stream.ReadBlock(*sound);
            sound->SetPosition(0);
            Sound_ = std::move(sound);
            break;
        }
        case TResourceKind::None: break;
    }
}

TResources::TResources() : TStringIndex<TResourceItem>(10007) {}

TResources::~TResources() = default;

void TResources::LoadPacks(const TFileSystem& files, const std::string& folder) {
    std::string prefix = folder;
    if (!prefix.empty() && prefix.back() != '\\') prefix += '\\';
    for (const TFileEntry& entry : files.FindFiles(folder, "*.fs")) {
        if ((entry.Attributes & FileAttribute::Directory) != 0) continue;
        LoadPack(files, prefix + entry.Name);
    }
}

void TResources::LoadPack(const TFileSystem& files, const std::string& path) { LoadPackImage(files.ReadFile(path)); }

void TResources::LoadPackImage(std::vector<uint8_t> image) {
    TTypedStream stream;
    if (image.size() > static_cast<size_t>(INT32_MAX)) throw EStreamException::OutOfMemory(stream.ClassName());
    XorMaskBytes(image.data(), image.size(), XorMask_);
    stream.WriteBuffer(image.data(), static_cast<int32_t>(image.size()));
    image = std::vector<uint8_t>();
    DecompressStream(stream, LZRBCompress());

    stream.SetPosition(0);
    std::vector<const TResourceItem*> loaded;
    while (stream.Position() < stream.Size()) {
        std::string name;
        try {
            name = stream.ReadString();
            auto item = std::make_unique<TResourceItem>(name);
            item->LoadBody(stream);
            loaded.push_back(Add(std::move(item)));
        } catch (const Exception& e) {
            AttachVariants(loaded);
            throw Exception(e.Message() + "\r\n'" + name + "'");
        }
    }
    AttachVariants(loaded);
}

void TResources::AttachVariants(const std::vector<const TResourceItem*>& loaded) {
    std::string baseName;
    TDisplayScale factor;
    for (const TResourceItem* item : loaded) {
        if (!ParseVariantName(item->Name(), baseName, factor)) continue;
        const TResourceItem* base = Find(baseName);
        if (base == nullptr || base == item) continue;
        if (item->Bitmap() != nullptr && base->Bitmap() != nullptr) {
            base->Bitmap()->AddVariant(factor, item->SharedBitmap());
        } else if (item->Font() != nullptr && base->Font() != nullptr) {
            base->Font()->AddVariant(factor, *item->Font());
        }
    }
}

const TBitmap32* TResources::FindImage(std::string_view path) const {
    const TResourceItem* item = Find(path);
    return item != nullptr ? item->Bitmap() : nullptr;
}

const TBitmap32& TResources::GetImage(std::string_view path) const {
    const TBitmap32* bitmap = FindImage(path);
    if (bitmap == nullptr) throw EImageNotFound(path);
    return *bitmap;
}

TFontImages* TResources::FindFont(std::string_view path) const {
    const TResourceItem* item = Find(path);
    return item != nullptr ? item->Font() : nullptr;
}

TFontImages& TResources::GetFont(std::string_view path) const {
    TFontImages* font = FindFont(path);
    if (font == nullptr) throw EFontNotFound(path);
    return *font;
}

TXMLNode* TResources::FindXML(std::string_view path) const {
    const TResourceItem* item = Find(path);
    return item != nullptr ? item->XML() : nullptr;
}

TXMLNode& TResources::GetXML(std::string_view path) const {
    TXMLNode* root = FindXML(path);
    if (root == nullptr) throw EXMLNotFound(path);
    return *root;
}

}  // namespace marlowen
