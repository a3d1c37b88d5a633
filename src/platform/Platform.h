#pragma once

namespace marlowen {

class TApplication;
class TClipboard;
class TFileSystem;
class TLocale;
class TRegistry;
class TShell;
class TSystemColors;
class TWindowHosts;

// Everything portable code may ask of the operating system, handed in at start-up. The services
// are borrowed from a backend (win32 or headless), which outlives every user of this aggregate.
struct TPlatform {
    TApplication& Application;
    TFileSystem& Files;
    TRegistry& Registry;
    TShell& Shell;
    const TLocale& Locale;
    const TSystemColors& SystemColors;
    TWindowHosts& Windows;
    TClipboard& Clipboard;
};

}  // namespace marlowen
