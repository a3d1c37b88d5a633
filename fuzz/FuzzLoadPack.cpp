// Pack loading over arbitrary bytes: every input either loads or raises an Exception, never touches
// memory outside a buffer, and whatever loaded can be looked up and freed.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "skin/Resources.h"
#include "skin/XMLNode.h"
#include "storage/CompressedBlock.h"
#include "storage/LZRBCompress.h"

using namespace marlowen;

// The first byte chooses the form of the rest: odd, an item sequence (compressed here, so that the
// fuzzer reaches the item readers directly); even, a pack file image as stored.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > (1u << 20)) return 0;
    std::vector<uint8_t> image;
    if ((data[0] & 1) != 0) {
        image = CompressBlock(LZRBCompress(), data + 1, static_cast<int32_t>(size - 1));
    } else {
        image.assign(data + 1, data + size);
    }
    TResources resources;
    resources.SetXorMask(0);
    try {
        resources.LoadPackImage(std::move(image));
    } catch (const Exception&) {
    }
    for (const TResourceItem* item : resources.Items()) {
        resources.FindImage(item->Name());
        resources.FindFont(item->Name());
        if (const TXMLNode* root = resources.FindXML(item->Name())) root->SubtreeCount();
    }
    return 0;
}
