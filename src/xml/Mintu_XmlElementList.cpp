// XmlElementList: deep copies, release of deep trees, tag listing, path
// navigation, text form, sorting and comparison. Every walk down the tree
// keeps its own stack, so a tree as deep as a 10,000-step path is handled
// like a flat one.
#include "port/Port_Init.h"

#include "mintu/Mintu_XmlElementList.h"

#include <algorithm>
#include <string>
#include <utility>

#include <boost/make_shared.hpp>

#include "Mintu_XmlCompare.h"
#include "Mintu_XmlDetail.h"
#include "Mintu_XmlWriter.h"
#include "mintu/Mintu_XmlElement.h"
#include "port/Port_Msg.h"

namespace Mintu {

namespace {

typedef Detail::XmlAccess A;

// Releases every handle of `items`, which ends empty. The children of a
// nested element about to die are taken over first, so that no element's
// destructor has a subtree left to destroy: deep trees go without recursion.
void ReleaseAll(std::list<XmlElementList::Handle>& items) {
  std::list<XmlElementList::Handle> pending;
  pending.swap(items);
  while (!pending.empty()) {
    XmlElementList::Handle& front = pending.front();
    if (front.use_count() == 1 && Detail::IsPlainNested(*front)) {
      pending.splice(pending.end(), static_cast<XmlNestedElement&>(*front).elements.items);
    }
    pending.pop_front();
  }
}

std::vector<StringBase> SplitPath(const StringBase& path) {
  return StringBase::Split(path, XmlElement::TAG_SEPARATOR, true, StringBase(), StringBase());
}

// One level of a depth-first walk along a path.
struct Step {
  const XmlElementList* list;
  XmlElementList::const_iterator next;
  std::size_t depth;  // index of the path tag looked for at this level
};

}  // namespace

XmlElementList::XmlElementList() = default;

XmlElementList::XmlElementList(const XmlElementList& other) {
  struct Job {
    std::list<Handle>::const_iterator next;
    std::list<Handle>::const_iterator end;
    XmlElementList* target;
  };
  try {
    std::vector<Job> jobs(1, Job{other.items.begin(), other.items.end(), this});
    while (!jobs.empty()) {
      Job& job = jobs.back();
      if (job.next == job.end) {
        jobs.pop_back();
        continue;
      }
      const XmlElement& member = **job.next;
      ++job.next;
      XmlElementList* target = job.target;
      if (const XmlLeafElement* leaf = dynamic_cast<const XmlLeafElement*>(&member)) {
        target->items.push_back(boost::make_shared<XmlLeafElement>(*leaf));
      } else if (const XmlNestedElement* nested = dynamic_cast<const XmlNestedElement*>(&member)) {
        // The copy's children are copied by this same loop, in order.
        boost::shared_ptr<XmlNestedElement> copy =
            boost::make_shared<XmlNestedElement>(*nested, Detail::BaseOnlyCopy());
        XmlElementList* children = &copy->elements;
        target->items.push_back(std::move(copy));
        jobs.push_back(Job{nested->elements.items.begin(), nested->elements.items.end(), children});
      } else {
        Port_MsgManData::debugStub("Unable to copy clipped element '%s'.\n",
                                   A::Tag(member).c_str());
      }
    }
  } catch (...) {
    ReleaseAll(items);
    throw;
  }
}

XmlElementList::~XmlElementList() { ReleaseAll(items); }

XmlElementList& XmlElementList::operator=(const XmlElementList& other) {
  if (this != &other) {
    XmlElementList copy(other);
    swap(copy);
  }
  return *this;
}

void XmlElementList::swap(XmlElementList& other) { items.swap(other.items); }

void XmlElementList::Add(boost::shared_ptr<XmlElement> element) {
  items.push_back(std::move(element));
}

void XmlElementList::clear() { ReleaseAll(items); }

size_t XmlElementList::size() const { return items.size(); }

bool XmlElementList::empty() const { return items.empty(); }

XmlElementList::const_iterator XmlElementList::begin() const { return items.begin(); }

XmlElementList::const_iterator XmlElementList::end() const { return items.end(); }

std::list<StringBase> XmlElementList::ListTags() const {
  std::vector<const StringBase*> tags;
  bool foreign = false;
  Detail::CollectSubtreeTags(*this, tags, foreign);
  std::sort(tags.begin(), tags.end(),
            [](const StringBase* x, const StringBase* y) { return *x < *y; });
  std::list<StringBase> out;
  for (const StringBase* tag : tags) {
    out.push_back(*tag);
  }
  return out;
}

// --- Path navigation -------------------------------------------------------

bool XmlElementList::Has(std::vector<StringBase> path) const {
  if (path.empty()) {
    return false;
  }
  std::vector<Step> walk(1, Step{this, items.begin(), 0});
  while (!walk.empty()) {
    Step& step = walk.back();
    if (step.next == step.list->items.end()) {
      walk.pop_back();
      continue;
    }
    const XmlElement& member = **step.next;
    ++step.next;
    const std::size_t depth = step.depth;
    if (A::Tag(member) != path[depth]) {
      continue;
    }
    if (depth + 1 == path.size()) {
      return true;
    }
    if (member.IsNested()) {
      if (const XmlNestedElement* nested = dynamic_cast<const XmlNestedElement*>(&member)) {
        walk.push_back(Step{&nested->elements, nested->elements.items.begin(), depth + 1});
      } else {
        Port_MsgManData::debugStub("Non-nested XML element identified as nested.\n");
      }
    }
  }
  return false;
}

bool XmlElementList::Has(const StringBase& path) const { return Has(SplitPath(path)); }

boost::shared_ptr<XmlElement> XmlElementList::Get(std::vector<StringBase> path) const {
  if (path.empty()) {
    return Handle();
  }
  std::vector<Step> walk(1, Step{this, items.begin(), 0});
  while (!walk.empty()) {
    Step& step = walk.back();
    if (step.next == step.list->items.end()) {
      walk.pop_back();
      continue;
    }
    const Handle& member = *step.next;
    ++step.next;
    const std::size_t depth = step.depth;
    if (A::Tag(*member) != path[depth]) {
      continue;
    }
    if (depth + 1 == path.size()) {
      return member;
    }
    if (const XmlNestedElement* nested = dynamic_cast<const XmlNestedElement*>(member.get())) {
      walk.push_back(Step{&nested->elements, nested->elements.items.begin(), depth + 1});
    }
  }
  return Handle();
}

boost::shared_ptr<XmlElement> XmlElementList::Get(const StringBase& path) const {
  const std::vector<StringBase> steps = SplitPath(path);
  Handle found;
  if (!steps.empty()) {
    found = Get(steps);
  }
  if (!found) {
    Detail::ThrowAppException("Cannot find element '%s'\n", path.c_str());
  }
  return found;
}

bool XmlElementList::AddLeafElement(std::vector<StringBase> path, const StringBase& text) {
  if (path.empty()) {
    return false;
  }
  XmlElementList* list = this;
  for (std::size_t depth = 0; depth + 1 < path.size(); ++depth) {
    const StringBase& tag = path[depth];
    std::list<Handle>::const_iterator member = list->items.begin();
    while (member != list->items.end() && A::Tag(**member) != tag) {
      ++member;
    }
    if (member == list->items.end()) {
      boost::shared_ptr<XmlNestedElement> created = boost::make_shared<XmlNestedElement>(tag);
      XmlElementList* children = &created->elements;
      list->items.push_back(std::move(created));
      list = children;
    } else if (XmlNestedElement* nested = dynamic_cast<XmlNestedElement*>(member->get())) {
      list = &nested->elements;
    } else {
      Detail::ThrowAppException("Cannot add leaf elements to leaf element '%s'\n", tag.c_str());
    }
  }
  list->items.push_back(boost::make_shared<XmlLeafElement>(path.back(), text));
  return true;
}

void XmlElementList::AddLeafElement(const StringBase& path, const StringBase& text) {
  std::vector<StringBase> steps = SplitPath(path);
  if (steps.empty()) {
    return;
  }
  if (!AddLeafElement(std::move(steps), text)) {
    Detail::IssueAddFailure(path, text);
  }
}

std::vector<boost::shared_ptr<XmlLeafElement> > XmlElementList::GetLeafElements(
    std::vector<StringBase> path) const {
  std::vector<boost::shared_ptr<XmlLeafElement> > found;
  if (path.empty()) {
    return found;
  }
  std::vector<Step> walk(1, Step{this, items.begin(), 0});
  while (!walk.empty()) {
    Step& step = walk.back();
    if (step.next == step.list->items.end()) {
      walk.pop_back();
      continue;
    }
    const Handle& member = *step.next;
    ++step.next;
    const std::size_t depth = step.depth;
    if (A::Tag(*member) != path[depth]) {
      continue;
    }
    if (depth + 1 == path.size()) {
      if (XmlLeafElement* leaf = dynamic_cast<XmlLeafElement*>(member.get())) {
        found.push_back(boost::shared_ptr<XmlLeafElement>(member, leaf));
      } else if (dynamic_cast<const XmlNestedElement*>(member.get()) != nullptr) {
        Detail::ThrowAppException("Cannot get leaf elements on nested element '%s'\n",
                                  path[depth].c_str());
      }
    } else if (const XmlNestedElement* nested =
                   dynamic_cast<const XmlNestedElement*>(member.get())) {
      walk.push_back(Step{&nested->elements, nested->elements.items.begin(), depth + 1});
    }
  }
  return found;
}

std::vector<boost::shared_ptr<XmlLeafElement> > XmlElementList::GetLeafElements(
    const StringBase& path) const {
  std::vector<StringBase> steps = SplitPath(path);
  if (steps.empty()) {
    return std::vector<boost::shared_ptr<XmlLeafElement> >();
  }
  return GetLeafElements(std::move(steps));
}

// --- Text, order -----------------------------------------------------------

const StringBase XmlElementList::ToXml(const StringBase& indent) const {
  std::string out;
  Detail::WriteElementList(out, *this, indent.str());
  return StringBase(std::move(out));
}

void XmlElementList::sort() {
  // Positions are sorted and the nodes relinked afterwards, which cannot
  // fail: a failure while comparing leaves the list as it was.
  typedef std::list<Handle>::iterator Position;
  std::vector<Position> order;
  order.reserve(items.size());
  for (Position it = items.begin(); it != items.end(); ++it) {
    order.push_back(it);
  }
  Detail::StableMergeSort(order,
                          [](Position x, Position y) { return Detail::ElementLess(**x, **y); });
  std::list<Handle> sorted;
  for (Position it : order) {
    sorted.splice(sorted.end(), items, it);
  }
  items.swap(sorted);
}

bool XmlElementList::operator==(const XmlElementList& other) const {
  return Detail::ElementListEqual(*this, other);
}

bool XmlElementList::operator<(const XmlElementList& other) const {
  return Detail::ElementListLess(*this, other);
}

}  // namespace Mintu
