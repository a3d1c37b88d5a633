#pragma once

#include "platform/Platform.h"
#include "platform/win32/Win32Application.h"
#include "platform/win32/Win32Clipboard.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Locale.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Shell.h"
#include "platform/win32/Win32SystemColors.h"
#include "platform/win32/Win32WindowHosts.h"

namespace marlowen {

// The complete real backend. Create it once, on the GUI thread, before anything else asks the
// system for something; it outlives every user of Platform().
class TWin32Platform {
public:
    TWin32Platform();
    TWin32Platform(const TWin32Platform&) = delete;
    TWin32Platform& operator=(const TWin32Platform&) = delete;

    TPlatform& Platform() { return Platform_; }

    TWin32Shell Shell;  // first: it brings COM up for the thread before the others start
    TWin32Application Application;
    TWin32FileSystem Files;
    TWin32Registry Registry;
    TWin32Locale Locale;
    TWin32SystemColors SystemColors;
    TWin32WindowHosts Windows;
    TWin32Clipboard Clipboard;

private:
    TPlatform Platform_;
};

}  // namespace marlowen
