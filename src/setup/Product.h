#pragma once

namespace marlowen::Product {

// The product's fixed names, used by every flow.
constexpr const char* Name = "Marlowen";                     // uninstall key, display name, folders, link
constexpr const char* Executable = "MarlowenApp.exe";        // shortcut target, App Paths entry
constexpr const char* SetupExecutable = "Setup.exe";         // the installed uninstaller
constexpr const char* LinkFile = "Marlowen.lnk";             // program-group and desktop shortcut
constexpr const char* MakerFolder = "Tovan soft";            // holds the self-deleting batch file
constexpr const char* SettingsKey = "Software\\Tovan\\MarlowenApp";  // local machine and current user

}  // namespace marlowen::Product
