#ifndef PORT_ATOMIC_H
#define PORT_ATOMIC_H
// Atomic increment and decrement of a plain int shared between threads.

#include "port/Port_Export.h"

namespace Port {

/// Adds one to `value` atomically; returns the new value.
PORT_API int SafeIncr(int& value);
/// Takes one from `value` atomically; returns the new value.
PORT_API int SafeDecr(int& value);
/// Reads `value` atomically.
PORT_API int SafeRead(const int& value);

}  // namespace Port

#endif  // PORT_ATOMIC_H
