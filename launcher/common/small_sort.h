// Sorting for the launcher's short lists (the version keys of one registry family):
// an insertion sort is as fast as the library's sorts for a few dozen items and a small
// part of their size in the executable.
#pragma once

#include <utility>

namespace kestro {

// Sorts [first, last) by `less`, stably: items that compare equal keep their order.
template <class It, class Less>
void insertionSort(It first, It last, Less less) {
    for (It i = first; i != last; ++i)
        for (It j = i; j != first && less(*j, *(j - 1)); --j) std::swap(*j, *(j - 1));
}

}  // namespace kestro
