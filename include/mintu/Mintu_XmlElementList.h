#ifndef MINTU_XMLELEMENTLIST_H
#define MINTU_XMLELEMENTLIST_H
// XmlElementList: child elements (or a free-standing fragment) held through
// shared handles in the order they were added, with navigation by tag paths
// such as "spirit:model/spirit:ports/spirit:port". Copies are deep.

#include <list>
#include <utility>
#include <vector>

#include "mintu/Mintu_Types.h"

#include <boost/shared_ptr.hpp>

namespace Mintu {

class XmlElement;
class XmlLeafElement;
class XmlNestedElement;

struct MINTU_API XmlElementList {
  typedef boost::shared_ptr<XmlElement> Handle;
  typedef std::list<Handle>::const_iterator const_iterator;

  XmlElementList() = default;
  /// Deep copy of the whole subtree. Members that are neither leaf nor nested
  /// elements are left out (debugStub "Unable to copy clipped element '%s'.\n").
  XmlElementList(const XmlElementList& other);
  /// Releases every handle; deep trees are taken apart without recursion and
  /// without allocating.
  virtual ~XmlElementList();
  /// Deep copy, then exchange; the target is unchanged if the copy fails.
  XmlElementList& operator=(const XmlElementList& other);

  /// Appends the handle (must not be empty); the element is shared, not copied.
  void Add(boost::shared_ptr<XmlElement> element) { items.push_back(std::move(element)); }
  void clear();
  size_t size() const;
  bool empty() const;
  const_iterator begin() const;
  const_iterator end() const;
  /// The tags of all members and of their subtrees, sorted, repeats kept.
  std::list<StringBase> ListTags() const;

  /// Whether any chain of members with the path's tags reaches its end.
  bool Has(std::vector<StringBase> path) const;
  /// False for a text that gives no path step.
  bool Has(const StringBase& path) const;
  /// First hit, depth first in list order; an empty handle when none.
  boost::shared_ptr<XmlElement> Get(std::vector<StringBase> path) const;
  /// Throws AppException "Cannot find element '%s'\n" when none.
  boost::shared_ptr<XmlElement> Get(const StringBase& path) const;
  /// Adds a new leaf at the end of the path, reusing the first nested member
  /// of each tag and creating missing levels. False only for an empty path.
  /// Throws AppException "Cannot add leaf elements to leaf element '%s'\n" or
  /// "Invalid XML tag %s\n"; levels created before the throw stay.
  bool AddLeafElement(std::vector<StringBase> path, const StringBase& text);
  /// Does nothing for a text that gives no step; else as the path form.
  void AddLeafElement(const StringBase& path, const StringBase& text);
  /// Appends a new, empty nested element at the end of the path, reusing the
  /// earlier levels as AddLeafElement does, so that calling it twice gives two
  /// siblings (two ports, say). Throws as AddLeafElement does, and "Invalid
  /// XML tag %s\n" for a text that gives no step.
  boost::shared_ptr<XmlNestedElement> AddNestedElement(const StringBase& path);
  /// The first nested element the path leads to, depth first in list order.
  /// Throws AppException "Cannot find element '%s'\n" when none.
  boost::shared_ptr<XmlNestedElement> GetNested(const StringBase& path) const;
  /// The first leaf the path leads to, depth first in list order. Throws
  /// AppException "Cannot find element '%s'\n" when none.
  boost::shared_ptr<XmlLeafElement> GetLeaf(const StringBase& path) const;
  /// Every leaf the path leads to, depth first in list order. Throws
  /// AppException "Cannot get leaf elements on nested element '%s'\n" when the
  /// last step names a nested element.
  std::vector<boost::shared_ptr<XmlLeafElement> > GetLeafElements(
      std::vector<StringBase> path) const;
  std::vector<boost::shared_ptr<XmlLeafElement> > GetLeafElements(const StringBase& path) const;

  /// Every member written at `indent`, each by its own class.
  const StringBase ToXml(const StringBase& indent) const;

  /// Stable merge sort by XmlElement::operator<; ends whatever the answers.
  void sort();
  /// Equal when the members pair off one to one into equal subtrees,
  /// whatever their order. A tag holding "/" is compared whole.
  bool operator==(const XmlElementList& other) const;
  /// Shorter first, then by subtree tags, then by sorted members.
  bool operator<(const XmlElementList& other) const;

  /// The members in list order.
  std::list<boost::shared_ptr<XmlElement> > items;

 private:
  friend class XmlModelAccess;
  void swap(XmlElementList& other);
};

}  // namespace Mintu

#endif  // MINTU_XMLELEMENTLIST_H
