// XmlElementList: tag listing, path navigation with repeated tags, thrown
// messages and the state after a throw, list equality and order, sorting,
// and bad input (odd paths, very deep trees, shared and foreign members).
#include <gtest/gtest.h>

#include <algorithm>

#include "XmlTestSupport.h"
#include "port/Port_Msg.h"
#include "support/IssuedMessages.h"

namespace {

using namespace XmlTest;
typedef std::list<boost::shared_ptr<XmlElement> > XmlList;

// A list of leaves added by "path=text".
XmlElementList Built(const std::vector<std::string>& leaves) {
  XmlElementList list;
  for (const std::string& leaf : leaves) {
    const std::size_t at = leaf.find('=');
    list.AddLeafElement(leaf.substr(0, at), leaf.substr(at + 1));
  }
  return list;
}

std::vector<std::string> Members(const XmlElementList& list) {
  std::vector<std::string> out;
  for (const auto& e : list) {
    out.push_back(e->ToXml("").str());
  }
  return out;
}

class XmlNavigation : public MintuTest::IssuedMessages {};

TEST_F(XmlNavigation, AddLeafElementCreatesAndReusesLevels) {
  XmlElementList list;
  EXPECT_TRUE(list.AddLeafElement(std::vector<StringBase>{"a", "b", "c"}, "1"));
  list.AddLeafElement("a/b/c", "2");
  EXPECT_EQ(list.ToXml("").str(), "<a>\n  <b>\n    <c>1</c>\n    <c>2</c>\n  </b>\n</a>\n");
  EXPECT_EQ(Texts(list.GetLeafElements("a/b/c")), "1;2;");
  list.AddLeafElement("x", "1");
  list.AddLeafElement("x", "1");
  EXPECT_EQ(Texts(list.GetLeafElements("x")), "1;1;");
  EXPECT_FALSE(list.AddLeafElement(std::vector<StringBase>(), "1"));
  list.AddLeafElement("", "nothing");  // no step: nothing happens
  EXPECT_EQ(list.size(), 3u);
  EXPECT_EQ(issued.messages().size(), 0u);
  // Tags of whole subtrees, sorted.
  list.AddLeafElement("a/b/d/z", "3");
  EXPECT_EQ(list.ListTags(), (std::list<StringBase>{"a", "b", "c", "c", "d", "x", "x", "z"}));
}

TEST(XmlElementList, RepeatedTagsFirstMatchAndAllMatches) {
  XmlElementList list;
  list.Add(Nested("a"));  // without a child b
  boost::shared_ptr<XmlNestedElement> second = Nested("a");
  second->elements.Add(Leaf("b", "1"));
  list.Add(second);
  EXPECT_TRUE(list.Has("a/b"));
  EXPECT_EQ(list.Get("a/b"), second->elements.Get("b"));
  EXPECT_EQ(Texts(list.GetLeafElements("a/b")), "1;");
  list.AddLeafElement("a/b", "2");  // under the first a
  EXPECT_EQ(Texts(list.GetLeafElements("a/b")), "2;1;");
  EXPECT_EQ(boost::static_pointer_cast<XmlLeafElement>(list.Get("a/b"))->GetText(),
            StringBase("2"));
  EXPECT_EQ(list.Get("a"), *list.begin());
  list.Add(Leaf("spirit:name", "n"));
  EXPECT_FALSE(list.Has("name"));
  EXPECT_TRUE(list.Has(std::vector<StringBase>{"spirit:name"}));
  EXPECT_FALSE(list.Get(std::vector<StringBase>{"a", "zz"}));
  EXPECT_TRUE(list.GetLeafElements("a/zz").empty());
}

TEST(XmlElementList, ThrowsAndLeavesTheTreeAsDescribed) {
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
  EXPECT_EQ(Thrown([&] { fresh.AddLeafElement("x/y/q/w/", "1"); }), "Invalid XML tag \n");
  EXPECT_EQ(fresh.ToXml("").str(), "<x>\n  <y>\n    <q>\n      <w/>\n    </q>\n  </y>\n</x>\n");
  // Empty and doubled separators make empty tags: found nowhere, refused.
  for (const char* path : {"", "/", "//", "x/", "/x", "x//y", "///x"}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(fresh.Has(path));
    EXPECT_TRUE(fresh.GetLeafElements(path).empty());
    EXPECT_THROW(fresh.Get(path), AppException);
  }
  EXPECT_THROW(fresh.AddLeafElement("x//b", "1"), AppException);
  EXPECT_THROW(fresh.AddLeafElement("/", "1"), AppException);
  EXPECT_EQ(fresh.size(), 1u);
}

TEST(XmlElementList, LiarsAndForeignMembersAreHandled) {
  XmlElementList list;
  list.Add(boost::make_shared<Liar>("a"));
  list.Add(Nested("a"));
  // The first a is not nested, though it says so.
  EXPECT_EQ(Thrown([&] { list.AddLeafElement("a/b", "x"); }),
            "Cannot add leaf elements to leaf element 'a'\n");
  EXPECT_EQ(list.size(), 2u);
  static_cast<XmlNestedElement&>(**std::next(list.begin())).elements.Add(Leaf("b", "1"));
  const unsigned long before = Port_MsgManData::debugStubCount();
  EXPECT_TRUE(list.Has("a/b"));
  EXPECT_EQ(Port_MsgManData::debugStubCount(), before + 1);
  EXPECT_EQ(Port_MsgManData::lastDebugStub(),
            StringBase("Non-nested XML element identified as nested.\n"));
  EXPECT_EQ(Texts(list.GetLeafElements("a/b")), "1;");
  EXPECT_TRUE(list.GetLeafElements("a/b/c").empty());
  EXPECT_EQ(list.ToXml("").str(), "<a>\n  <b>1</b>\n</a>\n");
  XmlElementList copy(list);
  EXPECT_EQ(copy.size(), 1u);
  EXPECT_FALSE(copy == list);
  EXPECT_FALSE(list == copy);
  EXPECT_TRUE(list == list);
}

TEST(XmlElementList, SameHandleTwice) {
  XmlElementList list;
  boost::shared_ptr<XmlNestedElement> shared = Nested("s");
  shared->elements.Add(Leaf("v", "1"));
  list.Add(shared);
  list.Add(shared);
  XmlElementList copy(list);
  EXPECT_TRUE(copy == list);
  EXPECT_FALSE(copy < list || list < copy);
  EXPECT_EQ(Texts(list.GetLeafElements("s/v")), "1;1;");
  list.sort();
  EXPECT_EQ(copy.ToXml("").str(), list.ToXml("").str());
  // The copy shares nothing: two distinct objects.
  EXPECT_NE(copy.begin()->get(), std::next(copy.begin())->get());
  list.clear();
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(shared.use_count(), 1);
}

// Every walk keeps its own stack: 100,000 levels on a thread with 8 MiB.
TEST(XmlElementList, HundredThousandLevelsOnAnEightMibStack) {
  const std::vector<StringBase> path(100000, "spirit:a");
  OnSmallStack(
      [&] {
        XmlElementList list;
        list.AddLeafElement(path, "deep");
        list.AddLeafElement(path, "deeper");
        EXPECT_TRUE(list.Has(path));
        EXPECT_EQ(Texts(list.GetLeafElements(path)), "deep;deeper;");
        EXPECT_EQ(boost::static_pointer_cast<XmlLeafElement>(list.Get(path))->GetText(),
                  StringBase("deep"));
        XmlElementList copy(list);
        EXPECT_TRUE(copy == list);
        EXPECT_FALSE(copy < list);
        list.AddLeafElement(path, "third");
        EXPECT_FALSE(copy == list);
        EXPECT_TRUE(copy < list);
        EXPECT_FALSE(list < copy);
        list.sort();
        XmlElementList assigned;
        assigned = copy;
        copy.clear();
        EXPECT_EQ(assigned.ListTags().size(), 100001u);
      },
      8u << 20);
  // The text grows with the square of the depth: 2,000 levels, small stack.
  OnSmallStack([] {
    XmlElementList shallow;
    shallow.AddLeafElement(std::vector<StringBase>(2000, "spirit:a"), "2");
    const std::string text = shallow.ToXml("").str();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2 * 1999 + 1);
    EXPECT_NE(text.find("\n" + std::string(2 * 1999, ' ') + "<spirit:a>2</spirit:a>\n" +
                        std::string(2 * 1998, ' ') + "</spirit:a>\n"),
              std::string::npos);
  });
}

TEST(XmlElementList, EqualityAndOrderOfWholeSubtrees) {
  const std::vector<std::string> five = {"x=1", "y=2", "n/c=3", "n/d=4", "n/c=5"};
  const struct {
    std::vector<std::string> a, b;
    bool equal;
    int aLess, bLess;  // -1: not decided here
  } cases[] = {
      {{}, {}, true, 0, 0},
      // Another order, no repeated tag; nested members as whole subtrees.
      {{"x=1", "y=2"}, {"y=2", "x=1"}, true, -1, -1},
      {{"x=1", "y=2", "n/c=3", "n/d=4"}, {"y=2", "x=1", "n/d=4", "n/c=3"}, true, -1, -1},
      {five, {"y=2", "x=1", "n/d=4", "n/c=3", "n/c=3"}, false, -1, -1},
      // Repeated tags: compared after a stable sort.
      {{"p=1", "p=2"}, {"p=2", "p=1"}, true, -1, -1},
      {{"p=1", "p=2"}, {"p=2", "p=1", "p=3"}, false, 1, -1},
      // Same tags at the top, different deeper tags.
      {{"n/c=1"}, {"n/e=1"}, false, 1, 0},
      // Tags that share namespace and name.
      {{":x=1", "x=1"}, {"x=1", ":x=1"}, true, -1, -1},
      // A shorter list is less, whatever its members.
      {{"z=9"}, five, false, 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.a) + " vs " + ::testing::PrintToString(c.b));
    const XmlElementList a = Built(c.a);
    const XmlElementList b = Built(c.b);
    EXPECT_EQ(a == b, c.equal);
    EXPECT_EQ(b == a, c.equal);
    EXPECT_TRUE(c.aLess < 0 || (a < b) == (c.aLess == 1));
    EXPECT_TRUE(c.bLess < 0 || (b < a) == (c.bLess == 1));
  }
}

TEST(XmlElementList, SortIsStableAndEndsOnNonStrictOrders) {
  // The first value has fewer attributes but the greater text.
  XmlElementList list = Built({"spirit:value=2", "spirit:value=1", "b=1", "a=1"});
  (*std::next(list.begin()))->attributes.Add(Attr("f", "l"));
  list.Add(Nested("a"));
  list.AddLeafElement("a", "1");
  list.AddLeafElement(":a", "1");
  const std::vector<std::string> before = Members(list);
  list.sort();
  std::vector<std::string> sorted = Members(list);
  // Namespace and name order holds; a leaf "a" comes before the nested "a" of
  // the same tag; nothing is lost or duplicated.
  std::vector<std::pair<std::string, std::string> > names;
  for (const auto& e : list) {
    names.emplace_back(e->GetNamespace().str(), e->GetName().str());
  }
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end())) << ::testing::PrintToString(names);
  EXPECT_LT(std::find(sorted.begin(), sorted.end(), "<a>1</a>\n") - sorted.begin(),
            std::find(sorted.begin(), sorted.end(), "<a/>\n") - sorted.begin());
  std::vector<std::string> expected = before;
  std::sort(expected.begin(), expected.end());
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, expected);
  // Equal members keep their former order.
  XmlElementList stable;
  boost::shared_ptr<XmlLeafElement> first = Leaf("k", "1");
  boost::shared_ptr<XmlLeafElement> second = Leaf("k", "1");
  stable.Add(Leaf("z", "0"));
  stable.Add(first);
  stable.Add(second);
  stable.sort();
  EXPECT_EQ(*stable.begin(), first);
  EXPECT_EQ(*std::next(stable.begin()), second);
}

// What callers do with `items`: add while iterating, erase while iterating,
// insert before a member, keep references while the list grows.
TEST(XmlElementList, ItemsIsAListCallersCanChange) {
  XmlElementList list = Built({"p=1", "q=2", "p=3"});
  const boost::shared_ptr<XmlElement>& first = list.items.front();
  const XmlElement* const firstObject = first.get();
  for (const auto& member : list.items) {
    if (member->GetTag() == StringBase("p")) {
      list.AddLeafElement("added", member->ToXml("").str().substr(3, 1));
    }
  }
  for (auto it = list.items.begin(); it != list.items.end();) {
    it = (*it)->GetTag() == StringBase("q") ? list.items.erase(it) : std::next(it);
  }
  list.items.insert(std::next(list.items.begin()), Leaf("in", "i"));
  list.items.push_front(Leaf("front", "f"));
  for (int i = 0; i < 100; ++i) {
    list.Add(Leaf("more", "m"));
  }
  list.items.remove_if(
      [](const XmlList::value_type& e) { return e->GetTag() == StringBase("more"); });
  EXPECT_EQ(first.get(), firstObject);
  XmlElementList other = Built({"o=1"});
  other.items.splice(other.items.end(), list.items, list.items.begin());
  EXPECT_EQ(list.ToXml("").str(),
            "<p>1</p>\n<in>i</in>\n<p>3</p>\n<added>1</added>\n<added>3</added>\n");
  EXPECT_EQ(other.ToXml("").str(), "<o>1</o>\n<front>f</front>\n");
}

}  // namespace
