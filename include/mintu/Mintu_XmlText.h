#ifndef MINTU_XMLTEXT_H
#define MINTU_XMLTEXT_H
// XmlText: the XML text rules of the model in one place. The model holds
// texts and attribute values escaped, as ToXml writes them; callers building
// elements by hand escape with these, and callers reading texts unescape.

#include "mintu/Mintu_Types.h"

namespace Mintu {

class MINTU_API XmlText {
 public:
  /// `text` as element content: "&", "<", ">" and carriage returns escaped
  /// ("&amp;", "&lt;", "&gt;", "&#13;"), so that it reads back unchanged.
  static StringBase Escape(const StringBase& text);
  /// `text` as a double-quoted attribute value: as Escape, and also '"',
  /// tab and line feed ("&quot;", "&#9;", "&#10;"), which a parser would
  /// otherwise read as a space.
  static StringBase EscapeAttribute(const StringBase& text);
  /// The characters an escaped text stands for: the five predefined entities
  /// and character references replaced. Any other "&" is kept as it stands.
  static StringBase Unescape(const StringBase& text);
  /// Whether `text` is an XML 1.0 name (letters, digits, ".-_:" and the
  /// name characters beyond ASCII; not starting with a digit, "." or "-").
  static bool IsName(const StringBase& text);
  /// Whether `text` is UTF-8 made only of characters XML 1.0 allows.
  static bool IsText(const StringBase& text);
};

}  // namespace Mintu

#endif  // MINTU_XMLTEXT_H
