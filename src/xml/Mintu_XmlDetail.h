#ifndef MINTU_XMLDETAIL_H
#define MINTU_XMLDETAIL_H
// Private helpers shared by the XML model's sources: field access without
// copies, tag splitting, the one funnel for thrown exceptions, and the
// issuing of navigation failures from Mintu_XmlElement.

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

/// Splits `tag` at every byte of `separators`, keeping empty pieces. Exactly
/// one or two pieces give the namespace (empty for one) and the name; true
/// then. The empty tag (no piece) and three or more pieces give false.
bool SplitTag(const StringBase& tag, const StringBase& separators, StringBase& nameSpace,
              StringBase& name);

/// Issues "Could not add element '%s' value '%s'.\n" (from Mintu_XmlElement).
void IssueAddFailure(const StringBase& path, const StringBase& text);

/// Read access to private fields, without copies.
struct XmlAccess {
  static const StringBase& Tag(const XmlAttribute& a) { return a.tag_; }
  static const StringBase& Namespace(const XmlAttribute& a) { return a.namespace_; }
  static const StringBase& Name(const XmlAttribute& a) { return a.name_; }
  static const StringBase& Text(const XmlAttribute& a) { return a.text_; }

  static const StringBase& Tag(const XmlElement& e) { return e.tag_; }
  static const StringBase& Namespace(const XmlElement& e) { return e.namespace_; }
  static const StringBase& Name(const XmlElement& e) { return e.name_; }
  static const StringBase& Text(const XmlLeafElement& e) { return e.text_; }
};

/// Exactly one of the library's own element classes (not a caller's class
/// derived from one of them): such elements behave as the library defines,
/// so its writers and comparisons may take shortcuts with them.
inline bool IsPlainLeaf(const XmlElement& e) { return typeid(e) == typeid(XmlLeafElement); }
inline bool IsPlainNested(const XmlElement& e) { return typeid(e) == typeid(XmlNestedElement); }

}  // namespace Detail
}  // namespace Mintu

#endif  // MINTU_XMLDETAIL_H
