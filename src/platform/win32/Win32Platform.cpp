#include "platform/win32/Win32Platform.h"

namespace marlowen {

TWin32Platform::TWin32Platform()
    : Windows(Application), Platform_{Application, Files, Registry, Shell, Locale, SystemColors, Windows, Clipboard} {}

}  // namespace marlowen
