#include "platform/win32/Win32Com.h"

#include "platform/win32/Win32Api.h"

namespace marlowen {

TComInitialization::TComInitialization()
    : Initialized_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}

TComInitialization::~TComInitialization() {
    if (Initialized_) CoUninitialize();
}

}  // namespace marlowen
