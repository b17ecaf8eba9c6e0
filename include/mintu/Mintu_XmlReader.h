#ifndef MINTU_XMLREADER_H
#define MINTU_XMLREADER_H
// XmlReader: reads an XML document (a file or a text) into a tree of the XML
// model. Texts keep their XML escaping, as the model writes them unchanged,
// so reading what ToXml wrote and writing it again gives the same bytes.

#include <cstddef>

#include "mintu/Mintu_Types.h"

#include <boost/shared_ptr.hpp>

namespace Mintu {

class XmlElement;

/// Elements with element children become XmlNestedElement, the others
/// XmlLeafElement (an element without content is an empty leaf). Attributes,
/// namespace declarations among them, keep document order. Comments,
/// processing instructions, the XML declaration and whitespace-only text
/// between elements are dropped; CDATA sections become escaped text. Input is
/// UTF-8; line ends are read as "\n". A document type declaration, mixed
/// content (text beside child elements) and malformed input are refused.
class MINTU_API XmlReader {
 public:
  /// Elements nested deeper than this are refused.
  static const std::size_t MAX_DEPTH = 1000;

  /// The root element of `text`. `name` names the text in messages. Throws
  /// AppException "Cannot read %s: line %lu, column %lu: %s\n" (name, where,
  /// why); no tree is returned then.
  static boost::shared_ptr<XmlElement> FromString(const StringBase& text,
                                                  const StringBase& name = "XML text");
  /// The root element of the file at `path`. Throws AppException as
  /// FromString does (with the path as name), or "Cannot open %s\n".
  static boost::shared_ptr<XmlElement> FromFile(const StringBase& path);
};

}  // namespace Mintu

#endif  // MINTU_XMLREADER_H
