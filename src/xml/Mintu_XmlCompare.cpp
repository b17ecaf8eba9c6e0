// Equality and order of attribute lists, elements and element lists.
//
// Element and list comparisons call one another down the tree. Here one call
// of ==, < or sort works out, once per distinct list object and bottom up,
// what comparing it needs (an id for equality, a sum of its subtree's tags,
// its members in order), keeps explicit stacks instead of recursing, and
// remembers which pairs of lists it has ordered.
#include "port/Port_Init.h"

#include "Mintu_XmlCompare.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include <boost/container/small_vector.hpp>

namespace Mintu {
namespace Detail {

namespace {

typedef XmlAccess A;
typedef boost::container::small_vector<const XmlAttribute*, 8> AttributeRefs;

// ---------------------------------------------------------------------------
// Attribute lists

struct TagLess {
  bool operator()(const XmlAttribute* x, const XmlAttribute* y) const {
    return A::Tag(*x) < A::Tag(*y);
  }
};

// The members sorted by tag; within one tag they keep list order, so the first
// of each run of equal tags is the member that Get(tag) gives.
void SortedByTag(const XmlAttributeList& list, AttributeRefs& out) {
  out.clear();
  for (const XmlAttributeList::Handle& handle : list.items) {
    out.push_back(handle.get());
  }
  // Insertion sort: stable, and attribute lists are short.
  for (std::size_t i = 1; i < out.size(); ++i) {
    const XmlAttribute* item = out[i];
    std::size_t j = i;
    for (; j > 0 && TagLess()(item, out[j - 1]); --j) {
      out[j] = out[j - 1];
    }
    out[j] = item;
  }
}

bool TagPtrLess(const StringBase* x, const StringBase* y) { return *x < *y; }

// ---------------------------------------------------------------------------
// Element order

enum Verdict { LESS, NOT_LESS, CHILDREN };

// The order of two elements down to the point where it hands over to the
// order of two child lists (`children` is set then).
Verdict ElementLessStep(const XmlElement& x, const XmlElement& y,
                        std::pair<const XmlElementList*, const XmlElementList*>& children) {
  if (&x == &y) {
    return NOT_LESS;
  }
  const std::string_view xs = A::Namespace(x);
  const std::string_view ys = A::Namespace(y);
  if (xs < ys) {
    return LESS;
  }
  const bool sameNamespace = xs == ys;
  if (sameNamespace && A::Name(x) < A::Name(y)) {
    return LESS;
  }
  const bool sameName = sameNamespace && A::Name(x) == A::Name(y);
  if (sameName && AttributeListLess(x.attributes, y.attributes)) {
    return LESS;
  }
  const bool xNested = ReportsNested(x);
  const bool yNested = ReportsNested(y);
  if (xNested && yNested) {
    const XmlNestedElement* nx = AsNested(x);
    const XmlNestedElement* ny = AsNested(y);
    if (nx == nullptr || ny == nullptr || !sameName) {
      return NOT_LESS;  // the nested order decides by namespace and name first
    }
    children = std::make_pair(&nx->elements, &ny->elements);
    return CHILDREN;
  }
  if (!xNested && !yNested) {
    const XmlLeafElement* lx = AsLeaf(x);
    const XmlLeafElement* ly = AsLeaf(y);
    if (lx == nullptr || ly == nullptr || !sameName) {
      return NOT_LESS;
    }
    return A::Text(*lx) < A::Text(*ly) ? LESS : NOT_LESS;
  }
  if (xNested) {
    return NOT_LESS;
  }
  return A::Tag(x) == A::Tag(y) && AttributeListEqual(x.attributes, y.attributes) ? LESS : NOT_LESS;
}

// ---------------------------------------------------------------------------
// What one comparison works out once per list object, bottom up

// A tag multiset as a sum of per-tag hashes, so that a list's value is the
// sum of its members' and their subtrees'. Two independent 64-bit halves.
struct TagSum {
  std::uint64_t first = 0;
  std::uint64_t second = 0;
  std::size_t count = 0;
  void Add(const TagSum& other) {
    first += other.first;
    second += other.second;
    count += other.count;
  }
  bool operator==(const TagSum& other) const {
    return first == other.first && second == other.second && count == other.count;
  }
};

std::uint64_t Mix(std::uint64_t h) {
  h ^= h >> 30;
  h *= 0xbf58476d1ce4e5b9ULL;
  h ^= h >> 27;
  h *= 0x94d049bb133111ebULL;
  return h ^ (h >> 31);
}

TagSum SumOf(const StringBase& tag) {
  std::uint64_t a = 0xcbf29ce484222325ULL;
  std::uint64_t b = 0x84222325cbf29ce4ULL;
  for (std::size_t i = 0; i < tag.GetLength(); ++i) {
    const unsigned char c = static_cast<unsigned char>(tag.GetAt(i));
    a = (a ^ c) * 0x100000001b3ULL;
    b = (b + c) * 0x9e3779b97f4a7c15ULL;
  }
  TagSum sum;
  sum.first = Mix(a ^ tag.GetLength());
  sum.second = Mix(b + 0x632be59bd9b4e019ULL);
  sum.count = 1;
  return sum;
}

// An element that equals nothing, not even itself: a caller's class whose
// IsNested answer does not match its class.
const std::uint32_t EQUALS_NOTHING = 0xFFFFFFFFu;

struct ListFacts {
  bool known = false;
  // Equal ids, equal lists (members paired one to one into equal subtrees).
  // A list holding a member that equals nothing gets an id of its own.
  std::uint32_t id = 0;
  bool foreign = false;  // a caller's own class somewhere in the subtree
  TagSum tags;           // the tags of the whole subtree
  bool sorted = false;
  std::vector<const XmlElement*> order;  // the members, stably sorted by ElementLess
};

struct PairHash {
  std::size_t operator()(const std::pair<const void*, const void*>& p) const {
    return static_cast<std::size_t>(Mix(reinterpret_cast<std::uintptr_t>(p.first) * 31 +
                                        reinterpret_cast<std::uintptr_t>(p.second)));
  }
};

void PutBytes(std::string& key, const StringBase& text) {
  const std::uint64_t length = text.GetLength();
  key.append(reinterpret_cast<const char*>(&length), sizeof length);
  key.append(text.GetBuffer(), text.GetLength());
}

// The memory of one call of ==, < or sort. Everything is keyed by the
// object's address, since Add lets one object sit in many lists: the work
// for a subtree is done once per distinct object, bottom up, without
// recursion, and a tree of shared subtrees costs what its distinct objects
// are. The objects are not changed during the call.
class Comparison {
 public:
  bool ListsEqual(const XmlElementList& a, const XmlElementList& b) {
    return &a == &b || Facts(a, false).id == Facts(b, false).id;
  }
  bool ElementsLess(const XmlElement& x, const XmlElement& y);
  bool ListsLess(const XmlElementList& a, const XmlElementList& b);

 private:
  struct Frame {
    std::pair<const void*, const void*> key;
    const std::vector<const XmlElement*>* a;
    const std::vector<const XmlElement*>* b;
    std::size_t next;
  };

  const ListFacts& Facts(const XmlElementList& list, bool sorted);
  void Finish(const XmlElementList& list, bool sorted);
  std::uint32_t ElementId(const XmlElement& e);
  std::uint32_t Intern(const std::string& key);
  Verdict ListLessStep(const XmlElementList& a, const XmlElementList& b, Frame& frame);

  std::unordered_map<const XmlElementList*, ListFacts> lists_;
  std::unordered_map<const XmlElement*, std::uint32_t> elements_;
  std::unordered_map<std::string, std::uint32_t> interned_;
  std::uint32_t nextId_ = 0;
  // List pairs whose order is known: not less, or less.
  std::unordered_set<std::pair<const void*, const void*>, PairHash> notLess_;
  std::unordered_set<std::pair<const void*, const void*>, PairHash> less_;
  // Deep copies compared in place of lists holding callers' classes.
  std::vector<std::unique_ptr<XmlElementList> > copies_;
  std::unordered_map<const XmlElementList*, const XmlElementList*> copyOf_;
};

std::uint32_t Comparison::Intern(const std::string& key) {
  const auto inserted = interned_.emplace(key, nextId_);
  if (inserted.second) {
    ++nextId_;
  }
  return inserted.first->second;
}

// The facts of `list` and of every list below it, worked out in post-order
// on an explicit stack.
const ListFacts& Comparison::Facts(const XmlElementList& list, bool sorted) {
  const auto ready = [this, sorted](const XmlElementList* l) {
    const auto found = lists_.find(l);
    return found != lists_.end() && found->second.known && (!sorted || found->second.sorted);
  };
  if (!ready(&list)) {
    std::vector<std::pair<const XmlElementList*, XmlElementList::const_iterator> > stack;
    stack.emplace_back(&list, list.items.begin());
    while (!stack.empty()) {
      auto& top = stack.back();
      if (top.second == top.first->items.end()) {
        const XmlElementList* done = top.first;
        stack.pop_back();
        Finish(*done, sorted);
        continue;
      }
      const XmlNestedElement* nested = AsNested(**top.second);
      ++top.second;
      if (nested != nullptr && !ready(&nested->elements)) {
        stack.emplace_back(&nested->elements, nested->elements.items.begin());
      }
    }
  }
  return lists_[&list];
}

void Comparison::Finish(const XmlElementList& list, bool sorted) {
  ListFacts& facts = lists_[&list];
  if (!facts.known) {
    std::vector<std::uint32_t> ids;
    bool equalsNothing = false;
    for (const XmlElementList::Handle& handle : list.items) {
      const XmlElement& e = *handle;
      facts.tags.Add(SumOf(A::Tag(e)));
      facts.foreign = facts.foreign || !(IsPlainLeaf(e) || IsPlainNested(e));
      if (const XmlNestedElement* nested = AsNested(e)) {
        const ListFacts& children = lists_[&nested->elements];
        facts.tags.Add(children.tags);
        facts.foreign = facts.foreign || children.foreign;
      }
      const std::uint32_t id = ElementId(e);
      equalsNothing = equalsNothing || id == EQUALS_NOTHING;
      ids.push_back(id);
    }
    if (equalsNothing) {
      facts.id = nextId_++;
    } else {
      std::sort(ids.begin(), ids.end());
      std::string key(1, 'L');
      key.append(reinterpret_cast<const char*>(ids.data()), ids.size() * sizeof(std::uint32_t));
      facts.id = Intern(key);
    }
    facts.known = true;
  }
  if (sorted && !facts.sorted) {
    facts.order.clear();
    for (const XmlElementList::Handle& handle : list.items) {
      facts.order.push_back(handle.get());
    }
    StableMergeSort(facts.order, [this](const XmlElement* x, const XmlElement* y) {
      return ElementsLess(*x, *y);
    });
    facts.sorted = true;
  }
}

// An element's id: equal ids, equal elements (by XmlElement::operator==).
// The lists below it are known already.
std::uint32_t Comparison::ElementId(const XmlElement& e) {
  const auto found = elements_.find(&e);
  if (found != elements_.end()) {
    return found->second;
  }
  const bool nested = ReportsNested(e);
  const XmlNestedElement* asNested = nested ? AsNested(e) : nullptr;
  const XmlLeafElement* asLeaf = nested ? nullptr : AsLeaf(e);
  std::uint32_t id = EQUALS_NOTHING;
  if (asNested != nullptr || asLeaf != nullptr) {
    std::string key(1, asNested != nullptr ? 'N' : 'E');
    PutBytes(key, A::Tag(e));
    // The attribute list as its equality sees it: the sorted tags, and the
    // text of the first member of each tag.
    AttributeRefs sorted;
    SortedByTag(e.attributes, sorted);
    for (std::size_t i = 0; i < sorted.size(); ++i) {
      PutBytes(key, A::Tag(*sorted[i]));
      const bool first = i == 0 || A::Tag(*sorted[i]) != A::Tag(*sorted[i - 1]);
      key.push_back(first ? '1' : '0');
      if (first) {
        PutBytes(key, A::Text(*sorted[i]));
      }
    }
    key.push_back('|');
    if (asNested != nullptr) {
      const std::uint32_t children = lists_[&asNested->elements].id;
      key.append(reinterpret_cast<const char*>(&children), sizeof children);
    } else {
      PutBytes(key, A::Text(*asLeaf));
    }
    id = Intern(key);
  }
  elements_.emplace(&e, id);
  return id;
}

// List order up to the walk over the sorted members: LESS or NOT_LESS when
// decided, CHILDREN when `frame` holds the walk.
Verdict Comparison::ListLessStep(const XmlElementList& a, const XmlElementList& b, Frame& frame) {
  if (&a == &b) {
    return NOT_LESS;
  }
  if (a.items.size() != b.items.size()) {
    return a.items.size() < b.items.size() ? LESS : NOT_LESS;
  }
  const ListFacts& fa = Facts(a, false);
  const ListFacts& fb = Facts(b, false);
  if (fa.id == fb.id) {
    return NOT_LESS;
  }
  // Equal sums are taken for equal tag lists; unequal ones decide here, so
  // the tags are listed only then.
  if (!(fa.tags == fb.tags)) {
    std::vector<const StringBase*> ta;
    std::vector<const StringBase*> tb;
    bool foreign = false;
    CollectSubtreeTags(a, ta, foreign);
    CollectSubtreeTags(b, tb, foreign);
    std::sort(ta.begin(), ta.end(), TagPtrLess);
    std::sort(tb.begin(), tb.end(), TagPtrLess);
    return std::lexicographical_compare(ta.begin(), ta.end(), tb.begin(), tb.end(), TagPtrLess)
               ? LESS
               : NOT_LESS;
  }
  const XmlElementList* sa = &a;
  const XmlElementList* sb = &b;
  if (fa.foreign || fb.foreign) {
    // A copy leaves out or re-classes members of a caller's own classes, so
    // the copies are what must be compared.
    for (const XmlElementList** side : {&sa, &sb}) {
      const auto found = copyOf_.find(*side);
      if (found != copyOf_.end()) {
        *side = found->second;
      } else {
        copies_.emplace_back(new XmlElementList(**side));
        copyOf_.emplace(*side, copies_.back().get());
        *side = copies_.back().get();
      }
    }
  }
  frame.key = std::make_pair(&a, &b);
  frame.a = &Facts(*sa, true).order;
  frame.b = &Facts(*sb, true).order;
  frame.next = 0;
  return CHILDREN;
}

// Element order and list order are alternations of "this pair decides" and
// "the first position of the sorted child lists where one member is less
// decides": the whole comparison is true as soon as any pair reached that way
// is less, and false when every walk ends without one. What a finished walk
// found is kept for the rest of the call.
bool Comparison::ListsLess(const XmlElementList& a, const XmlElementList& b) {
  std::vector<Frame> frames(1);
  Verdict verdict = ListLessStep(a, b, frames.back());
  if (verdict != CHILDREN) {
    return verdict == LESS;
  }
  std::pair<const XmlElementList*, const XmlElementList*> children;
  while (!frames.empty()) {
    Frame& top = frames.back();
    if (top.next >= std::min(top.a->size(), top.b->size())) {
      notLess_.insert(top.key);
      frames.pop_back();
      continue;
    }
    const XmlElement& x = *(*top.a)[top.next];
    const XmlElement& y = *(*top.b)[top.next];
    ++top.next;
    verdict = ElementLessStep(x, y, children);
    if (verdict == CHILDREN) {
      const std::pair<const void*, const void*> key(children.first, children.second);
      if (notLess_.count(key) != 0) {
        continue;
      }
      Frame frame;
      verdict =
          less_.count(key) != 0 ? LESS : ListLessStep(*children.first, *children.second, frame);
      if (verdict == CHILDREN) {
        frames.push_back(frame);
        continue;
      }
    }
    if (verdict == LESS) {
      for (const Frame& open : frames) {
        less_.insert(open.key);
      }
      return true;
    }
  }
  return false;
}

bool Comparison::ElementsLess(const XmlElement& x, const XmlElement& y) {
  std::pair<const XmlElementList*, const XmlElementList*> children;
  const Verdict verdict = ElementLessStep(x, y, children);
  if (verdict != CHILDREN) {
    return verdict == LESS;
  }
  return ListsLess(*children.first, *children.second);
}

}  // namespace

// ---------------------------------------------------------------------------

bool AttributeListEqual(const XmlAttributeList& a, const XmlAttributeList& b) {
  if (&a == &b) {
    return true;
  }
  const std::size_t n = a.items.size();
  if (n != b.items.size()) {
    return false;
  }
  if (n == 0) {
    return true;
  }
  if (n == 1) {
    return *a.items.front() == *b.items.front();
  }
  AttributeRefs sa;
  AttributeRefs sb;
  SortedByTag(a, sa);
  SortedByTag(b, sb);
  for (std::size_t i = 0; i < n; ++i) {
    if (A::Tag(*sa[i]) != A::Tag(*sb[i])) {
      return false;
    }
  }
  // Only the first member of each tag is compared, as Get(tag) gives it.
  for (std::size_t i = 0; i < n; ++i) {
    if ((i == 0 || A::Tag(*sa[i]) != A::Tag(*sa[i - 1])) && A::Text(*sa[i]) != A::Text(*sb[i])) {
      return false;
    }
  }
  return true;
}

bool AttributeListLess(const XmlAttributeList& a, const XmlAttributeList& b) {
  if (&a == &b || AttributeListEqual(a, b)) {
    return false;
  }
  const std::size_t n = a.items.size();
  if (n != b.items.size()) {
    return n < b.items.size();
  }
  AttributeRefs sa;
  AttributeRefs sb;
  SortedByTag(a, sa);
  SortedByTag(b, sb);
  std::size_t firstA = 0;
  std::size_t firstB = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const StringBase& ta = A::Tag(*sa[i]);
    const StringBase& tb = A::Tag(*sb[i]);
    if (i > 0 && ta != A::Tag(*sa[i - 1])) {
      firstA = i;
    }
    if (i > 0 && tb != A::Tag(*sb[i - 1])) {
      firstB = i;
    }
    if (ta < tb) {
      return true;
    }
    if (ta == tb && *sa[firstA] < *sb[firstB]) {
      return true;
    }
  }
  return false;
}

bool ElementEqual(const XmlElement& x, const XmlElement& y) {
  if (&x == &y && (IsPlainLeaf(x) || IsPlainNested(x))) {
    return true;
  }
  if (A::Tag(x) != A::Tag(y) || !AttributeListEqual(x.attributes, y.attributes)) {
    return false;
  }
  const bool xNested = ReportsNested(x);
  if (xNested != ReportsNested(y)) {
    return false;
  }
  if (xNested) {
    const XmlNestedElement* nx = AsNested(x);
    const XmlNestedElement* ny = AsNested(y);
    return nx != nullptr && ny != nullptr && ElementListEqual(nx->elements, ny->elements);
  }
  const XmlLeafElement* lx = AsLeaf(x);
  const XmlLeafElement* ly = AsLeaf(y);
  return lx != nullptr && ly != nullptr && A::Text(*lx) == A::Text(*ly);
}

namespace {

// Whether `a` and `b` pair off member by member in the order they hold them,
// the common case of a list and its copy, answered in one walk without the
// memory of a full comparison. False means only "not shown equal this way".
// Each pair of lists is walked once, so shared subtrees cost what their
// distinct objects are; callers' own classes are left to the full comparison.
bool EqualInOrder(const XmlElementList& a, const XmlElementList& b) {
  typedef std::pair<const void*, const void*> ListPair;
  std::vector<std::pair<const XmlElementList*, const XmlElementList*> > pending(1, {&a, &b});
  std::unordered_set<ListPair, PairHash> walked;
  while (!pending.empty()) {
    const XmlElementList* x = pending.back().first;
    const XmlElementList* y = pending.back().second;
    pending.pop_back();
    if (x->items.size() != y->items.size()) {
      return false;
    }
    if (x == y || !walked.insert(ListPair(x, y)).second) {
      continue;
    }
    for (auto i = x->items.begin(), j = y->items.begin(); i != x->items.end(); ++i, ++j) {
      const XmlElement& ex = **i;
      const XmlElement& ey = **j;
      const bool leaf = IsPlainLeaf(ex);
      if (!(leaf ? IsPlainLeaf(ey) : IsPlainNested(ex) && IsPlainNested(ey))) {
        return false;
      }
      if (&ex == &ey) {
        continue;
      }
      if (A::Tag(ex) != A::Tag(ey) || !AttributeListEqual(ex.attributes, ey.attributes)) {
        return false;
      }
      if (leaf) {
        if (A::Text(static_cast<const XmlLeafElement&>(ex)) !=
            A::Text(static_cast<const XmlLeafElement&>(ey))) {
          return false;
        }
      } else {
        pending.emplace_back(&static_cast<const XmlNestedElement&>(ex).elements,
                             &static_cast<const XmlNestedElement&>(ey).elements);
      }
    }
  }
  return true;
}

}  // namespace

bool ElementListEqual(const XmlElementList& a, const XmlElementList& b) {
  if (&a == &b) {
    return true;
  }
  if (a.items.size() != b.items.size()) {
    return false;
  }
  if (EqualInOrder(a, b)) {
    return true;
  }
  Comparison comparison;
  return comparison.ListsEqual(a, b);
}

bool ElementLess(const XmlElement& x, const XmlElement& y) {
  Comparison comparison;
  return comparison.ElementsLess(x, y);
}

bool ElementListLess(const XmlElementList& a, const XmlElementList& b) {
  Comparison comparison;
  return comparison.ListsLess(a, b);
}

void SortElements(std::list<XmlElementList::Handle>& items) {
  Comparison comparison;
  SortHandles(items, [&comparison](const XmlElement& x, const XmlElement& y) {
    return comparison.ElementsLess(x, y);
  });
}

void CollectSubtreeTags(const XmlElementList& list, std::vector<const StringBase*>& tags,
                        bool& foreign) {
  std::vector<const XmlElementList*> pending(1, &list);
  while (!pending.empty()) {
    const XmlElementList* current = pending.back();
    pending.pop_back();
    for (const XmlElementList::Handle& handle : current->items) {
      const XmlElement& e = *handle;
      tags.push_back(&A::Tag(e));
      if (IsPlainLeaf(e)) {
        continue;
      }
      if (IsPlainNested(e)) {
        pending.push_back(&static_cast<const XmlNestedElement&>(e).elements);
        continue;
      }
      foreign = true;
      if (const XmlNestedElement* nested = AsNested(e)) {
        pending.push_back(&nested->elements);
      }
    }
  }
}

}  // namespace Detail
}  // namespace Mintu
