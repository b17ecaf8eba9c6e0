// XmlElement, XmlLeafElement and XmlNestedElement: construction, deep copies,
// assignment, the text form, and equality and order of elements.
#include <gtest/gtest.h>

#include "XmlTestSupport.h"

namespace {

using namespace XmlTest;

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

TEST(XmlElement, WritesTheWorkedExampleByteForByte) {
  const XmlNestedElement parameter = WorkedExample();
  EXPECT_EQ(parameter.ToXml("").str(),
            R"(<spirit:parameter>
  <spirit:name>component_name</spirit:name>
  <spirit:value spirit:resolve="user" spirit:format="long">16</spirit:value>
  <spirit:vendorExtensions/>
  <spirit:description/>
</spirit:parameter>
)");
  // A nested copy writes the same lines, indented one level more.
  XmlNestedElement outer("a");
  outer.elements.Add(boost::make_shared<XmlNestedElement>(parameter));
  const std::string inner = parameter.ToXml("\t  ").str();
  EXPECT_EQ(outer.ToXml("\t").str(), "\t<a>\n" + inner + "\t</a>\n");
}

TEST(XmlElement, WritesTextsAndTagsUnchanged) {
  XmlNestedElement empty(":x");
  empty.attributes.Add(Attr("a", "%s\"<"));
  EXPECT_EQ(empty.ToXml("").str(), "<:x a=\"%s\"<\"/>\n");
  EXPECT_EQ(XmlLeafElement("t", " ").ToXml("").str(), "<t> </t>\n");
  EXPECT_EQ(XmlLeafElement("t", "1\n2 & %d").ToXml(" ").str(), " <t>1\n2 & %d</t>\n");
  // Odd bytes, an embedded NUL included, are written as they are.
  const std::string odd("\xff\x01\x00z", 4);
  EXPECT_EQ(XmlLeafElement("t", StringBase(odd)).ToXml("").str(), "<t>" + odd + "</t>\n");
  // The same handle twice is written twice.
  XmlNestedElement list("l");
  boost::shared_ptr<XmlLeafElement> twice = Leaf("x", "1");
  list.elements.Add(twice);
  list.elements.Add(twice);
  EXPECT_TRUE(list.IsNested() && !twice->IsNested());
  EXPECT_EQ(list.ToXml("").str(), "<l>\n  <x>1</x>\n  <x>1</x>\n</l>\n");
}

TEST(XmlElement, CopiesAndAssignmentsAreDeep) {
  const XmlNestedElement example = WorkedExample();
  XmlNestedElement copy(example);
  boost::static_pointer_cast<XmlLeafElement>(copy.elements.Get("spirit:name"))->SetText("other");
  copy.elements.Get("spirit:value")->attributes.Get("spirit:format")->SetText("short");
  EXPECT_EQ(example.ToXml(""), WorkedExample().ToXml(""));

  XmlLeafElement target("old", "1");
  target.attributes.Add(Attr("a", "1"));
  boost::shared_ptr<XmlAttribute> held = target.attributes.Get("a");
  XmlLeafElement source("ns:new", "2");
  source.attributes.Add(Attr("b", "2"));
  target = source;
  EXPECT_EQ(target.ToXml("").str(), "<ns:new b=\"2\">2</ns:new>\n");
  EXPECT_EQ(target.GetNamespace(), StringBase("ns"));
  EXPECT_EQ(target.GetName(), StringBase("new"));
  EXPECT_EQ(held->GetText(), StringBase("1"));  // still alive, no longer reachable
  target.attributes.Get("b")->SetText("changed");
  EXPECT_EQ(source.attributes.Get("b")->GetText(), StringBase("2"));
  const auto& same = target;  // the object itself
  target = same;
  EXPECT_EQ(target.ToXml("").str(), "<ns:new b=\"changed\">2</ns:new>\n");

  XmlNestedElement nestedTarget("n");
  nestedTarget.elements.Add(Leaf("kept", "k"));
  nestedTarget = example;
  EXPECT_EQ(nestedTarget.ToXml(""), example.ToXml(""));
  EXPECT_TRUE(nestedTarget == example);
}

TEST(XmlElement, AssignmentThroughBaseChangesOnlyBaseFields) {
  XmlLeafElement leaf("leaf", "text");
  XmlNestedElement nested("ns:nested");
  nested.attributes.Add(Attr("a", "1"));
  nested.elements.Add(Leaf("child", "c"));
  XmlElement& base = leaf;
  base = nested;
  EXPECT_EQ(leaf.GetName(), StringBase("nested"));
  EXPECT_EQ(leaf.ToXml("").str(), "<ns:nested a=\"1\">text</ns:nested>\n");
  XmlElement& nestedBase = nested;
  nestedBase = XmlLeafElement("l", "x");
  EXPECT_EQ(nested.ToXml("").str(), "<l>\n  <child>c</child>\n</l>\n");
}

// Over all pairs of a small table: derived operators agree with == and <,
// and every element equals itself and is not less than itself.
TEST(XmlElement, OperatorsOverATable) {
  std::vector<boost::shared_ptr<XmlElement> > table;
  table.push_back(Leaf("spirit:value", "2"));
  table.push_back(Leaf("spirit:value", "1"));
  table.back()->attributes.Add(Attr("spirit:format", "long"));
  table.push_back(Leaf("spirit:value", "1"));
  table.push_back(Nested("spirit:value"));
  table.push_back(WorkedExample().elements.Get("spirit:value"));
  table.push_back(boost::make_shared<XmlNestedElement>(WorkedExample()));
  table.push_back(Leaf(":value", "1"));
  table.push_back(boost::make_shared<Liar>("spirit:value"));
  ExpectOperatorsAgree(table);
  for (const auto& x : table) {
    if (dynamic_cast<Liar*>(x.get()) == nullptr) {
      EXPECT_TRUE(*x == *x);
    }
    EXPECT_FALSE(*x < *x);
  }
  // Fewer attributes but greater text against more attributes and smaller
  // text: each is less than the other.
  EXPECT_TRUE(*table[0] < *table[1] && *table[1] < *table[0]);
  // Same tag and text, different attributes: leaf order false both ways,
  // unequal, and XmlElement order follows the attribute lists.
  const XmlLeafElement& withAttr = static_cast<const XmlLeafElement&>(*table[1]);
  const XmlLeafElement& plain = static_cast<const XmlLeafElement&>(*table[2]);
  EXPECT_FALSE(withAttr < plain || plain < withAttr);
  EXPECT_FALSE(withAttr == plain);
  EXPECT_TRUE(static_cast<const XmlElement&>(plain) < withAttr);
  // A leaf sorts before a nested element of the same tag and attributes.
  EXPECT_TRUE(*table[2] < *table[3] && !(*table[3] < *table[2]) && !(*table[2] == *table[3]));
  // A caller's class that claims to be nested but is not: never equal, and
  // not less once namespace, name and attributes leave the decision open.
  EXPECT_FALSE(*table[7] == *table[7]);
  EXPECT_FALSE(*table[7] < *table[2] || *table[7] < *table[3]);
}

TEST(XmlElement, NestedElementsOrderByChildren) {
  XmlNestedElement a("p");
  a.elements.Add(Leaf("x", "1"));
  XmlNestedElement b("p");
  b.elements.Add(Leaf("x", "2"));
  EXPECT_TRUE(a < b && !(b < a));
  EXPECT_TRUE(static_cast<const XmlElement&>(a) < b);
  XmlNestedElement c("p");
  c.elements.Add(Leaf("x", "0"));
  c.elements.Add(Leaf("y", "0"));
  EXPECT_TRUE(b < c);  // fewer children first
  EXPECT_FALSE(a == c);
  XmlNestedElement d(c);
  EXPECT_TRUE(c == d);
  EXPECT_FALSE(c < d || d < c);
}

}  // namespace
