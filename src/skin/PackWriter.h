#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "skin/Resources.h"
#include "storage/TypedStream.h"

namespace marlowen {

class TBitmap32;
class TXMLNode;

// Builds a resource pack for tools and tests: items are appended to the item sequence in call
// order, then the sequence is compressed into the pack container. Each Add refuses a name whose
// suffix calls for another kind of body (raising Exception), so every pack written loads back.
class TPackWriter {
public:
    TPackWriter() = default;
    TPackWriter(const TPackWriter&) = delete;
    TPackWriter& operator=(const TPackWriter&) = delete;

    // A ".xml" item: the stored tree of root.
    void AddXML(std::string_view name, const TXMLNode& root);
    // A ".bmp" item.
    void AddBitmap(std::string_view name, const TBitmap32& bitmap);
    // A ".fnt" item whose body is a font already in its stored form.
    void AddFontBody(std::string_view name, const std::vector<uint8_t>& body);
    // A ".wav" item holding the bytes.
    void AddSound(std::string_view name, const std::vector<uint8_t>& bytes);
    // An item without body: its name ends in none of the body suffixes.
    void AddEmpty(std::string_view name);

    int32_t Count() const { return Count_; }
    // The item sequence written so far (uncompressed).
    const TTypedStream& Items() const { return Items_; }

    // The pack file: the size of the sequence, its LZRB block, all XORed with the mask.
    std::vector<uint8_t> PackImage(uint32_t xorMask = 0) const;
    // Writes the pack file; the path is replaced only when the whole file was written.
    void SaveToFile(const std::string& path, uint32_t xorMask = 0) const;

private:
    void BeginItem(std::string_view name, TResourceKind kind);

    TTypedStream Items_;
    int32_t Count_ = 0;
};

}  // namespace marlowen
