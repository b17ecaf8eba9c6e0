// Atomic int updates: the compiler's builtins, or Interlocked* on MSVC.

#include "port/Port_Atomic.h"

#ifdef _MSC_VER
#include <intrin.h>
#endif

namespace Port {

#ifdef _MSC_VER
static_assert(sizeof(int) == sizeof(long), "Interlocked* work on long");

int SafeIncr(int& value) {
  return static_cast<int>(_InterlockedIncrement(reinterpret_cast<volatile long*>(&value)));
}
int SafeDecr(int& value) {
  return static_cast<int>(_InterlockedDecrement(reinterpret_cast<volatile long*>(&value)));
}
int SafeRead(const int& value) {
  // An aligned int read is atomic on Windows' processors; volatile keeps the
  // compiler from caching it (MSVC gives volatile reads acquire order).
  return *static_cast<const volatile int*>(&value);
}
#else
int SafeIncr(int& value) { return __atomic_add_fetch(&value, 1, __ATOMIC_SEQ_CST); }
int SafeDecr(int& value) { return __atomic_sub_fetch(&value, 1, __ATOMIC_SEQ_CST); }
int SafeRead(const int& value) { return __atomic_load_n(&value, __ATOMIC_SEQ_CST); }
#endif

}  // namespace Port
