#ifndef PORT_RANGE_H
#define PORT_RANGE_H
// A piece of a string given by its first and last index, both included.
// A last index below the first means "no piece": that is how searches
// report that nothing matched.

#include <cstddef>

#include "port/Port_Export.h"

struct PORT_API Port_Range {
  std::size_t first;
  std::size_t last;

  /// The empty range (first 1, last 0).
  Port_Range() : first(1), last(0) {}
  Port_Range(std::size_t firstIndex, std::size_t lastIndex) : first(firstIndex), last(lastIndex) {}

  /// True when the range holds no index (last below first).
  bool IsEmpty() const { return last < first; }
  /// Number of indexes in the range; 0 when empty.
  std::size_t GetLength() const { return IsEmpty() ? 0 : last - first + 1; }
};

#endif  // PORT_RANGE_H
