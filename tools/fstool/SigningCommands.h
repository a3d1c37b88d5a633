#pragma once

#include <string>
#include <vector>

#include "storage/Ed25519.h"

namespace marlowen::fstool {

// Writes PACKAGE.sig, the signature of the package file by the secret key file's seed.
void SignPackageFile(const std::string& secretKeyFile, const std::string& package);

// Whether PACKAGE.sig beside the package holds a signature of it by one of the keys; false for a
// missing or malformed signature file.
bool SignatureHolds(const std::vector<Ed25519::TPublicKey>& keys, const std::string& package);

}  // namespace marlowen::fstool
