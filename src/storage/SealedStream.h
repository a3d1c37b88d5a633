#pragma once

#include <string>
#include <string_view>

#include "storage/MemStream.h"

namespace marlowen {

// A sealed stream is the content, then its MD5 digest as 32 upper-case hexadecimal characters,
// both enciphered in one RC4 run with the key, then a 4-byte little-endian checksum: the wrapping
// 32-bit sum of the content and digest bytes XOR the next four keystream bytes (little-endian).

// The MD5 of the whole content as 32 upper-case hexadecimal characters; the position stays.
std::string StreamDigestText(const TCustomMemStream& stream);

// Appends the digest, enciphers everything and appends the checksum; the position ends at the end.
// A sealed empty stream is 36 bytes.
void SealStream(TCustomMemStream& stream, std::string_view key);

// Reverses SealStream: on success the stream holds the plain content, position 0. A wrong key, a
// bad checksum, a stream too short to hold digest and checksum, or a digest mismatch raises
// EStreamException "Данные повреждены или испорчены." and leaves the stream exactly as it was
// (still sealed), so that no deciphered byte of a damaged file is ever handed on.
void OpenSealedStream(TCustomMemStream& stream, std::string_view key);

}  // namespace marlowen
