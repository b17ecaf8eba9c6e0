#ifndef MINTU_XMLDETAIL_H
#define MINTU_XMLDETAIL_H
// Private helpers shared by the XML model's sources: field access without
// copies, tag splitting, the one funnel for thrown exceptions, and the
// issuing of navigation failures from Mintu_XmlElement.

#include <cstddef>
#include <cstdint>
#include <new>
#include <string_view>
#include <typeinfo>

#include "mintu/Mintu_XmlAttribute.h"
#include "mintu/Mintu_XmlAttributeList.h"
#include "mintu/Mintu_XmlElement.h"
#include "mintu/Mintu_XmlElementList.h"

namespace Mintu {
namespace Detail {

/// Throws AppException(LEVEL_ERROR) with the printf-formatted text. Formats
/// are literals; outside text only ever goes in as a "%s" value.
[[noreturn]] void ThrowAppException(const char* format, ...) PORT_PRINTF(1, 2);

/// Where a tag splits into namespace and name (the separator_ of attributes
/// and elements, which keep the tag once; see SplitTag).
enum : std::uint32_t {
  NO_SEPARATOR = 0xFFFFFFFFu,  // no ":": no namespace, the name is the whole tag
  FAR_SEPARATOR = 0xFFFFFFFEu  // the one ":" lies too far in to be stored; search it
};

/// The one separator of namespace and name in a tag.
const char NAMESPACE_SEPARATOR = ':';

/// Where `tag` splits into namespace and name: NO_SEPARATOR when it holds no
/// separator, else the separator's index (FAR_SEPARATOR when too far in to
/// store). Throws AppException
/// "Invalid XML tag %s\n" for the empty tag and for more than one separator.
std::uint32_t SplitTag(const StringBase& tag);

inline std::size_t SeparatorIndex(const StringBase& tag, std::uint32_t separator) {
  return separator == FAR_SEPARATOR ? tag.str().find(NAMESPACE_SEPARATOR) : separator;
}

inline std::string_view NamespaceOf(const StringBase& tag, std::uint32_t separator) {
  if (separator == NO_SEPARATOR) {
    return std::string_view();
  }
  return std::string_view(tag.GetBuffer(), SeparatorIndex(tag, separator));
}
inline std::string_view NameOf(const StringBase& tag, std::uint32_t separator) {
  const std::string_view whole(tag.GetBuffer(), tag.GetLength());
  if (separator == NO_SEPARATOR) {
    return whole;
  }
  return whole.substr(SeparatorIndex(tag, separator) + 1);
}

/// Issues "Could not add element '%s' value '%s'.\n" (from Mintu_XmlElement).
void IssueAddFailure(const StringBase& path, const StringBase& text);

/// Which of the library's classes built an element (XmlElement's kind_), so
/// that its walks need no run-time type test for them. A caller's class
/// derived from one of them is KIND_OTHER, whatever its base.
constexpr unsigned char KIND_OTHER = 0;
constexpr unsigned char KIND_LEAF = 1;
constexpr unsigned char KIND_NESTED = 2;

}  // namespace Detail

/// The library's one way into the model's private members (each class names
/// it a friend): fields read without copies, and the copies the public
/// interface has no call for. Namespaces and names are views into the tag;
/// they compare as StringBase does (bytes as unsigned values, a proper
/// prefix first).
class XmlModelAccess {
 public:
  static const StringBase& Tag(const XmlAttribute& a) { return a.tag_; }
  static std::string_view Namespace(const XmlAttribute& a) {
    return Detail::NamespaceOf(a.tag_, a.separator_);
  }
  static std::string_view Name(const XmlAttribute& a) {
    return Detail::NameOf(a.tag_, a.separator_);
  }
  static const StringBase& Text(const XmlAttribute& a) { return a.text_; }

  static const StringBase& Tag(const XmlElement& e) { return e.tag_; }
  static std::string_view Namespace(const XmlElement& e) {
    return Detail::NamespaceOf(e.tag_, e.separator_);
  }
  static std::string_view Name(const XmlElement& e) { return Detail::NameOf(e.tag_, e.separator_); }
  static const StringBase& Text(const XmlLeafElement& e) { return e.text_; }

  static bool BuiltAsLeaf(const XmlElement& e) { return e.kind_ == Detail::KIND_LEAF; }
  static bool BuiltAsNested(const XmlElement& e) { return e.kind_ == Detail::KIND_NESTED; }

  /// Builds at `where` an element with the tag and attributes of `e` and no
  /// children yet, so that deep trees can be copied without recursion.
  static void ConstructWithoutChildren(void* where, const XmlNestedElement& e) {
    ::new (where) XmlNestedElement(e, XmlNestedElement::NoChildren());
  }
};

namespace Detail {

/// The name the model's sources know the access class by.
using XmlAccess = ::Mintu::XmlModelAccess;

/// "Namespace, then name, then the rest": the order of attributes and of
/// elements of one kind; `rest()` decides when namespace and name are equal.
template <class T, class Rest>
bool NamespaceNameThen(const T& x, const T& y, Rest rest) {
  const std::string_view ns = XmlAccess::Namespace(x);
  const std::string_view otherNs = XmlAccess::Namespace(y);
  if (ns != otherNs) {
    return ns < otherNs;
  }
  const std::string_view name = XmlAccess::Name(x);
  const std::string_view otherName = XmlAccess::Name(y);
  if (name != otherName) {
    return name < otherName;
  }
  return rest();
}

/// Exactly one of the library's own element classes (not a caller's class
/// derived from one of them): such elements behave as the library defines,
/// so its writers and comparisons may take shortcuts with them. The kind set
/// by the constructors rules out the other class without a type comparison.
inline bool IsPlainLeaf(const XmlElement& e) {
  return XmlAccess::BuiltAsLeaf(e) && typeid(e) == typeid(XmlLeafElement);
}
inline bool IsPlainNested(const XmlElement& e) {
  return XmlAccess::BuiltAsNested(e) && typeid(e) == typeid(XmlNestedElement);
}

/// dynamic_cast, without one for the library's own classes.
inline const XmlLeafElement* AsLeaf(const XmlElement& e) {
  if (IsPlainLeaf(e)) {
    return static_cast<const XmlLeafElement*>(&e);
  }
  if (IsPlainNested(e)) {
    return nullptr;
  }
  return dynamic_cast<const XmlLeafElement*>(&e);
}
inline const XmlNestedElement* AsNested(const XmlElement& e) {
  if (IsPlainNested(e)) {
    return static_cast<const XmlNestedElement*>(&e);
  }
  if (IsPlainLeaf(e)) {
    return nullptr;
  }
  return dynamic_cast<const XmlNestedElement*>(&e);
}
inline XmlLeafElement* AsLeaf(XmlElement& e) {
  return const_cast<XmlLeafElement*>(AsLeaf(static_cast<const XmlElement&>(e)));
}
inline XmlNestedElement* AsNested(XmlElement& e) {
  return const_cast<XmlNestedElement*>(AsNested(static_cast<const XmlElement&>(e)));
}
/// IsNested(), without a virtual call for the library's own classes.
inline bool ReportsNested(const XmlElement& e) {
  if (IsPlainNested(e)) {
    return true;
  }
  if (IsPlainLeaf(e)) {
    return false;
  }
  return e.IsNested();
}

}  // namespace Detail
}  // namespace Mintu

#endif  // MINTU_XMLDETAIL_H
