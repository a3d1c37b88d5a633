#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/Exception.h"

namespace marlowen {

// An array list of object references. An owning list (`TObjectList`) frees the objects it drops;
// a reference list (`TObjectRefList`) never frees anything. Counts and indexes are signed 32-bit.
template <class T>
class TCustomObjectList {
public:
    // Three-way comparison: negative, zero or positive.
    using TCompare = std::function<int(T* x, T* y)>;

    TCustomObjectList(const TCustomObjectList&) = delete;
    TCustomObjectList& operator=(const TCustomObjectList&) = delete;
    virtual ~TCustomObjectList() { SetCount(0); }

    int32_t Count() const { return Count_; }
    int32_t Capacity() const { return static_cast<int32_t>(Items_.size()); }
    bool OwnsObjects() const { return Owns_; }

    T* Items(int32_t index) const { return Items_[CheckedIndex(index)]; }
    T* operator[](int32_t index) const { return Items(index); }
    T* const* begin() const { return Items_.data(); }
    T* const* end() const { return Items_.data() + Count_; }

    // Shrinking frees the dropped objects of an owning list; growing adds empty slots.
    void SetCount(int32_t n) {
        if (n < 0) throw Exception("Неверное количество элементов списка (" + std::to_string(n) + ").");
        if (n > Capacity()) Items_.resize(static_cast<size_t>(n), nullptr);
        std::vector<T*> dropped;
        for (int32_t i = n; i < Count_; ++i) dropped.push_back(std::exchange(Items_[i], nullptr));
        for (int32_t i = Count_; i < n; ++i) Items_[i] = nullptr;
        Count_ = n;
        for (T* object : dropped) Release(object);
    }

    // Deletes the entries from max(index, 0) to min(index + count - 1, Count - 1).
    void DeleteRange(int32_t index, int32_t count) {
        const int64_t first = std::max<int64_t>(index, 0);
        const int64_t last = std::min<int64_t>(int64_t{index} + count - 1, int64_t{Count_} - 1);
        if (first > last) return;
        const auto from = Items_.begin() + first;
        const auto to = Items_.begin() + last + 1;
        std::vector<T*> dropped(from, to);
        std::fill(std::move(to, Items_.begin() + Count_, from), Items_.begin() + Count_, nullptr);
        Count_ -= static_cast<int32_t>(last - first + 1);
        for (T* object : dropped) Release(object);
    }

    void Clear() { SetCount(0); }

    // The capacity never falls below the count.
    void SetCapacity(int32_t n) {
        n = std::max(n, Count_);
        if (n != Capacity()) {
            Items_.resize(static_cast<size_t>(n), nullptr);
            Items_.shrink_to_fit();
        }
    }

    void Sort(const TCompare& compare) {
        if (Count_ < 2) return;
        if (!compare) throw Exception("Не задана функция сравнения элементов.");
        QuickSort(0, Count_ - 1, compare);
    }

protected:
    explicit TCustomObjectList(bool owns) : Owns_(owns) { Items_.resize(10, nullptr); }

    void Append(T* object) {
        if (Count_ == Capacity()) SetCapacity(Capacity() + Capacity() / 2 + 1);
        Items_[Count_++] = object;
    }

    void Store(int32_t index, T* object) { Items_[CheckedIndex(index)] = object; }

    void OpenSlots(int32_t index, int32_t n) {
        if (n <= 0) return;
        index = std::clamp(index, 0, Count_);
        if (int64_t{Count_} + n > Capacity()) SetCapacity(2 * (Count_ + n));
        std::move_backward(Items_.begin() + index, Items_.begin() + Count_, Items_.begin() + Count_ + n);
        Count_ += n;
    }

private:
    int32_t CheckedIndex(int32_t index) const {
        if (index < 0 || index >= Count_) {
            throw Exception("Индекс списка вне допустимых границ (" + std::to_string(index) + ").");
        }
        return index;
    }

    void Release(T* object) {
        if (Owns_) delete object;
    }

    // Quicksort with the middle element as pivot; equal elements are not swapped with each other.
    void QuickSort(int32_t lo, int32_t hi, const TCompare& compare) {
        int32_t i;
        do {
            i = lo;
            int32_t j = hi;
            T* const pivot = Items_[lo + (hi - lo) / 2];
            do {
                int ci, cj;
                while ((ci = compare(Items_[i], pivot)) < 0 && i < hi) ++i;
                while ((cj = compare(Items_[j], pivot)) > 0 && j > lo) --j;
                if (i <= j) {
                    if (ci != 0 || cj != 0) std::swap(Items_[i], Items_[j]);
                    ++i;
                    --j;
                }
            } while (i <= j);
            if (lo < j) QuickSort(lo, j, compare);
            lo = i;
        } while (i < hi);
    }

    std::vector<T*> Items_;  // size() is the capacity
    int32_t Count_ = 0;
    bool Owns_;
};

// Owns its objects: they are freed when they leave the list or the list is destroyed.
template <class T>
class TObjectList : public TCustomObjectList<T> {
public:
    TObjectList() : TCustomObjectList<T>(true) {}

    T* Add(std::unique_ptr<T> object) {
        T* raw = object.get();
        this->Append(raw);
        object.release();
        return raw;
    }
};

// Refers to objects owned elsewhere; never frees them.
template <class T>
class TObjectRefList : public TCustomObjectList<T> {
public:
    TObjectRefList() : TCustomObjectList<T>(false) {}

    void Add(T* object) { this->Append(object); }
    void SetItem(int32_t index, T* object) { this->Store(index, object); }

    // Opens n slots at max(index, 0); they keep stale references until the caller fills them.
    void InsertSpace(int32_t index, int32_t n) { this->OpenSlots(index, n); }
};

}  // namespace marlowen
