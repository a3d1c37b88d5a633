#pragma once

#include <cstdint>

namespace marlowen {

// The system's current user-interface colours, by system-colour index (button face, window text
// and so on). A colour is 0x00BBGGRR; an index the system does not know gives 0 (black).
class TSystemColors {
public:
    virtual ~TSystemColors() = default;
    virtual uint32_t SystemColor(int32_t index) const = 0;
};

}  // namespace marlowen
