// Test-only: writes an update package whose folders and fields hold what no command line can carry
// (a NUL, control characters), for the scenarios that hand Setup.exe disguised packages. Every
// argument but OUT is percent-decoded ("%00" is a NUL, "%25" a "%").
//   usage: e2e_package.exe OUT KEY LEVEL FILES_FOLDER LINKS_FOLDER [ACTION FILE PATH LINK BODY]...

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/CoreLibrary.h"
#include "core/Exception.h"
#include "core/Utf.h"
#include "setup/UpdatePackage.h"
#include "storage/DataRecords.h"

namespace {

std::string Decoded(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::strtol(text.substr(i + 1, 2).c_str(), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

int wmain(int count, wchar_t** words) {
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) args.push_back(marlowen::Utf16ToUtf8(reinterpret_cast<const char16_t*>(words[i])));
    if (args.size() < 5 || (args.size() - 5) % 5 != 0) {
        std::fputs("usage: e2e_package.exe OUT KEY LEVEL FILES_FOLDER LINKS_FOLDER [ACTION FILE PATH LINK BODY]...\n",
                   stderr);
        return 2;
    }
    marlowen::TCoreLibrary core(true);
    try {
        marlowen::TUpdatePackageHeader header;
        header.FilesFolder = Decoded(args[3]);
        header.LinksFolder = Decoded(args[4]);
        header.UpdateLevel = static_cast<uint32_t>(std::strtoul(args[2].c_str(), nullptr, 10));
        marlowen::TDataRecords actions;
        marlowen::AddUpdateActionFields(actions);
        for (size_t i = 5; i < args.size(); i += 5) {
            marlowen::AddUpdateAction(actions, Decoded(args[i]), Decoded(args[i + 1]), Decoded(args[i + 2]),
                                      Decoded(args[i + 3]), Decoded(args[i + 4]));
        }
        const std::vector<uint8_t> bytes = marlowen::WriteUpdatePackage(header, actions, Decoded(args[1]));
        FILE* out = _wfopen(words[1], L"wb");
        if (out == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() || std::fclose(out) != 0) {
            std::fputs("e2e_package: cannot write the package\n", stderr);
            return 1;
        }
        return 0;
    } catch (const marlowen::Exception& error) {
        std::fprintf(stderr, "e2e_package: %s\n", error.what());
        return 1;
    }
}
