// fstool keygen / sign / verify: the Ed25519 keys and detached signatures of update packages.

#include <iostream>
#include <random>
#include <string>

#include "CommandLine.h"
#include "InputFile.h"
#include "PeResources.h"
#include "SigningCommands.h"
#include "ToolCommand.h"
#include "core/Exception.h"
#include "storage/Ed25519.h"
#include "storage/FileIo.h"
#include "storage/PackageSignature.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace marlowen::fstool {

namespace {

std::string Text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// A fresh seed from the system's random device (the kernel's pool on Linux, the system's
// cryptographic source on Windows).
Ed25519::TSeed FreshSeed() {
    std::random_device device;
    Ed25519::TSeed seed{};
    for (size_t i = 0; i < seed.size(); i += 4) {
        const uint32_t word = device();
        for (size_t j = 0; j < 4; ++j) seed[i + j] = static_cast<uint8_t>(word >> (8 * j));
    }
    return seed;
}

void SaveText(const std::string& path, const std::string& text) { SaveFileReplacing(path, text.data(), text.size()); }

// The secret key file, readable and writable by its owner alone from the moment it exists.
void SaveSecret(const std::string& path, const std::string& text) {
#ifndef _WIN32
    const mode_t previous = ::umask(077);
    try {
        SaveText(path, text);
    } catch (...) {
        ::umask(previous);
        throw;
    }
    ::umask(previous);
    ::chmod(path.c_str(), 0600);
#else
    SaveText(path, text);
#endif
}

int Keygen(const std::vector<std::string>& args) {
    const TCommandLine line(args, {});
    line.RequirePositional(2);
    const Ed25519::TSeed seed = FreshSeed();
    SaveSecret(line.Positional()[0], PackageSignature::FileText(seed));
    SaveText(line.Positional()[1], PackageSignature::FileText(Ed25519::PublicKeyOf(seed)));
    return 0;
}

int Sign(const std::vector<std::string>& args) {
    const TCommandLine line(args, {"key"});
    line.RequirePositional(1);
    SignPackageFile(line.Required("key"), line.Positional()[0]);
    return 0;
}

int Verify(const std::vector<std::string>& args) {
    const TCommandLine line(args, {"public"});
    line.RequirePositional(1);
    const std::string& package = line.Positional()[0];
    const std::string keyPath = line.Required("public");
    const auto key = PackageSignature::ParsePublicKey(Text(ReadWholeFile(keyPath)));
    if (!key) throw Exception("\"" + keyPath + "\" is not a public key file (64 hexadecimal digits)");
    const std::string signature = PackageSignature::SignatureFileName(package);
    if (SignatureHolds({*key}, package)) {
        std::cout << "signature holds: " << signature << "\n";
        return 0;
    }
    std::cout << "signature does not hold: " << signature << "\n";
    return 1;
}

int Keys(const std::vector<std::string>& args) {
    const TCommandLine line(args, {});
    line.RequirePositional(1);
    const std::string& exe = line.Positional()[0];
    const auto resource = FindDataResource(ReadWholeFile(exe), PackageSignature::kTrustedKeysResource);
    const auto keys = resource ? PackageSignature::ParseKeyList(Text(*resource))
                               : std::optional<std::vector<Ed25519::TPublicKey>>(std::vector<Ed25519::TPublicKey>());
    if (!keys) throw Exception("\"" + exe + "\": the key resource holds something other than public keys");
    if (keys->empty()) std::cout << "none: unsigned packages accepted\n";
    for (const Ed25519::TPublicKey& key : *keys) std::cout << PackageSignature::FileText(key);
    return 0;
}

}  // namespace

void SignPackageFile(const std::string& secretKeyFile, const std::string& package) {
    const auto seed = PackageSignature::ParseSecretKey(Text(ReadWholeFile(secretKeyFile)));
    if (!seed) throw Exception("\"" + secretKeyFile + "\" is not a secret key file (64 hexadecimal digits)");
    const std::vector<uint8_t> bytes = ReadWholeFile(package);
    SaveText(PackageSignature::SignatureFileName(package),
             PackageSignature::FileText(Ed25519::Sign(*seed, bytes.data(), bytes.size())));
}

bool SignatureHolds(const std::vector<Ed25519::TPublicKey>& keys, const std::string& package) {
    const std::vector<uint8_t> bytes = ReadWholeFile(package);
    std::string signature;
    try {
        signature = Text(ReadWholeFile(PackageSignature::SignatureFileName(package)));
    } catch (const Exception&) {
        return false;  // no signature file
    }
    return PackageSignature::SignedByAny(keys, bytes, signature);
}

std::vector<TToolCommand> SigningCommands() {
    return {
        {"keygen", "makes an Ed25519 key pair for signing update packages",
         "usage: fstool keygen SECRET_FILE PUBLIC_FILE\n\n"
         "Writes a new secret key (the 32-byte seed) to SECRET_FILE, readable by its owner only,\n"
         "and its public key to PUBLIC_FILE, each as 64 lower-case hexadecimal characters and a\n"
         "line end. Keep the secret file off the build machines; the public one is what\n"
         "Setup.exe is built with (MARLOWEN_UPDATE_PUBLIC_KEYS).\n",
         Keygen},
        {"sign", "signs an update package (writes PACKAGE.sig)",
         "usage: fstool sign --key SECRET_FILE PACKAGE\n\n"
         "Writes PACKAGE.sig beside PACKAGE: the Ed25519 signature of PACKAGE's bytes as they are\n"
         "stored, as 128 lower-case hexadecimal characters and a line end.\n",
         Sign},
        {"verify", "checks an update package's signature",
         "usage: fstool verify --public PUBLIC_FILE PACKAGE\n\n"
         "Prints \"signature holds: PACKAGE.sig\" and exits with 0 when PACKAGE.sig is a signature\n"
         "of PACKAGE by the key; otherwise (no file, a malformed one, another key's, a changed\n"
         "package) prints \"signature does not hold: PACKAGE.sig\" and exits with 1.\n",
         Verify},
        {"keys", "lists the update keys a Setup.exe trusts",
         "usage: fstool keys EXE\n\n"
         "Prints the public keys built into EXE (its UPDATEKEYS resource), one per line; an\n"
         "executable without any prints \"none: unsigned packages accepted\".\n",
         Keys},
    };
}

}  // namespace marlowen::fstool
