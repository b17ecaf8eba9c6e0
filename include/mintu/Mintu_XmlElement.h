#ifndef MINTU_XMLELEMENT_H
#define MINTU_XMLELEMENT_H
// The XML elements: the abstract XmlElement (tag and attributes), the
// XmlLeafElement (text) and the XmlNestedElement (children). Elements are
// values, and trees are built by putting handles into `elements`.

#include <cstdint>
#include <iosfwd>

#include "mintu/Mintu_Types.h"
#include "mintu/Mintu_XmlAttributeList.h"
#include "mintu/Mintu_XmlElementList.h"

namespace Mintu {

class MINTU_API XmlElement {
 public:
  /// ":" (splits tags into namespace and name).
  static const StringBase NAMESPACE_SEPARATOR;
  /// "/" (separates the steps of a path text).
  static const StringBase TAG_SEPARATOR;

  XmlElement(const XmlElement& other);
  virtual ~XmlElement();
  /// Assigns attributes, tag, namespace and name only, whatever the classes;
  /// the target is unchanged if a copy fails.
  XmlElement& operator=(const XmlElement& other);

  const StringBase GetTag() const;
  const StringBase GetNamespace() const;
  const StringBase GetName() const;
  virtual bool IsNested() const;
  /// The element as indented XML text, one element per line.
  virtual const StringBase ToXml(const StringBase& indent) const = 0;
  /// Writes what ToXml(indent) gives to `out`, piece by piece: the whole
  /// text is never held. Stream errors are left in `out`'s state.
  void WriteXml(std::ostream& out, const StringBase& indent = StringBase()) const;

  /// Tags, attributes, then text or children of the same kind.
  bool operator==(const XmlElement& other) const;
  bool operator!=(const XmlElement& other) const;
  /// Namespace, name, attributes, then text or children; a leaf sorts before
  /// a nested element of the same tag and attributes. Not a strict order.
  bool operator<(const XmlElement& other) const;
  bool operator<=(const XmlElement& other) const;
  bool operator>(const XmlElement& other) const;
  bool operator>=(const XmlElement& other) const;

  XmlAttributeList attributes;

 protected:
  /// Throws AppException "Invalid XML tag %s\n" for an empty tag or one with
  /// more than one ":".
  explicit XmlElement(const StringBase& tag);
  /// Exchanges the base fields, the attributes through copies; nothing
  /// changes if a copy fails.
  void swap(XmlElement& other);

 private:
  friend class XmlModelAccess;
  friend class XmlLeafElement;
  friend class XmlNestedElement;

  XmlElement(StringBase&& tag, unsigned char kind);
  void Exchange(XmlElement& other, bool withAttributes) noexcept;

  StringBase tag_;
  std::uint32_t separator_;  // where the tag splits; see the sources
  unsigned char kind_;       // which class built the element; see the sources
};

class MINTU_API XmlNestedElement : public XmlElement {
 public:
  /// Throws as XmlElement's constructor does.
  explicit XmlNestedElement(const StringBase& tag);
  /// The same, taking over a tag the caller no longer needs.
  explicit XmlNestedElement(StringBase&& tag);
  /// Deep copy of the whole subtree.
  XmlNestedElement(const XmlNestedElement& other);
  ~XmlNestedElement() override;
  XmlNestedElement& operator=(const XmlNestedElement& other);

  bool IsNested() const override;
  const StringBase ToXml(const StringBase& indent) const override;

  using XmlElement::operator==;
  using XmlElement::operator<;
  /// Tags, attributes and child lists equal.
  bool operator==(const XmlNestedElement& other) const;
  /// Namespace, name, then child lists; attributes take no part.
  bool operator<(const XmlNestedElement& other) const;

  XmlElementList elements;

 private:
  friend class XmlModelAccess;

  struct NoChildren {};
  XmlNestedElement(const XmlNestedElement& other, NoChildren);
  void swap(XmlNestedElement& other);
};

class MINTU_API XmlLeafElement : public XmlElement {
 public:
  /// Throws as XmlElement's constructor does.
  XmlLeafElement(const StringBase& tag, const StringBase& text);
  /// The same, taking over a tag and a text the caller no longer needs.
  XmlLeafElement(StringBase&& tag, StringBase&& text);
  XmlLeafElement(const XmlLeafElement& other);
  ~XmlLeafElement() override;
  XmlLeafElement& operator=(const XmlLeafElement& other);

  const StringBase GetText() const;
  void SetText(const StringBase& text);
  const StringBase ToXml(const StringBase& indent) const override;

  using XmlElement::operator==;
  using XmlElement::operator<;
  /// Tags, texts and attributes equal.
  bool operator==(const XmlLeafElement& other) const;
  /// Namespace, name, then text; attributes take no part.
  bool operator<(const XmlLeafElement& other) const;

 private:
  friend class XmlModelAccess;
  void swap(XmlLeafElement& other);

  StringBase text_;
};

}  // namespace Mintu

#endif  // MINTU_XMLELEMENT_H
