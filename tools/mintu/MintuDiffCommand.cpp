// mintu diff: compares two XML files with the model's equality, and shows
// where they part: the tag path to the first differing subtree on each side
// and what differs there.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "MintuCli.h"
#include "mintu/mintu.h"

namespace MintuCli {

namespace {

using Mintu::XmlElement;
using Mintu::XmlLeafElement;
using Mintu::XmlNestedElement;
typedef boost::shared_ptr<XmlElement> Handle;

// Numbers for elements, equal when the elements are: the same tag, the same
// attributes (all of them, in any order), and the same text or children
// that pair off. Each element is numbered once, after its children, without
// recursion, so the walk down to a difference costs what the tree is.
class KeyNumbers {
 public:
  std::uint32_t Of(const XmlElement& element);

 private:
  std::uint32_t Intern(const XmlElement& element, const std::uint32_t* children, std::size_t n);

  std::unordered_map<const XmlElement*, std::uint32_t> numbers_;
  std::unordered_map<std::string, std::uint32_t> interned_;
  std::vector<std::string> parts_;
};

void AppendPiece(std::string& key, const std::string& piece) {
  const std::uint32_t length = static_cast<std::uint32_t>(piece.size());
  key.append(reinterpret_cast<const char*>(&length), sizeof length);
  key += piece;
}

std::uint32_t KeyNumbers::Intern(const XmlElement& element, const std::uint32_t* children,
                                 std::size_t n) {
  std::string key;
  AppendPiece(key, element.GetTag().str());
  parts_.clear();
  for (const auto& a : element.attributes.items) {
    std::string part;
    AppendPiece(part, a->GetTag().str());
    AppendPiece(part, a->GetText().str());
    parts_.push_back(std::move(part));
  }
  std::sort(parts_.begin(), parts_.end());
  key += std::to_string(parts_.size()) + ":";
  for (const std::string& p : parts_) key += p;
  if (const auto* leaf = dynamic_cast<const XmlLeafElement*>(&element)) {
    key += 'T';
    key += leaf->GetText().str();
  } else {
    key += 'C';
    key.append(reinterpret_cast<const char*>(children), n * sizeof(std::uint32_t));
  }
  return interned_.emplace(std::move(key), static_cast<std::uint32_t>(interned_.size()))
      .first->second;
}

std::uint32_t KeyNumbers::Of(const XmlElement& root) {
  const auto known = numbers_.find(&root);
  if (known != numbers_.end()) return known->second;
  struct Open {
    const XmlElement* element;
    const Mintu::XmlElementList* children;  // null for a leaf
    Mintu::XmlElementList::const_iterator next;
    std::size_t base;
  };
  std::vector<Open> open;
  std::vector<std::uint32_t> numbers;
  const auto start = [&open, &numbers](const XmlElement& e) {
    const auto* nested = dynamic_cast<const XmlLeafElement*>(&e) == nullptr
                             ? dynamic_cast<const XmlNestedElement*>(&e)
                             : nullptr;
    open.push_back(
        Open{&e, nested != nullptr ? &nested->elements : nullptr,
             nested != nullptr ? nested->elements.begin() : Mintu::XmlElementList::const_iterator(),
             numbers.size()});
  };
  start(root);
  for (;;) {
    Open& top = open.back();
    if (top.children != nullptr && top.next != top.children->end()) {
      const XmlElement& child = **top.next;
      ++top.next;
      const auto found = numbers_.find(&child);
      if (found != numbers_.end()) {
        numbers.push_back(found->second);
      } else {
        start(child);
      }
      continue;
    }
    std::sort(numbers.begin() + static_cast<std::ptrdiff_t>(top.base), numbers.end());
    const std::uint32_t number =
        Intern(*top.element, numbers.data() + top.base, numbers.size() - top.base);
    numbers_.emplace(top.element, number);
    numbers.resize(top.base);
    open.pop_back();
    if (open.empty()) return number;
    numbers.push_back(number);
  }
}

const Mintu::XmlElementList* Children(const XmlElement& element) {
  const auto* nested = dynamic_cast<const XmlNestedElement*>(&element);
  return nested != nullptr ? &nested->elements : nullptr;
}

// The children of `element` (none for a leaf).
std::vector<Handle> Members(const XmlElement& element) {
  const Mintu::XmlElementList* children = Children(element);
  if (children == nullptr) return std::vector<Handle>();
  return std::vector<Handle>(children->begin(), children->end());
}

// The path step of members[i]: its tag, with its position among the members
// of that tag where the tag repeats. Worked out only for the steps shown.
std::string StepOf(const std::vector<Handle>& members, std::size_t i) {
  const Mintu::StringBase tag = members[i]->GetTag();
  std::size_t count = 0;
  std::size_t position = 0;
  for (std::size_t k = 0; k < members.size(); ++k) {
    if (members[k]->GetTag() == tag) {
      ++count;
      if (k <= i) ++position;
    }
  }
  return count > 1 ? tag.str() + "[" + std::to_string(position) + "]" : tag.str();
}

// All attributes as sorted (tag, text) pairs.
std::vector<std::pair<std::string, std::string>> AttributePairs(const XmlElement& e) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const auto& a : e.attributes.items)
    pairs.emplace_back(a->GetTag().str(), a->GetText().str());
  std::sort(pairs.begin(), pairs.end());
  return pairs;
}

// Whether two elements get one number, answered for two leaves without
// numbering them: the long runs of equal members that files share cost a
// comparison each.
bool SameNumber(const XmlElement& x, const XmlElement& y, KeyNumbers& numbers) {
  const auto* lx = dynamic_cast<const XmlLeafElement*>(&x);
  const auto* ly = dynamic_cast<const XmlLeafElement*>(&y);
  if (lx == nullptr || ly == nullptr) return numbers.Of(x) == numbers.Of(y);
  return x.GetTag() == y.GetTag() && lx->GetText() == ly->GetText() &&
         AttributePairs(x) == AttributePairs(y);
}

// How many children of `b` are equal to children of `a` (whose numbers are
// `keys`), plus one for equal attributes: the likeness by which a changed
// member finds its counterpart.
int Likeness(const XmlElement& a, std::multiset<std::uint32_t> keys, const XmlElement& b,
             KeyNumbers& numbers) {
  int score = a.attributes == b.attributes ? 1 : 0;
  for (const Handle& member : Members(b)) {
    const auto hit = keys.find(numbers.Of(*member));
    if (hit != keys.end()) {
      keys.erase(hit);
      ++score;
    }
  }
  return score;
}

std::string Quoted(const Mintu::StringBase& text) { return "\"" + text.str() + "\""; }

std::string DescribeAttributes(const XmlElement& a, const XmlElement& b, const std::string& nameA,
                               const std::string& nameB) {
  for (const auto& attribute : a.attributes.items) {
    const Mintu::StringBase tag = attribute->GetTag();
    if (!b.attributes.Has(tag)) return tag.str() + " is only in " + nameA;
    const Mintu::StringBase other = b.attributes.Get(tag)->GetText();
    if (!(other == attribute->GetText())) {
      return tag.str() + " is " + Quoted(attribute->GetText()) + " in " + nameA + ", " +
             Quoted(other) + " in " + nameB;
    }
  }
  for (const auto& attribute : b.attributes.items) {
    if (!a.attributes.Has(attribute->GetTag())) {
      return attribute->GetTag().str() + " is only in " + nameB;
    }
  }
  return "their order";
}

struct Difference {
  std::string pathA;
  std::string pathB;
  std::string what;
};

// Walks down from two unequal elements to the first differing subtree.
Difference Locate(const XmlElement& rootA, const XmlElement& rootB, const std::string& nameA,
                  const std::string& nameB) {
  const XmlElement* a = &rootA;
  const XmlElement* b = &rootB;
  KeyNumbers numbers;
  Difference d{a->GetTag().str(), b->GetTag().str(), ""};
  for (;;) {
    if (!(a->GetTag() == b->GetTag())) {
      d.what = "different tags";
      return d;
    }
    if (a->IsNested() != b->IsNested()) {
      const auto kind = [](const XmlElement* e) { return e->IsNested() ? "children" : "text"; };
      d.what = std::string("different content: ") + kind(a) + " in " + nameA + ", " + kind(b) +
               " in " + nameB;
      return d;
    }
    if (!(a->attributes == b->attributes)) {
      d.what = "different attributes: " + DescribeAttributes(*a, *b, nameA, nameB);
      return d;
    }
    const auto* leafA = dynamic_cast<const XmlLeafElement*>(a);
    const auto* leafB = dynamic_cast<const XmlLeafElement*>(b);
    if (leafA != nullptr && leafB != nullptr) {
      d.what = "different text: " + Quoted(leafA->GetText()) + " in " + nameA + ", " +
               Quoted(leafB->GetText()) + " in " + nameB;
      return d;
    }

    // Members equal on both sides pair off, each with the first free one of
    // the other side, so a run of equal members at the start pairs in order;
    // of the rest, the first on A's side goes with the likest member of the
    // same tag on B's side.
    const std::vector<Handle> stepsA = Members(*a);
    const std::vector<Handle> stepsB = Members(*b);
    std::size_t start = 0;
    while (start < stepsA.size() && start < stepsB.size() &&
           SameNumber(*stepsA[start], *stepsB[start], numbers)) {
      ++start;
    }
    std::multimap<std::uint32_t, std::size_t> poolB;
    for (std::size_t i = start; i < stepsB.size(); ++i) {
      poolB.emplace(numbers.Of(*stepsB[i]), i);
    }
    std::vector<std::size_t> onlyA;
    for (std::size_t i = start; i < stepsA.size(); ++i) {
      const auto hit = poolB.find(numbers.Of(*stepsA[i]));
      if (hit == poolB.end()) {
        onlyA.push_back(i);
      } else {
        poolB.erase(hit);
      }
    }
    std::vector<std::size_t> onlyB;
    for (const auto& entry : poolB) onlyB.push_back(entry.second);
    std::sort(onlyB.begin(), onlyB.end());

    if (onlyA.empty() && onlyB.empty()) {
      d.what = "different members";
      return d;
    }
    if (onlyA.empty()) {
      d.what = "missing member: " + StepOf(stepsB, onlyB.front()) + " is only in " + nameB;
      return d;
    }
    const Handle& first = stepsA[onlyA.front()];
    std::multiset<std::uint32_t> keys;
    for (const Handle& member : Members(*first)) keys.insert(numbers.Of(*member));
    int best = -1;
    std::size_t match = 0;
    for (std::size_t j : onlyB) {
      if (!(stepsB[j]->GetTag() == first->GetTag())) continue;
      const int score = Likeness(*first, keys, *stepsB[j], numbers);
      if (score > best) {
        best = score;
        match = j;
      }
    }
    if (best < 0) {
      d.what = "missing member: " + StepOf(stepsA, onlyA.front()) + " is only in " + nameA;
      return d;
    }
    d.pathA += "/" + StepOf(stepsA, onlyA.front());
    d.pathB += "/" + StepOf(stepsB, match);
    a = first.get();
    b = stepsB[match].get();
  }
}

}  // namespace

int RunDiff(const Arguments& args) {
  if (args.operands.size() != 2) throw UsageError("diff takes two files");
  const std::string& nameA = args.operands[0];
  const std::string& nameB = args.operands[1];

  // Status 1 means "different", so a file that cannot be read is status 2,
  // as with diff(1).
  Handle a, b;
  try {
    a = ReadXml(nameA);
    b = ReadXml(nameB);
  } catch (const Failure& e) {
    MINTU_CLI_ERROR(e.what());
    return EXIT_USAGE;
  } catch (const Mintu::AppException& e) {
    MINTU_CLI_ERROR(e.what());
    return EXIT_USAGE;
  }
  if (*a == *b) return EXIT_OK;
  if (!args.quiet) {
    const Difference d = Locate(*a, *b, nameA, nameB);
    Print(nameA + ": " + d.pathA + "\n" + nameB + ": " + d.pathB + "\n" + d.what + "\n");
  }
  return EXIT_REPORTED_FAILURE;
}

}  // namespace MintuCli
