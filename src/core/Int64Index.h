#pragma once

#include <cstdint>

#include "core/HashedItems.h"

namespace marlowen {

struct TInt64KeyTraits {
    using TKey = int64_t;
    using TKeyArg = int64_t;
    // Absolute value of the signed remainder.
    static int32_t Bucket(int64_t key, int32_t bucketCount) {
        const int64_t r = key % bucketCount;
        return static_cast<int32_t>(r < 0 ? -r : r);
    }
    static bool Equal(int64_t a, int64_t b) { return a == b; }
};

// An item keyed by a signed 64-bit integer.
using TCustomInt64Item = TKeyedItem<TInt64KeyTraits>;

using TCustomInt64Index = TKeyIndex<TCustomInt64Item, TInt64KeyTraits>;

// An Int64 index of items of class T (derived from TCustomInt64Item).
template <class T>
using TInt64Index = TKeyIndex<T, TInt64KeyTraits>;

}  // namespace marlowen
