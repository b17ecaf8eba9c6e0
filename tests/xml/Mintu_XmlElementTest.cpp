// Attributes, elements and element lists: tag splitting, the text form, deep
// copies and assignment, path navigation, equality and order (element lists
// as multisets of whole subtrees), callers' own classes, and trees far deeper
// than the call stack.
#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <random>
#include <string>

#include "XmlTestSupport.h"
#include "port/Port_Msg.h"

namespace {

using namespace XmlTest;

// A caller's class that claims to be nested without being an XmlNestedElement.
class Liar : public XmlElement {
 public:
  explicit Liar(const char* tag) : XmlElement(tag) {}
  bool IsNested() const override { return true; }
  const StringBase ToXml(const StringBase& indent) const override { return indent; }
};

// The "x=y" pairs of `text`, apart by spaces.
inline std::vector<std::pair<std::string, std::string> > Pairs(const std::string& text) {
  std::vector<std::pair<std::string, std::string> > out;
  for (std::size_t at = 0, end; at < text.size(); at = end + 1) {
    end = std::min(text.find(' ', at), text.size());
    const std::size_t equals = text.find('=', at);
    out.emplace_back(text.substr(at, equals - at), text.substr(equals + 1, end - equals - 1));
  }
  return out;
}

inline std::string Texts(const std::vector<boost::shared_ptr<XmlLeafElement> >& leaves) {
  std::string out;
  for (const auto& leaf : leaves) out += leaf->GetText().str() + ";";
  return out;
}

// Runs `body` on a thread whose stack is too small for any walk that
// recurses once per level of a deep tree.
inline void OnSmallStack(std::function<void()> body, std::size_t bytes = 256 * 1024) {
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  ASSERT_EQ(pthread_attr_setstacksize(&attributes, bytes), 0);
  pthread_t thread;
  auto run = [](void* f) -> void* {
    (*static_cast<std::function<void()>*>(f))();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attributes, run, &body), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
}

// Over all pairs of `table`: the derived operators agree with == and <, and
// nothing is less than itself.
template <class T>
void ExpectOperatorsAgree(const std::vector<boost::shared_ptr<T> >& table) {
  for (const auto& x : table) {
    for (const auto& y : table) {
      const bool eq = *x == *y;
      const bool lt = *x < *y;
      EXPECT_TRUE((*x != *y) == !eq && (*x <= *y) == (eq || lt) && (*x > *y) == (!eq && !lt) &&
                  (*x >= *y) == !lt && (x != y || !lt))
          << x->GetTag().str() << " vs " << y->GetTag().str();
    }
  }
}

TEST(XmlTags, SplitIntoNamespaceAndNameOrRefused) {
  // Pairs of a tag and its "namespace|name", empty when refused.
  const char* const rows[] = {"spirit:name", "spirit|name", "plain", "|plain", ":", "|", "x:y%s",
                              "x|y%s",
                              // Refused.
                              "", "", "a::b", "", "%s:b:c", ""};
  const auto split = [](const auto& x) { return x.GetNamespace().str() + "|" + x.GetName().str(); };
  for (std::size_t i = 0; i < std::size(rows); i += 2) {
    const std::string tag = rows[i], want = rows[i + 1];
    SCOPED_TRACE("tag [" + tag + "]");
    const std::string refused = want.empty() ? "Invalid XML tag " + tag + "\n" : "<nothing thrown>";
    EXPECT_EQ(Thrown([&] { EXPECT_EQ(split(XmlLeafElement(tag, "t")), want); }), refused);
    EXPECT_EQ(Thrown([&] { EXPECT_EQ(split(XmlNestedElement{StringBase(tag)}), want); }), refused);
    EXPECT_EQ(Thrown([&] { EXPECT_EQ(split(XmlAttribute(tag, "t")), want); }), refused);
  }
}

XmlNestedElement WorkedExample() {
  XmlNestedElement parameter("spirit:parameter");
  parameter.elements.Add(Leaf("spirit:name", "component_name"));
  boost::shared_ptr<XmlLeafElement> value = Leaf("spirit:value", "16");
  value->attributes.Add(Attr("spirit:resolve", "user"));
  value->attributes.Add(Attr("spirit:format", "long"));
  parameter.elements.Add(value);
  parameter.elements.Add(Nested("spirit:vendorExtensions"));
  parameter.elements.Add(Leaf("spirit:description", ""));
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
  XmlNestedElement empty(":x");
  empty.attributes.Add(Attr("a", "%s\"<"));
  EXPECT_EQ(empty.ToXml("").str(), "<:x a=\"%s\"<\"/>\n");
  // Odd bytes, an embedded NUL included, are written as they are.
  const std::string odd("\xff\x01\x00z&%d\n", 8);
  EXPECT_EQ(XmlLeafElement("t", StringBase(odd)).ToXml(" ").str(), " <t>" + odd + "</t>\n");
  EXPECT_EQ(XmlAttribute(StringBase(odd.substr(2, 2)), StringBase(odd)).ToXml().str(),
            odd.substr(2, 2) + "=\"" + odd + "\"");
  // The same handle twice is written twice.
  XmlNestedElement list("l");
  list.elements.Add(Leaf("x", "1"));
  list.elements.Add(list.elements.items.front());
  EXPECT_EQ(list.ToXml("").str() + list.elements.ToXml(" ").str(),
            "<l>\n  <x>1</x>\n  <x>1</x>\n</l>\n <x>1</x>\n <x>1</x>\n");
}

TEST(XmlElement, LargeOutputsCrossBufferBoundaries) {
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
}

TEST(XmlElement, CopiesAndAssignmentsAreDeep) {
  const XmlNestedElement example = WorkedExample();
  XmlNestedElement copy(example), assigned("n");
  copy.elements.Get("spirit:value")->attributes.Get("spirit:format")->SetText("short");
  assigned.elements.Add(Leaf("kept", "k"));
  assigned = example;
  EXPECT_TRUE(example.ToXml("") == WorkedExample().ToXml("") && assigned == example);
  XmlLeafElement target("old", "1"), source("ns:new", "2");
  source.attributes.Add(Attr("b", "2"));
  target = source;
  target.attributes.Get("b")->SetText("changed");
  target = static_cast<const XmlLeafElement&>(target);
  XmlAttribute attribute("other", "3");
  attribute = *source.attributes.Get("b");
  // Through the base only the tag and the attributes change.
  XmlLeafElement base("old", "1");
  static_cast<XmlElement&>(base) = example;
  EXPECT_EQ(target.ToXml("").str() + target.GetNamespace().str() + "|" + target.GetName().str() +
                source.ToXml("").str() + attribute.ToXml().str() + base.ToXml("").str(),
            "<ns:new b=\"changed\">2</ns:new>\nns|new<ns:new b=\"2\">2</ns:new>\nb=\"2\""
            "<spirit:parameter>1</spirit:parameter>\n");
}

TEST(XmlElement, EqualityAndOrder) {
  const auto example = boost::make_shared<XmlNestedElement>(WorkedExample());
  const std::vector<Handle> table = {Leaf("s:v", "2"), Leaf("s:v", "1"),
                                     Leaf("s:v", "1"), Nested("s:v"),
                                     Leaf(":v", "1"),  boost::make_shared<Liar>("s:v"),
                                     example,          Leaf("s:v", "16")};
  table[7]->attributes = example->elements.Get("spirit:value")->attributes;
  table[1]->attributes.Add(Attr("spirit:format", "long"));
  ExpectOperatorsAgree(table);
  EXPECT_TRUE(*table[0] == *table[0] && *table[3] == *table[3] && *table[6] == *table[6]);
  EXPECT_FALSE(*table[5] == *table[5]);  // a liar equals nothing
  // Fewer attributes but greater text: each is less than the other.
  EXPECT_TRUE(*table[0] < *table[1] && *table[1] < *table[0]);
  // Same tag and text, other attributes: the leaf order is false both ways,
  // the element order follows the attribute lists.
  const auto& withAttr = static_cast<const XmlLeafElement&>(*table[1]);
  const auto& plain = static_cast<const XmlLeafElement&>(*table[2]);
  EXPECT_FALSE(withAttr < plain || plain < withAttr || withAttr == plain);
  EXPECT_TRUE(static_cast<const XmlElement&>(plain) < withAttr);
  // A leaf sorts before a nested element of the same tag and attributes.
  EXPECT_TRUE(*table[2] < *table[3] && !(*table[3] < *table[2]) && !(*table[2] == *table[3]));
  EXPECT_TRUE(*table[4] < *table[2] && !(*table[2] < *table[4]));
  // A liar is not less once namespace, name and attributes leave it open.
  EXPECT_FALSE(*table[5] < *table[2] || *table[5] < *table[3] || *table[3] < *table[5]);
  // Nested elements: by their children, fewer children first.
  XmlNestedElement a("p"), b("p"), c("p");
  a.elements.Add(Leaf("x", "1"));
  b.elements.Add(Leaf("x", "2"));
  c.elements = b.elements;
  c.elements.Add(Leaf("y", "0"));
  EXPECT_TRUE(a < b && !(b < a) && static_cast<const XmlElement&>(a) < b && b < c && !(c < b));
  EXPECT_TRUE(c == XmlNestedElement(c) && !(c < XmlNestedElement(c)) && !(a == b));
  // Attributes: empty namespace, then "Spirit", then "spirit"; then name,
  // then text. Same namespace and name, other tags: unequal, neither less.
  const std::vector<boost::shared_ptr<XmlAttribute> > attributes = {
      Attr(":id", "1"),       Attr("id", "1"),        Attr("Spirit:id", "1"),
      Attr("spirit:id", "1"), Attr("spirit:id", "2"), Attr("spirit:name", "0"),
      Attr("spirit:id", "1")};
  ExpectOperatorsAgree(attributes);
  for (int i = 1; i < 5; ++i) EXPECT_TRUE(*attributes[i] < *attributes[i + 1]) << i;
  EXPECT_TRUE(*attributes[3] == *attributes[6] && !(*attributes[3] < *attributes[6]));
  EXPECT_FALSE(*attributes[0] == *attributes[1] || *attributes[0] < *attributes[1] ||
               *attributes[1] < *attributes[0]);
}

XmlAttributeList List(const std::string& members) {
  XmlAttributeList list;
  for (const auto& m : Pairs(members)) list.Add(Attr(m.first, m.second));
  return list;
}

TEST(XmlAttributeList, LookupCopiesAndSort) {
  XmlAttributeList list;
  EXPECT_EQ(Thrown([&] { list.Get("spirit:id"); }), "Cannot find attribute spirit:id\n");
  list = List("name=1 spirit:name=2 spirit:name=3");
  EXPECT_FALSE(list.Has("Spirit:name") || list.Has("spirit") || !list.Has("name"));
  EXPECT_EQ(list.Get("spirit:name")->GetText(), StringBase("2"));
  EXPECT_EQ(list.ListTags(), (std::list<StringBase>{"name", "spirit:name", "spirit:name"}));
  // Copies are deep; Add shares the handle.
  XmlAttributeList copy(list), assigned, sharing;
  assigned = list;
  sharing.Add(list.items.front());
  list.Get("name")->SetText("changed");
  assigned = static_cast<const XmlAttributeList&>(assigned);
  EXPECT_EQ(copy.ToXml().str() + "," + assigned.ToXml().str() + "," + sharing.ToXml().str(),
            " name=\"1\" spirit:name=\"2\" spirit:name=\"3\", name=\"1\" spirit:name=\"2\" "
            "spirit:name=\"3\", name=\"changed\"");
  // A stable sort by namespace, name and text.
  list = List("b=1 a=2 :a=2 a=1");
  list.sort();
  EXPECT_EQ(list.ToXml().str(), " a=\"1\" a=\"2\" :a=\"2\" b=\"1\"");
  list.clear();
  EXPECT_EQ(list.ToXml().str() + std::to_string(list.size()), "0");
}

TEST(XmlAttributeList, EqualityAndOrder) {
  // List a, list b, then "=" when equal, "<" when a < b, ">" when b < a.
  const char* const rows[] = {"", "", "=",
                              // Member order does not matter while no tag repeats.
                              "a=1 b=2", "b=2 a=1", "=",
                              // Repeated tags: only the first member of each tag is compared.
                              "a=1 a=2", "a=1 a=3", "=", "a=1 a=2", "a=2 a=1", "<", "b=1 a=1 a=2",
                              "b=1 a=2 a=1", "<",
                              // Shorter first, whatever the members.
                              "z=9", "a=1 b=1", "<",
                              // Not strict: each is less than the other.
                              "x=2 y=1", "x=1 y=2", "<>",
                              // A smaller tag at the first differing position decides.
                              "a=9", "b=0", "<", "a=1 c=9", "b=0 a=1", ">", "a=1", "a=2", "<"};
  for (std::size_t i = 0; i < std::size(rows); i += 3) {
    SCOPED_TRACE(std::string(rows[i]) + " vs " + rows[i + 1]);
    const XmlAttributeList a = List(rows[i]), b = List(rows[i + 1]);
    const std::string want = rows[i + 2];
    EXPECT_TRUE((a == b) == (want == "=") && (b == a) == (want == "=") && !(a < a));
    EXPECT_EQ((a < b ? "<" : "") + std::string(b < a ? ">" : ""), want == "=" ? "" : want);
  }
}

// Callers' classes: a leaf written its own way, and a class whose base is
// copied from a library leaf, which makes it no leaf.
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

TEST(XmlElementList, AddFindsAndCreatesLevelsFirstMatchFirst) {
  XmlElementList list;
  list.Add(Nested("a"));  // without a child b
  EXPECT_TRUE(list.AddLeafElement(std::vector<StringBase>{"a", "b", "c"}, "1"));
  list.AddLeafElement("a/b/c", "2");
  EXPECT_EQ(list.ToXml("").str(), "<a>\n  <b>\n    <c>1</c>\n    <c>2</c>\n  </b>\n</a>\n");
  const auto second = Nested("a");
  second->elements.Add(Leaf("d", "3"));
  list.items.insert(list.items.end(), {second, Leaf("spirit:name", "n")});
  EXPECT_EQ(Texts(list.GetLeafElements("a/d")) + Texts(list.GetLeafElements("a/b/c")), "3;1;2;");
  EXPECT_TRUE(list.Get("a/d") == second->elements.items.front() &&
              list.Get("a") == list.items.front());
  EXPECT_TRUE(list.Has("a/b/c") && list.Has(std::vector<StringBase>{"spirit:name"}));
  EXPECT_FALSE(list.Has("name") || list.Has("a/b/c/d") ||
               list.Get(std::vector<StringBase>{"a", "z"}));
  EXPECT_TRUE(list.GetLeafElements("a/z").empty());
  EXPECT_FALSE(list.AddLeafElement(std::vector<StringBase>(), "1"));
  list.AddLeafElement("", "nothing");  // no step: nothing happens
  EXPECT_EQ(list.size(), 3u);
  EXPECT_EQ(list.ListTags(), (std::list<StringBase>{"a", "a", "b", "c", "c", "d", "spirit:name"}));
  // An element that says it is nested without being so leads nowhere.
  list.items.push_front(boost::make_shared<Liar>("a"));
  EXPECT_TRUE(list.Has("a/d"));
  EXPECT_EQ(Port_MsgManData::lastDebugStub(),
            StringBase("Non-nested XML element identified as nested.\n"));
  // The same handle twice: copied as two objects; a release leaves it whole.
  XmlElementList twice;
  twice.items = {second, second};
  const XmlElementList copied(twice);
  EXPECT_TRUE(copied == twice && copied.items.front() != copied.items.back());
  twice.clear();
  EXPECT_EQ(second->ToXml("").str(), "<a>\n  <d>3</d>\n</a>\n");
}

TEST(XmlElementList, RefusalsNameThePathAndLeaveTheTreeAsDescribed) {
  XmlElementList list;
  list.items = {Leaf("a", "leaf"), Nested("a")};
  EXPECT_EQ(Thrown([&] { list.AddLeafElement("a/b", "1"); }),
            "Cannot add leaf elements to leaf element 'a'\n");
  EXPECT_EQ(list.ToXml("").str(), "<a>leaf</a>\n<a/>\n");
  EXPECT_EQ(Thrown([&] { list.GetLeafElements("a"); }),
            "Cannot get leaf elements on nested element 'a'\n");
  EXPECT_EQ(Thrown([&] { list.Get("a/%s/none"); }), "Cannot find element 'a/%s/none'\n");
  // Levels created before a refused tag stay; nothing else changes.
  XmlElementList fresh;
  EXPECT_EQ(Thrown([&] { fresh.AddLeafElement("x/y/a:b:c/z", "1"); }) +
                Thrown([&] { fresh.AddLeafElement("x/y/q/", "1"); }),
            "Invalid XML tag a:b:c\nInvalid XML tag \n");
  EXPECT_EQ(fresh.ToXml("").str(), "<x>\n  <y>\n    <q/>\n  </y>\n</x>\n");
  // Empty and doubled separators make empty tags: found nowhere, refused.
  for (const char* path : {"", "/", "//", "x/", "/x", "x//y"}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(fresh.Has(path));
    EXPECT_TRUE(fresh.GetLeafElements(path).empty());
    EXPECT_EQ(Thrown([&] { fresh.Get(path); }),
              "Cannot find element '" + std::string(path) + "'\n");
  }
  EXPECT_THROW(fresh.AddLeafElement("/", "1"), AppException);
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
  const char* const rows[] = {"", "", "=", "x=1 y=2 n/c=3 n/d=4", "y=2 x=1 n/d=4 n/c=3", "=",
                              "x=1 y=2 n/c=3 n/d=4 n/c=5", "y=2 x=1 n/d=4 n/c=3 n/c=3", "?",
                              "p=1 p=2", "p=2 p=1", "=", "p=1 p=2", "p=2 p=3", "<", "n/c=1",
                              "n/e=1", "<", ":x=1 x=1", "x=1 :x=1", "=",
                              // A shorter list is less, whatever its members.
                              "z=9", "x=1 y=2", "<"};
  for (std::size_t i = 0; i < std::size(rows); i += 3) {
    SCOPED_TRACE(std::string(rows[i]) + " vs " + rows[i + 1]);
    const XmlElementList a = Built(rows[i]), b = Built(rows[i + 1]);
    const std::string want = rows[i + 2];
    EXPECT_TRUE((a == b) == (want == "=") && (b == a) == (want == "="));
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
    // One member changed somewhere (the copy shares none): unequal.
    XmlElementList* changed = lists[random() % lists.size()];
    Handle& member = *std::next(changed->items.begin(), random() % changed->items.size());
    if (round % 2 == 0) {
      member = Leaf("p", "3");
    } else {
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
  EXPECT_EQ(list.ToXml("").str(),
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
        EXPECT_EQ(list.Get(path), list.GetLeafElements(path).front());
        XmlElementList copy(list), assigned;
        EXPECT_TRUE(copy == list && !(copy < list));
        list.AddLeafElement(path, "third");
        EXPECT_TRUE(!(copy == list) && copy < list && !(list < copy));
        list.sort();
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
}

}  // namespace
