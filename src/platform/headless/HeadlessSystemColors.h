#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/SystemColors.h"

namespace marlowen {

// A fixed table of the usual default colours for indexes 0-30; a test may change single entries.
class THeadlessSystemColors : public TSystemColors {
public:
    static constexpr int32_t Count = 31;

    THeadlessSystemColors();

    uint32_t SystemColor(int32_t index) const override;
    // An index outside the table is ignored.
    void SetSystemColor(int32_t index, uint32_t colour);

private:
    std::array<uint32_t, Count> Colors_;
};

}  // namespace marlowen
