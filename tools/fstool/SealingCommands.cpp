// fstool seal / unseal / md5: sealed files and digests.

#include <iostream>

#include "CommandLine.h"
#include "ToolCommand.h"
#include "storage/MemStream.h"
#include "storage/SealedStream.h"

namespace marlowen::fstool {

namespace {

int Seal(const std::vector<std::string>& args) {
    const TCommandLine line(args, {"key"});
    line.RequirePositional(2);
    TMemStream stream;
    stream.LoadFromFile(line.Positional()[0]);
    SealStream(stream, line.Required("key"));
    stream.SaveToFile(line.Positional()[1]);
    return 0;
}

int Unseal(const std::vector<std::string>& args) {
    const TCommandLine line(args, {"key"});
    line.RequirePositional(2);
    TMemStream stream;
    stream.LoadFromFile(line.Positional()[0]);
    OpenSealedStream(stream, line.Required("key"));
    stream.SaveToFile(line.Positional()[1]);
    return 0;
}

int Md5(const std::vector<std::string>& args) {
    const TCommandLine line(args, {});
    line.RequirePositional(1);
    TMemStream stream;
    stream.LoadFromFile(line.Positional()[0]);
    std::cout << StreamDigestText(stream) << "\n";
    return 0;
}

}  // namespace

std::vector<TToolCommand> SealingCommands() {
    return {
        {"seal", "seals a file with a key (digest, cipher, checksum)",
         "usage: fstool seal --key KEY IN OUT\n\n"
         "Appends the MD5 digest of IN as 32 upper-case hexadecimal characters, enciphers it all\n"
         "with the RC4 keystream of KEY and appends the 4-byte checksum. OUT is written only when\n"
         "everything succeeded. A sealed empty file is 36 bytes.\n",
         Seal},
        {"unseal", "opens a sealed file, checking its checksum and digest",
         "usage: fstool unseal --key KEY IN OUT\n\n"
         "Reverses \"fstool seal\". A damaged file or a wrong key prints\n"
         "\"Данные повреждены или испорчены.\", exits with status 1 and writes nothing.\n",
         Unseal},
        {"md5", "prints the MD5 digest of a file",
         "usage: fstool md5 FILE\n\n"
         "Prints the MD5 digest of FILE as 32 upper-case hexadecimal characters.\n",
         Md5},
    };
}

}  // namespace marlowen::fstool
