// XmlElementList: tag listing, path navigation with repeated tags, thrown
// messages and the state after a throw, list equality and order, sorting,
// and bad input (odd paths, very deep trees, shared and foreign members).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include <boost/make_shared.hpp>

#include "mintu/Mintu_AppException.h"
#include "mintu/Mintu_XmlElement.h"
#include "port/Port_Msg.h"
#include "support/IssuedMessages.h"

namespace {

using Mintu::AppException;
using Mintu::StringBase;
using Mintu::XmlAttribute;
using Mintu::XmlElement;
using Mintu::XmlElementList;
using Mintu::XmlLeafElement;
using Mintu::XmlNestedElement;

boost::shared_ptr<XmlLeafElement> Leaf(const char* tag, const char* text) {
  return boost::make_shared<XmlLeafElement>(tag, text);
}

boost::shared_ptr<XmlNestedElement> Nested(const char* tag) {
  return boost::make_shared<XmlNestedElement>(tag);
}

std::string Thrown(const std::function<void()>& call) {
  try {
    call();
  } catch (const AppException& e) {
    return e.what();
  }
  return "<nothing thrown>";
}

std::string Texts(const std::vector<boost::shared_ptr<XmlLeafElement> >& leaves) {
  std::string out;
  for (const auto& leaf : leaves) {
    out += leaf->GetText().str() + ";";
  }
  return out;
}

// Claims to be nested without being an XmlNestedElement.
class Liar : public XmlElement {
 public:
  explicit Liar(const char* tag) : XmlElement(tag) {}
  bool IsNested() const override { return true; }
  const StringBase ToXml(const StringBase& indent) const override { return indent; }
};

class XmlNavigation : public MintuTest::IssuedMessages {};

TEST(XmlElementList, ListsTagsOfWholeSubtrees) {
  XmlElementList list;
  boost::shared_ptr<XmlNestedElement> bus = Nested("bus");
  bus->elements.Add(Leaf("name", "b"));
  boost::shared_ptr<XmlNestedElement> port = Nested("port");
  port->elements.Add(Leaf("width", "8"));
  bus->elements.Add(port);
  list.Add(bus);
  list.Add(Leaf("vendor", "v"));
  EXPECT_EQ(list.ListTags(), (std::list<StringBase>{"bus", "name", "port", "vendor", "width"}));
  EXPECT_EQ(list.size(), 2u);
  std::vector<std::string> order;
  for (XmlElementList::const_iterator it = list.begin(); it != list.end(); ++it) {
    order.push_back((*it)->GetTag().str());
  }
  EXPECT_EQ(order, (std::vector<std::string>{"bus", "vendor"}));
}

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
  EXPECT_FALSE(list.Has("name"));
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
}

TEST(XmlElementList, EmptyAndDoubledSeparatorsAreEmptyTags) {
  XmlElementList list;
  list.AddLeafElement("a", "1");
  for (const char* path : {"", "/", "//", "a/", "/a", "a//b", "///a"}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(list.Has(path));
    EXPECT_TRUE(list.GetLeafElements(path).empty());
    EXPECT_THROW(list.Get(path), AppException);
  }
  EXPECT_THROW(list.AddLeafElement("a//b", "1"), AppException);
  EXPECT_THROW(list.AddLeafElement("/", "1"), AppException);
  EXPECT_EQ(list.size(), 1u);
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
  EXPECT_EQ(list.size(), 2u);
  EXPECT_EQ(copy.ToXml("").str(), list.ToXml("").str());
  // The copy shares nothing: two distinct objects.
  EXPECT_NE(copy.begin()->get(), std::next(copy.begin())->get());
  list.clear();
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(shared.use_count(), 1);
}

TEST(XmlElementList, TenThousandStepPath) {
  std::string path = "spirit:a";
  for (int i = 1; i < 10000; ++i) {
    path += "/spirit:a";
  }
  XmlElementList list;
  list.AddLeafElement(path, "deep");
  list.AddLeafElement(path, "deeper");
  EXPECT_TRUE(list.Has(path));
  EXPECT_EQ(Texts(list.GetLeafElements(path)), "deep;deeper;");
  EXPECT_EQ(boost::static_pointer_cast<XmlLeafElement>(list.Get(path))->GetText(),
            StringBase("deep"));
  EXPECT_FALSE(list.Has(path + "/x"));
  const std::string text = list.ToXml("").str();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2 * 9999 + 2);
  EXPECT_NE(text.find("\n" + std::string(2 * 9999, ' ') + "<spirit:a>deeper</spirit:a>\n" +
                      std::string(2 * 9998, ' ') + "</spirit:a>\n"),
            std::string::npos);
  XmlElementList copy(list);
  EXPECT_TRUE(copy == list);
  EXPECT_FALSE(copy < list);
  EXPECT_EQ(copy.ListTags().size(), 10001u);
  list.AddLeafElement(path, "third");
  EXPECT_FALSE(copy == list);
  // Order re-lists each level's subtree, so it costs the square of the depth:
  // a shallower chain keeps the test quick.
  XmlElementList shallow;
  shallow.AddLeafElement(path.substr(0, 1000 * 9 - 1), "1");
  XmlElementList shallowCopy(shallow);
  shallow.AddLeafElement(path.substr(0, 1000 * 9 - 1), "2");
  EXPECT_TRUE(shallowCopy < shallow);
  EXPECT_FALSE(shallow < shallowCopy);
  XmlElementList assigned;
  assigned = copy;
  const XmlElementList kept(copy);
  copy.clear();
  EXPECT_TRUE(copy.empty());
  EXPECT_TRUE(assigned == kept);
}

std::vector<std::string> Members(const XmlElementList& list) {
  std::vector<std::string> out;
  for (const auto& e : list) {
    out.push_back(e->ToXml("").str());
  }
  return out;
}

TEST(XmlElementList, EqualityOfWholeSubtrees) {
  EXPECT_TRUE(XmlElementList() == XmlElementList());
  EXPECT_FALSE(XmlElementList() < XmlElementList());
  // Leaves in another order, no repeated tag: equal.
  XmlElementList a;
  a.AddLeafElement("x", "1");
  a.AddLeafElement("y", "2");
  XmlElementList b;
  b.AddLeafElement("y", "2");
  b.AddLeafElement("x", "1");
  EXPECT_TRUE(a == b);
  // Nested members with children are compared as whole subtrees.
  a.AddLeafElement("n/c", "3");
  a.AddLeafElement("n/d", "4");
  b.AddLeafElement("n/d", "4");
  b.AddLeafElement("n/c", "3");
  EXPECT_TRUE(a == b);
  EXPECT_TRUE(b == a);
  b.AddLeafElement("n/c", "3");
  a.AddLeafElement("n/c", "5");
  EXPECT_FALSE(a == b);
  // Repeated tags: compared after a stable sort.
  XmlElementList p;
  p.AddLeafElement("p", "1");
  p.AddLeafElement("p", "2");
  XmlElementList q;
  q.AddLeafElement("p", "2");
  q.AddLeafElement("p", "1");
  EXPECT_TRUE(p == q);
  q.AddLeafElement("p", "3");
  EXPECT_FALSE(p == q);
  EXPECT_TRUE(p < q);
  // Same tags at the top, different deeper tags.
  XmlElementList r;
  r.AddLeafElement("n/c", "1");
  XmlElementList s;
  s.AddLeafElement("n/e", "1");
  EXPECT_FALSE(r == s);
  EXPECT_TRUE(r < s);
  EXPECT_FALSE(s < r);
  // Tags that share namespace and name: ":x" and "x".
  XmlElementList t;
  t.AddLeafElement(":x", "1");
  t.AddLeafElement("x", "1");
  XmlElementList u;
  u.AddLeafElement("x", "1");
  u.AddLeafElement(":x", "1");
  EXPECT_TRUE(t == u);
  // A shorter list is less, whatever its members.
  XmlElementList z;
  z.AddLeafElement("z", "9");
  EXPECT_TRUE(z < a);
  EXPECT_FALSE(a < z);
}

TEST(XmlElementList, SortIsStableAndEndsOnNonStrictOrders) {
  XmlElementList list;
  list.AddLeafElement("spirit:value", "2");  // fewer attributes, greater text
  list.AddLeafElement("spirit:value", "1");
  (*std::next(list.begin()))->attributes.Add(boost::make_shared<XmlAttribute>("f", "l"));
  list.AddLeafElement("b", "1");
  list.AddLeafElement("a", "1");
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

}  // namespace
