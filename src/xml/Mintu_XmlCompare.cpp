// Equality and order of attribute lists, elements and element lists.
//
// Element and list comparisons call one another down the tree. Here each
// comparison keeps an explicit stack of the pairs still to be compared, so
// the depth of a tree never deepens the call stack, and sorted sequences are
// sequences of pointers to the members, not copies of them.
#include "port/Port_Init.h"

#include "Mintu_XmlCompare.h"

#include <algorithm>
#include <string_view>

#include <boost/container/small_vector.hpp>

namespace Mintu {
namespace Detail {

namespace {

typedef XmlAccess A;
typedef boost::container::small_vector<const XmlAttribute*, 8> AttributeRefs;
typedef std::vector<const XmlElement*> ElementRefs;
typedef std::pair<const XmlElement*, const XmlElement*> ElementPair;
typedef std::vector<ElementPair> PairStack;

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

bool ElementsLess(const XmlElement* x, const XmlElement* y) { return ElementLess(*x, *y); }

ElementRefs Members(const XmlElementList& list) {
  ElementRefs out;
  out.reserve(list.items.size());
  for (const XmlElementList::Handle& handle : list.items) {
    out.push_back(handle.get());
  }
  return out;
}

bool TagPtrLess(const StringBase* x, const StringBase* y) { return *x < *y; }
bool TagPtrEqual(const StringBase* x, const StringBase* y) { return *x == *y; }

// ---------------------------------------------------------------------------
// Element equality

// Two lists whose members are, position by position, of the library's own
// classes with equal tags, equal attribute lists (by ==), equal texts and
// child lists that are the same again. Every comparison of the model looks
// only at what this keeps equal, so sorting two such lists moves their
// members the same way: the sorted comparison of equal-tag lists is then
// true without sorting.
bool PositionallyEqual(const XmlElementList& first, const XmlElementList& second) {
  std::vector<std::pair<const XmlElementList*, const XmlElementList*> > lists;
  lists.push_back(std::make_pair(&first, &second));
  while (!lists.empty()) {
    const XmlElementList& a = *lists.back().first;
    const XmlElementList& b = *lists.back().second;
    lists.pop_back();
    if (&a == &b) {
      continue;
    }
    if (a.items.size() != b.items.size()) {
      return false;
    }
    XmlElementList::const_iterator y = b.items.begin();
    for (XmlElementList::const_iterator x = a.items.begin(); x != a.items.end(); ++x, ++y) {
      const XmlElement& ex = **x;
      const XmlElement& ey = **y;
      const bool leaf = IsPlainLeaf(ex);
      if (leaf ? !IsPlainLeaf(ey) : !(IsPlainNested(ex) && IsPlainNested(ey))) {
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
        lists.push_back(std::make_pair(&static_cast<const XmlNestedElement&>(ex).elements,
                                       &static_cast<const XmlNestedElement&>(ey).elements));
      }
    }
  }
  return true;
}

bool HasLeadingSeparator(const XmlElement& e) {
  const StringBase& tag = A::Tag(e);
  return !tag.IsEmpty() && tag.GetAt(0) == ':' && A::Namespace(e).empty();
}

// Whether the tags of the whole subtree hold a repeated tag.
bool SubtreeRepeatsTag(const XmlElementList& list) {
  std::vector<const StringBase*> tags;
  bool foreign = false;
  CollectSubtreeTags(list, tags, foreign);
  std::sort(tags.begin(), tags.end(), TagPtrLess);
  return std::adjacent_find(tags.begin(), tags.end(), TagPtrEqual) != tags.end();
}

// One step of list equality: false when the lists differ here; otherwise
// the member pairs that must still be equal are pushed.
//
// The rule: equal sizes, and then
//  - when a tag repeats in the subtree of `a`: both member sequences sorted
//    stably by XmlElement::operator< and compared pair by pair;
//  - otherwise: each member of `a` equal to the member of `b` with its tag
//    (members of the top level only, compared as whole subtrees).
// Where the top-level tags of `a` are distinct and no two of them share a
// namespace and name, both ways give the same answer (the sorted sequences
// pair the members by tag), so the lookup is used without listing the
// subtree. Equal subtree tag lists follow from a true answer either way.
bool ListEqualStep(const XmlElementList& a, const XmlElementList& b, PairStack& pending) {
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
  ElementRefs ma = Members(a);
  ElementRefs mb = Members(b);

  bool repeated = false;
  bool sharedName = false;
  {
    std::vector<const StringBase*> top;
    top.reserve(n);
    for (const XmlElement* e : ma) {
      top.push_back(&A::Tag(*e));
      sharedName = sharedName || HasLeadingSeparator(*e);
    }
    std::sort(top.begin(), top.end(), TagPtrLess);
    repeated = std::adjacent_find(top.begin(), top.end(), TagPtrEqual) != top.end();
  }
  if (!repeated && sharedName) {
    repeated = SubtreeRepeatsTag(a);
  }

  if (repeated) {
    if (PositionallyEqual(a, b)) {
      return true;
    }
    StableMergeSort(ma, ElementsLess);
    StableMergeSort(mb, ElementsLess);
    for (std::size_t i = n; i-- > 0;) {
      pending.push_back(std::make_pair(ma[i], mb[i]));
    }
    return true;
  }

  // Distinct top-level tags: pair each member of `a` with the first member of
  // `b` that has its tag.
  bool aligned = true;
  for (std::size_t i = 0; i < n && aligned; ++i) {
    aligned = A::Tag(*ma[i]) == A::Tag(*mb[i]);
  }
  if (!aligned) {
    std::vector<const XmlElement*> byTag(mb);
    std::stable_sort(byTag.begin(), byTag.end(), [](const XmlElement* x, const XmlElement* y) {
      return A::Tag(*x) < A::Tag(*y);
    });
    for (std::size_t i = 0; i < n; ++i) {
      const StringBase& tag = A::Tag(*ma[i]);
      std::vector<const XmlElement*>::const_iterator found =
          std::lower_bound(byTag.begin(), byTag.end(), tag,
                           [](const XmlElement* x, const StringBase& t) { return A::Tag(*x) < t; });
      if (found == byTag.end() || A::Tag(**found) != tag) {
        return false;
      }
      mb[i] = *found;
    }
  }
  for (std::size_t i = n; i-- > 0;) {
    pending.push_back(std::make_pair(ma[i], mb[i]));
  }
  return true;
}

// One step of element equality; nested members push their children's pairs.
bool ElementEqualStep(const XmlElement& x, const XmlElement& y, PairStack& pending) {
  if (&x == &y && (IsPlainLeaf(x) || IsPlainNested(x))) {
    return true;
  }
  if (A::Tag(x) != A::Tag(y) || !AttributeListEqual(x.attributes, y.attributes)) {
    return false;
  }
  const bool xNested = ReportsNested(x);
  const bool yNested = ReportsNested(y);
  if (xNested && yNested) {
    const XmlNestedElement* nx = AsNested(x);
    const XmlNestedElement* ny = AsNested(y);
    return nx != nullptr && ny != nullptr && ListEqualStep(nx->elements, ny->elements, pending);
  }
  if (xNested != yNested) {
    return false;
  }
  const XmlLeafElement* lx = AsLeaf(x);
  const XmlLeafElement* ly = AsLeaf(y);
  return lx != nullptr && ly != nullptr && A::Text(*lx) == A::Text(*ly);
}

bool DrainEqual(PairStack& pending) {
  while (!pending.empty()) {
    const ElementPair pair = pending.back();
    pending.pop_back();
    if (!ElementEqualStep(*pair.first, *pair.second, pending)) {
      return false;
    }
  }
  return true;
}

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

// The walk of one list comparison over the two sorted member sequences.
struct LessFrame {
  ElementRefs a;
  ElementRefs b;
  std::size_t next = 0;
  // Deep copies, kept while the walk looks at them (only when a member of a
  // caller's own class makes a copy differ from its source).
  boost::shared_ptr<XmlElementList> copyA;
  boost::shared_ptr<XmlElementList> copyB;
};

// List order up to the walk over the sorted members: LESS or NOT_LESS when
// decided, CHILDREN when `frame` holds the walk.
Verdict ListLessStep(const XmlElementList& a, const XmlElementList& b, LessFrame& frame) {
  if (&a == &b || ElementListEqual(a, b)) {
    return NOT_LESS;
  }
  if (a.items.size() != b.items.size()) {
    return a.items.size() < b.items.size() ? LESS : NOT_LESS;
  }
  std::vector<const StringBase*> ta;
  std::vector<const StringBase*> tb;
  bool foreign = false;
  CollectSubtreeTags(a, ta, foreign);
  CollectSubtreeTags(b, tb, foreign);
  std::sort(ta.begin(), ta.end(), TagPtrLess);
  std::sort(tb.begin(), tb.end(), TagPtrLess);
  if (std::lexicographical_compare(ta.begin(), ta.end(), tb.begin(), tb.end(), TagPtrLess)) {
    return LESS;
  }
  if (ta.size() != tb.size() || !std::equal(ta.begin(), ta.end(), tb.begin(), TagPtrEqual)) {
    return NOT_LESS;
  }
  if (foreign) {
    // A copy leaves out or re-classes members of a caller's own classes, so
    // the copies are what must be compared.
    frame.copyA.reset(new XmlElementList(a));
    frame.copyB.reset(new XmlElementList(b));
    frame.copyA->sort();
    frame.copyB->sort();
    frame.a = Members(*frame.copyA);
    frame.b = Members(*frame.copyB);
  } else {
    frame.a = Members(a);
    frame.b = Members(b);
    StableMergeSort(frame.a, ElementsLess);
    StableMergeSort(frame.b, ElementsLess);
  }
  return CHILDREN;
}

// Element order and list order are alternations of "this pair decides" and
// "the first position of the sorted child lists where one member is less
// decides": the whole comparison is true as soon as any pair reached that way
// is less, and false when every walk ends without one.
bool RunLess(std::vector<LessFrame>& frames) {
  std::pair<const XmlElementList*, const XmlElementList*> children;
  while (!frames.empty()) {
    LessFrame& top = frames.back();
    const std::size_t count = std::min(top.a.size(), top.b.size());
    if (top.next >= count) {
      frames.pop_back();
      continue;
    }
    const XmlElement& x = *top.a[top.next];
    const XmlElement& y = *top.b[top.next];
    ++top.next;
    const Verdict verdict = ElementLessStep(x, y, children);
    if (verdict == LESS) {
      return true;
    }
    if (verdict == CHILDREN) {
      LessFrame frame;
      const Verdict listVerdict = ListLessStep(*children.first, *children.second, frame);
      if (listVerdict == LESS) {
        return true;
      }
      if (listVerdict == CHILDREN) {
        frames.push_back(std::move(frame));
      }
    }
  }
  return false;
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
  // Positionally equal subtrees are equal whatever the rule for each list
  // (see PositionallyEqual): one walk, without the tag lists, answers the
  // common case of comparing a tree with a copy of it.
  if (IsPlainNested(x) && IsPlainNested(y) && A::Tag(x) == A::Tag(y) &&
      AttributeListEqual(x.attributes, y.attributes) &&
      PositionallyEqual(static_cast<const XmlNestedElement&>(x).elements,
                        static_cast<const XmlNestedElement&>(y).elements)) {
    return true;
  }
  PairStack pending;
  pending.push_back(std::make_pair(&x, &y));
  return DrainEqual(pending);
}

bool ElementListEqual(const XmlElementList& a, const XmlElementList& b) {
  if (PositionallyEqual(a, b)) {
    return true;
  }
  PairStack pending;
  return ListEqualStep(a, b, pending) && DrainEqual(pending);
}

bool ElementLess(const XmlElement& x, const XmlElement& y) {
  std::pair<const XmlElementList*, const XmlElementList*> children;
  const Verdict verdict = ElementLessStep(x, y, children);
  if (verdict != CHILDREN) {
    return verdict == LESS;
  }
  return ElementListLess(*children.first, *children.second);
}

bool ElementListLess(const XmlElementList& a, const XmlElementList& b) {
  std::vector<LessFrame> frames(1);
  const Verdict verdict = ListLessStep(a, b, frames.back());
  if (verdict != CHILDREN) {
    return verdict == LESS;
  }
  return RunLess(frames);
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
