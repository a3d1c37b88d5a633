#pragma once

#include <filesystem>
#include <string>

#include "platform/Platform.h"
#include "platform/headless/HeadlessApplication.h"
#include "platform/headless/HeadlessClipboard.h"
#include "platform/headless/HeadlessFileSystem.h"
#include "platform/headless/HeadlessLocale.h"
#include "platform/headless/HeadlessRegistry.h"
#include "platform/headless/HeadlessShell.h"
#include "platform/headless/HeadlessSystemColors.h"
#include "platform/headless/HeadlessWindowHost.h"

namespace marlowen {

// Fills a registry as a fresh Windows has it for what the setup reads: the local machine's
// "Software\Microsoft\Windows\CurrentVersion" with "ProgramFilesDir" ("C:\Program Files"), and
// the "Shell Folders" values of both roots (common desktop, start menu, programs, startup,
// application data; the user's desktop, start menu, programs, startup, application data,
// documents), all under "C:\Users\..." and "C:\ProgramData\...".
void SeedFreshWindows(TRegistry& registry);

// A complete headless backend over a root folder of the host, with a freshly seeded registry.
class THeadlessPlatform {
public:
    explicit THeadlessPlatform(std::filesystem::path root,
                               std::string executablePath = "C:\\Setup\\Setup.exe");
    THeadlessPlatform(const THeadlessPlatform&) = delete;
    THeadlessPlatform& operator=(const THeadlessPlatform&) = delete;

    TPlatform& Platform() { return Platform_; }

    THeadlessApplication Application;
    THeadlessFileSystem Files;
    THeadlessRegistry Registry;
    THeadlessShell Shell;
    THeadlessLocale Locale;
    THeadlessSystemColors SystemColors;
    THeadlessWindowHosts Windows{Application};
    THeadlessClipboard Clipboard;

private:
    TPlatform Platform_;
};

}  // namespace marlowen
