// Tags cut into namespace and name, and the attributes and elements built from them: a tag is
// refused by all three classes alike or taken by all, its pieces join back into it, and copies
// equal their originals and write the same text.

#include "FuzzCheck.h"
#include "mintu/Mintu_AppException.h"
#include "mintu/Mintu_XmlAttribute.h"
#include "mintu/Mintu_XmlElement.h"

#include <boost/make_shared.hpp>

using Mintu::StringBase;

namespace {

std::string Xml(const Mintu::XmlAttribute& attribute) { return attribute.ToXml().str(); }
std::string Xml(const Mintu::XmlElement& element) { return element.ToXml("  ").str(); }

// 1 when `make` takes the tag: its pieces join back into it, and a copy equals
// it and writes the same text; 0 when it refuses the tag.
template <class T, class Make>
int Taken(const StringBase& tag, Make make) {
  try {
    const T item = make();
    FUZZ_CHECK(item.GetTag() == tag);
    StringBase joined = item.GetNamespace();
    if (!joined.IsEmpty() || tag.GetIndexOfFirstChar(':') != StringBase::NOT_FOUND) {
      joined.Append(":");
    }
    joined.Append(item.GetName());
    FUZZ_CHECK(joined == tag);
    const T copy(item);
    FUZZ_CHECK(copy == item && !(copy < item) && Xml(copy) == Xml(item));
    return 1;
  } catch (const Mintu::AppException&) {
    return 0;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> pieces = MintuFuzz::Pieces(data, size, '\n');
  pieces.resize(2);
  const StringBase tag(pieces[0]), text(pieces[1]);
  const int taken = Taken<Mintu::XmlAttribute>(tag, [&] {
    const Mintu::XmlAttribute attribute(tag, text);
    FUZZ_CHECK(attribute.GetText() == text);
    return attribute;
  });
  FUZZ_CHECK(taken == Taken<Mintu::XmlLeafElement>(tag, [&] {
               Mintu::XmlLeafElement leaf(tag, text);
               leaf.attributes.Add(boost::make_shared<Mintu::XmlAttribute>("a", text));
               return leaf;
             }));
  FUZZ_CHECK(taken == Taken<Mintu::XmlNestedElement>(tag, [&] {
               Mintu::XmlNestedElement nested(tag);
               nested.elements.Add(boost::make_shared<Mintu::XmlLeafElement>("x", text));
               return nested;
             }));
  return 0;
}
