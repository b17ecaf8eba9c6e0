// Equality and order of attribute lists, elements and element lists.
//
// Element and list comparisons call one another down the tree. One call of
// ==, < or sort first numbers the subtrees it reaches, bottom up and without
// recursion: subtrees with the same tag, attributes, and text or members in
// the same order share a class number (hash-consing, each match checked, so
// a hash collision costs time, never a wrong answer), and each class gets an
// equality number too, shared by the classes whose members pair off whatever
// their order. Equality is then one comparison of numbers; the order of two
// lists is worked out once per pair of classes, and each class's members are
// sorted once. Everything an answer depends on is the same within a class,
// so working on classes gives the answers that working on objects gives.
#include "port/Port_Init.h"

#include "Mintu_XmlCompare.h"

#include "port/Port_Prefetch.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <string_view>
#include <type_traits>

#include <boost/container/small_vector.hpp>
#include <boost/sort/spreadsort/integer_sort.hpp>
#include <boost/unordered/unordered_flat_map.hpp>
#include <boost/unordered/unordered_flat_set.hpp>

namespace Mintu {
namespace Detail {

namespace {

typedef XmlAccess A;
typedef boost::container::small_vector<const XmlAttribute*, 8> AttributeRefs;

const std::uint32_t NONE = 0xFFFFFFFFu;

// ---------------------------------------------------------------------------
// Attribute lists

// Stable insertion sort of n items: the runs sorted here are mostly a few
// items long, where it beats a call to the library's sort.
template <class T, class Less>
void InsertionSort(T* items, std::size_t n, Less less) {
  for (std::size_t i = 1; i < n; ++i) {
    const T item = items[i];
    std::size_t j = i;
    for (; j > 0 && less(item, items[j - 1]); --j) {
      items[j] = items[j - 1];
    }
    items[j] = item;
  }
}

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
  InsertionSort(out.data(), out.size(), TagLess());
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
// Hashes

std::uint64_t Mix(std::uint64_t h) {
  h ^= h >> 30;
  h *= 0xbf58476d1ce4e5b9ULL;
  h ^= h >> 27;
  h *= 0x94d049bb133111ebULL;
  return h ^ (h >> 31);
}

std::uint64_t Combine(std::uint64_t seed, std::uint64_t value) {
  return Mix(seed ^ (value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2)));
}

// The hash of an element from its parts' numbers and its text's or
// children's hash, with one mixing: the walks hash every element. (As with
// every hash here, another function gives the same answers, more or less
// quickly: equal hashes are always checked.)
std::uint64_t ElementHash(std::uint32_t tag, std::uint32_t attributes, bool nested,
                          std::uint64_t inner) {
  const std::uint64_t kind = nested ? 1 : 2;                       // no-mutate
  const std::uint64_t parts = tag * 0x9e3779b97f4a7c15ULL + kind;  // no-mutate
  return Mix(inner + parts + attributes * 0xc2b2ae3d27d4eb4fULL);  // no-mutate
}

// Hash tables keyed by hashes that are mixed already need not mix them again.
struct MixedHash {
  using is_avalanching = std::true_type;
  std::size_t operator()(std::uint64_t hash) const { return static_cast<std::size_t>(hash); }
};

std::uint64_t HashOf(const StringBase& text) {
  return std::hash<std::string_view>()(std::string_view(text.GetBuffer(), text.GetLength()));
}

std::uint64_t HashOf(const std::uint32_t* ids, std::size_t n) {
  std::uint64_t h = n;
  for (std::size_t i = 0; i < n; ++i) {
    h = (h ^ ids[i]) * 0x100000001b3ULL + (h >> 29);
  }
  return Mix(h);
}

// A tag multiset as a sum of per-tag hashes, so that a list's value is the
// sum of its members' and their subtrees'. Two 64-bit halves.
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

TagSum SumOfTag(std::uint64_t tagHash) {
  TagSum sum;
  sum.first = Mix(tagHash + 0x632be59bd9b4e019ULL);
  sum.second = Mix(tagHash ^ 0x84222325cbf29ce4ULL);
  sum.count = 1;
  return sum;
}

// ---------------------------------------------------------------------------
// Quick answers to equality, tried before numbering classes

struct PairHash {
  std::size_t operator()(const std::pair<const void*, const void*>& p) const {
    return static_cast<std::size_t>(Mix(reinterpret_cast<std::uintptr_t>(p.first) * 31 +
                                        reinterpret_cast<std::uintptr_t>(p.second)));
  }
};

// Whether two lists of one size pair off member by member in the order they
// hold them, the common case of a list and its copy, in one walk in document
// order, so that a difference near the start ends it at once. False means
// only "not shown equal this way". Pairs of lists reached through shared
// handles are walked once, so shared subtrees cost what their distinct
// objects are; callers' own classes are left to the full comparison.
bool EqualInOrder(const XmlElementList& a, const XmlElementList& b) {
  typedef std::pair<const void*, const void*> ListPair;
  struct Level {
    XmlElementList::const_iterator x;
    XmlElementList::const_iterator xEnd;
    XmlElementList::const_iterator y;
  };
  boost::unordered_flat_set<ListPair, PairHash> walked;
  std::vector<Level> levels(1, Level{a.items.begin(), a.items.end(), b.items.begin()});
  while (!levels.empty()) {
    Level& top = levels.back();
    if (top.x == top.xEnd) {
      levels.pop_back();
      continue;
    }
    const XmlElementList::Handle& hx = *top.x;
    const XmlElementList::Handle& hy = *top.y;
    ++top.x;
    ++top.y;
    const XmlElement& ex = *hx;
    const XmlElement& ey = *hy;
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
      continue;
    }
    const XmlElementList& cx = static_cast<const XmlNestedElement&>(ex).elements;
    const XmlElementList& cy = static_cast<const XmlNestedElement&>(ey).elements;
    if (cx.items.size() != cy.items.size()) {
      return false;
    }
    if ((hx.use_count() > 1 || hy.use_count() > 1) && !walked.insert(ListPair(&cx, &cy)).second) {
      continue;
    }
    levels.push_back(Level{cx.items.begin(), cx.items.end(), cy.items.begin()});
  }
  return true;
}

// A text as the quick equality holds it: one of up to 16 bytes whole, in two
// words and its size, so that two such texts are equal exactly when their
// keys are; a longer one by its hash only (its size stands at LONG), to be
// compared byte by byte when it matters.
struct TextKey {
  static const std::uint32_t LONG = 17;

  std::uint64_t first;
  std::uint64_t second;
  std::uint32_t size;

  void Set(const StringBase& text) {
    const std::size_t n = text.GetLength();
    const char* bytes = text.GetBuffer();
    first = 0;
    second = 0;
    size = static_cast<std::uint32_t>(n < LONG ? n : LONG);
    if (n >= 4 && n <= 8) {
      // Two overlapping half words, as below: loads of fixed sizes are
      // single instructions, a copy of n bytes is a call.
      std::uint32_t low;
      std::uint32_t high;
      std::memcpy(&low, bytes, 4);
      std::memcpy(&high, bytes + n - 4, 4);
      first = low | static_cast<std::uint64_t>(high) << 32;
    } else if (n > 0 && n < 4) {
      // The first, middle and last bytes are every byte. (Any shifts that
      // keep them apart give an exact key: changing one changes nothing.)
      const std::uint64_t middle = static_cast<unsigned char>(bytes[n / 2]);  // no-mutate
      const std::uint64_t last = static_cast<unsigned char>(bytes[n - 1]);
      first = static_cast<unsigned char>(bytes[0]) | middle << 8 | last << 16;  // no-mutate
    } else if (n > 8 && n < LONG) {
      // Two overlapping words cover every byte of the text.
      std::memcpy(&first, bytes, 8);
      std::memcpy(&second, bytes + n - 8, 8);
    } else if (n >= LONG) {
      first = HashOf(text);
    }
  }
  std::uint64_t Hash() const {
    return Mix(first * 0x9e3779b97f4a7c15ULL + second + size);  // no-mutate
  }
  bool operator==(const TextKey& other) const {
    return first == other.first && second == other.second && size == other.size;
  }
};

struct TextKeyHash {
  std::size_t operator()(const TextKey& key) const { return key.Hash(); }
};

// Numbers of tags: equal numbers for equal tags, from 0 in the order met.
class TagNumbers {
 public:
  // Trees repeat a few tags over and over: the last ones met are at hand,
  // two to a place, so that two tags that take turns do not push each other
  // out. The one met last stays first.
  std::uint32_t Of(const StringBase& tag) {
    TextKey key;
    key.Set(tag);
    Recent* pair = recent_ + (key.Hash() >> 59) * 2;  // no-mutate
    if (pair[0].key == key) {
      return pair[0].id;
    }
    return Other(tag, key, pair);
  }

 private:
  struct Recent {
    TextKey key{0, 0, TextKey::LONG + 1};  // no tag's: keys are at most LONG long
    std::uint32_t id = 0;
  };

  std::uint32_t Other(const StringBase& tag, const TextKey& key, Recent* pair);

  // Tags of up to 16 bytes by their keys, which are exact; longer ones whole.
  boost::unordered_flat_map<TextKey, std::uint32_t, TextKeyHash> short_;
  Recent recent_[64];
  boost::unordered_flat_map<std::string, std::uint32_t> long_;
};

std::uint32_t TagNumbers::Other(const StringBase& tag, const TextKey& key, Recent* pair) {
  const std::uint32_t next = static_cast<std::uint32_t>(short_.size() + long_.size());
  if (key.size == TextKey::LONG) {
    return long_.try_emplace(tag.str(), next).first->second;
  }
  if (pair[1].key == key) {
    std::swap(pair[0], pair[1]);
    return pair[0].id;
  }
  pair[1] = pair[0];
  pair[0].key = key;
  pair[0].id = short_.try_emplace(key, next).first->second;
  return pair[0].id;
}

// The numbers of tags and of attribute lists in one call: equal numbers,
// equal tags (or attribute lists by AttributeListEqual; 0 for none), so that
// comparing two elements' tags or attributes compares numbers and touches
// neither element. Tags are numbered from 0 in the order they are met.
class Numbers {
 public:
  std::uint32_t Tag(const StringBase& tag) { return tags_.Of(tag); }
  std::uint32_t Attributes(const XmlAttributeList& list) {
    return list.items.empty() ? 0 : ListAttributes(list);
  }

 private:
  std::uint32_t ListAttributes(const XmlAttributeList& list);
  // An attribute as its list's class holds it: the number of its tag and,
  // for the first of its tag (the one Get gives), its text's key; the
  // others' texts take no part.
  struct Entry {
    std::uint32_t tag;
    TextKey text;
    const XmlAttribute* attribute;

    // Long texts' keys are hashes: equal ones are checked whole. (Only two
    // texts whose hashes collide could show that check missing.)
    bool operator==(const Entry& other) const {
      return tag == other.tag && text == other.text &&
             (text.size != TextKey::LONG ||                       // no-mutate
              A::Text(*attribute) == A::Text(*other.attribute));  // no-mutate
    }
  };
  struct AttributeList {
    std::uint32_t begin;  // entries_[begin, +size)
    std::uint32_t size;
    std::uint32_t next;  // the next list of the same hash
  };

  TagNumbers tags_;
  TagNumbers attributeTags_;  // apart: element tags are numbered densely
  std::vector<Entry> entries_;
  std::vector<Entry> scratch_;
  std::vector<AttributeList> attributeLists_;
  boost::unordered_flat_map<std::uint64_t, std::uint32_t, MixedHash> attributeHeads_;
};

// The class of an attribute list: its members sorted by tag number, stably
// so that the first of each tag is the one Get gives, as AttributeListEqual
// sees them.
std::uint32_t Numbers::ListAttributes(const XmlAttributeList& list) {
  scratch_.clear();
  for (const XmlAttributeList::Handle& handle : list.items) {
    const XmlAttribute* attribute = handle.get();
    scratch_.push_back(Entry{attributeTags_.Of(A::Tag(*attribute)), TextKey{0, 0, 0}, attribute});
  }
  const std::size_t n = scratch_.size();
  InsertionSort(scratch_.data(), n, [](const Entry& x, const Entry& y) { return x.tag < y.tag; });
  std::uint64_t hash = n;
  for (std::size_t i = 0; i < n; ++i) {
    Entry& entry = scratch_[i];
    if (i == 0 || entry.tag != scratch_[i - 1].tag) {
      entry.text.Set(A::Text(*entry.attribute));
    }
    hash = Combine(hash, entry.tag * 0x9e3779b97f4a7c15ULL + entry.text.Hash());  // no-mutate
  }
  const std::uint32_t id = static_cast<std::uint32_t>(attributeLists_.size() + 1);
  const auto head = attributeHeads_.try_emplace(hash, id);
  std::uint32_t next = NONE;
  if (!head.second) {
    for (std::uint32_t k = head.first->second; k != NONE; k = attributeLists_[k - 1].next) {
      const AttributeList& other = attributeLists_[k - 1];
      if (other.size == n &&
          std::equal(scratch_.begin(), scratch_.end(),
                     entries_.begin() + static_cast<std::ptrdiff_t>(other.begin))) {
        return k;
      }
    }
    next = head.first->second;
    head.first->second = id;
  }
  attributeLists_.push_back(AttributeList{static_cast<std::uint32_t>(entries_.size()),
                                          static_cast<std::uint32_t>(n), next});
  entries_.insert(entries_.end(), scratch_.begin(), scratch_.end());
  return id;
}

// A member of a list as the walks take it. Long lists are walked in the order
// of their members' addresses: trees are mostly allocated in document order,
// and a list reordered after it was built would otherwise be walked at random
// places in memory, a cache miss at every step. Whether a member of a long
// list is shared is read at once, while its list node is at hand; a member
// of a short list is soon reached and read then, when its element is, so
// that deep trees do not read each element twice.
struct Queued {
  const XmlElement* element;
  const XmlElementList::Handle* handle;  // null once `shared` is known
  std::uint32_t position;                // in the list
  bool shared;

  bool Shared() const { return handle != nullptr ? handle->use_count() > 1 : shared; }
};

// Makes room for `more` items at once, and some to spare, so that a list of
// millions of members is not copied again and again into new memory as its
// records come, nor once more for the few that follow it.
template <class T>
void Room(std::vector<T>& items, std::size_t more) {
  if (items.capacity() - items.size() < more) {
    const std::size_t needed = items.size() + more;
    items.reserve(std::max(needed + needed / 8, 2 * items.capacity()));
  }
}

// Appends `n` items. Most lists are short, and for a few items a loop is
// cheaper than the library's copy, which is a call.
template <class T>
void Append(std::vector<T>& to, const T* from, std::size_t n) {
  Room(to, n);
  for (std::size_t i = 0; i < n; ++i) {
    to.push_back(from[i]);
  }
}

// Adds `n` items, their values to come. (For a few, a loop is cheaper than
// resize, which clears them by a call.)
void Grow(std::vector<std::uint32_t>& items, std::size_t n) {
  if (n > 8) {  // no-mutate: either way grows
    items.resize(items.size() + n);
    return;
  }
  Room(items, n);
  for (std::size_t i = 0; i < n; ++i) {
    items.push_back(NONE);
  }
}

// Sorts a short run in place; a long one by radix.
void SortIds(std::uint32_t* begin, std::uint32_t* end) {
  const std::ptrdiff_t n = end - begin;
  if (n > 16) {  // no-mutate: either way sorts
    boost::sort::spreadsort::integer_sort(begin, end);
    return;
  }
  InsertionSort(begin, static_cast<std::size_t>(n), std::less<std::uint32_t>());
}

// Lists from this size on are walked in memory order, and the quick
// equality writes their records in place. (Any size gives the same answers.)
bool IsLong(const XmlElementList& list) {
  return list.items.size() >= 64;  // no-mutate
}

typedef std::list<XmlElementList::Handle>::const_iterator Node;

// Queues the members of `list`; with `nodes`, also keeps where each one is
// in the list, so that a sort can move the nodes afterwards without walking
// the list again.
void QueueMembers(const XmlElementList& list, std::vector<Queued>& queue,
                  std::vector<Node>* nodes = nullptr) {
  const std::size_t first = queue.size();
  Room(queue, list.items.size());
  std::uint32_t position = 0;
  if (nodes != nullptr) {
    nodes->reserve(list.items.size());
  }
  if (IsLong(list)) {
    // A reordered list's nodes lie anywhere in memory, and each step of a
    // walk waits for the node before it: the list is walked from both ends
    // at once, so that two such waits overlap. Whether a member is shared
    // is read in its counts, which lie just before it when it was made in
    // one piece: those of members a few steps ahead of each end are asked
    // for, so that their misses overlap too. (Hints only: no answer depends
    // on them.)
    const std::size_t n = list.items.size();
    const std::size_t AHEAD = 8;  // no-mutate
    const std::size_t nodeBase = nodes != nullptr ? nodes->size() : 0;
    queue.resize(first + n);
    if (nodes != nullptr) {
      nodes->resize(nodeBase + n);
    }
    const auto take = [&](Node node, std::size_t at) {
      const XmlElementList::Handle& handle = *node;
      if (nodes != nullptr) {
        (*nodes)[nodeBase + at] = node;
      }
      queue[first + at] =
          Queued{handle.get(), nullptr, static_cast<std::uint32_t>(at), handle.use_count() > 1};
    };
    const auto ask = [](Node node) {
      const std::uintptr_t counts = reinterpret_cast<std::uintptr_t>(node->get()) - 32;
      Port::Prefetch(reinterpret_cast<const void*>(counts));
    };
    Node front = list.items.begin();
    Node back = list.items.end();
    Node frontAhead = std::next(front, AHEAD);
    Node backAhead = std::prev(back, AHEAD + 1);
    std::size_t low = 0;
    std::size_t high = n;
    std::size_t frontAt = AHEAD;
    std::size_t backAt = n - 1 - AHEAD;
    while (high - low >= 2) {
      --back;
      --high;
      if (frontAt < backAt) {  // no-mutate
        ask(frontAhead);
        ask(backAhead);
        ++frontAhead;
        ++frontAt;
        --backAhead;
        --backAt;
      }
      take(front, low);
      take(back, high);
      ++front;
      ++low;
    }
    if (low < high) {
      take(front, low);
    }
    const auto byAddress = [](const Queued& x, const Queued& y) {
      return std::less<const XmlElement*>()(x.element, y.element);
    };
    const auto begin = queue.begin() + static_cast<std::ptrdiff_t>(first);
    if (!std::is_sorted(begin, queue.end(), byAddress)) {
      boost::sort::spreadsort::integer_sort(
          begin, queue.end(),
          [](const Queued& q, unsigned offset) {
            return reinterpret_cast<std::uintptr_t>(q.element) >> offset;
          },
          byAddress);
    }
    return;
  }
  for (Node node = list.items.begin(); node != list.items.end(); ++node) {
    if (nodes != nullptr) {
      nodes->push_back(node);
    }
    queue.push_back(Queued{node->get(), &*node, position++, false});
  }
}

// A hash of every subtree, the same for equal subtrees (a list's is that of
// its members' hashes as a multiset), and what checking a pair needs, kept
// per list in flat arrays of small records: trees of millions of elements
// are walked at the speed of these arrays.
class HashedTree {
 public:
  struct Member {
    std::uint64_t hash;
    const XmlElement* element;
    std::uint32_t children;  // index into `lists`; NONE for a leaf
    std::uint32_t tag;
    std::uint32_t attributes;
    bool shared;   // reached through a shared handle
    TextKey text;  // a leaf's
  };
  struct List {
    std::uint64_t hash;
    std::uint32_t begin;  // members[begin, begin + size)
    std::uint32_t size;
  };

  explicit HashedTree(Numbers& numbers) : numbers_(numbers) {}

  // The index of the root's list, or NONE when the tree holds an element of a
  // caller's class.
  std::uint32_t Build(const XmlElementList& root);

  std::vector<Member> members;
  std::vector<List> lists;

 private:
  Numbers& numbers_;
  boost::unordered_flat_map<const XmlElement*, Member> shared_;
  // The members of the lists open on the walk, each list's in walking order.
  std::vector<Queued> order_;
};

std::uint32_t HashedTree::Build(const XmlElementList& root) {
  // A list being walked: order_[first, end) its members in walking order,
  // the records of those walked so far on `stack` from `base` on, or, for a
  // long list, in `members` from `base` on, each in its place as it comes, so
  // that a list of millions of members is not copied again when it is done.
  struct OpenList {
    std::size_t first;
    std::size_t next;
    std::size_t end;
    const XmlElement* owner;
    bool shared;
    bool direct;
    std::size_t base;
    std::size_t slot;  // where the owner's record goes in `members`; NO_SLOT: on `stack`
  };
  const std::size_t NO_SLOT = std::numeric_limits<std::size_t>::max();
  std::vector<OpenList> open;
  std::vector<Member> stack;
  const auto begin = [&](const XmlElementList& list, const XmlElement* owner, bool shared,
                         std::size_t slot) {
    const std::size_t first = order_.size();
    QueueMembers(list, order_);
    const std::size_t n = order_.size() - first;
    const bool direct = IsLong(list);
    const std::size_t base = direct ? members.size() : stack.size();
    if (direct) {
      Room(members, n);
      members.resize(base + n);
    }
    open.push_back(OpenList{first, first, order_.size(), owner, shared, direct, base, slot});
  };
  const auto put = [&](const Member& m, std::size_t slot) {
    if (slot == NO_SLOT) {
      stack.push_back(m);
    } else {
      members[slot] = m;
    }
  };
  order_.clear();
  begin(root, nullptr, false, NO_SLOT);
  for (;;) {
    OpenList& top = open.back();
    if (top.next == top.end) {
      List list;
      list.size = static_cast<std::uint32_t>(top.end - top.first);
      if (top.direct) {
        list.begin = static_cast<std::uint32_t>(top.base);
      } else {
        list.begin = static_cast<std::uint32_t>(members.size());
        Append(members, stack.data() + top.base, stack.size() - top.base);
        stack.resize(top.base);
      }
      std::uint64_t sum = 0;
      for (std::size_t i = list.begin; i < list.begin + list.size; ++i) {
        sum += members[i].hash;
      }
      list.hash = Mix(sum + list.size);  // no-mutate
      const std::uint32_t index = static_cast<std::uint32_t>(lists.size());
      lists.push_back(list);
      const OpenList done = top;
      order_.resize(done.first);
      open.pop_back();
      if (open.empty()) {
        return index;
      }
      Member m{0,
               done.owner,
               index,
               numbers_.Tag(A::Tag(*done.owner)),
               numbers_.Attributes(done.owner->attributes),
               done.shared,
               TextKey{0, 0, 0}};
      m.hash = ElementHash(m.tag, m.attributes, true, list.hash);
      if (done.shared) {
        shared_.emplace(done.owner, m);
      }
      put(m, done.slot);
      continue;
    }
    const Queued queued = order_[top.next];
    const std::size_t slot = top.direct ? top.base + (top.next - top.first) : NO_SLOT;
    ++top.next;
    const XmlElement& e = *queued.element;
    const bool shared = queued.Shared();
    if (shared) {
      const auto found = shared_.find(&e);
      if (found != shared_.end()) {
        put(found->second, slot);
        continue;
      }
    }
    if (IsPlainNested(e)) {
      begin(static_cast<const XmlNestedElement&>(e).elements, &e, shared, slot);
      continue;
    }
    if (!IsPlainLeaf(e)) {
      return NONE;
    }
    Member m{0,      &e,       NONE, numbers_.Tag(A::Tag(e)), numbers_.Attributes(e.attributes),
             shared, TextKey()};
    m.text.Set(A::Text(static_cast<const XmlLeafElement&>(e)));
    m.hash = ElementHash(m.tag, m.attributes, false, m.text.Hash());
    if (shared) {
      shared_.emplace(&e, m);
    }
    put(m, slot);
  }
}

enum Sameness { SAME, DIFFERENT, UNDECIDED };

// Whether two members agree in all but their children, from their numbers
// and text keys: only a long text is compared in the elements themselves.
bool SameShallow(const HashedTree::Member& x, const HashedTree::Member& y) {
  if ((x.children == NONE) != (y.children == NONE) || x.tag != y.tag ||
      x.attributes != y.attributes || !(x.text == y.text)) {
    return false;
  }
  return x.children != NONE || x.text.size != TextKey::LONG ||
         A::Text(static_cast<const XmlLeafElement&>(*x.element)) ==
             A::Text(static_cast<const XmlLeafElement&>(*y.element));
}

void SortByHash(std::vector<std::pair<std::uint64_t, std::uint32_t> >& items) {
  boost::sort::spreadsort::integer_sort(
      items.begin(), items.end(),
      [](const std::pair<std::uint64_t, std::uint32_t>& item, unsigned offset) {
        return item.first >> offset;
      },
      std::less<std::pair<std::uint64_t, std::uint32_t> >());
}

// Equality by the hashes, each pairing they suggest checked: unequal hashes
// of the two lists' members are a sure difference, and when every suggested
// pair checks out the lists are equal. A pair that does not is a collision of
// hashes, and the full comparison must decide.
Sameness HashedEqual(const XmlElementList& a, const XmlElementList& b) {
  Numbers numbers;
  HashedTree ta(numbers);
  HashedTree tb(numbers);
  const std::uint32_t ra = ta.Build(a);
  if (ra == NONE) {
    return UNDECIDED;
  }
  // The second tree is mostly of the first's size.
  tb.members.reserve(ta.members.size());
  tb.lists.reserve(ta.lists.size());
  const std::uint32_t rb = tb.Build(b);
  if (rb == NONE) {
    return UNDECIDED;
  }
  std::vector<std::pair<std::uint32_t, std::uint32_t> > pending(1, std::make_pair(ra, rb));
  boost::unordered_flat_set<std::uint64_t> checked;
  std::vector<std::pair<std::uint64_t, std::uint32_t> > sa;
  std::vector<std::pair<std::uint64_t, std::uint32_t> > sb;
  std::vector<std::pair<std::uint32_t, std::uint32_t> > pairs;
  // Below the two roots, unequal hashes only ever mean a collision above.
  Sameness unequal = DIFFERENT;
  while (!pending.empty()) {
    const HashedTree::List& x = ta.lists[pending.back().first];
    const HashedTree::List& y = tb.lists[pending.back().second];
    pending.pop_back();
    if (x.size != y.size || x.hash != y.hash) {
      return unequal;
    }
    // Members whose hashes agree at one place are paired there, the common
    // case; the others by sorted hashes.
    pairs.clear();
    sa.clear();
    sb.clear();
    for (std::uint32_t i = 0; i < x.size; ++i) {
      const std::uint64_t hx = ta.members[x.begin + i].hash;
      const std::uint64_t hy = tb.members[y.begin + i].hash;
      if (hx == hy) {
        pairs.emplace_back(x.begin + i, y.begin + i);
      } else {
        sa.emplace_back(hx, x.begin + i);
        sb.emplace_back(hy, y.begin + i);
      }
    }
    if (!sa.empty()) {
      const std::size_t paired = pairs.size();
      SortByHash(sa);
      SortByHash(sb);
      for (std::size_t i = 0; i < sa.size(); ++i) {
        if (sa[i].first != sb[i].first) {
          return unequal;
        }
        pairs.emplace_back(sa[i].second, sb[i].second);
      }
      // Checked in the first tree's walking order, which for two copies of
      // one document is mostly the second's too.
      if (sa.size() >= 64) {
        std::sort(pairs.begin() + static_cast<std::ptrdiff_t>(paired), pairs.end());
      }
    }
    unequal = UNDECIDED;
    for (const auto& pair : pairs) {
      const HashedTree::Member& mx = ta.members[pair.first];
      const HashedTree::Member& my = tb.members[pair.second];
      if (mx.element == my.element) {
        continue;
      }
      if (!SameShallow(mx, my)) {
        return UNDECIDED;
      }
      if (mx.children == NONE) {
        continue;
      }
      if ((mx.shared || my.shared) &&
          !checked.insert((static_cast<std::uint64_t>(mx.children) << 32) | my.children).second) {
        continue;
      }
      pending.emplace_back(mx.children, my.children);
    }
  }
  return SAME;
}

// Lists of one size: SAME or DIFFERENT when a quick way shows it.
Sameness QuickEqual(const XmlElementList& a, const XmlElementList& b) {
  return EqualInOrder(a, b) ? SAME : HashedEqual(a, b);
}

// ---------------------------------------------------------------------------
// Classes of subtrees

// The fields the order reads first come first, in the first 40 bytes.
struct ElementClass {
  const XmlElement* rep;  // the first element met of this class
  std::uint32_t list;     // the class of the children; NONE for a leaf
  std::uint32_t tag;      // numbers of the tag, of namespace and name, and of the
  std::uint32_t name;     // attribute list as its equality sees it (0: none)
  std::uint32_t attributes;
  bool equalsNothing;    // a caller's class whose IsNested does not match its class
  bool ill;              // such an element in the subtree
  std::uint32_t eq;      // the first class met that equals this one
  std::uint32_t next;    // the next class of the same hash (leaf) or children
  std::uint32_t nextEq;  // the next equality representative with equal children
  // The short list classes kept with this class rather than in the hash
  // tables (see InternList); NONE for none.
  std::uint32_t parked;    // ordered by class
  std::uint32_t eqParked;  // by equality number, on a representative
  TagSum tags;             // the tags of the whole subtree
};

// The first bytes of a text, big-endian and padded with zeros: where two
// heads differ, they order as the texts do.
void TextHeads(std::string_view text, std::uint64_t heads[2]) {
  // Copies of fixed sizes, overlapping for short texts, are single loads; a
  // copy of a variable size is a call.
  unsigned char bytes[16] = {};
  const char* data = text.data();
  const std::size_t n = text.size();
  if (n >= 16) {
    std::memcpy(bytes, data, 16);
  } else if (n >= 8) {
    std::memcpy(bytes, data, 8);
    std::memcpy(bytes + n - 8, data + n - 8, 8);
  } else if (n >= 4) {
    std::memcpy(bytes, data, 4);
    std::memcpy(bytes + n - 4, data + n - 4, 4);
  } else {
    for (std::size_t i = 0; i < n; ++i) {
      bytes[i] = static_cast<unsigned char>(data[i]);
    }
  }
  for (int h = 0; h < 2; ++h) {
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i) {
      value = (value << 8) | static_cast<std::uint64_t>(bytes[8 * h + i]);
    }
    heads[h] = value;
  }
}

// The text of a leaf class, kept beside the classes so that comparing two
// texts seldom has to read them in the tree: the heads decide unless both
// start with the same 16 bytes, and texts of up to 16 bytes are whole in them.
struct LeafText {
  std::uint64_t heads[2];
  const char* text;
  std::size_t length;

  LeafText() : heads{0, 0}, text(nullptr), length(0) {}
  explicit LeafText(const StringBase& of) : text(of.GetBuffer()), length(of.GetLength()) {
    TextHeads(std::string_view(text, length), heads);
  }
  std::string_view View() const { return std::string_view(text, length); }
  bool operator==(const LeafText& other) const {
    return length == other.length && heads[0] == other.heads[0] && heads[1] == other.heads[1] &&
           (length <= 16 || View() == other.View());
  }
  bool operator<(const LeafText& other) const {
    if (heads[0] != other.heads[0]) {
      return heads[0] < other.heads[0];
    }
    if (heads[1] != other.heads[1]) {
      return heads[1] < other.heads[1];
    }
    return View() < other.View();
  }
};

struct ListClass {
  const XmlElementList* rep;
  TagSum tags;
  std::uint32_t begin;  // members_[begin, begin + size): member classes in list order
  std::uint32_t size;
  std::uint32_t eq;               // the first class met that equals this one
  std::uint32_t next;             // the next class of the same hash
  std::uint32_t nextEq;           // the next equality representative of the same hash
  std::uint32_t eqBegin;          // eqMembers_[eqBegin, +size): sorted member equality numbers
  std::uint32_t order = NONE;     // orders_[order, +size): positions sorted by element order,
                                  // sorted_[order, +size): the member classes in that order
  std::uint32_t copy = NONE;      // for an ill list: the class of its deep copy
  std::uint32_t owners = NONE;    // the element classes with these children, and
  std::uint32_t eqOwners = NONE;  // the equality representatives with them
  bool ill;
};

// The memory of one call of ==, < or sort. Objects reached through shared
// handles are remembered by address, so a tree of shared subtrees costs what
// its distinct objects are. The objects are not changed during the call.
class Comparison {
 public:
  std::uint32_t ListClassOf(const XmlElementList& list, std::vector<Node>* nodes = nullptr);
  bool ListsEqual(const XmlElementList& a, const XmlElementList& b) {
    return &a == &b || lists_[ListClassOf(a)].eq == lists_[ListClassOf(b)].eq;
  }
  bool ElementsLess(const XmlElement& x, const XmlElement& y);
  bool ListsLess(const XmlElementList& a, const XmlElementList& b);
  /// The positions of the list's members, stably sorted by element order,
  /// and in `nodes` where they are in the list.
  std::vector<std::uint32_t> SortedPositions(const XmlElementList& list, std::vector<Node>& nodes);

 private:
  // A list being walked: queue_[next, end) are its members not reached yet,
  // and ids_[base, +size) their classes in list order.
  struct Walk {
    const XmlElementList* list;
    std::size_t next;
    std::size_t end;
    const XmlElement* owner;
    bool shared;
    std::size_t base;
    std::size_t slot;  // where the owner's class goes in ids_
  };
  struct Frame {
    std::uint64_t key;
    std::uint32_t a;
    std::uint32_t b;
    std::uint32_t next;
  };

  void Open(const XmlElementList& list, const XmlElement* owner, bool shared, std::size_t slot,
            std::vector<Node>* nodes = nullptr);
  std::uint32_t InternElement(const XmlElement& e, std::uint32_t children);
  std::uint32_t InternList(const XmlElementList& list, std::size_t base);
  template <bool byEquality>
  std::uint32_t FindList(const std::uint32_t* keys, std::uint32_t n, bool parkable,
                         std::uint32_t id, std::uint32_t& next);
  bool SameElement(std::uint32_t k, const ElementClass& made, const LeafText& text) const;
  void EnsureSorted(std::uint32_t list);
  void PositionsByClass(std::uint32_t list);
  void Sort(std::uint32_t list, std::size_t visit);
  struct SortRecord;
  struct LaterOrders;
  bool RecordsLess(const SortRecord& x, const SortRecord& y, LaterOrders& later);
  bool LaterLess(std::uint32_t a, std::uint32_t b, std::uint32_t from);
  bool MembersLess(std::uint32_t x, std::uint32_t y);
  std::uint32_t CopyOf(std::uint32_t list);
  bool ClassesLess(std::uint32_t x, std::uint32_t y);
  bool ListClassesLess(std::uint32_t a, std::uint32_t b);
  Verdict ListLessStep(std::uint32_t a, std::uint32_t b, Frame& frame);
  std::uint32_t Member(std::uint32_t list, std::uint32_t sortedIndex) const {
    return sorted_[lists_[list].order + sortedIndex];
  }
  std::uint32_t TagNumber(const XmlElement& e);
  Verdict ClassesLessStep(std::uint32_t x, std::uint32_t y);
  bool NameLess(std::uint32_t x, std::uint32_t y);
  static std::uint64_t Key(std::uint32_t a, std::uint32_t b) {
    return (static_cast<std::uint64_t>(a) << 32) | b;
  }

  std::vector<ElementClass> elements_;
  std::vector<LeafText> texts_;  // by element class; empty for nested ones
  std::vector<ListClass> lists_;
  std::vector<std::uint32_t> members_;
  std::vector<std::uint32_t> eqMembers_;
  std::vector<std::uint32_t> orders_;
  std::vector<std::uint32_t> sorted_;
  // Tags and attribute lists by number; per tag its namespace-and-name
  // number and its share of a tag sum, and per namespace-and-name number
  // the two texts.
  Numbers numbers_;
  std::vector<std::uint32_t> nameOfTag_;
  std::vector<TagSum> sumOfTag_;
  boost::unordered_flat_map<std::string, std::uint32_t> names_;
  std::vector<std::pair<std::string, std::string> > nameTexts_;
  std::vector<std::uint32_t> nameRanks_;  // by NameLess, for the names so far
  std::vector<Frame> frames_;
  boost::unordered_flat_map<std::uint64_t, std::uint32_t, MixedHash> elementHeads_;
  boost::unordered_flat_map<std::uint64_t, std::uint32_t, MixedHash> listHeads_;
  boost::unordered_flat_map<std::uint64_t, std::uint32_t, MixedHash> listEqHeads_;
  boost::unordered_flat_map<const XmlElement*, std::uint32_t> shared_;
  // The walk's own stack and the member classes of the lists open on it.
  std::vector<Walk> walk_;
  std::vector<Queued> queue_;
  std::vector<std::uint32_t> ids_;
  std::vector<std::uint32_t> scratch_;
  std::vector<std::uint32_t> visit_;
  std::vector<std::uint64_t> keys_;
  // Pairs of list classes whose order is known, and whether it is less.
  boost::unordered_flat_map<std::uint64_t, bool> known_;
  // Deep copies compared in place of lists holding ill elements.
  std::vector<std::unique_ptr<XmlElementList> > copies_;
};

// The number of the element's tag; its namespace and name are looked at
// only when the tag is new.
std::uint32_t Comparison::TagNumber(const XmlElement& e) {
  const StringBase& tag = A::Tag(e);
  const std::uint32_t number = numbers_.Tag(tag);
  if (number == nameOfTag_.size()) {
    const std::string_view ns = A::Namespace(e);
    const std::string_view name = A::Name(e);
    // ":v" and "v" are two tags of one namespace and name.
    std::string both(ns);
    both.push_back(NAMESPACE_SEPARATOR);
    both.append(name.data(), name.size());
    const auto named =
        names_.try_emplace(std::move(both), static_cast<std::uint32_t>(names_.size()));
    if (named.second) {
      nameTexts_.emplace_back(std::string(ns), std::string(name));
    }
    nameOfTag_.push_back(named.first->second);
    sumOfTag_.push_back(SumOfTag(HashOf(tag)));
  }
  return number;
}

void Comparison::Open(const XmlElementList& list, const XmlElement* owner, bool shared,
                      std::size_t slot, std::vector<Node>* nodes) {
  const std::size_t next = queue_.size();
  QueueMembers(list, queue_, nodes);
  const std::size_t base = ids_.size();
  Grow(ids_, list.items.size());
  walk_.push_back(Walk{&list, next, queue_.size(), owner, shared, base, slot});
}

// The class of `list`, after those of every subtree below it, in post-order
// on an explicit stack. Members are reached in the order QueueMembers gives
// and their classes put in their places in the list.
std::uint32_t Comparison::ListClassOf(const XmlElementList& list, std::vector<Node>* nodes) {
  const std::size_t depth = walk_.size();
  Open(list, nullptr, false, 0, nodes);
  for (;;) {
    Walk& top = walk_.back();
    if (top.next == top.end) {
      const std::uint32_t children = InternList(*top.list, top.base);
      const Walk done = top;
      ids_.resize(done.base);
      queue_.resize(done.end - done.list->items.size());
      walk_.pop_back();
      if (walk_.size() == depth) {
        return children;
      }
      const std::uint32_t id = InternElement(*done.owner, children);
      if (done.shared) {
        shared_.emplace(done.owner, id);
      }
      ids_[done.slot] = id;
      continue;
    }
    const Queued queued = queue_[top.next];
    ++top.next;
    const std::size_t slot = top.base + queued.position;
    const XmlElement& e = *queued.element;
    const bool shared = queued.Shared();
    if (shared) {
      const auto found = shared_.find(&e);
      if (found != shared_.end()) {
        ids_[slot] = found->second;
        continue;
      }
    }
    if (const XmlNestedElement* nested = AsNested(e)) {
      Open(nested->elements, &e, shared, slot);
      continue;
    }
    const std::uint32_t id = InternElement(e, NONE);
    if (shared) {
      shared_.emplace(&e, id);
    }
    ids_[slot] = id;
  }
}

bool Comparison::SameElement(std::uint32_t k, const ElementClass& made,
                             const LeafText& text) const {
  const ElementClass& c = elements_[k];
  if (c.list != made.list || c.tag != made.tag || c.attributes != made.attributes ||
      c.equalsNothing) {
    return false;
  }
  return c.list != NONE || texts_[k] == text;
}

// The class of `e`, whose children (when it has some) are of class
// `children`; a new class when none matches. A nested class is looked for
// among those made with the same children, and its equality among those
// whose children are equal: no table is needed, and a list met for the
// first time makes the search end at once.
std::uint32_t Comparison::InternElement(const XmlElement& e, std::uint32_t children) {
  const bool plain = IsPlainLeaf(e) || IsPlainNested(e);
  const bool equalsNothing =
      !plain && (ReportsNested(e) ? AsNested(e) == nullptr : AsLeaf(e) == nullptr);
  ElementClass c;
  c.rep = &e;
  c.tag = TagNumber(e);
  c.name = nameOfTag_[c.tag];
  c.tags = sumOfTag_[c.tag];
  c.list = children;
  c.equalsNothing = equalsNothing;
  c.ill = equalsNothing;
  c.next = NONE;
  c.nextEq = NONE;
  c.parked = NONE;
  c.eqParked = NONE;
  if (children != NONE) {
    c.tags.Add(lists_[children].tags);
    c.ill = c.ill || lists_[children].ill;
  }
  const std::uint32_t id = static_cast<std::uint32_t>(elements_.size());
  c.eq = id;
  if (equalsNothing) {
    c.attributes = NONE;
    elements_.push_back(c);
    texts_.emplace_back();
    return id;
  }
  c.attributes = numbers_.Attributes(e.attributes);
  if (children != NONE) {
    ListClass& made = lists_[children];
    for (std::uint32_t k = made.owners; k != NONE; k = elements_[k].next) {
      if (elements_[k].tag == c.tag && elements_[k].attributes == c.attributes) {
        return k;
      }
    }
    c.next = made.owners;
    made.owners = id;
    ListClass& equal = lists_[made.eq];
    for (std::uint32_t k = equal.eqOwners; k != NONE; k = elements_[k].nextEq) {
      if (elements_[k].tag == c.tag && elements_[k].attributes == c.attributes) {
        c.eq = k;
        break;
      }
    }
    if (c.eq == id) {
      c.nextEq = equal.eqOwners;
      equal.eqOwners = id;
    }
    elements_.push_back(c);
    texts_.emplace_back();
    return id;
  }
  const XmlLeafElement* leaf = AsLeaf(e);
  const LeafText text = leaf != nullptr ? LeafText(A::Text(*leaf)) : LeafText();
  const std::uint64_t textHash =
      text.length <= 16 ? text.heads[0] * 0x9e3779b97f4a7c15ULL + text.heads[1] + text.length
                        : HashOf(A::Text(*leaf));
  const std::uint64_t inner = leaf != nullptr ? textHash : 0;                 // no-mutate
  const std::uint64_t hash = ElementHash(c.tag, c.attributes, false, inner);  // no-mutate
  const auto head = elementHeads_.try_emplace(hash, id);
  if (!head.second) {
    for (std::uint32_t k = head.first->second; k != NONE; k = elements_[k].next) {
      if (SameElement(k, c, text)) {
        return k;
      }
    }
    c.next = head.first->second;
    head.first->second = id;
  }
  elements_.push_back(c);
  texts_.push_back(text);
  return id;
}

// The class of `list`, whose member classes are ids_[base...] in list order,
// and its equality number: the first class met whose members' equality
// numbers are the same multiset.
//
// A short list is kept with the first of its members that has none kept
// with it yet, and only when each has one, in the hash tables. A later equal
// list looks at the same members in the same order, so it meets the list
// kept with one of them, or else finds it in the tables. Most lists of a big
// tree are short and hold a class just made (a port holds its own name), so
// they stay out of the tables, whose probes into tables of millions are
// cache misses. Equality numbers are kept alike, with their representatives.
// A long list always goes in the tables: looking at what is kept with each
// of its members would cost a comparison per member.
std::uint32_t Comparison::InternList(const XmlElementList& list, std::size_t base) {
  const std::uint32_t* ids = ids_.data() + base;
  const std::uint32_t n = static_cast<std::uint32_t>(ids_.size() - base);
  ListClass l;
  l.rep = &list;
  l.size = n;
  l.ill = false;
  bool equalsNothing = false;
  for (std::uint32_t i = 0; i < n; ++i) {
    const ElementClass& member = elements_[ids[i]];
    l.tags.Add(member.tags);
    l.ill = l.ill || member.ill;
    equalsNothing = equalsNothing || member.equalsNothing;
  }
  const std::uint32_t id = static_cast<std::uint32_t>(lists_.size());
  l.eq = id;
  l.next = NONE;
  l.nextEq = NONE;
  l.eqBegin = NONE;
  if (!equalsNothing) {
    const bool parkable = n <= 8;  // no-mutate: any size gives the same answers
    const std::uint32_t found = FindList<false>(ids, n, parkable, id, l.next);
    if (found != id) {
      return found;
    }
    scratch_.clear();
    for (std::uint32_t i = 0; i < n; ++i) {
      scratch_.push_back(elements_[ids[i]].eq);
    }
    SortIds(scratch_.data(), scratch_.data() + n);
    l.eq = FindList<true>(scratch_.data(), n, parkable, id, l.nextEq);
    if (l.eq == id) {
      l.eqBegin = static_cast<std::uint32_t>(eqMembers_.size());
      Append(eqMembers_, scratch_.data(), n);
    }
  }
  l.begin = static_cast<std::uint32_t>(members_.size());
  Append(members_, ids, n);
  lists_.push_back(l);
  return id;
}

// Finds a list class again by `keys`: its member classes in order, or, by
// equality, its members' equality numbers sorted (the first list class met
// with them is the equality representative). Returns that class, or else
// `id`, kept where the next list with these keys finds it, `next` its
// successor in the chain of its hash.
template <bool byEquality>
std::uint32_t Comparison::FindList(const std::uint32_t* keys, std::uint32_t n, bool parkable,
                                   std::uint32_t id, std::uint32_t& next) {
  std::uint32_t ElementClass::*const keptIn =
      byEquality ? &ElementClass::eqParked : &ElementClass::parked;
  std::uint32_t ListClass::*const begin = byEquality ? &ListClass::eqBegin : &ListClass::begin;
  std::uint32_t ListClass::*const chain = byEquality ? &ListClass::nextEq : &ListClass::next;
  const std::vector<std::uint32_t>& kept = byEquality ? eqMembers_ : members_;
  const auto same = [&](const ListClass& other) {
    return other.size == n && std::equal(keys, keys + n, kept.data() + other.*begin);
  };
  for (std::uint32_t i = 0; parkable && i < n; ++i) {
    std::uint32_t& parked = elements_[keys[i]].*keptIn;
    if (parked == NONE) {
      parked = id;
      return id;
    }
    if (same(lists_[parked])) {
      return parked;
    }
  }
  auto& heads = byEquality ? listEqHeads_ : listHeads_;
  const auto head = heads.try_emplace(HashOf(keys, n), id);
  if (!head.second) {
    for (std::uint32_t k = head.first->second; k != NONE; k = lists_[k].*chain) {
      if (same(lists_[k])) {
        return k;
      }
    }
    next = head.first->second;
    head.first->second = id;
  }
  return id;
}

// Sorts `list` and every list class below it that is not sorted yet, the
// lowest first, so that sorting one never waits on another.
void Comparison::EnsureSorted(std::uint32_t list) {
  if (lists_[list].order != NONE) {
    return;
  }
  struct Open {
    std::uint32_t list;
    std::uint32_t at;
    std::size_t visit;  // visit_[visit, +size): the positions in the order taken
  };
  std::vector<Open> stack(1, Open{list, 0, visit_.size()});
  PositionsByClass(list);
  while (!stack.empty()) {
    const Open top = stack.back();
    if (top.at < lists_[top.list].size) {
      ++stack.back().at;
      const std::uint32_t position = visit_[top.visit + top.at];
      const std::uint32_t children = elements_[members_[lists_[top.list].begin + position]].list;
      if (children != NONE && lists_[children].order == NONE) {
        stack.push_back(Open{children, 0, visit_.size()});
        PositionsByClass(children);
      }
      continue;
    }
    stack.pop_back();
    if (lists_[top.list].order == NONE) {
      Sort(top.list, top.visit);
    }
    visit_.resize(top.visit);
  }
}

// Appends to visit_ the positions of the list's members, a long list's in
// the order of their classes: classes are numbered as the tree is walked in
// memory order, so going through a list reordered after it was built in
// list order would jump about their records.
void Comparison::PositionsByClass(std::uint32_t list) {
  const std::uint32_t begin = lists_[list].begin;
  const std::uint32_t n = lists_[list].size;
  const std::size_t first = visit_.size();
  if (n < 64) {  // no-mutate: the order of visits changes no answer
    for (std::uint32_t i = 0; i < n; ++i) {
      visit_.push_back(i);
    }
    return;
  }
  keys_.clear();
  for (std::uint32_t i = 0; i < n; ++i) {
    keys_.push_back((static_cast<std::uint64_t>(members_[begin + i]) << 32) | i);
  }
  boost::sort::spreadsort::integer_sort(keys_.begin(), keys_.end());
  visit_.resize(first + n);
  for (std::uint32_t i = 0; i < n; ++i) {
    visit_[first + i] = static_cast<std::uint32_t>(keys_[i]);
  }
}

// What makes two members of a long list comparable by their records alone:
// nested, of one namespace, name and attributes, with child lists of one
// size and one tag sum whose first sorted members are leaves of one name and
// attributes, and nothing of callers' classes below.
struct SortGroup {
  TagSum tags;
  std::uint32_t name;
  std::uint32_t attributes;
  std::uint32_t size;
  std::uint32_t firstName;
  std::uint32_t firstAttributes;

  bool operator==(const SortGroup& other) const {
    return tags == other.tags && name == other.name && attributes == other.attributes &&
           size == other.size && firstName == other.firstName &&
           firstAttributes == other.firstAttributes;
  }
};

struct SortGroupHash {
  std::size_t operator()(const SortGroup& g) const {
    std::uint64_t h = Combine(Combine(g.tags.first, g.tags.second), g.tags.count);  // no-mutate
    h = Combine(h, (static_cast<std::uint64_t>(g.name) << 32) | g.attributes);      // no-mutate
    h = Combine(h, (static_cast<std::uint64_t>(g.size) << 32) | g.firstName);       // no-mutate
    return Combine(h, g.firstAttributes);                                           // no-mutate
  }
};

// A member of a long list as the sort moves it: small, so that the many
// comparisons read records that lie side by side. Two members of one group
// are ordered by the first children's texts, then by the later children;
// any other pair by their classes.
struct Comparison::SortRecord {
  std::uint64_t heads[2];  // of the first sorted child's text
  std::uint32_t id;
  std::uint32_t group;  // NONE: compared by class alone
  std::uint32_t list;
  std::uint32_t eq;
  std::uint32_t first;   // the first and second sorted children (second:
  std::uint32_t second;  // NONE unless there are exactly two)
  std::uint32_t position;
  std::uint32_t slot;  // the second child's in LaterOrders; NONE: none
};

// The second children of a long list's members are mostly a few classes met
// again and again: their order, pair by pair, is kept in a square table
// (1: less, 0: not, -1: not known yet) for up to LIMIT classes.
struct Comparison::LaterOrders {
  static const std::uint32_t LIMIT = 512;  // no-mutate: any limit gives the same answers

  boost::unordered_flat_map<std::uint32_t, std::uint32_t> slots;
  std::vector<std::int8_t> known;

  std::uint32_t SlotOf(std::uint32_t second) {
    const auto found = slots.find(second);
    if (found != slots.end()) {
      return found->second;
    }
    if (slots.size() == LIMIT) {  // no-mutate: a class without a slot is compared anew
      return NONE;
    }
    const std::uint32_t slot = static_cast<std::uint32_t>(slots.size());
    slots.emplace(second, slot);
    return slot;
  }
};

// ClassesLess on two members at one position of sorted child lists, as the
// walk of ListClassesLess decides it, with the order of the children's lists
// kept for the rest of the call.
bool Comparison::MembersLess(std::uint32_t x, std::uint32_t y) {
  if (x == y) {
    return false;
  }
  const Verdict verdict = ClassesLessStep(x, y);
  if (verdict != CHILDREN) {
    return verdict == LESS;
  }
  const std::uint64_t key = Key(elements_[x].list, elements_[y].list);
  const auto found = known_.find(key);
  if (found != known_.end()) {
    return found->second;
  }
  const bool less = ListClassesLess(elements_[x].list, elements_[y].list);
  known_.emplace(key, less);
  return less;
}

// Whether any position from `from` on of the two sorted child lists (of one
// size) holds a pair that is less.
bool Comparison::LaterLess(std::uint32_t a, std::uint32_t b, std::uint32_t from) {
  const std::uint32_t n = lists_[a].size;
  for (std::uint32_t i = from; i < n; ++i) {
    if (MembersLess(Member(a, i), Member(b, i))) {
      return true;
    }
  }
  return false;
}

// ClassesLess on two members of a long list, by their records.
bool Comparison::RecordsLess(const SortRecord& x, const SortRecord& y, LaterOrders& later) {
  if (x.id == y.id) {
    return false;
  }
  if (x.group != y.group || x.group == NONE) {
    return ClassesLess(x.id, y.id);
  }
  // Both nested, alike as their group says: the order of the child lists
  // decides, and equal lists are not less.
  if (x.list == y.list || x.eq == y.eq) {
    return false;
  }
  if (x.first != y.first) {
    bool less;
    if (x.heads[0] != y.heads[0]) {
      less = x.heads[0] < y.heads[0];
    } else if (x.heads[1] != y.heads[1]) {
      less = x.heads[1] < y.heads[1];
    } else {
      less = texts_[x.first].View() < texts_[y.first].View();
    }
    if (less) {
      return true;
    }
  }
  if (x.second == NONE) {
    return LaterLess(x.list, y.list, 1);
  }
  if (x.slot == NONE || y.slot == NONE) {
    return MembersLess(x.second, y.second);
  }
  std::int8_t& known = later.known[x.slot * later.slots.size() + y.slot];
  if (known < 0) {
    known = MembersLess(x.second, y.second) ? 1 : 0;
  }
  return known == 1;
}

// Sorts the members of `list`, whose positions in class order are
// visit_[visit, +size).
void Comparison::Sort(std::uint32_t list, std::size_t visit) {
  if (lists_[list].size == 2) {
    // What the merge sort does with two members, without its buffers.
    const std::uint32_t begin = lists_[list].begin;
    const std::uint32_t swapped = ClassesLess(members_[begin + 1], members_[begin]) ? 1 : 0;
    lists_[list].order = static_cast<std::uint32_t>(orders_.size());
    orders_.push_back(swapped);
    orders_.push_back(1 - swapped);
    sorted_.push_back(members_[begin + swapped]);
    sorted_.push_back(members_[begin + 1 - swapped]);
    return;
  }
  std::vector<std::uint32_t> positions(lists_[list].size);
  for (std::uint32_t i = 0; i < positions.size(); ++i) {
    positions[i] = i;
  }
  if (positions.size() < 64) {
    StableMergeSort(positions, [this, list](std::uint32_t x, std::uint32_t y) {
      const std::uint32_t begin = lists_[list].begin;
      return ClassesLess(members_[begin + x], members_[begin + y]);
    });
  } else {
    // The records start in list order, as the merge sort must; they are
    // made in class order, which reads the class records in order.
    std::vector<SortRecord> records(positions.size());
    boost::unordered_flat_map<SortGroup, std::uint32_t, SortGroupHash> groups;
    LaterOrders later;
    for (std::size_t k = visit; k < visit + positions.size(); ++k) {
      const std::uint32_t i = visit_[k];
      SortRecord& r = records[i];
      r.id = members_[lists_[list].begin + i];
      r.position = i;
      r.group = NONE;
      r.slot = NONE;
      const ElementClass& c = elements_[r.id];
      if (c.list == NONE || c.equalsNothing || c.ill || lists_[c.list].size == 0) {
        continue;
      }
      const ListClass& children = lists_[c.list];
      r.list = c.list;
      r.eq = children.eq;
      r.first = Member(c.list, 0);
      r.second = children.size == 2 ? Member(c.list, 1) : NONE;
      const ElementClass& first = elements_[r.first];
      if (first.list != NONE || first.equalsNothing) {
        continue;
      }
      r.heads[0] = texts_[r.first].heads[0];
      r.heads[1] = texts_[r.first].heads[1];
      const SortGroup group{children.tags, c.name,     c.attributes,
                            children.size, first.name, first.attributes};
      r.group = groups.try_emplace(group, static_cast<std::uint32_t>(groups.size())).first->second;
      r.slot = r.second != NONE ? later.SlotOf(r.second) : NONE;
    }
    later.known.assign(later.slots.size() * later.slots.size(), -1);
    StableMergeSort(records, [this, &later](const SortRecord& x, const SortRecord& y) {
      return RecordsLess(x, y, later);
    });
    for (std::size_t k = 0; k < records.size(); ++k) {
      positions[k] = records[k].position;
    }
  }
  const std::uint32_t begin = lists_[list].begin;
  lists_[list].order = static_cast<std::uint32_t>(orders_.size());
  orders_.insert(orders_.end(), positions.begin(), positions.end());
  for (std::uint32_t position : positions) {
    sorted_.push_back(members_[begin + position]);
  }
}

// A copy leaves out or re-classes members of callers' classes, so a list
// holding such members compares as its copy does.
std::uint32_t Comparison::CopyOf(std::uint32_t list) {
  if (!lists_[list].ill) {
    return list;
  }
  if (lists_[list].copy == NONE) {
    copies_.emplace_back(new XmlElementList(*lists_[list].rep));
    const std::uint32_t copy = ListClassOf(*copies_.back());
    lists_[list].copy = copy;
  }
  return lists_[list].copy;
}

// Whether the namespace and name numbered `x` come before those numbered
// `y`. The names are ranked once they are all known (new ones seldom come
// once comparing has begun), so that a sort does not compare their texts
// again and again.
bool Comparison::NameLess(std::uint32_t x, std::uint32_t y) {
  if (nameRanks_.size() != nameTexts_.size()) {
    std::vector<std::uint32_t> order(nameTexts_.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) {
      order[i] = i;
    }
    std::sort(order.begin(), order.end(),
              [this](std::uint32_t a, std::uint32_t b) { return nameTexts_[a] < nameTexts_[b]; });
    nameRanks_.resize(order.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) {
      nameRanks_[order[i]] = i;
    }
  }
  return nameRanks_[x] < nameRanks_[y];
}

// ElementLessStep on two classes (not equal); CHILDREN hands over to the
// order of their children's classes. Two elements of the same namespace,
// name and attributes are decided by their numbers and texts alone.
Verdict Comparison::ClassesLessStep(std::uint32_t x, std::uint32_t y) {
  const ElementClass& cx = elements_[x];
  const ElementClass& cy = elements_[y];
  if (cx.name == cy.name && cx.attributes == cy.attributes && !cx.equalsNothing &&
      !cy.equalsNothing) {
    const bool nx = cx.list != NONE;
    const bool ny = cy.list != NONE;
    if (nx && ny) {
      return CHILDREN;
    }
    if (!nx && !ny) {
      return texts_[x] < texts_[y] ? LESS : NOT_LESS;
    }
    return !nx && cx.tag == cy.tag ? LESS : NOT_LESS;
  }
  if (cx.name != cy.name && !cx.equalsNothing && !cy.equalsNothing) {
    // Of two names, the namespaces and then the names decide alone: what
    // comes after in the element order asks for the same name.
    return NameLess(cx.name, cy.name) ? LESS : NOT_LESS;
  }
  std::pair<const XmlElementList*, const XmlElementList*> children;
  return ElementLessStep(*cx.rep, *cy.rep, children);
}

bool Comparison::ClassesLess(std::uint32_t x, std::uint32_t y) {
  if (x == y) {
    return false;
  }
  const Verdict verdict = ClassesLessStep(x, y);
  if (verdict != CHILDREN) {
    return verdict == LESS;
  }
  return ListClassesLess(elements_[x].list, elements_[y].list);
}

// List order up to the walk over the sorted members: LESS or NOT_LESS when
// decided, CHILDREN when `frame` holds the walk.
Verdict Comparison::ListLessStep(std::uint32_t a, std::uint32_t b, Frame& frame) {
  if (a == b) {
    return NOT_LESS;
  }
  const ListClass& la = lists_[a];
  const ListClass& lb = lists_[b];
  if (la.size != lb.size) {
    return la.size < lb.size ? LESS : NOT_LESS;
  }
  if (la.eq == lb.eq) {
    return NOT_LESS;
  }
  // Equal sums are taken for equal tag lists; unequal ones decide here, so
  // the tags are listed only then.
  if (!(la.tags == lb.tags)) {
    std::vector<const StringBase*> ta;
    std::vector<const StringBase*> tb;
    bool foreign = false;
    CollectSubtreeTags(*la.rep, ta, foreign);
    CollectSubtreeTags(*lb.rep, tb, foreign);
    std::sort(ta.begin(), ta.end(), TagPtrLess);
    std::sort(tb.begin(), tb.end(), TagPtrLess);
    return std::lexicographical_compare(ta.begin(), ta.end(), tb.begin(), tb.end(), TagPtrLess)
               ? LESS
               : NOT_LESS;
  }
  std::uint32_t sa = a;
  std::uint32_t sb = b;
  if (la.ill || lb.ill) {
    sa = CopyOf(a);
    sb = CopyOf(b);
  }
  EnsureSorted(sa);
  EnsureSorted(sb);
  frame.key = Key(a, b);
  frame.a = sa;
  frame.b = sb;
  frame.next = 0;
  return CHILDREN;
}

// Element order and list order are alternations of "this pair decides" and
// "the first position of the sorted child lists where one member is less
// decides": the whole comparison is true as soon as any pair reached that way
// is less, and false when every walk ends without one. What a walk below the
// first found is kept for the rest of the call.
bool Comparison::ListClassesLess(std::uint32_t a, std::uint32_t b) {
  // The frames of this call lie above `base` on the shared stack: a sort
  // started by ListLessStep may call this again, above them.
  const std::size_t base = frames_.size();
  Frame first;
  Verdict verdict = ListLessStep(a, b, first);
  if (verdict != CHILDREN) {
    return verdict == LESS;
  }
  frames_.push_back(first);
  while (frames_.size() > base) {
    Frame& top = frames_.back();
    if (top.next >= std::min(lists_[top.a].size, lists_[top.b].size)) {
      if (frames_.size() > base + 1) {
        known_.emplace(top.key, false);
      }
      frames_.pop_back();
      continue;
    }
    const std::uint32_t x = Member(top.a, top.next);
    const std::uint32_t y = Member(top.b, top.next);
    ++top.next;
    if (x == y) {
      continue;
    }
    verdict = ClassesLessStep(x, y);
    if (verdict == CHILDREN) {
      const std::uint32_t cx = elements_[x].list;
      const std::uint32_t cy = elements_[y].list;
      const std::uint64_t childKey = Key(cx, cy);
      const auto found = known_.find(childKey);
      if (found != known_.end() && !found->second) {
        continue;
      }
      Frame frame;
      verdict = found != known_.end() ? LESS : ListLessStep(cx, cy, frame);
      if (verdict == CHILDREN) {
        frames_.push_back(frame);
        continue;
      }
    }
    if (verdict == LESS) {
      for (std::size_t i = base + 1; i < frames_.size(); ++i) {
        known_.emplace(frames_[i].key, true);
      }
      frames_.resize(base);
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

bool Comparison::ListsLess(const XmlElementList& a, const XmlElementList& b) {
  if (&a == &b) {
    return false;
  }
  if (a.items.size() != b.items.size()) {
    return a.items.size() < b.items.size();
  }
  if (QuickEqual(a, b) == SAME) {
    return false;
  }
  const std::uint32_t ca = ListClassOf(a);
  return ListClassesLess(ca, ListClassOf(b));
}

std::vector<std::uint32_t> Comparison::SortedPositions(const XmlElementList& list,
                                                       std::vector<Node>& nodes) {
  const std::uint32_t id = ListClassOf(list, &nodes);
  EnsureSorted(id);
  const ListClass& l = lists_[id];
  return std::vector<std::uint32_t>(orders_.begin() + l.order, orders_.begin() + l.order + l.size);
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

bool ElementListEqual(const XmlElementList& a, const XmlElementList& b) {
  if (&a == &b) {
    return true;
  }
  if (a.items.size() != b.items.size()) {
    return false;
  }
  const Sameness quick = QuickEqual(a, b);
  if (quick != UNDECIDED) {
    return quick == SAME;
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

void SortElements(XmlElementList& list) {
  if (list.items.size() < 2) {
    return;
  }
  std::vector<std::uint32_t> positions;
  std::vector<Node> at;
  {
    Comparison comparison;
    positions = comparison.SortedPositions(list, at);
  }
  // The order is worked out first and the nodes spliced into place after,
  // which cannot fail: a throw while comparing leaves the list as it was.
  // Each move reads a node and writes to its neighbours, far apart in a
  // reordered list: nodes some moves ahead are asked for, then, once they
  // are at hand, their neighbours, so that the misses overlap. (Hints only:
  // no answer depends on them.)
  const std::size_t AHEAD = 16;  // no-mutate
  const std::size_t n = positions.size();
  const Node end = list.items.cend();
  for (std::size_t i = 0; i < n; ++i) {
    if (i + AHEAD < n) {  // no-mutate
      Port::Prefetch(&*at[positions[i + AHEAD]]);
    }
    if (i + AHEAD / 2 < n) {  // no-mutate
      const Node node = at[positions[i + AHEAD / 2]];
      const Node next = std::next(node);
      if (next != end) {  // no-mutate
        Port::Prefetch(&*next);
      }
      if (node != list.items.cbegin()) {  // no-mutate
        Port::Prefetch(&*std::prev(node));
      }
    }
    list.items.splice(end, list.items, at[positions[i]]);
  }
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
