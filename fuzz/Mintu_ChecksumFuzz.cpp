// Checksum stamps: the file is validated as the plain whole-text reading decides on the same bytes,
// and the computed checksum is the CRC-32 of the lines without "#", joined, written "%8x".

#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

#include "FuzzCheck.h"
#include "mintu/Mintu_Utilities.h"

using Mintu::StringBase;

namespace {

std::string Checksum(const std::string& text) {
  std::string data;
  for (const std::string& line : MintuFuzz::Pieces(text, '\n')) {
    if (line.find('#') == std::string::npos) data += line;
  }
  char text8[16];
  std::snprintf(text8, sizeof text8, "%8x",
                static_cast<unsigned int>(
                    crc32_z(0L, reinterpret_cast<const Bytef*>(data.data()), data.size())));
  return text8;
}

// The whole text read line by line, each line given its line feed; the eight bytes after "# CRC:"
// and one separator compared, case aside, with the checksum of that text.
bool Valid(const std::string& bytes) {
  std::string content = bytes;
  if (!content.empty() && content.back() != '\n') content += '\n';
  const std::size_t stamp = content.find("# CRC:");
  if (stamp == std::string::npos) return true;
  const std::string stored = stamp + 7 < content.size() ? content.substr(stamp + 7, 8) : "";
  const std::string computed = Checksum(content);
  return std::equal(
      stored.begin(), stored.end(), computed.begin(), computed.end(),
      [](unsigned char a, unsigned char b) { return std::tolower(a) == std::tolower(b); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  StringBase checksum;
  FUZZ_CHECK(Mintu::Utilities::CalculateChecksum(StringBase(bytes), checksum) == 0);
  FUZZ_CHECK(checksum.str() == Checksum(bytes));

  static const std::string name =
      MintuFuzz::ScratchFolder() + "/mintu-checksum-fuzz-" + std::to_string(getpid()) + ".txt";
  MintuFuzz::Rewrite(name, data, size);
  bool valid = false;
  FUZZ_CHECK(Mintu::Utilities::ValidateFileChecksum(StringBase(name), valid) == 0);
  FUZZ_CHECK(valid == Valid(bytes));
  // A stamp written or kept validates, and a refusal leaves the bytes alone.
  const Mintu::Utilities::StampResult stamp = Mintu::Utilities::StampFile(StringBase(name));
  const Mintu::Utilities::FileStamp found = Mintu::Utilities::FileChecksum(StringBase(name));
  FUZZ_CHECK(stamp.outcome == Mintu::Utilities::STAMP_REFUSED || (found.stamped && found.valid));
  std::ifstream after(name, std::ios::binary);
  const std::string kept((std::istreambuf_iterator<char>(after)), {});
  FUZZ_CHECK(stamp.outcome == Mintu::Utilities::STAMP_WRITTEN || kept == bytes);
  unlink(name.c_str());
  return 0;
}
