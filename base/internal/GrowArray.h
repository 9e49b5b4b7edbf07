// GrowArray: a stack-like array on the library's heap that doubles when
// full. Unlike std::vector it reports running out of memory as a result
// (Push answers false) instead of throwing, as the library's error policy
// asks. Items must be movable without throwing.
#pragma once

#include <cstddef>
#include <new>
#include <utility>

#include "base/internal/DllHeap.h"

template <typename T>
class GrowArray {
public:
    GrowArray() = default;
    ~GrowArray()
    {
        Clear();
        DllHeap::Free(items);
    }
    GrowArray(const GrowArray&) = delete;
    GrowArray& operator=(const GrowArray&) = delete;

    // False, with the array unchanged, when the memory is not there.
    bool Push(T&& item)
    {
        if (count == capacity && !Grow())
            return false;
        new (&items[count]) T(std::move(item));
        ++count;
        return true;
    }
    void Pop()
    {
        items[--count].~T();
    }
    // Destroys the items last first, as a stack unwinds.
    void Clear()
    {
        while (count)
            Pop();
    }

    size_t Size() const { return count; }
    bool Empty() const { return count == 0; }
    T& Top() { return items[count - 1]; }
    T& operator[](size_t index) { return items[index]; }

private:
    bool Grow()
    {
        size_t wanted = capacity ? capacity * 2 : 16;
        T* grown = DllHeap::AllocArray<T>(wanted);
        if (!grown)
            return false;
        for (size_t i = 0; i < count; ++i) {
            new (&grown[i]) T(std::move(items[i]));
            items[i].~T();
        }
        DllHeap::Free(items);
        items = grown;
        capacity = wanted;
        return true;
    }

    T* items = nullptr;
    size_t count = 0;
    size_t capacity = 0;
};
