// Test-only: lays out an installed copy exactly as the install steps leave it, by running the
// driver's install steps over a distribution folder with the real platform. The wizard that
// normally calls them is not involved; Setup.exe has no such entry.
//   usage: e2e_install.exe DIST\Setup.exe [--no-desktop-icon] [--folder INSTALL_FOLDER]

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/CoreLibrary.h"
#include "core/Exception.h"
#include "core/FilePaths.h"
#include "core/Languages.h"
#include "core/Utf.h"
#include "platform/Platform.h"
#include "platform/win32/Win32Platform.h"
#include "setup/SetupModule.h"

namespace {

std::vector<std::string> Arguments(int count, wchar_t** words) {
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) args.push_back(marlowen::Utf16ToUtf8(reinterpret_cast<const char16_t*>(words[i])));
    return args;
}

}  // namespace

int wmain(int count, wchar_t** words) {
    const std::vector<std::string> args = Arguments(count, words);
    if (args.empty()) {
        std::fputs("usage: e2e_install.exe DIST\\Setup.exe [--no-desktop-icon] [--folder INSTALL_FOLDER]\n", stderr);
        return 2;
    }
    bool desktopIcon = true;
    std::string folder;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--no-desktop-icon") {
            desktopIcon = false;
        } else if (args[i] == "--folder" && i + 1 < args.size()) {
            folder = args[++i];
        } else {
            std::fprintf(stderr, "e2e_install: unknown argument %s\n", args[i].c_str());
            return 2;
        }
    }
    marlowen::TWin32Platform platform;
    marlowen::TCoreLibrary core(platform.Platform().Locale.SupportsCyrillic());
    try {
        marlowen::Languages->SelectLanguage(u"eng");
        marlowen::TSetupModule module(platform.Platform());
        module.SetupFolder = marlowen::ExtractFileDir(args[0]);
        module.CreateDesktopIcons = desktopIcon;
        if (!folder.empty()) module.InstallFolder = folder;
        module.RunInstall([](const std::string& text, int32_t percent) {
            std::printf("%3d%% %s\n", static_cast<int>(percent), text.c_str());
        });
        std::printf("installed into %s\n", module.InstallFolder.c_str());
        return 0;
    } catch (const marlowen::Exception& error) {
        std::fprintf(stderr, "e2e_install: %s\n", error.what());
        return 1;
    }
}
