// fstool compress / decompress: single files in the compressed container of packs and updates.

#include "CommandLine.h"
#include "InputFile.h"
#include "ToolCommand.h"
#include "storage/CompressedBlock.h"
#include "storage/FileIo.h"

namespace marlowen::fstool {

namespace {

TCompressMethod MethodOption(const TCommandLine& line) {
    const std::string name = line.Value("method", "lzrb");
    const auto method = FindCompressMethod(name);
    if (!method) throw EUsageError("unknown method \"" + name + "\" (lzrb, lzrd or lzwb)");
    return *method;
}

// Runs `transform` over the input file and writes the result only when it succeeded.
template <class Transform>
int TransformFile(const std::vector<std::string>& args, Transform transform) {
    const TCommandLine line(args, {"method"});
    line.RequirePositional(2);
    const TCompressMethod method = MethodOption(line);
    const std::vector<uint8_t> output = transform(method, ReadWholeFile(line.Positional()[0]));
    SaveFileReplacing(line.Positional()[1], output.data(), output.size());
    return 0;
}

int Compress(const std::vector<std::string>& args) {
    return TransformFile(args, [](TCompressMethod method, const std::vector<uint8_t>& data) {
        return CompressBlock(method, data);
    });
}

int Decompress(const std::vector<std::string>& args) {
    return TransformFile(args, [](TCompressMethod method, const std::vector<uint8_t>& data) {
        return DecompressBlock(method, data);
    });
}

}  // namespace

std::vector<TToolCommand> CompressionCommands() {
    return {
        {"compress", "compresses a file into the container of packs and updates",
         "usage: fstool compress [--method lzrb|lzrd|lzwb] IN OUT\n\n"
         "Writes OUT as the 4-byte little-endian size of IN followed by IN compressed with the\n"
         "method (default lzrb, the method of packs and update packages).\n",
         Compress},
        {"decompress", "expands a file made by \"fstool compress\"",
         "usage: fstool decompress [--method lzrb|lzrd|lzwb] IN OUT\n\n"
         "Reverses \"fstool compress\" with the same method (default lzrb). Data that does not\n"
         "decode exactly fails with \"Неверный формат сжатых данных.\" and writes nothing.\n",
         Decompress},
    };
}

}  // namespace marlowen::fstool
