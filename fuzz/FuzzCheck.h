#ifndef MINTU_FUZZ_FUZZCHECK_H
#define MINTU_FUZZ_FUZZCHECK_H
// What the fuzz targets share: a property check that stops the run with the
// property's name, cutting an input into texts, and scratch files.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
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

/// The text cut at every `separator` byte, empty pieces kept.
inline std::vector<std::string> Pieces(const std::string& text, char separator) {
  std::vector<std::string> pieces(1);
  for (const char c : text)
    c == separator ? void(pieces.emplace_back()) : pieces.back().push_back(c);
  return pieces;
}
inline std::vector<std::string> Pieces(const std::uint8_t* data, std::size_t size, char separator) {
  return Pieces(std::string(reinterpret_cast<const char*>(data), size), separator);
}

/// A folder for scratch files, in memory where the system offers it.
inline std::string ScratchFolder() { return access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp"; }

/// `path` made anew with these bytes: rewriting a file in place makes some file systems flush it.
inline void Rewrite(const std::string& path, const std::uint8_t* data, std::size_t size) {
  unlink(path.c_str());
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace MintuFuzz

#endif  // MINTU_FUZZ_FUZZCHECK_H
