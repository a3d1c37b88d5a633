// The LZWB decoder on hostile blocks, and LZWB round trips.
#include "FuzzDecoder.h"
#include "storage/LZWBCompress.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return marlowen::fuzzing::FuzzDecoder(marlowen::LZWBCompress(), data, size);
}
