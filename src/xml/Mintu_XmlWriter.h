#ifndef MINTU_XMLWRITER_H
#define MINTU_XMLWRITER_H
// The one writer of the XML model's text form. Every ToXml collects its text
// in chunks and appends it to the result once, at its final size, so writing
// a tree costs time linear in the size of its text whatever its depth; the
// indent of each level is kept in one buffer too. Elements of a caller's own
// classes are written by their own ToXml.

#include <iosfwd>
#include <string>

#include "Mintu_XmlDetail.h"

namespace Mintu {
namespace Detail {

/// Appends ` tag="text"` for each attribute.
void WriteAttributes(std::string& out, const XmlAttributeList& attributes);
/// Appends every member of `list`, each starting at `indent`.
void WriteElementList(std::string& out, const XmlElementList& list, const std::string& indent);
/// Appends `element` (written as a nested element) and its subtree.
void WriteNested(std::string& out, const XmlNestedElement& element, const std::string& indent);
/// Writes `element` and its subtree to `out` in chunks of at most 64 KiB.
void WriteXml(std::ostream& out, const XmlElement& element, const std::string& indent);
/// Appends `element` written as a leaf.
void WriteLeaf(std::string& out, const XmlLeafElement& element, const std::string& indent);

}  // namespace Detail
}  // namespace Mintu

#endif  // MINTU_XMLWRITER_H
