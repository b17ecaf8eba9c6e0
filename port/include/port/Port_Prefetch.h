#ifndef PORT_PREFETCH_H
#define PORT_PREFETCH_H
// A hint that memory is about to be read: a walk that jumps between objects
// scattered in memory asks for the next ones a few steps early, so that
// their cache misses overlap instead of following one another. Only a hint:
// any address may be given, and without the compiler's builtin it does
// nothing.

namespace Port {

/// Asks for the cache line holding `address` to be read into cache.
inline void Prefetch(const void* address) {
#if defined(__GNUC__) || defined(__clang__)
  __builtin_prefetch(address);
#else
  (void)address;
#endif
}

}  // namespace Port

#endif  // PORT_PREFETCH_H
