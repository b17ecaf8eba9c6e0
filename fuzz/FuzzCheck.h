#ifndef MINTU_FUZZ_FUZZCHECK_H
#define MINTU_FUZZ_FUZZCHECK_H
// What the fuzz targets share: a property check that stops the run with the
// property's name, and cutting an input into texts.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#define FUZZ_CHECK(condition)                                                               \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (0)

namespace MintuFuzz {

/// The input cut at every `separator` byte, empty pieces kept.
inline std::vector<std::string> Pieces(const std::uint8_t* data, std::size_t size, char separator) {
  std::vector<std::string> pieces(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (static_cast<char>(data[i]) == separator) {
      pieces.emplace_back();
    } else {
      pieces.back().push_back(static_cast<char>(data[i]));
    }
  }
  return pieces;
}

}  // namespace MintuFuzz

#endif  // MINTU_FUZZ_FUZZCHECK_H
