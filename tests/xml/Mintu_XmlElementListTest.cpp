// XmlElementList: path navigation and its refusals, equality as multisets of
// whole subtrees, order, sorting, and trees far deeper than the call stack.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "XmlTestSupport.h"
#include "port/Port_Msg.h"
#include "support/IssuedMessages.h"

namespace {

using namespace XmlTest;

class XmlNavigation : public MintuTest::IssuedMessages {};

TEST_F(XmlNavigation, AddFindsAndCreatesLevelsFirstMatchFirst) {
  XmlElementList list;
  list.Add(Nested("a"));  // without a child b
  EXPECT_TRUE(list.AddLeafElement(std::vector<StringBase>{"a", "b", "c"}, "1"));
  list.AddLeafElement("a/b/c", "2");
  EXPECT_EQ(list.ToXml("").str(), "<a>\n  <b>\n    <c>1</c>\n    <c>2</c>\n  </b>\n</a>\n");
  boost::shared_ptr<XmlNestedElement> second = Nested("a");
  second->elements.Add(Leaf("d", "3"));
  list.Add(second);
  list.Add(Leaf("spirit:name", "n"));
  EXPECT_EQ(Texts(list.GetLeafElements("a/d")), "3;");
  EXPECT_EQ(Texts(list.GetLeafElements("a/b/c")), "1;2;");
  EXPECT_EQ(list.Get("a/d"), second->elements.Get("d"));
  EXPECT_EQ(list.Get("a"), *list.begin());
  EXPECT_TRUE(list.Has("a/b/c") && list.Has(std::vector<StringBase>{"spirit:name"}));
  EXPECT_FALSE(list.Has("name") || list.Has("a/b/c/d") ||
               list.Get(std::vector<StringBase>{"a", "z"}));
  EXPECT_TRUE(list.GetLeafElements("a/z").empty());
  EXPECT_FALSE(list.AddLeafElement(std::vector<StringBase>(), "1"));
  list.AddLeafElement("", "nothing");  // no step: nothing happens
  EXPECT_EQ(list.size(), 3u);
  EXPECT_EQ(issued.messages().size(), 0u);
  EXPECT_EQ(list.ListTags(), (std::list<StringBase>{"a", "a", "b", "c", "c", "d", "spirit:name"}));
}

TEST(XmlElementList, RefusalsNameThePathAndLeaveTheTreeAsDescribed) {
  XmlElementList list;
  list.Add(Leaf("a", "leaf"));
  list.Add(Nested("a"));
  EXPECT_EQ(Thrown([&] { list.AddLeafElement("a/b", "1"); }),
            "Cannot add leaf elements to leaf element 'a'\n");
  EXPECT_EQ(list.ToXml("").str(), "<a>leaf</a>\n<a/>\n");
  EXPECT_EQ(Thrown([&] { list.GetLeafElements("a"); }),
            "Cannot get leaf elements on nested element 'a'\n");
  EXPECT_EQ(Thrown([&] { list.Get("a/%s/none"); }), "Cannot find element 'a/%s/none'\n");
  EXPECT_EQ(Thrown([&] { list.Get(""); }), "Cannot find element ''\n");
  // Levels created before a refused tag stay; nothing else changes.
  XmlElementList fresh;
  EXPECT_EQ(Thrown([&] { fresh.AddLeafElement("x/y/a:b:c/z", "1"); }), "Invalid XML tag a:b:c\n");
  EXPECT_EQ(fresh.ToXml("").str(), "<x>\n  <y/>\n</x>\n");
  EXPECT_EQ(Thrown([&] { fresh.AddLeafElement("x/y/q/", "1"); }), "Invalid XML tag \n");
  EXPECT_EQ(fresh.ToXml("").str(), "<x>\n  <y>\n    <q/>\n  </y>\n</x>\n");
  // Empty and doubled separators make empty tags: found nowhere, refused.
  for (const char* path : {"", "/", "//", "x/", "/x", "x//y"}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(fresh.Has(path));
    EXPECT_TRUE(fresh.GetLeafElements(path).empty());
    EXPECT_THROW(fresh.Get(path), AppException);
  }
  EXPECT_THROW(fresh.AddLeafElement("/", "1"), AppException);
  EXPECT_EQ(fresh.size(), 1u);
}

TEST(XmlElementList, LiarsAndSharedMembers) {
  XmlElementList list;
  list.Add(boost::make_shared<Liar>("a"));
  list.Add(Nested("a"));
  // The first a is not nested, though it says so.
  EXPECT_EQ(Thrown([&] { list.AddLeafElement("a/b", "x"); }),
            "Cannot add leaf elements to leaf element 'a'\n");
  static_cast<XmlNestedElement&>(*list.items.back()).elements.Add(Leaf("b", "1"));
  const unsigned long before = Port_MsgManData::debugStubCount();
  EXPECT_TRUE(list.Has("a/b"));
  EXPECT_EQ(Port_MsgManData::debugStubCount(), before + 1);
  EXPECT_EQ(Port_MsgManData::lastDebugStub(),
            StringBase("Non-nested XML element identified as nested.\n"));
  EXPECT_EQ(Texts(list.GetLeafElements("a/b")) + list.ToXml("").str(), "1;<a>\n  <b>1</b>\n</a>\n");
  const XmlElementList copy(list);
  EXPECT_TRUE(copy.size() == 1 && !(copy == list) && !(list == copy) && list == list);
  // The same handle twice: copied as two objects, released once.
  XmlElementList twice;
  twice.Add(list.items.back());
  twice.Add(list.items.back());
  const XmlElementList copied(twice);
  EXPECT_TRUE(copied == twice && !(copied < twice) && !(twice < copied));
  EXPECT_NE(copied.items.front(), copied.items.back());
  EXPECT_EQ(Texts(twice.GetLeafElements("a/b")), "1;1;");
  const Handle shared = list.items.back();
  list.clear();
  twice.clear();
  EXPECT_EQ(shared.use_count(), 1);
}

// A list of leaves added by "path=text" pairs apart by spaces.
XmlElementList Built(const std::string& leaves) {
  XmlElementList list;
  for (const auto& leaf : Pairs(leaves)) list.AddLeafElement(leaf.first, leaf.second);
  return list;
}

TEST(XmlElementList, EqualityAndOrderOfWholeSubtrees) {
  // List a, list b, then "=" when equal, "<" when a < b, ">" when b < a,
  // "?" when the order is not decided here.
  const char* const rows[] = {"", "", "=",  //
                              "x=1 y=2 n/c=3 n/d=4", "y=2 x=1 n/d=4 n/c=3", "=",
                              "x=1 y=2 n/c=3 n/d=4 n/c=5", "y=2 x=1 n/d=4 n/c=3 n/c=3", "?",
                              "p=1 p=2", "p=2 p=1", "=", "p=1 p=2", "p=2 p=3", "<", "n/c=1",
                              "n/e=1", "<", ":x=1 x=1", "x=1 :x=1", "=",
                              // A shorter list is less, whatever its members.
                              "z=9", "x=1 y=2", "<"};
  for (std::size_t i = 0; i < std::size(rows); i += 3) {
    SCOPED_TRACE(std::string(rows[i]) + " vs " + rows[i + 1]);
    const XmlElementList a = Built(rows[i]), b = Built(rows[i + 1]);
    const std::string want = rows[i + 2];
    EXPECT_EQ(a == b, want == "=");
    EXPECT_EQ(b == a, want == "=");
    EXPECT_TRUE(want == "?" || ((a < b) == (want == "<") && (b < a) == (want == ">")));
  }
}

// Every non-empty list in the tree, depth first.
void Lists(XmlElementList& list, std::vector<XmlElementList*>& out) {
  if (!list.empty()) out.push_back(&list);
  for (const Handle& member : list.items) {
    if (auto* nested = dynamic_cast<XmlNestedElement*>(member.get())) Lists(nested->elements, out);
  }
}

TEST(XmlElementList, MembersPairOffWhateverTheirOrder) {
  std::mt19937 random(12345);
  const Pools pools = {{"p", "q", "s:p"}, {"1", "2"}, {"a", "b"}, {"x", "y"}};
  for (int round = 0; round < 400; ++round) {
    SCOPED_TRACE(round);
    XmlElementList list;
    for (unsigned i = 2 + random() % 5; i > 0; --i) list.Add(RandomElement(random, pools, 3));
    // Reordered at every level: still equal, both ways.
    XmlElementList reordered(list);
    std::vector<XmlElementList*> lists;
    Lists(reordered, lists);
    for (XmlElementList* l : lists) {
      std::vector<Handle> members(l->items.begin(), l->items.end());
      std::shuffle(members.begin(), members.end(), random);
      l->items.assign(members.begin(), members.end());
    }
    ASSERT_TRUE(list == reordered && reordered == list) << list.ToXml("").str();
    EXPECT_FALSE(list < reordered || reordered < list);
    // One member changed somewhere: unequal.
    XmlElementList* changed = lists[random() % lists.size()];
    Handle& member = *std::next(changed->items.begin(), random() % changed->items.size());
    if (round % 2 == 0) {
      member = Leaf("p", "3");
    } else {
      member =
          member->IsNested()
              ? Handle(
                    boost::make_shared<XmlNestedElement>(static_cast<XmlNestedElement&>(*member)))
              : Handle(boost::make_shared<XmlLeafElement>(static_cast<XmlLeafElement&>(*member)));
      member->attributes.Add(Attr("c", "z"));
    }
    EXPECT_FALSE(list == reordered || reordered == list) << list.ToXml("").str();
  }
}

TEST(XmlElementList, SortIsStable) {
  XmlElementList list = Built("k=1 b=1 s:v=2 a=1 k=1");
  list.Add(Nested("a"));
  list.AddLeafElement("c", "1");
  list.AddLeafElement("a", "0");
  const Handle firstK = list.items.front();
  list.sort();
  std::string sorted;
  for (const Handle& e : list) sorted += e->ToXml("").str();
  EXPECT_EQ(sorted,
            "<a>0</a>\n<a>1</a>\n<a/>\n<b>1</b>\n<c>1</c>\n<k>1</k>\n<k>1</k>\n<s:v>2</s:v>\n");
  EXPECT_EQ(*std::next(list.begin(), 5), firstK);
}

// A chain of one tag: each level a leaf beside a nested element of the same
// tag, the bottom leaf's text `bottom`.
XmlElementList Chain(const char* bottom) {
  XmlElementList top;
  XmlElementList* list = &top;
  for (int i = 0; i < 100000; ++i) {
    const auto next = Nested("c");
    list->items = {Leaf("c", "x"), next};
    list = &next->elements;
  }
  list->Add(Leaf("c", bottom));
  return top;
}

// Every walk keeps its own stack: 100,000 levels on a thread of 8 MiB; two
// chains of shared subtrees that unfold into 2^50,000 elements cost their
// distinct objects.
TEST(XmlElementList, DeepTreesOnASmallStack) {
  OnSmallStack(
      [] {
        const std::vector<StringBase> path(100000, "spirit:a");
        XmlElementList list;
        list.AddLeafElement(path, "deep");
        list.AddLeafElement(path, "deeper");
        EXPECT_TRUE(list.Has(path));
        EXPECT_EQ(Texts(list.GetLeafElements(path)), "deep;deeper;");
        EXPECT_EQ(boost::static_pointer_cast<XmlLeafElement>(list.Get(path))->GetText(),
                  StringBase("deep"));
        XmlElementList copy(list);
        EXPECT_TRUE(copy == list && !(copy < list));
        list.AddLeafElement(path, "third");
        EXPECT_TRUE(!(copy == list) && copy < list && !(list < copy));
        list.sort();
        XmlElementList assigned;
        assigned = copy;
        copy.clear();
        EXPECT_EQ(assigned.ListTags().size(), 100001u);

        const XmlElementList a = Chain("1"), b = Chain("2");
        EXPECT_TRUE(!(a == b) && a < b && !(b < a) && a == Chain("1"));

        for (const char* bottom : {"1", "2"}) {
          SCOPED_TRACE(bottom);
          boost::shared_ptr<XmlNestedElement> first = Nested("s"), second = Nested("s");
          first->elements.Add(Leaf("s", "1"));
          second->elements.Add(Leaf("s", bottom));
          for (int i = 0; i < 50000; ++i) {
            const auto up = Nested("s"), upOther = Nested("s");
            up->elements.items = {first, second};
            upOther->elements.items = {second, first};
            first = up;
            second = upOther;
          }
          // Above the bottom both levels hold the same two objects.
          EXPECT_TRUE(*first == *second && !(*first < *second) && !(*second < *first));
          XmlElementList pair;
          pair.items = {second, first};
          pair.sort();
        }
      },
      8u << 20);
  // The text grows with the square of the depth: 2,000 levels.
  OnSmallStack([] {
    XmlElementList shallow;
    shallow.AddLeafElement(std::vector<StringBase>(2000, "a"), "2");
    const std::string text = shallow.ToXml("").str();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2 * 1999 + 1);
    EXPECT_NE(text.find("\n" + std::string(2 * 1999, ' ') + "<a>2</a>\n" +
                        std::string(2 * 1998, ' ') + "</a>\n"),
              std::string::npos);
  });
}

}  // namespace
