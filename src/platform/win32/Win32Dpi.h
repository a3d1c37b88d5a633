#pragma once

#include <cstdint>

#include "platform/win32/Win32Api.h"

// What the system says of display scales, with the functions of newer systems looked up in
// user32 at run time so that the program still starts where they are missing.
namespace marlowen {

// The dots per inch of the window's display: GetDpiForWindow (Windows 10 1607 and later), else
// the screen's LOGPIXELSX, which is what a per-monitor-aware program sees on older systems.
int32_t WindowDpi(HWND window);
// The dots per inch at a screen point: those of the top-level window there (the program's own
// form, where a hint shows), else the screen's.
int32_t PointDpi(int32_t x, int32_t y);
// The system's non-client metrics (its fonts) for a display of `dpi`: SystemParametersInfoForDpi
// where the system has it, else its metrics with every font height scaled from the screen's DPI.
// False when the system gives none.
bool NonClientMetricsForDpi(int32_t dpi, NONCLIENTMETRICSW& metrics);

}  // namespace marlowen
