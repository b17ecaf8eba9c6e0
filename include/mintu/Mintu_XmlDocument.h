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
  /// Writes ToXml(root) as the whole file at `path`, as mintu writes its
  /// outputs: through a temporary file in the same folder, renamed over the
  /// old one with its owner, mode, ACL and extended attributes, so a crash
  /// leaves the old content or the new; a file with several hard links or
  /// without write permission is refused, a device is written as it is.
  /// Throws AppException "Cannot write %s: %s\n" (path, reason); the file
  /// is then as it was.
  static void WriteFile(const XmlElement& root, const StringBase& path);
};

}  // namespace Mintu

#endif  // MINTU_XMLDOCUMENT_H
