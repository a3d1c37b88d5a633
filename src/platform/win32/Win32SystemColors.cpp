#include "platform/win32/Win32SystemColors.h"

#include "platform/win32/Win32Api.h"

namespace marlowen {

uint32_t TWin32SystemColors::SystemColor(int32_t index) const {
    // GetSysColorBrush is null for an index the system does not know; GetSysColor alone cannot tell.
    if (index < 0 || GetSysColorBrush(index) == nullptr) return 0;
    return GetSysColor(index);
}

}  // namespace marlowen
