#include "port/Port_Init.h"
// CRC-32 (zlib's polynomial, inversions and bit order). zlib's own crc32
// works through tables a few bytes at a time; on long inputs folding 64
// bytes at a time with carry-less multiplication is several times faster.
// The folding reduces the input to 16 bytes with the same CRC, and zlib
// finishes those and the tail, so both paths end in zlib's own arithmetic.

#include "utilities/Mintu_Crc32.h"

#include <zlib.h>

#if (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
#define MINTU_CRC32_FOLDING 1
#define MINTU_CRC32_TARGET __attribute__((target("sse2,pclmul")))
#include <immintrin.h>
#elif defined(_MSC_VER) && defined(_M_X64)
#define MINTU_CRC32_FOLDING 1
#define MINTU_CRC32_TARGET
#include <immintrin.h>
#include <intrin.h>
#else
#define MINTU_CRC32_FOLDING 0
#endif

namespace {

std::uint32_t ZlibCrc32(std::uint32_t crc, const unsigned char* data, std::size_t length) {
  return static_cast<std::uint32_t>(crc32_z(crc, data, length));
}

#if MINTU_CRC32_FOLDING

// Shorter inputs go to zlib: setting up the folding does not pay off.
const std::size_t FOLDING_MINIMUM = 256;

bool HasCarrylessMultiply() {
#if defined(_MSC_VER)
  int registers[4];
  __cpuid(registers, 1);
  return (registers[2] & (1 << 1)) != 0;  // ECX bit 1: PCLMULQDQ
#else
  __builtin_cpu_init();
  return __builtin_cpu_supports("pclmul") != 0;
#endif
}

// Moves the 128 bits `x` forward over the distance that the constants `k`
// stand for and adds the 16 bytes found there. The constants are
// x^(d+32) and x^(d-32) modulo the polynomial, bit-reflected, for a distance
// of d = 512 bits (four lanes) or d = 128 bits (one lane).
MINTU_CRC32_TARGET inline __m128i Fold(__m128i x, __m128i k, __m128i next) {
  return _mm_xor_si128(
      _mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)), next);
}

MINTU_CRC32_TARGET inline __m128i Load(const unsigned char* data) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
}

// For `length` of at least 64.
MINTU_CRC32_TARGET std::uint32_t FoldedCrc32(std::uint32_t crc, const unsigned char* data,
                                             std::size_t length) {
  const __m128i fold512 = _mm_set_epi64x(0x1c6e41596LL, 0x154442bd4LL);
  const __m128i fold128 = _mm_set_epi64x(0x0ccaa009eLL, 0x1751997d0LL);

  // zlib's register starts as the inverse of the CRC handed in; it enters
  // the first four bytes.
  __m128i lane0 = _mm_xor_si128(Load(data), _mm_cvtsi32_si128(static_cast<int>(~crc)));
  __m128i lane1 = Load(data + 16);
  __m128i lane2 = Load(data + 32);
  __m128i lane3 = Load(data + 48);
  data += 64;
  length -= 64;
  for (; length >= 64; data += 64, length -= 64) {
    lane0 = Fold(lane0, fold512, Load(data));
    lane1 = Fold(lane1, fold512, Load(data + 16));
    lane2 = Fold(lane2, fold512, Load(data + 32));
    lane3 = Fold(lane3, fold512, Load(data + 48));
  }
  __m128i folded = Fold(lane0, fold128, lane1);
  folded = Fold(folded, fold128, lane2);
  folded = Fold(folded, fold128, lane3);
  for (; length >= 16; data += 16, length -= 16) folded = Fold(folded, fold128, Load(data));

  // The 16 folded bytes have the CRC of everything folded into them, taken
  // from a register of zero (zlib's starting value ~0 means exactly that).
  unsigned char bytes[16];
  _mm_storeu_si128(reinterpret_cast<__m128i*>(bytes), folded);
  crc = ZlibCrc32(0xffffffffu, bytes, sizeof bytes);
  return ZlibCrc32(crc, data, length);
}

#endif  // MINTU_CRC32_FOLDING

}  // namespace

namespace Mintu {
namespace Detail {

std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t length) {
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
#if MINTU_CRC32_FOLDING
  static const bool folding = HasCarrylessMultiply();
  if (folding && length >= FOLDING_MINIMUM) return FoldedCrc32(crc, bytes, length);
#endif
  return ZlibCrc32(crc, bytes, length);
}

}  // namespace Detail
}  // namespace Mintu
