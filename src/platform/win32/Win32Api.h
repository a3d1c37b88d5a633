#pragma once

// The one place that brings in the Windows headers. Every source of the real backend includes
// this instead of <windows.h>: the macros that map a name to its A/W function are removed here
// where they collide with operations of this program's classes, so the W function is always
// called by its full name.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif

#include <windows.h>
#include <windowsx.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <sddl.h>
#include <aclapi.h>
#include <exdisp.h>
#include <shldisp.h>

#undef CopyFile
#undef CreateDirectory
#undef CreateWindow
#undef DeleteFile
#undef DrawText
#undef GetMessage
#undef MessageBox
#undef MoveFile
#undef PostMessage
#undef RemoveDirectory
#undef SendMessage
#undef SetWindowText
#undef GetWindowText
