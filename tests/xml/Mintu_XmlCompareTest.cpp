// Equality of element lists as multisets of whole subtrees, and the cost of
// ==, < and sort on trees that defeat a comparison repeated at every level:
// mirrored full binary trees, deep chains and chains of shared subtrees.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "XmlTestSupport.h"

namespace {

using namespace XmlTest;
typedef boost::shared_ptr<XmlElement> Handle;

const std::size_t EIGHT_MIB = 8u << 20;

// A random subtree: few tags, so that tags repeat; attributes and texts from
// small pools, so that members look alike without being equal.
Handle RandomElement(std::mt19937& random, int depth) {
  static const char* const tags[] = {"p", "q", "s:p"};
  const char* tag = tags[random() % 3];
  Handle e;
  if (depth > 0 && random() % 2 == 0) {
    boost::shared_ptr<XmlNestedElement> nested = Nested(tag);
    for (unsigned i = random() % 4; i > 0; --i) {
      nested->elements.Add(RandomElement(random, depth - 1));
    }
    e = nested;
  } else {
    e = Leaf(tag, random() % 2 ? "1" : "2");
  }
  for (unsigned i = random() % 3; i > 0; --i) {
    e->attributes.Add(Attr(random() % 2 ? "a" : "b", random() % 2 ? "x" : "y"));
  }
  return e;
}

// Every list in the tree, depth first.
void Lists(XmlElementList& list, std::vector<XmlElementList*>& out) {
  out.push_back(&list);
  for (const Handle& member : list.items) {
    if (XmlNestedElement* nested = dynamic_cast<XmlNestedElement*>(member.get())) {
      Lists(nested->elements, out);
    }
  }
}

TEST(XmlElementListEquality, MembersPairOffWhateverTheirOrder) {
  std::mt19937 random(12345);
  for (int round = 0; round < 400; ++round) {
    SCOPED_TRACE(round);
    XmlElementList list;
    for (unsigned i = 2 + random() % 5; i > 0; --i) {
      list.Add(RandomElement(random, 3));
    }
    // Reordered at every level: still equal, both ways.
    XmlElementList reordered(list);
    std::vector<XmlElementList*> lists;
    Lists(reordered, lists);
    for (XmlElementList* l : lists) {
      std::vector<Handle> members(l->items.begin(), l->items.end());
      std::shuffle(members.begin(), members.end(), random);
      l->items.assign(members.begin(), members.end());
    }
    ASSERT_TRUE(list == reordered) << list.ToXml("").str() << reordered.ToXml("").str();
    ASSERT_TRUE(reordered == list);
    EXPECT_FALSE(list < reordered || reordered < list);
    // One member changed somewhere: unequal.
    lists.erase(std::remove_if(lists.begin(), lists.end(),
                               [](const XmlElementList* l) { return l->empty(); }),
                lists.end());
    XmlElementList* changed = lists[random() % lists.size()];
    Handle& member = *std::next(changed->items.begin(), random() % changed->items.size());
    member = member->IsNested() ? Handle(boost::make_shared<XmlNestedElement>(
                                      static_cast<const XmlNestedElement&>(*member)))
                                : Handle(boost::make_shared<XmlLeafElement>(
                                      static_cast<const XmlLeafElement&>(*member)));
    switch (random() % 2) {
      case 0:
        member->attributes.Add(Attr("c", "z"));
        break;
      default:
        if (member->IsNested()) {
          static_cast<XmlNestedElement&>(*member).elements.Add(Leaf("p", "1"));
        } else {
          static_cast<XmlLeafElement&>(*member).SetText("3");
        }
    }
    EXPECT_FALSE(list == reordered) << list.ToXml("").str() << reordered.ToXml("").str();
    EXPECT_FALSE(reordered == list);
  }
}

// A full binary tree whose every element is tagged "n"; the leaves hold their
// position, and the mirror holds every list in reverse order.
Handle Tree(int depth, int& next, bool mirrored) {
  if (depth == 0) {
    return Leaf("n", std::to_string(next++));
  }
  boost::shared_ptr<XmlNestedElement> nested = Nested("n");
  nested->elements.Add(Tree(depth - 1, next, mirrored));
  nested->elements.Add(Tree(depth - 1, next, mirrored));
  if (mirrored) {
    nested->elements.items.reverse();
  }
  return nested;
}

// Two chains of one tag: each level a leaf beside a nested element of the
// same tag, the bottom leaf's text `bottom`.
XmlElementList Chain(int depth, const char* bottom) {
  XmlElementList top;
  XmlElementList* list = &top;
  for (int i = 0; i < depth; ++i) {
    list->Add(Leaf("c", "x"));
    boost::shared_ptr<XmlNestedElement> next = Nested("c");
    list->Add(next);
    list = &next->elements;
  }
  list->Add(Leaf("c", bottom));
  return top;
}

TEST(XmlElementListCost, MirroredTreesAndDeepChainsOnAnEightMibStack) {
  OnSmallStack(
      [] {
        int next = 0;
        const Handle tree = Tree(16, next, false);
        next = 0;
        const Handle mirror = Tree(16, next, true);
        EXPECT_TRUE(*tree == *mirror);
        EXPECT_FALSE(*tree < *mirror || *mirror < *tree);
        static_cast<XmlLeafElement&>(
            *static_cast<XmlNestedElement&>(*mirror).elements.Get(std::vector<StringBase>(16, "n")))
            .SetText("0");
        EXPECT_FALSE(*tree == *mirror);
        // The order is not strict: it only has to be found.
        const bool less = *tree < *mirror || *mirror < *tree;
        ::testing::Test::RecordProperty("less", less);
        XmlElementList both;
        both.Add(tree);
        both.Add(mirror);
        both.sort();
        EXPECT_EQ(both.items.front(), mirror);

        const XmlElementList a = Chain(100000, "1");
        const XmlElementList b = Chain(100000, "2");
        EXPECT_FALSE(a == b);
        EXPECT_TRUE(a < b);
        EXPECT_FALSE(b < a);
        EXPECT_TRUE(a == Chain(100000, "1"));
      },
      EIGHT_MIB);
}

// Level i of one chain holds level i + 1 of both chains in one order, the
// other in the reverse order: 100,000 objects that unfold into a tree of
// 2^50,000 elements, whatever the two bottom levels hold.
TEST(XmlElementListCost, SharedSubtreesCostTheirDistinctObjects) {
  OnSmallStack(
      [] {
        for (const char* bottom : {"1", "2"}) {
          SCOPED_TRACE(bottom);
          boost::shared_ptr<XmlNestedElement> first = Nested("s");
          boost::shared_ptr<XmlNestedElement> second = Nested("s");
          first->elements.Add(Leaf("s", "1"));
          second->elements.Add(Leaf("s", bottom));
          for (int i = 0; i < 50000; ++i) {
            boost::shared_ptr<XmlNestedElement> up = Nested("s");
            boost::shared_ptr<XmlNestedElement> upOther = Nested("s");
            up->elements.Add(first);
            up->elements.Add(second);
            upOther->elements.Add(second);
            upOther->elements.Add(first);
            first = up;
            second = upOther;
          }
          // Above the bottom both levels hold the same two objects.
          EXPECT_TRUE(*first == *second);
          EXPECT_FALSE(*first < *second || *second < *first);
          XmlElementList list;
          list.Add(second);
          list.Add(first);
          list.sort();
        }
      },
      EIGHT_MIB);
}

}  // namespace
