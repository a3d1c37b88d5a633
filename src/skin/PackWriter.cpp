#include "skin/PackWriter.h"

#include <climits>

#include "skin/Bitmap32.h"
#include "skin/XMLNode.h"
#include "storage/CompressedBlock.h"
#include "storage/FileIo.h"
#include "storage/LZRBCompress.h"

namespace marlowen {

namespace {

// What a name of the kind ends with, for the error message.
const char* SuffixRule(TResourceKind kind) {
    switch (kind) {
        case TResourceKind::Bitmap: return "должно оканчиваться на .bmp";
        case TResourceKind::Font: return "должно оканчиваться на .fnt";
        case TResourceKind::XML: return "должно оканчиваться на .xml";
        case TResourceKind::Sound: return "должно оканчиваться на .wav";
        case TResourceKind::None: break;
    }
    return "не должно оканчиваться на .bmp, .fnt, .xml или .wav";
}

int32_t CheckedSize(size_t size, const TCustomMemStream& stream) {
    if (size > static_cast<size_t>(INT32_MAX)) throw EStreamException::OutOfMemory(stream.ClassName());
    return static_cast<int32_t>(size);
}

}  // namespace

void TPackWriter::BeginItem(std::string_view name, TResourceKind kind) {
    if (ResourceKindOf(name) != kind) {
        throw Exception("Имя элемента пакета '" + std::string(name) + "' " + SuffixRule(kind) + ".");
    }
    Items_.WriteString(name);
    ++Count_;
}

void TPackWriter::AddXML(std::string_view name, const TXMLNode& root) {
    BeginItem(name, TResourceKind::XML);
    root.SaveToStream(Items_);
}

void TPackWriter::AddBitmap(std::string_view name, const TBitmap32& bitmap) {
    BeginItem(name, TResourceKind::Bitmap);
    bitmap.SaveToPack(Items_);
}

void TPackWriter::AddFontBody(std::string_view name, const std::vector<uint8_t>& body) {
    const int32_t size = CheckedSize(body.size(), Items_);
    BeginItem(name, TResourceKind::Font);
    Items_.WriteBuffer(body.data(), size);
}

void TPackWriter::AddSound(std::string_view name, const std::vector<uint8_t>& bytes) {
    const int32_t size = CheckedSize(bytes.size(), Items_);
    BeginItem(name, TResourceKind::Sound);
    Items_.WriteBlock(bytes.data(), size);
}

void TPackWriter::AddEmpty(std::string_view name) { BeginItem(name, TResourceKind::None); }

std::vector<uint8_t> TPackWriter::PackImage(uint32_t xorMask) const {
    std::vector<uint8_t> image = CompressBlock(LZRBCompress(), Items_.Memory(), Items_.Size());
    XorMaskBytes(image.data(), image.size(), xorMask);
    return image;
}

void TPackWriter::SaveToFile(const std::string& path, uint32_t xorMask) const {
    const std::vector<uint8_t> image = PackImage(xorMask);
    SaveFileReplacing(path, image.data(), image.size());
}

}  // namespace marlowen
