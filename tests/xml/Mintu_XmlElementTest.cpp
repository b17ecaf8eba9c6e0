// Attributes, elements and element lists: the text form, deep copies, path
// navigation, equality and order (lists as multisets of whole subtrees),
// callers' own classes, and trees far deeper than the call stack.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <tuple>

#include "XmlTestSupport.h"
#include "port/Port_Msg.h"
#include "support/TempInstallTree.h"

namespace {

using namespace XmlTest;

// Callers' classes: a false nested claim, an own text, a base copied from a leaf.
class Liar : public XmlElement {
 public:
  explicit Liar(const char* tag) : XmlElement(tag) {}
  bool IsNested() const override { return true; }
  const StringBase ToXml(const StringBase& indent) const override { return indent; }
};
class Shouting : public XmlLeafElement {
 public:
  Shouting(const char* tag, const char* text) : XmlLeafElement(tag, text) {}
  const StringBase ToXml(const StringBase& indent) const override { return indent + GetTag(); }
};
class Echo : public XmlElement {
 public:
  explicit Echo(const XmlLeafElement& from) : XmlElement(from) {}
  const StringBase ToXml(const StringBase&) const override { return "ECHO\n"; }
};

std::string Texts(const std::vector<boost::shared_ptr<XmlLeafElement> >& leaves) {
  std::string out;
  for (const auto& leaf : leaves) out += leaf->GetText().str() + ";";
  return out;
}

// Which of "a=b b=a a<b b<a" hold, so that a failed comparison names the operator at fault.
template <class A, class B>
std::string Relations(const A& a, const B& b) {
  const std::string all = std::string(a == b ? " a=b" : "") + (b == a ? " b=a" : "") +
                          (a < b ? " a<b" : "") + (b < a ? " b<a" : "");
  return all.empty() ? all : all.substr(1);
}

// Over all pairs: the derived operators agree with == and <; nothing is less than itself.
template <class T>
void ExpectOperatorsAgree(const std::vector<boost::shared_ptr<T> >& table) {
  for (const auto& x : table) {
    for (const auto& y : table) {
      SCOPED_TRACE(std::to_string(&x - &table[0]) + " vs " + std::to_string(&y - &table[0]));
      const bool eq = *x == *y, lt = *x < *y;
      EXPECT_EQ(*x != *y, !eq);
      EXPECT_EQ(*x <= *y, eq || lt);
      EXPECT_EQ(*x > *y, !eq && !lt);
      EXPECT_EQ(*x >= *y, !lt);
    }
    EXPECT_FALSE(*x < *x) << &x - &table[0] << " is less than itself";
  }
}

void Put(XmlAttributeList& list, const std::string& tag, const std::string& text) {
  list.Add(Attr(tag, text));
}
void Put(XmlElementList& list, const std::string& path, const std::string& text) {
  list.AddLeafElement(path, text);
}

// Lists made of "tag=text" (or "path=text") pairs apart by spaces.
template <class List>
List Made(const std::string& text) {
  List list;
  for (std::size_t at = 0, end; at < text.size(); at = end + 1) {
    end = std::min(text.find(' ', at), text.size());
    const std::size_t equals = text.find('=', at);
    Put(list, text.substr(at, equals - at), text.substr(equals + 1, end - equals - 1));
  }
  return list;
}

// Rows of list a, list b, and "=" when equal, else "<" when a < b and ">"
// when b < a ("?": the order is not decided here).
template <class List>
void ExpectEqualityAndOrder(const std::vector<const char*>& rows) {
  for (std::size_t i = 0; i < rows.size(); i += 3) {
    SCOPED_TRACE(std::string(rows[i]) + " vs " + rows[i + 1]);
    const List a = Made<List>(rows[i]), b = Made<List>(rows[i + 1]);
    const std::string want = rows[i + 2];
    EXPECT_EQ(a == b, want == "=");
    EXPECT_EQ(b == a, want == "=");
    EXPECT_FALSE(a < a);
    const std::string order = (a < b ? "<" : "") + std::string(b < a ? ">" : "");
    if (want == "?") continue;
    EXPECT_EQ(order, want == "=" ? "" : want);
  }
}

XmlNestedElement WorkedExample() {
  XmlNestedElement parameter("spirit:parameter");
  parameter.elements.AddLeafElement("spirit:name", "component_name");
  parameter.elements.AddLeafElement("spirit:value", "16");
  parameter.elements.Get("spirit:value")->attributes =
      Made<XmlAttributeList>("spirit:resolve=user spirit:format=long");
  parameter.elements.items.push_back(Nested("spirit:vendorExtensions"));
  parameter.elements.AddLeafElement("spirit:description", "");
  return parameter;
}

TEST(XmlElement, WritesTextsAndTagsUnchanged) {
  XmlNestedElement outer("a");
  outer.elements.Add(boost::make_shared<XmlNestedElement>(WorkedExample()));
  EXPECT_EQ(outer.ToXml("\t").str(), R"(	<a>
	  <spirit:parameter>
	    <spirit:name>component_name</spirit:name>
	    <spirit:value spirit:resolve="user" spirit:format="long">16</spirit:value>
	    <spirit:vendorExtensions/>
	    <spirit:description/>
	  </spirit:parameter>
	</a>
)");
  // Odd bytes, an embedded NUL included, are written as they are.
  const std::string odd("\xff\x01\x00z&%d\n", 8);
  EXPECT_EQ(XmlLeafElement("t", StringBase(odd)).ToXml(" ").str(), " <t>" + odd + "</t>\n");
  EXPECT_EQ(XmlAttribute("t", StringBase(odd)).ToXml().str(), "t=\"" + odd + "\"");
  // Large outputs cross the boundaries of the writer's buffers.
  XmlNestedElement root("r");
  root.elements.AddLeafElement("b", std::string(200000, 'b'));
  root.elements.Get("b")->attributes.Add(Attr("a", std::string(70000, 'a')));
  std::string expected =
      "\t<r>\n\t  <b a=\"" + std::string(70000, 'a') + "\">" + std::string(200000, 'b') + "</b>\n";
  for (int i = 0; i < 5000; ++i) {
    root.elements.AddLeafElement("n", std::to_string(i));
    expected += "\t  <n>" + std::to_string(i) + "</n>\n";
  }
  const std::string written = root.ToXml("\t").str();
  ASSERT_EQ(written.size(), expected.size() + 6);
  EXPECT_TRUE(written == expected + "\t</r>\n");
  std::ostringstream streamed;  // the same in pieces
  root.WriteXml(streamed, "\t");
  EXPECT_TRUE(written == streamed.str());
}

TEST(XmlElement, CopiesAndAssignmentsAreDeep) {
  const XmlNestedElement example = WorkedExample();
  XmlNestedElement copy(example), assigned("n");
  copy.elements.Get("spirit:value")->attributes.Get("spirit:format")->SetText("short");
  assigned.elements.Add(Leaf("kept", "k"));
  assigned = example;
  EXPECT_EQ(example.ToXml("").str(), WorkedExample().ToXml("").str());  // the copy changed alone
  EXPECT_TRUE(assigned == example);
  XmlLeafElement target("old", "1"), source("ns:new", "2"), base("old", "1");
  source.attributes.Add(Attr("b", "2"));
  target = source;
  target.attributes.Get("b")->SetText("changed");
  target = static_cast<const XmlLeafElement&>(target);
  XmlAttribute attribute("other", "3");
  attribute = *source.attributes.Get("b");
  // Through the base only the tag and the attributes change.
  static_cast<XmlElement&>(base) = example;
  EXPECT_EQ(target.ToXml("").str(), "<ns:new b=\"changed\">2</ns:new>\n");
  EXPECT_EQ(target.GetNamespace().str() + "|" + target.GetName().str(), "ns|new");
  EXPECT_EQ(source.ToXml("").str(), "<ns:new b=\"2\">2</ns:new>\n");
  EXPECT_EQ(attribute.ToXml().str(), "b=\"2\"");
  EXPECT_EQ(base.ToXml("").str(), "<spirit:parameter>1</spirit:parameter>\n");
}

TEST(XmlElement, EqualityAndOrder) {
  const auto example = boost::make_shared<XmlNestedElement>(WorkedExample());
  const std::vector<Handle> table = {Leaf("s:v", "2"), Leaf("s:v", "1"),
                                     Leaf("s:v", "1"), Nested("s:v"),
                                     Leaf(":v", "1"),  boost::make_shared<Liar>("s:v"),
                                     example,          example->elements.Get("spirit:value")};
  table[1]->attributes.Add(Attr("spirit:format", "long"));
  ExpectOperatorsAgree(table);
  for (int i : {0, 3, 6}) EXPECT_TRUE(*table[i] == *table[i]) << i;
  EXPECT_FALSE(*table[5] == *table[5]);  // a liar equals nothing
  // Fewer attributes but greater text: each is less than the other.
  EXPECT_EQ(Relations(*table[0], *table[1]), "a<b b<a");
  // Same tag and text, other attributes: no leaf order, element order by attributes.
  const auto& withAttr = static_cast<const XmlLeafElement&>(*table[1]);
  const auto& plain = static_cast<const XmlLeafElement&>(*table[2]);
  EXPECT_EQ(Relations(withAttr, plain), "");
  EXPECT_TRUE(static_cast<const XmlElement&>(plain) < withAttr);
  // A leaf sorts before a nested element of the same tag and attributes.
  EXPECT_EQ(Relations(*table[2], *table[3]), "a<b");
  EXPECT_EQ(Relations(*table[4], *table[2]), "a<b");
  // But not before one of another tag, even of its namespace and name.
  EXPECT_EQ((Relations<XmlElement, XmlElement>(*Leaf(":v", "1"), *Nested("v"))), "");
  EXPECT_EQ((Relations<XmlElement, XmlElement>(*Leaf("z", "1"), *Nested("a"))), "b<a");
  // A liar is not less once namespace, name and attributes leave it open.
  EXPECT_FALSE(*table[5] < *table[2]);
  EXPECT_EQ(Relations(*table[5], *table[3]), "");
  // Nested elements: by their children, fewer children first.
  XmlNestedElement a("p"), b("p"), c("p");
  a.elements.AddLeafElement("x", "1");
  b.elements.AddLeafElement("x", "2");
  c.elements = b.elements;
  c.elements.AddLeafElement("y", "0");
  EXPECT_EQ(Relations(a, b), "a<b");
  EXPECT_TRUE(static_cast<const XmlElement&>(a) < b);
  EXPECT_EQ(Relations(b, c), "a<b");
  EXPECT_EQ(Relations(c, XmlNestedElement(c)), "a=b b=a");
}

// Empty namespace, then "Spirit", "spirit"; then name, then text.
TEST(XmlAttribute, EqualityAndOrder) {
  const std::vector<boost::shared_ptr<XmlAttribute> > attributes = {
      Attr(":id", "1"),       Attr("id", "1"),        Attr("Spirit:id", "1"),
      Attr("spirit:id", "1"), Attr("spirit:id", "2"), Attr("spirit:name", "0"),
      Attr("spirit:id", "1")};
  ExpectOperatorsAgree(attributes);
  for (int i = 1; i < 5; ++i) EXPECT_TRUE(*attributes[i] < *attributes[i + 1]) << i;
  EXPECT_TRUE(*attributes[3] == *attributes[6]);
  EXPECT_FALSE(*attributes[0] == *attributes[1]);
}

TEST(XmlElement, CallersClassesAreNeverTakenForTheLibrarys) {
  XmlNestedElement root("r");
  const XmlLeafElement plain("s:b", "2");
  root.elements.items = {boost::make_shared<Shouting>("s:a", "1"), boost::make_shared<Echo>(plain),
                         boost::make_shared<XmlLeafElement>(plain)};
  EXPECT_EQ(root.ToXml("").str(), "<r>\n  s:aECHO\n  <s:b>2</s:b>\n</r>\n");
  // A copy makes the derived leaf a plain leaf and leaves out the other class.
  EXPECT_EQ(XmlNestedElement(root).ToXml("").str(), "<r>\n  <s:a>1</s:a>\n  <s:b>2</s:b>\n</r>\n");
  EXPECT_EQ(Port_MsgManData::lastDebugStub(),
            StringBase("Unable to copy clipped element 's:b'.\n"));
  // Compared as a leaf, the derived leaf equals a plain one.
  EXPECT_TRUE(*root.elements.items.front() == XmlLeafElement("s:a", "1"));
  EXPECT_FALSE(**std::next(root.elements.begin()) == plain);
}

// Beside an element of a caller's class, equality and order are left to the
// full comparison, which pairs off lists of classes met for the first time
// with their copies in other orders.
TEST(XmlElementList, PairsOffNewListsBesideCallersClasses) {
  const std::vector<std::tuple<bool, bool, const char*, const char*> > rows = {
      // b's ports' children swapped, b's ports reversed, b's second name; Relations(a, b)
      {true, false, "2", "a=b b=a"}, {true, true, "2", "a=b b=a"}, {false, true, "2", "a=b b=a"},
      {true, false, "3", "a<b"},     {true, true, "0", "b<a"},
  };
  for (const auto& [swapped, reversed, name, want] : rows) {
    SCOPED_TRACE(std::string(swapped ? "swapped " : "") + (reversed ? "reversed " : "") + name);
    XmlElementList a, b;
    for (XmlElementList* list : {&a, &b}) {
      list->items = {boost::make_shared<Shouting>("s", "1")};
      for (const char* port : {"1", "2"}) {
        const auto p = Nested("p");
        p->elements.items = {Leaf("n", list == &b && port[0] == '2' ? name : port),
                             Leaf("d", port[0] == '1' ? "in" : "out")};
        if (list == &b && swapped) p->elements.items.reverse();
        list->items.push_back(p);
      }
    }
    if (reversed) b.items.reverse();
    EXPECT_EQ(Relations(a, b), want);
  }
}

TEST(XmlAttributeList, LookupSortAndOrder) {
  XmlAttributeList list;
  EXPECT_EQ(Thrown([&] { list.Get("spirit:id"); }), "Cannot find attribute spirit:id\n");
  list = Made<XmlAttributeList>("name=1 spirit:name=2 spirit:name=3");
  for (const char* absent : {"Spirit:name", "spirit"}) EXPECT_FALSE(list.Has(absent)) << absent;
  EXPECT_TRUE(list.Has("name"));
  EXPECT_EQ(list.Get("spirit:name")->GetText(), StringBase("2"));
  EXPECT_EQ(list.ListTags(), (std::list<StringBase>{"name", "spirit:name", "spirit:name"}));
  // A stable sort by namespace, name and text.
  list = Made<XmlAttributeList>("b=1 a=2 :a=2 a=1");
  list.sort();
  EXPECT_EQ(list.ToXml().str(), " a=\"1\" a=\"2\" :a=\"2\" b=\"1\"");
  ExpectEqualityAndOrder<XmlAttributeList>(
      {"", "", "=",
       // Member order does not matter while no tag repeats.
       "a=1 b=2", "b=2 a=1", "=",
       // Repeated tags: only the first member of each tag is compared.
       "a=1 a=2", "a=1 a=3", "=", "a=1 a=2", "a=2 a=1", "<", "b=1 a=1 a=2", "b=1 a=2 a=1", "<",
       "y=5 y=1 z=2", "y=5 y=3 z=1", ">",
       // Shorter first, whatever the members.
       "z=9", "a=1 b=1", "<",
       // Not strict: each is less than the other.
       "x=2 y=1", "x=1 y=2", "<>",
       // A smaller tag at the first differing position decides.
       "a=9", "b=0", "<", "a=1 c=9", "b=0 a=1", ">", "a=1", "a=2", "<"});
}

// Inside elements the comparisons class attribute lists by numbers; they
// must decide as the lists do. Each pair of element lists is given in two
// orders, so that no member-by-member shortcut answers.
TEST(XmlElementList, ElementsOrderByTheirAttributesAsTheListsDo) {
  const std::string longer(20, 'x');  // beyond the texts held whole
  const std::vector<std::string> rows = {"a=1 b=2",
                                         "b=2 a=1",
                                         "a=b b=a",  //
                                         "a=1 a=2",
                                         "a=1 a=3",
                                         "a=b b=a",  //
                                         "a=1 a=2",
                                         "a=2 a=1",
                                         "a<b",  //
                                         "b=1 a=2 a=1",
                                         "b=1 a=1 a=2",
                                         "b<a",  //
                                         "x=2 y=1",
                                         "x=1 y=2",
                                         "a<b b<a",  //
                                         "a=" + longer + "1",
                                         "a=" + longer + "2",
                                         "a<b",  //
                                         "a=" + longer + " a=1",
                                         "a=" + longer + " a=2",
                                         "a=b b=a",  //
                                         "z=9",
                                         "a=1 b=1",
                                         "a<b"};
  for (std::size_t i = 0; i < rows.size(); i += 3) {
    SCOPED_TRACE(rows[i] + " vs " + rows[i + 1]);
    XmlElementList a, b;
    for (int side = 0; side < 2; ++side) {
      const auto v = Leaf("v", "0");
      v->attributes = Made<XmlAttributeList>(rows[i + side]);
      (side == 0 ? a : b).items = {v, Leaf("w", "0")};
    }
    b.items.reverse();
    EXPECT_EQ(Relations(a, b), rows[i + 2]);
  }
}

TEST(XmlElementList, AddFindsAndCreatesLevelsFirstMatchFirst) {
  XmlElementList list;
  list.Add(Nested("a"));  // without a child b
  EXPECT_TRUE(list.AddLeafElement(std::vector<StringBase>{"a", "b", "c"}, "1"));
  list.AddLeafElement("a/b/c", "2");
  EXPECT_EQ(list.ToXml("").str(), "<a>\n  <b>\n    <c>1</c>\n    <c>2</c>\n  </b>\n</a>\n");
  const auto second = Nested("a");
  second->elements.Add(Leaf("d", "3"));
  list.items.insert(list.items.end(), {second, Leaf("spirit:name", "n")});
  EXPECT_EQ(Texts(list.GetLeafElements("a/d")), "3;");
  EXPECT_EQ(Texts(list.GetLeafElements("a/b/c")), "1;2;");
  EXPECT_EQ(list.Get("a/d"), second->elements.items.front());
  EXPECT_EQ(list.Get("a"), list.items.front());
  for (const char* found : {"a/b/c", "spirit:name"}) EXPECT_TRUE(list.Has(found)) << found;
  for (const char* absent : {"name", "a/b/c/d"}) EXPECT_FALSE(list.Has(absent)) << absent;
  EXPECT_FALSE(list.Get(std::vector<StringBase>{"a", "z"}));
  EXPECT_EQ(Texts(list.GetLeafElements("a/z")), "");
  EXPECT_EQ(list.ListTags(), (std::list<StringBase>{"a", "a", "b", "c", "c", "d", "spirit:name"}));
  // An element that says it is nested without being so leads nowhere.
  list.items.push_front(boost::make_shared<Liar>("a"));
  EXPECT_TRUE(list.Has("a/d"));
  EXPECT_EQ(Port_MsgManData::lastDebugStub(),
            StringBase("Non-nested XML element identified as nested.\n"));
}

// The same handle twice is copied as two objects; a release leaves it whole.
TEST(XmlElementList, OneHandleTwiceIsCopiedAsTwoObjects) {
  const auto shared = Nested("a");
  shared->elements.Add(Leaf("d", "3"));
  XmlElementList twice;
  twice.items = {shared, shared};
  const XmlElementList copied(twice);
  EXPECT_TRUE(copied == twice);
  EXPECT_NE(copied.items.front(), copied.items.back());
  twice.clear();
  EXPECT_EQ(shared->ToXml("").str(), "<a>\n  <d>3</d>\n</a>\n");
}

TEST(XmlElementList, RepeatedElementsThroughPathsAndTypedLookups) {
  XmlElementList list;
  for (const char* name : {"clk", "din"}) {
    const boost::shared_ptr<XmlNestedElement> port = list.AddNestedElement("m/ports/port");
    port->elements.AddLeafElement("name", name);
  }
  EXPECT_EQ(list.ToXml("").str(),
            "<m>\n  <ports>\n    <port>\n      <name>clk</name>\n    </port>\n"
            "    <port>\n      <name>din</name>\n    </port>\n  </ports>\n</m>\n");
  list.AddLeafElement("m/port", "leaf first");
  list.AddNestedElement("m/port");
  // Lookups pass over members of the other kind to the first of their own.
  EXPECT_EQ(list.GetNested("m/port")->ToXml("").str(), "<port/>\n");
  EXPECT_EQ(list.GetLeaf("m/port")->GetText().str(), "leaf first");
  EXPECT_EQ(list.GetLeaf("m/ports/port/name")->GetText().str(), "clk");
  const std::pair<std::function<void()>, const char*> refusals[] = {
      {[&] { list.GetNested("m/ports/port/name"); }, "Cannot find element 'm/ports/port/name'\n"},
      {[&] { list.GetLeaf("m/ports"); }, "Cannot find element 'm/ports'\n"},
      {[&] { list.GetLeaf("x"); }, "Cannot find element 'x'\n"},
      {[&] { list.AddNestedElement("m/port/x"); },
       "Cannot add leaf elements to leaf element 'port'\n"},
      {[&] { list.AddNestedElement(""); }, "Invalid XML tag \n"},
      {[&] { list.AddNestedElement("m/a:b:c"); }, "Invalid XML tag a:b:c\n"}};
  for (const auto& [call, thrown] : refusals) EXPECT_EQ(Thrown(call), thrown);
}

TEST(XmlElementList, RefusalsNameThePathAndLeaveTheTreeAsDescribed) {
  XmlElementList list;
  list.items = {Leaf("a", "leaf"), Nested("a")};
  EXPECT_EQ(Thrown([&] { list.AddLeafElement("a/b", "1"); }) +
                Thrown([&] { list.GetLeafElements("a"); }) + Thrown([&] { list.Get("a/%s/z"); }),
            "Cannot add leaf elements to leaf element 'a'\n"
            "Cannot get leaf elements on nested element 'a'\nCannot find element 'a/%s/z'\n");
  EXPECT_EQ(list.ToXml("").str(), "<a>leaf</a>\n<a/>\n");
  // Levels created before a refused tag stay, nothing else; a path without steps adds nothing.
  XmlElementList fresh;
  EXPECT_EQ(Thrown([&] { fresh.AddLeafElement("x/y/a:b:c/z", "1"); }) +
                Thrown([&] { fresh.AddLeafElement("x/y/q/", "1"); }),
            "Invalid XML tag a:b:c\nInvalid XML tag \n");
  fresh.AddLeafElement("", "nothing");
  EXPECT_FALSE(fresh.AddLeafElement(std::vector<StringBase>(), "1"));
  EXPECT_EQ(fresh.ToXml("").str(), "<x>\n  <y>\n    <q/>\n  </y>\n</x>\n");
  // Empty and doubled separators make empty tags: found nowhere, refused.
  for (const std::string path : {"", "/", "//", "x/", "/x", "x//y"}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(fresh.Has(path));
    EXPECT_EQ(Texts(fresh.GetLeafElements(path)), "");
    EXPECT_EQ(Thrown([&] { fresh.Get(path); }), "Cannot find element '" + path + "'\n");
  }
}

TEST(XmlElementList, EqualityAndOrderOfWholeSubtreesAndSort) {
  ExpectEqualityAndOrder<XmlElementList>(
      {"", "", "=", "x=1 y=2 n/c=3 n/d=4", "y=2 x=1 n/d=4 n/c=3", "=", "x=1 y=2 n/c=3 n/d=4 n/c=5",
       "y=2 x=1 n/d=4 n/c=3 n/c=3", "?", "p=1 p=2", "p=2 p=1", "=", "p=1 p=2", "p=2 p=3", "<",
       "n/c=1", "n/e=1", "<", ":x=1 x=1", "x=1 :x=1", "=",
       // The sorted tags of the whole subtrees decide first; a shorter list is less.
       "m/z=1", "n/a=1", ">", "z=9", "x=1 y=2", "<"});
  // The sort is stable; a leaf comes before a nested element of its tag.
  XmlElementList list = Made<XmlElementList>("k=1 b=1 s:v=2 a=1 k=1");
  list.items.insert(std::next(list.items.begin()), Nested("a"));
  const Handle firstK = list.items.front();
  list.sort();
  EXPECT_EQ(list.ToXml("").str(), "<a>1</a>\n<a/>\n<b>1</b>\n<k>1</k>\n<k>1</k>\n<s:v>2</s:v>\n");
  EXPECT_EQ(*std::next(list.begin(), 3), firstK);
}

// Nested elements with the same children, in the same or another order,
// that differ only in their tag or their attributes.
TEST(XmlElementList, SameChildrenUnderAnotherTagOrAttributesStayApart) {
  const std::vector<std::tuple<const char*, bool, bool, const char*> > rows = {
      // x's tag, x has an attribute, x's children swapped; Relations([x], [y])
      {"m", false, false, "a<b"},
      {"m", false, true, "a<b"},
      {"n", true, false, "b<a"},
      {"n", true, true, "b<a"},
  };
  for (const auto& [tag, attribute, swapped, want] : rows) {
    SCOPED_TRACE(std::string(tag) + (attribute ? " with attribute" : "") +
                 (swapped ? " swapped" : ""));
    const auto x = Nested(tag), y = Nested("n");
    x->elements.items = {Leaf("c", "1"), Leaf("d", "2")};
    y->elements.items = {Leaf("c", "1"), Leaf("d", "2")};
    if (swapped) x->elements.items.reverse();
    if (attribute) x->attributes.Add(Attr("a", "1"));
    XmlElementList a, b;
    a.items = {x};
    b.items = {y};
    EXPECT_EQ(Relations(a, b), want);
  }
}

// x and y are each less than the other (fewer attributes; smaller text), so
// a sort's outcome depends on the order it is given, and so does the order
// of lists holding them: lists equal in other orders are not interchangeable.
TEST(XmlElementList, EqualListsInOtherOrdersKeepTheirOwnOrder) {
  const auto x = Leaf("v", "2"), y = Leaf("v", "1"), p = Leaf("v", "1"), q = Leaf("v", "3");
  y->attributes.Add(Attr("a", "1"));
  p->attributes.Add(Attr("b", "0"));
  XmlElementList xy, yx, z;
  xy.items = {x, y};
  yx.items = {y, x};
  z.items = {p, q};
  EXPECT_TRUE(xy == yx);
  EXPECT_TRUE(z < xy);
  EXPECT_FALSE(z < yx);
  xy.sort();
  yx.sort();
  EXPECT_EQ(xy.ToXml("").str() + "|" + yx.ToXml("").str(),
            "<v a=\"1\">1</v>\n<v>2</v>\n|<v>2</v>\n<v a=\"1\">1</v>\n");
}

// Reverses every list in the tree; collects the non-empty ones.
void Reverse(XmlElementList& list, std::vector<XmlElementList*>& out) {
  list.items.reverse();
  if (!list.empty()) out.push_back(&list);
  for (const Handle& member : list.items) {
    if (auto* nested = dynamic_cast<XmlNestedElement*>(member.get()))
      Reverse(nested->elements, out);
  }
}

TEST(XmlElementList, MembersPairOffWhateverTheirOrder) {
  std::mt19937 random(12345);
  const Pools pools = {{"p", "q", "s:p"}, {"1", "2"}, {"a", "b"}, {"x", "y"}};
  for (int round = 0; round < 400; ++round) {
    SCOPED_TRACE(round);
    XmlElementList list;
    for (unsigned i = 2 + random() % 5; i > 0; --i) list.Add(RandomElement(random, pools, 3));
    // Reversed at every level: still equal, both ways.
    XmlElementList reordered(list);
    std::vector<XmlElementList*> lists;
    Reverse(reordered, lists);
    ASSERT_EQ(Relations(list, reordered), "a=b b=a") << list.ToXml("").str();
    // One member changed somewhere (the copy shares none): unequal.
    XmlElementList* changed = lists[random() % lists.size()];
    Handle& member = *std::next(changed->items.begin(), random() % changed->items.size());
    round % 2 ? member->attributes.Add(Attr("c", "z")) : void(member = Leaf("p", "3"));
    EXPECT_THAT(Relations(list, reordered), testing::Not(testing::HasSubstr("=")))
        << list.ToXml("").str();
  }
}

// Texts and tags around the lengths at which equality changes how it holds
// them (8, 16 and more bytes), each in a list whose members stand in another
// order than the other list's, so that equality has to pair them up.
TEST(XmlElementList, PairsTextsAndTagsOfEveryLengthExactly) {
  const std::string l40(40, 'x'), l40b = std::string(20, 'x') + "y" + std::string(19, 'x');
  const std::vector<std::vector<std::string> > rows = {
      // tag a, text a, tag b, text b, "=" when equal
      {"t", "", "t", "", "="},
      {"t", "", "t", "a", "!"},
      {"t", "abc", "t", "aXc", "!"},
      {"t", "abcde", "t", "abXde", "!"},
      {"t", "aaaaaaaaa", "t", "aaaaaaaaaa", "!"},
      {"t", "abcdefgh", "t", "abcdefghi", "!"},
      {"t", "0123456789abcdef", "t", "0123456789abcdeF", "!"},
      {"t", "0123456789abXdef", "t", "0123456789abcdef", "!"},
      {"t", "0123456789abcdefg", "t", "0123456789abcdefg", "="},
      {"t", "0123456789abcdefg", "t", "0123456789abcdefh", "!"},
      {"t", l40, "t", l40, "="},
      {"t", l40, "t", l40b, "!"},
      {"s:modelParameters", "1", "s:modelParameters", "1", "="},
      {"s:modelParameters", "1", "s:modelParameterz", "1", "!"},
      {"s:aaaaaaaa", "1", "s:aaaaaaaaa", "1", "!"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row[0] + "=" + row[1] + " vs " + row[2] + "=" + row[3]);
    XmlElementList a, b;
    a.items = {Leaf("o", "0"), Leaf(row[0].c_str(), row[1].c_str())};
    b.items = {Leaf(row[2].c_str(), row[3].c_str()), Leaf("o", "0")};
    EXPECT_EQ(a == b, row[4] == "=");
    EXPECT_EQ(b == a, row[4] == "=");
  }
}

// A long list below the top, in another order than its copy's and than the
// addresses of its members, which is the order equality walks long lists in.
TEST(XmlElementList, PairsLongListsBelowTheTopInAnyOrder) {
  XmlElementList a;
  a.Add(Leaf("o", "0"));
  const auto p = Nested("p");
  for (int i = 0; i < 100; ++i) p->elements.Add(Leaf("n", std::to_string(i)));
  a.Add(p);
  XmlElementList b(a);
  b.items.reverse();
  XmlElementList& copied = boost::static_pointer_cast<XmlNestedElement>(b.items.front())->elements;
  copied.items.reverse();
  EXPECT_TRUE(a == b);
  EXPECT_TRUE(b == a);
  boost::static_pointer_cast<XmlLeafElement>(copied.items.front())->SetText("x");
  EXPECT_FALSE(a == b);
  EXPECT_FALSE(b == a);
}

// The texts of a subtree's leaves in document order, after its tag.
std::string Describe(const XmlElement& e) {
  if (const auto* leaf = dynamic_cast<const XmlLeafElement*>(&e)) return leaf->GetText().str();
  std::string out = e.GetTag().str() + "(";
  for (const Handle& member : static_cast<const XmlNestedElement&>(e).elements.items)
    out += Describe(*member) +
           (member == static_cast<const XmlNestedElement&>(e).elements.items.back() ? "" : ",");
  return out + ")";
}

// A list long enough to be sorted by records of its members' first children:
// ports that differ in their names, two that differ only in their wires, and
// members that other steps of the order place (another name, a leaf of the
// ports' tag, fewer or more children), given in a shuffled order.
TEST(XmlElementList, SortsLongListsOfNestedMembersByEveryStep) {
  const auto port = [](const std::vector<std::string>& texts) {
    const auto p = Nested("p");
    p->elements.Add(Leaf("n", texts[0]));
    if (texts.size() > 1) {
      const auto wire = Nested("w");
      wire->elements.Add(Leaf("d", texts[1]));
      p->elements.Add(wire);
    }
    if (texts.size() > 2) p->elements.Add(Leaf("x", texts[2]));
    return p;
  };
  std::vector<Handle> members = {Nested("a"),        Leaf("p", "z"),    port({"5"}),
                                 port({"q", "out"}), port({"q", "in"}), port({"0", "in", "1"})};
  boost::static_pointer_cast<XmlNestedElement>(members[0])->elements.Add(Leaf("n", "0"));
  std::vector<std::string> names;
  for (int i = 0; i < 81; ++i) {  // 87 members: one in the middle of the list
    names.push_back(std::to_string(i * 37 % 81));
    members.push_back(port({names.back(), "in"}));
  }
  std::shuffle(members.begin() + 1, members.end(), std::mt19937(7));
  XmlElementList list;
  list.items.assign(members.begin(), members.end());
  list.sort();
  std::sort(names.begin(), names.end());
  std::string want = "a(0) z p(5) ";
  for (const std::string& name : names) want += "p(" + name + ",w(in)) ";
  want += "p(q,w(in)) p(q,w(out)) p(0,w(in),1) ";
  std::string got;
  for (const Handle& member : list.items) got += Describe(*member) + " ";
  EXPECT_EQ(got, want);
}

// 100,000 levels of one tag, each a leaf beside a nested element, then `bottom`.
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

// Every walk keeps its own stack (100,000 levels, 8 MiB); shared subtrees
// that unfold into 2^50,000 elements cost their distinct objects.
TEST(XmlElementList, DeepTreesOnASmallStack) {
  const auto run = [](void* body) -> void* {
    return (*static_cast<std::function<void()>*>(body))(), nullptr;
  };
  std::function<void()> body = [] {
    const std::vector<StringBase> path(100000, "spirit:a");
    XmlElementList list, assigned;
    list.AddLeafElement(path, "deep");
    list.AddLeafElement(path, "deeper");
    EXPECT_EQ(Texts(list.GetLeafElements(path)), "deep;deeper;");
    EXPECT_TRUE(list.Has(path));
    EXPECT_EQ(list.Get(path), list.GetLeafElements(path).front());
    XmlElementList copy(list);
    EXPECT_EQ(Relations(copy, list), "a=b b=a");
    list.AddLeafElement(path, "third");
    EXPECT_EQ(Relations(copy, list), "a<b");
    assigned = copy;
    copy.clear();
    EXPECT_EQ(assigned.ListTags().size(), 100001u);
    const XmlElementList a = Chain("1"), b = Chain("2");
    EXPECT_EQ(Relations(a, b), "a<b");
    EXPECT_TRUE(a == Chain("1"));
    for (const char* bottom : {"1", "2"}) {
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
      EXPECT_EQ(Relations(*first, *second), "a=b b=a") << bottom;
      first->elements.sort();  // two members, each a whole chain
    }
  };
  pthread_attr_t attributes;
  pthread_t thread;
  pthread_attr_init(&attributes);
  ASSERT_EQ(pthread_attr_setstacksize(&attributes, 8u << 20), 0);
  ASSERT_EQ(pthread_create(&thread, &attributes, run, &body), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
}

}  // namespace

TEST(XmlDocument, WritesTheDeclarationAndSpiritRootToWholeFilesOrNothing) {
  const MintuTest::TempInstallTree tree;
  const boost::shared_ptr<XmlNestedElement> root = XmlDocument::NewSpiritComponent();
  root->elements.AddLeafElement("spirit:vendor", "orvane.com");
  const std::string written = tree.Path("a.xml");
  XmlDocument::WriteFile(*root, written);
  XmlDocument::WriteFile(*root, written);  // over itself
  EXPECT_EQ(
      tree.ReadFile(written),
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<spirit:component xmlns:spirit=\"http://www.spiritconsortium.org/XMLSchema/SPIRIT/1.4\""
      " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
      " xsi:schemaLocation=\"http://www.spiritconsortium.org/XMLSchema/SPIRIT/1.4"
      " http://www.spiritconsortium.org/XMLSchema/SPIRIT/1.4/index.xsd\">\n"
      "  <spirit:vendor>orvane.com</spirit:vendor>\n</spirit:component>\n");
  std::filesystem::create_hard_link(tree.WriteFile("linked.xml", "old"), tree.Path("link.xml"));
  const std::string refused[][2] = {
      {tree.Path("linked.xml"), "it has several hard links, and replacing it would split them"},
      {tree.MakeDir("dir"), "Is a directory"},
      {tree.Path("none/a.xml"), "No such file or directory"}};
  for (const auto& c : refused) {
    EXPECT_EQ(Thrown([&] { XmlDocument::WriteFile(*root, c[0]); }),
              "Cannot write " + c[0] + ": " + c[1] + "\n");
  }
  EXPECT_EQ(tree.ReadFile(tree.Path("link.xml")), "old");
}
