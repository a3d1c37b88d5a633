#pragma once

#include "platform/WindowHost.h"

namespace marlowen {

// The windows of graph containers on Windows. Skinned windows are not part of Setup.exe yet:
// until the child-window host exists, asking for one raises a clear error instead of drawing
// nothing.
class TWin32WindowHosts : public TWindowHosts {
public:
    std::unique_ptr<TWindowHost> CreateHost(TWindowHostEvents& events, int32_t width, int32_t height) override;
    std::unique_ptr<TFormHost> CreateForm(TFormHostEvents& events, int32_t width, int32_t height) override;
    THintPopup& HintPopup() override;
};

}  // namespace marlowen
