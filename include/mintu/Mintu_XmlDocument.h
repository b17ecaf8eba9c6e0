#ifndef MINTU_XMLDOCUMENT_H
#define MINTU_XMLDOCUMENT_H
// XmlDocument: a root element made into a whole XML document (the XML
// declaration, then the tree), and the root of a SPIRIT component with the
// namespace declarations and schema location a namespace-aware reader needs.

#include "mintu/Mintu_Types.h"

#include <boost/shared_ptr.hpp>

namespace Mintu {

class XmlElement;
class XmlNestedElement;

class MINTU_API XmlDocument {
 public:
  /// "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
  static const StringBase DECLARATION;
  /// "http://www.w3.org/2001/XMLSchema-instance", the namespace of xsi:schemaLocation.
  static const StringBase XSI_NAMESPACE;

  /// An empty spirit:component declaring xmlns:spirit and xmlns:xsi, with the
  /// SPIRIT 1.4 index schema as xsi:schemaLocation.
  static boost::shared_ptr<XmlNestedElement> NewSpiritComponent();
  /// DECLARATION, then `root` written by its ToXml at no indent.
  static StringBase ToXml(const XmlElement& root);
};

}  // namespace Mintu

#endif  // MINTU_XMLDOCUMENT_H
