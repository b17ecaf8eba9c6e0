// Tags cut into namespace and name, and the attributes and elements built
// from them: a tag is refused by all three classes alike or taken by all,
// its pieces join back into it, and copies equal their originals and write
// the same text.

#include "FuzzCheck.h"
#include "mintu/Mintu_AppException.h"
#include "mintu/Mintu_XmlAttribute.h"
#include "mintu/Mintu_XmlElement.h"

using Mintu::StringBase;

namespace {

// The pieces of a taken tag join back into it.
template <class T>
void CheckPieces(const T& item, const StringBase& tag) {
  FUZZ_CHECK(item.GetTag() == tag);
  StringBase joined = item.GetNamespace();
  if (!joined.IsEmpty() || tag.GetIndexOfFirstChar(':') != StringBase::NOT_FOUND) {
    joined.Append(":");
  }
  joined.Append(item.GetName());
  FUZZ_CHECK(joined == tag);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> pieces = MintuFuzz::Pieces(data, size, '\n');
  pieces.resize(2);
  const StringBase tag(pieces[0]), text(pieces[1]);
  int taken = 0;
  try {
    const Mintu::XmlAttribute attribute(tag, text);
    CheckPieces(attribute, tag);
    FUZZ_CHECK(attribute.GetText() == text);
    const Mintu::XmlAttribute copy(attribute);
    FUZZ_CHECK(copy == attribute && !(copy < attribute) && copy.ToXml() == attribute.ToXml());
    ++taken;
  } catch (const Mintu::AppException&) {
  }
  try {
    Mintu::XmlLeafElement leaf(tag, text);
    CheckPieces(leaf, tag);
    leaf.attributes.Add(boost::shared_ptr<Mintu::XmlAttribute>(new Mintu::XmlAttribute("a", text)));
    const Mintu::XmlLeafElement copy(leaf);
    FUZZ_CHECK(copy == leaf && !(copy < leaf) && copy.ToXml("  ") == leaf.ToXml("  "));
    ++taken;
  } catch (const Mintu::AppException&) {
  }
  try {
    Mintu::XmlNestedElement nested(tag);
    CheckPieces(nested, tag);
    nested.elements.Add(boost::shared_ptr<Mintu::XmlElement>(new Mintu::XmlLeafElement("x", text)));
    const Mintu::XmlNestedElement copy(nested);
    FUZZ_CHECK(copy == nested && !(copy < nested) && copy.ToXml("") == nested.ToXml(""));
    ++taken;
  } catch (const Mintu::AppException&) {
  }
  FUZZ_CHECK(taken == 0 || taken == 3);
  return 0;
}
