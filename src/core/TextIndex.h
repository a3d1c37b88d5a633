#pragma once

#include <string>
#include <string_view>

#include "core/HashedItems.h"
#include "core/StringHash.h"

namespace marlowen {

struct TTextKeyTraits {
    using TKey = std::string;
    using TKeyArg = std::string_view;
    static int32_t Bucket(std::string_view key, int32_t bucketCount) { return TextHash(key, bucketCount); }
    static bool Equal(std::string_view a, std::string_view b) { return TextEquals(a, b); }
};

// An item keyed by 8-bit text compared without regard to letter case.
using TCustomTextItem = TKeyedItem<TTextKeyTraits>;

using TCustomTextIndex = TKeyIndex<TCustomTextItem, TTextKeyTraits>;

// A text index of items of class T (derived from TCustomTextItem).
template <class T>
using TTextIndex = TKeyIndex<T, TTextKeyTraits>;

}  // namespace marlowen
