// Fuzzes the XML reader: any input is either refused with AppException or read into a tree that
// ToXml writes and the reader reads back to an equal tree written with the same bytes.

#include "FuzzCheck.h"
#include "mintu/Mintu_AppException.h"
#include "mintu/Mintu_XmlElement.h"
#include "mintu/Mintu_XmlReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Mintu::StringBase text(reinterpret_cast<const char*>(data), size);
  boost::shared_ptr<Mintu::XmlElement> tree;
  try {
    tree = Mintu::XmlReader::FromString(text);
  } catch (const Mintu::AppException&) {
    return 0;
  }
  const Mintu::StringBase written = tree->ToXml("");
  // What the model wrote must read back: an exception here ends the run as a crash.
  const boost::shared_ptr<Mintu::XmlElement> again = Mintu::XmlReader::FromString(written);
  FUZZ_CHECK(*again == *tree);
  FUZZ_CHECK(again->ToXml("") == written);
  return 0;
}
