// The stamps' CRC-32 against zlib's crc32 itself: every length around the
// point where folding takes over and around its 16- and 64-byte steps, every
// start offset within 16 bytes, continued CRCs and bytes of every value.

#include "utilities/Mintu_Crc32.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

std::uint32_t Zlib(std::uint32_t crc, const std::string& bytes, std::size_t offset,
                   std::size_t length) {
  return static_cast<std::uint32_t>(
      crc32_z(crc, reinterpret_cast<const Bytef*>(bytes.data() + offset), length));
}

std::string RandomBytes(std::size_t size, unsigned int seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xff);
  return bytes;
}

TEST(Crc32, EqualsZlibForEveryLengthAndOffset) {
  const std::string bytes = RandomBytes(1200, 1);
  for (std::size_t length = 0; length <= 1100; ++length) {
    for (std::size_t offset = 0; offset < 16; ++offset) {
      ASSERT_EQ(Zlib(0, bytes, offset, length),
                Mintu::Detail::Crc32(0, bytes.data() + offset, length))
          << "length " << length << ", offset " << offset;
    }
  }
}

TEST(Crc32, ContinuesAnyCrcAndFoldsUniformBytesLikeZlib) {
  const std::string bytes = RandomBytes(70000, 2);
  const std::uint32_t starts[] = {0u, 1u, 0x80000000u, 0xffffffffu, 0x12345678u, 0xdebb20e3u};
  const std::size_t lengths[] = {0, 1, 63, 64, 255, 256, 257, 1000, 4096, 65536, 70000};
  for (std::uint32_t start : starts) {
    for (std::size_t length : lengths) {
      EXPECT_EQ(Zlib(start, bytes, 0, length), Mintu::Detail::Crc32(start, bytes.data(), length))
          << "start " << start << ", length " << length;
    }
  }
  // Runs of one value make every lane fold the same pattern.
  for (int value : {0x00, 0xff, 0x0a, 0x23, 0x80}) {
    const std::string same(5000, static_cast<char>(value));
    EXPECT_EQ(Zlib(0, same, 0, same.size()), Mintu::Detail::Crc32(0, same.data(), same.size()))
        << "byte " << value;
  }
}

TEST(Crc32, PiecesChainToTheWhole) {
  const std::string bytes = RandomBytes(300000, 3);
  const std::uint32_t whole = Zlib(0, bytes, 0, bytes.size());
  for (std::size_t piece : {1u, 17u, 256u, 1000u, 65536u, 131071u}) {
    std::uint32_t crc = 0;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
      const std::size_t length = std::min(piece, bytes.size() - at);
      crc = Mintu::Detail::Crc32(crc, bytes.data() + at, length);
    }
    EXPECT_EQ(whole, crc) << "pieces of " << piece;
  }
}

}  // namespace
