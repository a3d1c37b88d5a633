#pragma once

#include "platform/SystemColors.h"

namespace marlowen {

// The colours of the current Windows theme.
class TWin32SystemColors : public TSystemColors {
public:
    uint32_t SystemColor(int32_t index) const override;
};

}  // namespace marlowen
