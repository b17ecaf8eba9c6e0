// XmlAttributeList: deep copies, lookup by tag, tag listing, text form,
// sorting and comparison.
#include "port/Port_Init.h"

#include "mintu/Mintu_XmlAttributeList.h"

#include <string>
#include <utility>
#include <vector>

#include <boost/make_shared.hpp>

#include "Mintu_XmlCompare.h"
#include "Mintu_XmlDetail.h"
#include "Mintu_XmlWriter.h"

namespace Mintu {

XmlAttributeList::XmlAttributeList(const XmlAttributeList& other) {
  for (const Handle& attribute : other.items) {
    items.push_back(boost::make_shared<XmlAttribute>(*attribute));
  }
}

XmlAttributeList::~XmlAttributeList() = default;

XmlAttributeList& XmlAttributeList::operator=(const XmlAttributeList& other) {
  if (this != &other) {
    XmlAttributeList copy(other);
    swap(copy);
  }
  return *this;
}

void XmlAttributeList::swap(XmlAttributeList& other) { items.swap(other.items); }

namespace {

// The first member with that tag, or null.
const XmlAttributeList::Handle* Find(const std::list<XmlAttributeList::Handle>& items,
                                     const StringBase& tag) {
  for (const XmlAttributeList::Handle& attribute : items) {
    if (Detail::XmlAccess::Tag(*attribute) == tag) {
      return &attribute;
    }
  }
  return nullptr;
}

}  // namespace

bool XmlAttributeList::Has(const StringBase& tag) const { return Find(items, tag) != nullptr; }

boost::shared_ptr<XmlAttribute> XmlAttributeList::Get(const StringBase& tag) {
  return static_cast<const XmlAttributeList&>(*this).Get(tag);
}

const boost::shared_ptr<XmlAttribute> XmlAttributeList::Get(const StringBase& tag) const {
  if (const Handle* found = Find(items, tag)) {
    return *found;
  }
  Detail::ThrowAppException("Cannot find attribute %s\n", tag.c_str());
}

void XmlAttributeList::clear() { items.clear(); }

size_t XmlAttributeList::size() const { return items.size(); }

bool XmlAttributeList::empty() const { return items.empty(); }

std::list<StringBase> XmlAttributeList::ListTags() const {
  std::list<StringBase> tags;
  for (const Handle& attribute : items) {
    tags.push_back(Detail::XmlAccess::Tag(*attribute));
  }
  tags.sort();
  return tags;
}

const StringBase XmlAttributeList::ToXml() const {
  std::string out;
  Detail::WriteAttributes(out, *this);
  return StringBase(std::move(out));
}

void XmlAttributeList::sort() {
  Detail::SortHandles(items, [](const XmlAttribute& x, const XmlAttribute& y) { return x < y; });
}

bool XmlAttributeList::operator==(const XmlAttributeList& other) const {
  return Detail::AttributeListEqual(*this, other);
}

bool XmlAttributeList::operator<(const XmlAttributeList& other) const {
  return Detail::AttributeListLess(*this, other);
}

}  // namespace Mintu
