// XmlElementList: deep copies, release of deep trees, tag listing, path
// navigation, text form, sorting and comparison. Every walk down the tree
// keeps its own stack, so a tree as deep as a 10,000-step path is handled
// like a flat one.
#include "port/Port_Init.h"

#include "mintu/Mintu_XmlElementList.h"

#include <algorithm>
#include <cstddef>
#include <memory>
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

// What a copy without children is built from: a type of its own, so that
// nothing can take it for the deep copy constructor's argument.
struct WithoutChildren {
  const XmlNestedElement& of;
};

// allocate_shared builds through the allocator's construct, which can reach
// the private constructor of a copy without children where make_shared
// cannot; the element and its count still share one allocation.
template <class T>
struct ChildlessCopyAllocator {
  typedef T value_type;
  ChildlessCopyAllocator() = default;
  template <class U>
  explicit ChildlessCopyAllocator(const ChildlessCopyAllocator<U>&) noexcept {}
  T* allocate(std::size_t n) { return std::allocator<T>().allocate(n); }
  void deallocate(T* p, std::size_t n) noexcept { std::allocator<T>().deallocate(p, n); }
  void construct(XmlNestedElement* where, WithoutChildren source) {
    A::ConstructWithoutChildren(where, source.of);
  }
  template <class U>
  bool operator==(const ChildlessCopyAllocator<U>&) const noexcept {
    return true;
  }
  template <class U>
  bool operator!=(const ChildlessCopyAllocator<U>&) const noexcept {
    return false;
  }
};

boost::shared_ptr<XmlNestedElement> CopyWithoutChildren(const XmlNestedElement& nested) {
  return boost::allocate_shared<XmlNestedElement>(ChildlessCopyAllocator<XmlNestedElement>(),
                                                  WithoutChildren{nested});
}

// Releases every handle of `items`, which ends empty. The handles are taken
// out first, since a last release may reach back into the list. The children
// of a nested element about to die are spliced into the same sequence right
// behind it first, so no element's destructor has a subtree left to destroy:
// deep trees go without recursion, and splicing allocates nothing, so this
// cannot fail. Members are released depth first, in document order, which is
// the order they were made in: the allocator gets its memory back in runs
// it can merge, rather than scattered.
void ReleaseAll(std::list<XmlElementList::Handle>& items) noexcept {
  std::list<XmlElementList::Handle> dying;
  dying.splice(dying.end(), items);
  while (!dying.empty()) {
    XmlElementList::Handle& front = dying.front();
    if (front.use_count() == 1 && Detail::IsPlainNested(*front)) {
      dying.splice(std::next(dying.begin()), static_cast<XmlNestedElement&>(*front).elements.items);
    }
    dying.pop_front();
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

// Walks, depth first and in list order at every level, the members whose
// tags follow `path`, on an explicit stack so that paths and trees deeper
// than the call stack are safe. `atEnd(handle)` sees each member matching
// the whole path and returns true to stop the walk; `descend(member)` gives
// the child list in which a member matching an earlier step continues the
// path, or null when it leads nowhere.
template <class AtEnd, class Descend>
void WalkPath(const XmlElementList& list, const std::vector<StringBase>& path, AtEnd atEnd,
              Descend descend) {
  if (path.empty()) {
    return;
  }
  std::vector<Step> walk(1, Step{&list, list.items.begin(), 0});
  while (!walk.empty()) {
    Step& step = walk.back();
    if (step.next == step.list->items.end()) {
      walk.pop_back();
      continue;
    }
    const boost::shared_ptr<XmlElement>& member = *step.next;
    ++step.next;
    const std::size_t depth = step.depth;
    if (A::Tag(*member) != path[depth]) {
      continue;
    }
    if (depth + 1 == path.size()) {
      if (atEnd(member)) {
        return;
      }
    } else if (const XmlElementList* children = descend(*member)) {
      walk.push_back(Step{children, children->items.begin(), depth + 1});
    }
  }
}

// The child list of a nested member, for Get and GetLeafElements.
const XmlElementList* ChildrenOf(const XmlElement& member) {
  const XmlNestedElement* nested = Detail::AsNested(member);
  return nested != nullptr ? &nested->elements : nullptr;
}

// The list in which the last step of `path` is to be added: the earlier
// levels reuse the first nested member of their tag, or are created.
XmlElementList& ListForLastStep(XmlElementList& top, const std::vector<StringBase>& path) {
  XmlElementList* list = &top;
  for (std::size_t depth = 0; depth + 1 < path.size(); ++depth) {
    const StringBase& tag = path[depth];
    XmlElementList::const_iterator member = list->items.begin();
    while (member != list->items.end() && A::Tag(**member) != tag) {
      ++member;
    }
    if (member == list->items.end()) {
      boost::shared_ptr<XmlNestedElement> created = boost::make_shared<XmlNestedElement>(tag);
      XmlElementList* children = &created->elements;
      list->items.push_back(std::move(created));
      list = children;
    } else if (XmlNestedElement* nested = Detail::AsNested(**member)) {
      list = &nested->elements;
    } else {
      Detail::ThrowAppException("Cannot add leaf elements to leaf element '%s'\n", tag.c_str());
    }
  }
  return *list;
}

}  // namespace

XmlElementList::XmlElementList(const XmlElementList& other) {
  struct Job {
    const XmlElementList* source;
    const_iterator next;
    XmlElementList* target;
  };
  try {
    std::vector<Job> jobs(1, Job{&other, other.items.begin(), this});
    while (!jobs.empty()) {
      Job& job = jobs.back();
      if (job.next == job.source->items.end()) {
        jobs.pop_back();
        continue;
      }
      const XmlElement& member = **job.next;
      ++job.next;
      XmlElementList* target = job.target;
      if (const XmlLeafElement* leaf = Detail::AsLeaf(member)) {
        target->items.push_back(boost::make_shared<XmlLeafElement>(*leaf));
      } else if (const XmlNestedElement* nested = Detail::AsNested(member)) {
        // The copy's children are copied by this same loop, in order.
        boost::shared_ptr<XmlNestedElement> copy = CopyWithoutChildren(*nested);
        XmlElementList* children = &copy->elements;
        target->items.push_back(std::move(copy));
        jobs.push_back(Job{&nested->elements, nested->elements.items.begin(), children});
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
  bool found = false;
  WalkPath(
      *this, path, [&found](const Handle&) { return found = true; },
      [](const XmlElement& member) -> const XmlElementList* {
        if (!Detail::ReportsNested(member)) {
          return nullptr;
        }
        const XmlElementList* children = ChildrenOf(member);
        if (children == nullptr) {
          Port_MsgManData::debugStub("Non-nested XML element identified as nested.\n");
        }
        return children;
      });
  return found;
}

bool XmlElementList::Has(const StringBase& path) const { return Has(SplitPath(path)); }

boost::shared_ptr<XmlElement> XmlElementList::Get(std::vector<StringBase> path) const {
  Handle found;
  WalkPath(
      *this, path,
      [&found](const Handle& member) {
        found = member;
        return true;
      },
      ChildrenOf);
  return found;
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
  ListForLastStep(*this, path)
      .items.push_back(boost::make_shared<XmlLeafElement>(path.back(), text));
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

boost::shared_ptr<XmlNestedElement> XmlElementList::AddNestedElement(const StringBase& path) {
  const std::vector<StringBase> steps = SplitPath(path);
  if (steps.empty()) {
    Detail::ThrowAppException("Invalid XML tag %s\n", path.c_str());
  }
  boost::shared_ptr<XmlNestedElement> created = boost::make_shared<XmlNestedElement>(steps.back());
  ListForLastStep(*this, steps).items.push_back(created);
  return created;
}

namespace {

// The first member of the kind `As` picks out that the path leads to.
template <class Element, class As>
boost::shared_ptr<Element> GetFirst(const XmlElementList& list, const StringBase& path, As as) {
  boost::shared_ptr<Element> found;
  WalkPath(
      list, SplitPath(path),
      [&found, as](const XmlElementList::Handle& member) {
        if (Element* element = as(*member)) {
          found = boost::shared_ptr<Element>(member, element);
        }
        return found != nullptr;
      },
      ChildrenOf);
  if (!found) {
    Detail::ThrowAppException("Cannot find element '%s'\n", path.c_str());
  }
  return found;
}

}  // namespace

boost::shared_ptr<XmlNestedElement> XmlElementList::GetNested(const StringBase& path) const {
  return GetFirst<XmlNestedElement>(*this, path, [](XmlElement& e) { return Detail::AsNested(e); });
}

boost::shared_ptr<XmlLeafElement> XmlElementList::GetLeaf(const StringBase& path) const {
  return GetFirst<XmlLeafElement>(*this, path, [](XmlElement& e) { return Detail::AsLeaf(e); });
}

std::vector<boost::shared_ptr<XmlLeafElement> > XmlElementList::GetLeafElements(
    std::vector<StringBase> path) const {
  std::vector<boost::shared_ptr<XmlLeafElement> > found;
  WalkPath(
      *this, path,
      [&found, &path](const Handle& member) {
        if (XmlLeafElement* leaf = Detail::AsLeaf(*member)) {
          found.push_back(boost::shared_ptr<XmlLeafElement>(member, leaf));
        } else if (Detail::AsNested(*member) != nullptr) {
          Detail::ThrowAppException("Cannot get leaf elements on nested element '%s'\n",
                                    path.back().c_str());
        }
        return false;
      },
      ChildrenOf);
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

void XmlElementList::sort() { Detail::SortElements(*this); }

bool XmlElementList::operator==(const XmlElementList& other) const {
  return Detail::ElementListEqual(*this, other);
}

bool XmlElementList::operator<(const XmlElementList& other) const {
  return Detail::ElementListLess(*this, other);
}

}  // namespace Mintu
