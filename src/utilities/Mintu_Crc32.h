#ifndef MINTU_CRC32_H
#define MINTU_CRC32_H
// The CRC-32 of checksum stamps, the value zlib's crc32 gives, computed by
// folding with carry-less multiplication where the processor has it.

#include <cstddef>
#include <cstdint>

namespace Mintu {
namespace Detail {

/// Continues `crc` (0 to start, as with zlib) over `length` bytes: the same
/// value as zlib's crc32_z(crc, data, length) for every input.
std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t length);

}  // namespace Detail
}  // namespace Mintu

#endif  // MINTU_CRC32_H
