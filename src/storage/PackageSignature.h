#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/Ed25519.h"

namespace marlowen {

// The text files of update signing. A secret key file holds the 32-byte Ed25519 seed and a public
// key file the 32-byte public key, each as 64 lower-case hexadecimal characters and a line end; a
// package PACKAGE is signed by PACKAGE.sig beside it: the 64-byte signature of the package file's
// bytes as they are stored, as 128 lower-case hexadecimal characters and a line end.
namespace PackageSignature {

// The lower-case hexadecimal text of the bytes, and a line end: a key or signature file.
std::string FileText(const uint8_t* bytes, size_t size);
template <size_t N>
std::string FileText(const std::array<uint8_t, N>& bytes) {
    return FileText(bytes.data(), N);
}

// The bytes a key or signature file holds: exactly 2 * count hexadecimal digits of either case,
// white space around them allowed; none for anything else (another length, a stray character).
std::optional<std::vector<uint8_t>> ParseFileText(std::string_view text, size_t count);

std::optional<Ed25519::TSeed> ParseSecretKey(std::string_view text);
std::optional<Ed25519::TPublicKey> ParsePublicKey(std::string_view text);
std::optional<Ed25519::TSignature> ParseSignature(std::string_view text);

// The name of the data resource (RCDATA) of Setup.exe that holds the keys it trusts.
constexpr const char* kTrustedKeysResource = "UPDATEKEYS";

// The keys a Setup.exe trusts, as its resource holds them: one public key file text per line,
// blank lines ignored. None for a text that holds anything else.
std::optional<std::vector<Ed25519::TPublicKey>> ParseKeyList(std::string_view text);

// The detached signature file of a package.
inline std::string SignatureFileName(const std::string& package) { return package + ".sig"; }

// Whether the signature file's text holds a signature of the package's bytes by one of the keys.
// A malformed text holds none.
bool SignedByAny(const std::vector<Ed25519::TPublicKey>& keys, const std::vector<uint8_t>& package,
                 std::string_view signatureText);

}  // namespace PackageSignature

}  // namespace marlowen
