// Versions parsed from three texts: parsing never fails on bad text, a copy
// and a parse of the normalised text agree, and the order is a strict weak
// order whose equivalence is ==, with the derived operators following it.

#include "FuzzCheck.h"
#include "mintu/Mintu_Version.h"

using Mintu::StringBase;
using Mintu::Version;

namespace {

void CheckOne(const std::string& text) {
  Version version{StringBase(text)};
  Version assigned("1.0");
  FUZZ_CHECK(assigned.Assign(StringBase(text)) == version.IsValid());
  FUZZ_CHECK(assigned == version && !(assigned < version));
  FUZZ_CHECK(!version.VersionString().IsEmpty());
  if (version.IsValid()) {
    // The normalised text reads back as the same version.
    const Version again(version.GetText());
    FUZZ_CHECK(again.IsValid() && again == version && again.GetText() == version.GetText());
  } else {
    FUZZ_CHECK(version.GetText() == StringBase(text));
  }
}

void CheckPair(const Version& a, const Version& b) {
  FUZZ_CHECK(!(a < a));
  FUZZ_CHECK(!(a < b && b < a));
  FUZZ_CHECK((a == b) == (!(a < b) && !(b < a)));
  FUZZ_CHECK((a != b) == !(a == b));
  FUZZ_CHECK((a <= b) == (a == b || a < b));
  FUZZ_CHECK((a >= b) == !(a < b));
  FUZZ_CHECK((a > b) == (b < a));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> texts = MintuFuzz::Pieces(data, size, '\n');
  texts.resize(3);
  for (const std::string& text : texts) CheckOne(text);
  const Version a{StringBase(texts[0])}, b{StringBase(texts[1])}, c{StringBase(texts[2])};
  CheckPair(a, b);
  CheckPair(b, c);
  CheckPair(a, c);
  if (a < b && b < c) FUZZ_CHECK(a < c);
  if (!(a < b) && !(b < a) && !(b < c) && !(c < b)) FUZZ_CHECK(!(a < c) && !(c < a));
  return 0;
}
