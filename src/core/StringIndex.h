#pragma once

#include <string>
#include <string_view>

#include "core/HashedItems.h"
#include "core/StringHash.h"

namespace marlowen {

struct TStringKeyTraits {
    using TKey = std::string;
    using TKeyArg = std::string_view;
    static int32_t Bucket(std::string_view key, int32_t bucketCount) { return BinaryHash(key, bucketCount); }
    static bool Equal(std::string_view a, std::string_view b) { return BinaryEquals(a, b); }
};

// An item keyed by an exact 8-bit byte string.
using TCustomStringItem = TKeyedItem<TStringKeyTraits>;

using TCustomStringIndex = TKeyIndex<TCustomStringItem, TStringKeyTraits>;

// A string index of items of class T (derived from TCustomStringItem).
template <class T>
using TStringIndex = TKeyIndex<T, TStringKeyTraits>;

}  // namespace marlowen
