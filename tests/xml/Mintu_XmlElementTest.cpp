// Attributes and elements: tag splitting, the text form, deep copies and
// assignment, equality and order, and callers' own element classes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "XmlTestSupport.h"
#include "port/Port_Msg.h"

namespace {

using namespace XmlTest;

// Over all pairs of `table`: the derived operators agree with == and <.
template <class T>
void ExpectOperatorsAgree(const std::vector<const T*>& table) {
  for (const T* x : table) {
    for (const T* y : table) {
      const bool eq = *x == *y;
      const bool lt = *x < *y;
      EXPECT_TRUE((*x != *y) == !eq && (*x <= *y) == (eq || lt) && (*x > *y) == (!eq && !lt) &&
                  (*x >= *y) == !lt)
          << x->GetTag().str() << " vs " << y->GetTag().str();
    }
  }
}

TEST(XmlTags, SplitIntoNamespaceAndNameOrRefused) {
  // Pairs of a tag and its "namespace|name".
  const char* const rows[] = {"spirit:name", "spirit|name", "plain", "|plain", ":x", "|x",
                              "x:", "x|", ":", "|",
                              // "~" stands for a NUL byte.
                              "a~b:c", "a~b|c", "x:~", "x|~",
                              // Refused.
                              "", "", "a::b", "", "a:b:c", "", "%s%n:%d:", ""};
  const auto split = [](const auto& x) { return x.GetNamespace().str() + "|" + x.GetName().str(); };
  for (std::size_t i = 0; i < std::size(rows); i += 2) {
    std::string tag = rows[i], want = rows[i + 1];
    std::replace(tag.begin(), tag.end(), '~', '\0');
    std::replace(want.begin(), want.end(), '~', '\0');
    SCOPED_TRACE("tag [" + tag + "]");
    if (want.empty()) {
      const std::string message = "Invalid XML tag " + tag + "\n";
      EXPECT_EQ(Thrown([&] { XmlLeafElement(tag, "t"); }), message);
      EXPECT_EQ(Thrown([&] { XmlNestedElement{StringBase(tag)}; }), message);
      EXPECT_EQ(Thrown([&] { XmlAttribute(tag, "t"); }), message);
    } else {
      EXPECT_EQ(split(XmlLeafElement(tag, "t")), want);
      EXPECT_EQ(split(XmlNestedElement{StringBase(tag)}), want);
      EXPECT_EQ(split(XmlAttribute(tag, "t")), want);
    }
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
  std::string expected = "\t<r>\n";
  for (int i = 0; i < 5000; ++i) {
    root.elements.AddLeafElement("n", std::to_string(i));
    expected += "\t  <n>" + std::to_string(i) + "</n>\n";
    if (i == 2000) {
      root.elements.Add(Leaf("b", std::string(200000, 'b')));
      root.elements.items.back()->attributes.Add(Attr("a", std::string(70000, 'a')));
      expected +=
          "\t  <b a=\"" + std::string(70000, 'a') + "\">" + std::string(200000, 'b') + "</b>\n";
    }
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
  target.attributes.Add(Attr("a", "1"));
  source.attributes.Add(Attr("b", "2"));
  target = source;
  target.attributes.Get("b")->SetText("changed");
  target = static_cast<const XmlLeafElement&>(target);
  EXPECT_EQ(target.ToXml("").str() + target.GetNamespace().str() + "|" + target.GetName().str() +
                source.ToXml("").str(),
            "<ns:new b=\"changed\">2</ns:new>\nns|new<ns:new b=\"2\">2</ns:new>\n");
  // Through the base only the tag and the attributes change.
  static_cast<XmlElement&>(target) = example;
  EXPECT_EQ(target.ToXml("").str() + target.GetName().str(),
            "<spirit:parameter>2</spirit:parameter>\nparameter");
  XmlAttribute attribute("other", "3");
  attribute = XmlAttribute("s:id", "1");
  XmlAttribute(attribute).SetText("2");
  EXPECT_EQ(attribute.ToXml().str() + attribute.GetNamespace().str() + attribute.GetName().str(),
            "s:id=\"1\"sid");
}

TEST(XmlElement, EqualityAndOrder) {
  // Fewer attributes but greater text than the next: each is less than the other.
  const auto example = boost::make_shared<XmlNestedElement>(WorkedExample());
  const std::vector<Handle> table = {Leaf("s:v", "2"), Leaf("s:v", "1"),
                                     Leaf("s:v", "1"), Nested("s:v"),
                                     Leaf(":v", "1"),  boost::make_shared<Liar>("s:v"),
                                     example,          Leaf("s:v", "16")};
  table[7]->attributes = example->elements.Get("spirit:value")->attributes;
  table[1]->attributes.Add(Attr("spirit:format", "long"));
  std::vector<const XmlElement*> pointers;
  for (const Handle& x : table) {
    pointers.push_back(x.get());
    EXPECT_EQ(*x == *x, x != table[5]) << x->GetTag().str();  // a liar equals nothing
    EXPECT_FALSE(*x < *x);
  }
  ExpectOperatorsAgree(pointers);
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

  const XmlAttribute attributes[] = {{":id", "1"},       {"id", "1"},        {"Spirit:id", "1"},
                                     {"spirit:id", "1"}, {"spirit:id", "2"}, {"spirit:name", "0"},
                                     {"spirit:id", "1"}};
  std::vector<const XmlAttribute*> attributePointers;
  for (const XmlAttribute& x : attributes) attributePointers.push_back(&x);
  ExpectOperatorsAgree(attributePointers);
  // Same namespace and name, other tags: unequal, neither less.
  EXPECT_FALSE(attributes[0] == attributes[1] || attributes[0] < attributes[1] ||
               attributes[1] < attributes[0]);
  // Empty namespace, then "Spirit", then "spirit"; then name, then text.
  for (int i = 1; i < 5; ++i) EXPECT_TRUE(attributes[i] < attributes[i + 1]) << i;
  EXPECT_TRUE(attributes[3] == attributes[6] && !(attributes[3] < attributes[6]));
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
  EXPECT_FALSE(list.Has("Spirit:name") || list.Has("spirit"));
  EXPECT_EQ(static_cast<const XmlAttributeList&>(list).Get("spirit:name")->GetText(),
            StringBase("2"));
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
  EXPECT_TRUE(list.empty() && list.ToXml().str().empty());
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
    EXPECT_EQ(a == b, want == "=");
    EXPECT_EQ(b == a, want == "=");
    EXPECT_EQ(a < b, want.find('<') != std::string::npos);
    EXPECT_EQ(b < a, want.find('>') != std::string::npos);
    EXPECT_FALSE(a < a);
  }
}

// Callers' classes: a leaf written its own way, and a class whose base is
// copied from a library leaf, which makes it no leaf.
class Shouting : public XmlLeafElement {
 public:
  Shouting(const char* tag, const char* text) : XmlLeafElement(tag, text) {}
  const StringBase ToXml(const StringBase& indent) const override {
    return indent + StringBase("SHOUT ") + GetTag() + StringBase("\n");
  }
};
class Echo : public XmlElement {
 public:
  explicit Echo(const XmlLeafElement& from) : XmlElement(from) {}
  const StringBase ToXml(const StringBase& indent) const override {
    return indent + StringBase("ECHO\n");
  }
};

TEST(XmlElement, CallersClassesAreNeverTakenForTheLibrarys) {
  XmlNestedElement root("r");
  const XmlLeafElement plain("s:b", "2");
  root.elements.Add(boost::make_shared<Shouting>("s:a", "1"));
  root.elements.Add(boost::make_shared<Echo>(plain));
  root.elements.Add(boost::make_shared<XmlLeafElement>(plain));
  EXPECT_EQ(root.ToXml("").str(), "<r>\n  SHOUT s:a\n  ECHO\n  <s:b>2</s:b>\n</r>\n");
  // A copy makes the derived leaf a plain leaf and leaves out the other class.
  EXPECT_EQ(XmlNestedElement(root).ToXml("").str(), "<r>\n  <s:a>1</s:a>\n  <s:b>2</s:b>\n</r>\n");
  EXPECT_EQ(Port_MsgManData::lastDebugStub(),
            StringBase("Unable to copy clipped element 's:b'.\n"));
  // Compared as a leaf, the derived leaf equals a plain one.
  EXPECT_TRUE(**root.elements.begin() == XmlLeafElement("s:a", "1"));
  EXPECT_FALSE(**std::next(root.elements.begin()) == plain);
}

}  // namespace
