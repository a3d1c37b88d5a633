#include "platform/headless/HeadlessPlatform.h"

#include <string>
#include <utility>
#include <vector>

#include "core/Exception.h"

namespace marlowen {

namespace {

const char kCurrentVersion[] = "Software\\Microsoft\\Windows\\CurrentVersion";
const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kCommonStartMenu[] = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu";
const char kUserStartMenu[] = "C:\\Users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu";

struct TSeedValue {
    TRegistryRoot Root;
    const char* Key;
    const char* Name;
    std::string Value;
};

std::vector<TSeedValue> FreshWindowsValues() {
    const std::string common = kCommonStartMenu;
    const std::string user = kUserStartMenu;
    const auto lm = TRegistryRoot::LocalMachine;
    const auto cu = TRegistryRoot::CurrentUser;
    return {
        {lm, kCurrentVersion, "ProgramFilesDir", "C:\\Program Files"},
        {lm, kShellFolders, "Common Desktop", "C:\\Users\\Public\\Desktop"},
        {lm, kShellFolders, "Common Start Menu", common},
        {lm, kShellFolders, "Common Programs", common + "\\Programs"},
        {lm, kShellFolders, "Common Startup", common + "\\Programs\\Startup"},
        {lm, kShellFolders, "Common AppData", "C:\\ProgramData"},
        {cu, kShellFolders, "Desktop", "C:\\Users\\user\\Desktop"},
        {cu, kShellFolders, "Start Menu", user},
        {cu, kShellFolders, "Programs", user + "\\Programs"},
        {cu, kShellFolders, "Startup", user + "\\Programs\\Startup"},
        {cu, kShellFolders, "AppData", "C:\\Users\\user\\AppData\\Roaming"},
        {cu, kShellFolders, "Personal", "C:\\Users\\user\\Documents"},
    };
}

}  // namespace

void SeedFreshWindows(TRegistry& registry) {
    for (const auto& seed : FreshWindowsValues()) {
        const auto key = registry.OpenKey(seed.Root, seed.Key, RegistryAccess::ReadWrite, true);
        if (!key) throw Exception(std::string("Не удаётся создать раздел реестра '") + seed.Key + "'.");
        key->WriteString(seed.Name, seed.Value);
    }
}

THeadlessPlatform::THeadlessPlatform(std::filesystem::path root, std::string executablePath)
    : Application(std::move(executablePath)),
      Files(std::move(root)),
      Shell(Files),
      Platform_{Application, Files, Registry, Shell, Locale, SystemColors, Windows, Clipboard} {
    SeedFreshWindows(Registry);
    // The folders exist on a fresh system, so links and files can be saved there at once.
    for (const auto& seed : FreshWindowsValues()) Files.CreateFolder(seed.Value);
}

}  // namespace marlowen
