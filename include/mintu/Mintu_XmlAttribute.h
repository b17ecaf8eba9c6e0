#ifndef MINTU_XMLATTRIBUTE_H
#define MINTU_XMLATTRIBUTE_H
// XmlAttribute: one attribute of an XML element, its tag split into namespace
// and name at ":", and its text. A plain value: copyable, assignable and
// ordered, so that attribute lists can compare and sort their members.

#include <cstdint>

#include "mintu/Mintu_Types.h"

namespace Mintu {

class MINTU_API XmlAttribute {
 public:
  /// Throws AppException "Invalid XML tag %s\n" for an empty tag or one with
  /// more than one ":". The tag is kept exactly as given.
  XmlAttribute(const StringBase& tag, const StringBase& text);
  /// The same, taking over a tag and a text the caller no longer needs.
  XmlAttribute(StringBase&& tag, StringBase&& text);
  XmlAttribute(const XmlAttribute& other);
  virtual ~XmlAttribute();
  /// Copy-and-swap: the target is unchanged if the copy fails.
  XmlAttribute& operator=(const XmlAttribute& other);

  /// The tag exactly as passed to the constructor.
  const StringBase GetTag() const;
  /// The part of the tag before ":", or empty.
  const StringBase GetNamespace() const;
  /// The part of the tag after ":", or the whole tag.
  const StringBase GetName() const;
  const StringBase GetText() const;
  /// Replaces the text; tag, namespace and name stay.
  void SetText(const StringBase& text);

  /// tag="text", nothing escaped.
  const StringBase ToXml() const;

  /// Equal tags and equal texts.
  bool operator==(const XmlAttribute& other) const;
  bool operator!=(const XmlAttribute& other) const;
  /// By namespace, then name, then text; the tag itself is no key.
  bool operator<(const XmlAttribute& other) const;
  bool operator<=(const XmlAttribute& other) const;
  bool operator>(const XmlAttribute& other) const;
  bool operator>=(const XmlAttribute& other) const;

 private:
  friend class XmlModelAccess;

  static const StringBase NAMESPACE_SEPARATOR;

  void swap(XmlAttribute& other);

  StringBase tag_;
  StringBase text_;
  std::uint32_t separator_;  // where the tag splits; see the sources
};

}  // namespace Mintu

#endif  // MINTU_XMLATTRIBUTE_H
