#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/Exception.h"
#include "core/StringIndex.h"
#include "skin/Styles.h"

namespace marlowen {

class TBitmap32;
class TCustomMemStream;
class TFileSystem;
class TFontImages;
class TMemStream;
class TXMLNode;

class EImageNotFound : public Exception {
public:
    explicit EImageNotFound(std::string_view path)
        : Exception("В списке ресурсов не найдено изображение '" + std::string(path) + "'.") {}
};

class EFontNotFound : public Exception {
public:
    explicit EFontNotFound(std::string_view path)
        : Exception("В списке ресурсов не найден шрифт '" + std::string(path) + "'.") {}
};

class EXMLNotFound : public Exception {
public:
    explicit EXMLNotFound(std::string_view path)
        : Exception("В списке ресурсов не найден XML '" + std::string(path) + "'.") {}
};

// What the body of a pack item holds, chosen by the end of its name (letter case ignored):
// ".bmp", ".fnt", ".xml", ".wav"; any other name, or one shorter than a suffix, has no body.
enum class TResourceKind : uint8_t { None, Bitmap, Font, XML, Sound };

TResourceKind ResourceKindOf(std::string_view name);

// XORs the bytes with the mask: every complete 4-byte group with the mask as a little-endian
// 32-bit value, then each remaining byte with the mask's low byte, shifting the mask right by 8
// after each. Its own inverse; a mask of 0 changes nothing.
void XorMaskBytes(uint8_t* data, size_t size, uint32_t mask);

// One item of a pack: its name (the path inside the pack, matched exactly) and the object its
// body made, owned and freed with the item; at most one of the four is set.
class TResourceItem : public TCustomStringItem {
public:
    explicit TResourceItem(std::string name);
    ~TResourceItem() override;

    const std::string& Name() const { return Key(); }
    TResourceKind Kind() const { return ResourceKindOf(Name()); }

    TBitmap32* Bitmap() const { return Bitmap_.get(); }
    std::shared_ptr<const TBitmap32> SharedBitmap() const { return Bitmap_; }
    TFontImages* Font() const { return Font_.get(); }
    TXMLNode* XML() const { return XML_.get(); }
    TMemStream* Sound() const { return Sound_.get(); }

    // Reads the body the name calls for at the stream's position and makes its object (a sound
    // is left at position 0). Raises the reader's error on bad data; the item then holds nothing.
    void LoadBody(TCustomMemStream& stream);

private:
    std::shared_ptr<TBitmap32> Bitmap_;
    std::unique_ptr<TFontImages> Font_;
    std::unique_ptr<TXMLNode> XML_;
    std::unique_ptr<TMemStream> Sound_;
};

// The registry of every item of every loaded pack, in load order, indexed by exact name. Of
// items with equal names (in one pack or several) every lookup finds the one loaded last.
class TResources : public TStringIndex<TResourceItem> {
public:
    // The mask a new registry starts with; the packs of this system are stored unmasked, and the
    // skin start-up sets 0 before loading them.
    static constexpr uint32_t kDefaultXorMask = 0x5EC3A917;

    TResources();
    ~TResources() override;

    uint32_t XorMask() const { return XorMask_; }
    void SetXorMask(uint32_t mask) { XorMask_ = mask; }

    // The text styles, filled by the skin start-up.
    TStyleList& Styles() { return Styles_; }
    const TStyleList& Styles() const { return Styles_; }

    // Loads every "*.fs" file of the folder that is not a directory, in listing order. The first
    // error ends the loading; packs loaded before it stay.
    void LoadPacks(const TFileSystem& files, const std::string& folder);
    // Loads one pack file; a file that cannot be read raises the file system's error.
    void LoadPack(const TFileSystem& files, const std::string& path);
    // Loads a pack from its file image as stored (masked with XorMask). Empty: an empty pack.
    // 1 to 3 bytes and malformed compressed data raise ECompressException. An item that cannot be
    // read raises Exception with the reader's message, "\r\n'", the item's name and "'"; items
    // before it stay registered, the failing one is discarded.
    //
    // A bitmap or font named as a variant ("Next@2x.bmp", "Regular@1.5x.fnt", see
    // ParseVariantName) is also attached to the newest item of its base name ("Next.bmp") once
    // its pack is loaded: a bitmap when it fits (TBitmap32::FitsVariant; one that does not stays
    // an image of its own, unused for scaling), a font glyph by glyph. A later pack's base item
    // does not take the variants of an earlier one.
    void LoadPackImage(std::vector<uint8_t> image);

    // The object of the asked kind of the newest item with exactly this name; none when there is
    // no such item or it holds another kind.
    const TBitmap32* FindImage(std::string_view path) const;
    const TBitmap32& GetImage(std::string_view path) const;
    TFontImages* FindFont(std::string_view path) const;
    TFontImages& GetFont(std::string_view path) const;
    TXMLNode* FindXML(std::string_view path) const;
    TXMLNode& GetXML(std::string_view path) const;

private:
    void AttachVariants(const std::vector<const TResourceItem*>& loaded);

    uint32_t XorMask_ = kDefaultXorMask;
    TStyleList Styles_;
};

}  // namespace marlowen
