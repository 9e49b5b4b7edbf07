// Buffers that tell when a call went past the capacity it was given. Two
// kinds, one for each way of looking:
//
// GuardedBuffer<T>: the capacity and a guard zone behind it, all starting
// as a sentinel; GuardIntact() tells afterwards whether anything was
// written past the capacity. Ordinary memory, so a test can also look at
// what a call left inside the capacity.
//
// PageEndBlock and AtPageEnd (common/PageEnd.h): memory that ends where a
// no-access page begins, so a single read or write past the end faults at
// once.
#pragma once

#include <cstddef>
#include <vector>

#include "common/PageEnd.h"

template <typename T>
class GuardedBuffer {
public:
    static constexpr size_t guardUnits = 16;

    explicit GuardedBuffer(size_t capacity, T sentinel = static_cast<T>(0xCDCD))
        : cap(capacity), mark(sentinel), units(capacity + guardUnits, sentinel)
    {
    }

    T* data() { return units.data(); }
    const T* data() const { return units.data(); }
    T& operator[](size_t i) { return units[i]; }
    T operator[](size_t i) const { return units[i]; }
    unsigned capacity() const { return static_cast<unsigned>(cap); }
    // Every unit, the guard zone's included.
    size_t size() const { return units.size(); }
    T sentinel() const { return mark; }

    bool GuardIntact() const
    {
        for (size_t i = cap; i < units.size(); ++i)
            if (units[i] != mark)
                return false;
        return true;
    }

private:
    size_t cap;
    T mark;
    std::vector<T> units;
};
