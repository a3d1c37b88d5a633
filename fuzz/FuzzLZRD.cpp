// The LZRD decoder on hostile blocks, and LZRD round trips.
#include "FuzzDecoder.h"
#include "storage/LZRDCompress.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return marlowen::fuzzing::FuzzDecoder(marlowen::LZRDCompress(), data, size);
}
