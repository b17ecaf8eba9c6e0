// mintu diff: compares two XML files with the model's equality, and shows
// where they part: the tag path to the first differing subtree on each side
// and what differs there.

#include <algorithm>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "MintuCli.h"
#include "mintu/mintu.h"

namespace MintuCli {

namespace {

using Mintu::XmlElement;
using Mintu::XmlLeafElement;
using Mintu::XmlNestedElement;
typedef boost::shared_ptr<XmlElement> Handle;

// A text that two elements share when they are equal: the tag, the sorted
// attributes, then the text or the sorted keys of the children. Texts the
// reader returns hold no NUL, which therefore separates the pieces. The
// recursion is bounded by the reader's depth limit.
std::string Key(const XmlElement& element) {
  std::string key = element.GetTag().str();
  std::vector<std::string> parts;
  for (const auto& a : element.attributes.items) {
    parts.push_back(a->GetTag().str() + '\0' + a->GetText().str());
  }
  std::sort(parts.begin(), parts.end());
  for (const std::string& p : parts) key += '\0' + p;
  if (const auto* leaf = dynamic_cast<const XmlLeafElement*>(&element)) {
    return key + "\1" + leaf->GetText().str();
  }
  parts.clear();
  if (const auto* nested = dynamic_cast<const XmlNestedElement*>(&element)) {
    for (const Handle& child : nested->elements.items) parts.push_back(Key(*child));
  }
  std::sort(parts.begin(), parts.end());
  key += "\2";
  for (const std::string& p : parts) key += p + "\3";
  return key + "\4";
}

const Mintu::XmlElementList* Children(const XmlElement& element) {
  const auto* nested = dynamic_cast<const XmlNestedElement*>(&element);
  return nested != nullptr ? &nested->elements : nullptr;
}

// The children of `element`, each with its path step: the tag, with the
// position among the children of that tag where the tag repeats.
std::vector<std::pair<Handle, std::string>> Steps(const XmlElement& element) {
  std::vector<std::pair<Handle, std::string>> steps;
  std::map<std::string, int> count;
  const Mintu::XmlElementList* children = Children(element);
  if (children == nullptr) return steps;
  for (const Handle& child : children->items) ++count[child->GetTag().str()];
  std::map<std::string, int> seen;
  for (const Handle& child : children->items) {
    const std::string tag = child->GetTag().str();
    const int n = ++seen[tag];
    steps.emplace_back(child, count[tag] > 1 ? tag + "[" + std::to_string(n) + "]" : tag);
  }
  return steps;
}

// How many children of `b` are equal to children of `a` (whose keys are
// `keys`), plus one for equal
// attributes: the likeness by which a changed member finds its counterpart.
int Likeness(const XmlElement& a, std::multiset<std::string> keys, const XmlElement& b) {
  int score = a.attributes == b.attributes ? 1 : 0;
  for (const auto& step : Steps(b)) {
    const auto hit = keys.find(Key(*step.first));
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

    // Members equal on both sides pair off; of the rest, the first on A's
    // side goes with the likest member of the same tag on B's side.
    const auto stepsA = Steps(*a);
    const auto stepsB = Steps(*b);
    std::multimap<std::string, std::size_t> poolB;
    for (std::size_t i = 0; i < stepsB.size(); ++i) poolB.emplace(Key(*stepsB[i].first), i);
    std::vector<std::size_t> onlyA;
    for (std::size_t i = 0; i < stepsA.size(); ++i) {
      const auto hit = poolB.find(Key(*stepsA[i].first));
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
      d.what = "missing member: " + stepsB[onlyB.front()].second + " is only in " + nameB;
      return d;
    }
    const auto& first = stepsA[onlyA.front()];
    std::multiset<std::string> keys;
    for (const auto& step : Steps(*first.first)) keys.insert(Key(*step.first));
    int best = -1;
    std::size_t match = 0;
    for (std::size_t j : onlyB) {
      if (!(stepsB[j].first->GetTag() == first.first->GetTag())) continue;
      const int score = Likeness(*first.first, keys, *stepsB[j].first);
      if (score > best) {
        best = score;
        match = j;
      }
    }
    if (best < 0) {
      d.what = "missing member: " + first.second + " is only in " + nameA;
      return d;
    }
    d.pathA += "/" + first.second;
    d.pathB += "/" + stepsB[match].second;
    a = first.first.get();
    b = stepsB[match].first.get();
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
