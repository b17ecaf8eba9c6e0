#ifndef MINTU_XMLATTRIBUTELIST_H
#define MINTU_XMLATTRIBUTELIST_H
// XmlAttributeList: the attributes of one element, held through shared
// handles in the order they were added. Copies are deep; Add shares.

#include <list>
#include <utility>

#include "mintu/Mintu_Types.h"
#include "mintu/Mintu_XmlAttribute.h"

#include <boost/shared_ptr.hpp>

namespace Mintu {

struct MINTU_API XmlAttributeList {
  typedef boost::shared_ptr<XmlAttribute> Handle;

  XmlAttributeList() = default;
  /// Deep copy: every member is copied into a new attribute.
  XmlAttributeList(const XmlAttributeList& other);
  virtual ~XmlAttributeList();
  /// Deep copy, then exchange; the target is unchanged if the copy fails.
  XmlAttributeList& operator=(const XmlAttributeList& other);

  /// Appends the handle; the attribute is shared, not copied.
  void Add(boost::shared_ptr<XmlAttribute> attribute) { items.push_back(std::move(attribute)); }
  /// Whether some member's tag equals `tag` (whole tag, case-sensitive).
  bool Has(const StringBase& tag) const;
  /// The first member with that tag; throws AppException
  /// "Cannot find attribute %s\n" when there is none.
  boost::shared_ptr<XmlAttribute> Get(const StringBase& tag);
  const boost::shared_ptr<XmlAttribute> Get(const StringBase& tag) const;
  void clear();
  size_t size() const;
  bool empty() const;
  /// The tags of all members, sorted ascending, repeats kept.
  std::list<StringBase> ListTags() const;

  /// Each attribute preceded by one space; empty for an empty list.
  const StringBase ToXml() const;

  /// Stable merge sort by XmlAttribute::operator<.
  void sort();
  /// Same sorted tags, and for each tag the first members compare equal.
  bool operator==(const XmlAttributeList& other) const;
  /// Shorter first, then by sorted tags and first members (not a strict order).
  bool operator<(const XmlAttributeList& other) const;

  /// The members in list order.
  std::list<boost::shared_ptr<XmlAttribute> > items;

 private:
  void swap(XmlAttributeList& other);
};

}  // namespace Mintu

#endif  // MINTU_XMLATTRIBUTELIST_H
