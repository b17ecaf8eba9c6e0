// XmlElement, XmlLeafElement and XmlNestedElement: construction, deep copies,
// assignment, the text form, and equality and order of elements.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "XmlTestSupport.h"
#include "port/Port_Msg.h"

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
  const XmlLeafElement& sameTarget = target;
  target = sameTarget;
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

// The split (or the refusal) the tokenizer must give, worked out independently.
void ExpectSplit(const std::string& tag) {
  SCOPED_TRACE("tag [" + tag + "]");
  if (tag.empty() || std::count(tag.begin(), tag.end(), ':') > 1) {
    const std::string message = "Invalid XML tag " + tag + "\n";
    EXPECT_EQ(Thrown([&] { XmlLeafElement(tag, "t"); }), message);
    EXPECT_EQ(Thrown([&] { XmlNestedElement{StringBase(tag)}; }), message);
    try {
      XmlAttribute(tag, "t");
      ADD_FAILURE() << "nothing thrown";
    } catch (const AppException& e) {
      EXPECT_EQ(e.what(), message);
      EXPECT_EQ(e.GetLevel(), AppException::LEVEL_ERROR);
    }
    return;
  }
  const std::size_t at = tag.find(':');
  const std::string ns = at == std::string::npos ? "" : tag.substr(0, at);
  const std::string name = at == std::string::npos ? tag : tag.substr(at + 1);
  const XmlLeafElement leaf(tag, "t");
  const XmlNestedElement nested{StringBase(tag)};
  const XmlAttribute attribute(tag, "t");
  const XmlElement* const elements[] = {&leaf, &nested};
  for (const XmlElement* e : elements) {
    EXPECT_EQ(e->GetTag().str(), tag);
    EXPECT_EQ(e->GetNamespace().str(), ns);
    EXPECT_EQ(e->GetName().str(), name);
  }
  EXPECT_EQ(attribute.GetTag().str(), tag);
  EXPECT_EQ(attribute.GetNamespace().str(), ns);
  EXPECT_EQ(attribute.GetName().str(), name);
}

TEST(XmlTags, SplitsAndRefusals) {
  for (const std::string& tag :
       {std::string("a\0b:c", 5), std::string("x:\0", 3), std::string("spirit:name"),
        std::string(":"), std::string(":x"), std::string("x:"), std::string("a::b"),
        std::string("a:b:c"), std::string("::"), std::string("%s%n:%d:"), std::string("plain"),
        std::string(""), std::string(" a b "), std::string("<&\"\xff:\x01"),
        std::string(40, 'n') + ":" + std::string(40, 'm')}) {
    ExpectSplit(tag);
  }
}

// A caller's class derived from the library's leaf, written its own way.
class Shouting : public XmlLeafElement {
 public:
  Shouting(const char* tag, const char* text) : XmlLeafElement(tag, text) {}
  const StringBase ToXml(const StringBase& indent) const override {
    return indent + StringBase("SHOUT ") + GetTag() + StringBase("\n");
  }
};

// A caller's class whose base is copied from a library leaf: still not a leaf.
class Echo : public XmlElement {
 public:
  explicit Echo(const XmlLeafElement& from) : XmlElement(from) {}
  const StringBase ToXml(const StringBase& indent) const override {
    return indent + StringBase("ECHO\n");
  }
};

TEST(XmlElement, CallersClassesAreNeverTakenForTheLibrarys) {
  XmlNestedElement root("r");
  root.elements.Add(boost::make_shared<Shouting>("s:a", "1"));
  const XmlLeafElement plain("s:b", "2");
  root.elements.Add(boost::make_shared<Echo>(plain));
  root.elements.Add(boost::make_shared<XmlLeafElement>(plain));
  EXPECT_EQ(root.ToXml("").str(), "<r>\n  SHOUT s:a\n  ECHO\n  <s:b>2</s:b>\n</r>\n");

  // A copy makes the derived leaf a plain leaf and leaves out the other class.
  const XmlNestedElement copy(root);
  EXPECT_EQ(Port_MsgManData::lastDebugStub(),
            StringBase("Unable to copy clipped element 's:b'.\n"));
  EXPECT_EQ(copy.ToXml("").str(), "<r>\n  <s:a>1</s:a>\n  <s:b>2</s:b>\n</r>\n");
  // Compared as a leaf, the derived leaf equals a plain one.
  const XmlElement& shouting = **root.elements.begin();
  EXPECT_TRUE(shouting == XmlLeafElement("s:a", "1"));
  EXPECT_FALSE(**std::next(root.elements.begin()) == plain);
}

// The text form, worked out independently by recursion over the public API.
void Reference(const XmlElement& e, const std::string& indent, std::string& out) {
  out += indent + "<" + e.GetTag().str();
  for (const auto& a : e.attributes.items) {
    out += " " + a->GetTag().str() + "=\"" + a->GetText().str() + "\"";
  }
  if (const auto* leaf = dynamic_cast<const XmlLeafElement*>(&e)) {
    const std::string text = leaf->GetText().str();
    out += text.empty() ? "/>\n" : ">" + text + "</" + e.GetTag().str() + ">\n";
    return;
  }
  const auto& nested = dynamic_cast<const XmlNestedElement&>(e);
  if (nested.elements.empty()) {
    out += "/>\n";
    return;
  }
  out += ">\n";
  for (const auto& child : nested.elements) {
    Reference(*child, indent + "  ", out);
  }
  out += indent + "</" + e.GetTag().str() + ">\n";
}

TEST(XmlElement, LargeOutputsMatchTheFormatAcrossBufferBoundaries) {
  XmlNestedElement root("spirit:component");
  root.attributes.Add(Attr("xmlns:spirit", "http://example"));
  // Many small lines, then texts longer than any buffer step, then more lines.
  for (int i = 0; i < 3000; ++i) {
    root.elements.AddLeafElement("spirit:model/spirit:ports/spirit:port/spirit:name",
                                 "port_" + std::to_string(i));
  }
  auto big = Leaf("spirit:description", std::string(200000, 'd'));
  big->attributes.Add(Attr("a", std::string(70000, 'a')));
  root.elements.Add(big);
  root.elements.Add(Leaf("spirit:empty", ""));
  for (int i = 0; i < 2000; ++i) {
    auto parameter = Nested("spirit:parameter");
    auto value = Leaf("spirit:value", std::to_string(i));
    value->attributes.Add(Attr("spirit:resolve", "user"));
    parameter->elements.Add(value);
    parameter->elements.Add(Nested("spirit:vendorExtensions"));
    root.elements.Add(parameter);
  }
  for (const char* indent : {"", "    ", "\t"}) {
    SCOPED_TRACE(indent);
    std::string expected;
    Reference(root, indent, expected);
    const std::string written = root.ToXml(indent).str();
    ASSERT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected);
    std::string listed;
    for (const auto& child : root.elements) {
      Reference(*child, indent, listed);
    }
    EXPECT_TRUE(root.elements.ToXml(indent).str() == listed);
  }
  EXPECT_EQ(big->attributes.ToXml().str(), " a=\"" + std::string(70000, 'a') + "\"");
}

}  // namespace
