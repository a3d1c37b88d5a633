// The LZRB decoder on hostile blocks, and LZRB round trips.
#include "FuzzDecoder.h"
#include "storage/LZRBCompress.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return marlowen::fuzzing::FuzzDecoder(marlowen::LZRBCompress(), data, size);
}
