// The compact representations behind the XML model: the handle sequence of
// the lists (held in place, then on the heap), tags kept once and split
// through a per-thread memory of recent tags, the writer's chunked buffer,
// and the library's shortcuts for its own classes against callers' classes
// derived from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

#include "XmlTestSupport.h"
#include "mintu/Mintu_XmlHandles.h"
#include "port/Port_Msg.h"

namespace {

using namespace XmlTest;
using Mintu::XmlHandles;

// Records, when it dies, what the list it lives in held at that moment.
struct Probe {
  explicit Probe(int v, const XmlHandles<Probe, 2>* l = nullptr) : value(v), list(l) {}
  ~Probe() {
    if (list != nullptr) {
      seenSize = list->size();
    }
  }
  int value;
  const XmlHandles<Probe, 2>* list;
  static std::size_t seenSize;
};
std::size_t Probe::seenSize = 999;

template <class H>
std::vector<int> Values(const H& handles) {
  std::vector<int> out;
  for (const auto& h : handles) {
    out.push_back(h->value);
  }
  return out;
}

template <class H>
H Filled(int count) {
  H handles;
  for (int i = 0; i < count; ++i) {
    handles.push_back(boost::make_shared<Probe>(i));
  }
  return handles;
}

std::vector<int> Range(int count) {
  std::vector<int> out(static_cast<std::size_t>(count));
  std::iota(out.begin(), out.end(), 0);
  return out;
}

// 0..2 handles stay in place in the two-slot form, 3 and more move to the heap.
TEST(XmlHandles, KeepOrderAcrossGrowthCopySwapAndAssign) {
  for (int left : {0, 1, 2, 3, 4, 9, 17}) {
    EXPECT_EQ(Values(Filled<XmlHandles<Probe> >(left)), Range(left));
    for (int right : {0, 2, 3, 7}) {
      SCOPED_TRACE(std::to_string(left) + " with " + std::to_string(right));
      XmlHandles<Probe, 2> a = Filled<XmlHandles<Probe, 2> >(left);
      XmlHandles<Probe, 2> b = Filled<XmlHandles<Probe, 2> >(right);
      EXPECT_EQ(a.size(), static_cast<std::size_t>(left));
      EXPECT_EQ(a.empty(), left == 0);
      const XmlHandles<Probe, 2> copy(a);
      EXPECT_EQ(Values(copy), Range(left));
      for (std::size_t i = 0; i < copy.size(); ++i) {
        EXPECT_EQ(copy[i].get(), a[i].get());  // shared, not copied
        EXPECT_EQ(copy[i].use_count(), 2);
      }
      a.swap(b);
      EXPECT_EQ(Values(a), Range(right));
      EXPECT_EQ(Values(b), Range(left));
      a = b;
      EXPECT_EQ(Values(a), Range(left));
      b = std::move(a);
      EXPECT_TRUE(a.empty());
      XmlHandles<Probe, 2> moved(std::move(b));
      EXPECT_TRUE(b.empty());
      XmlHandles<Probe, 2>& alias = moved;
      moved.swap(alias);
      moved = alias;
      EXPECT_EQ(Values(moved), Range(left));
    }
  }
}

TEST(XmlHandles, PushingOwnMemberWhileGrowingAndReleasing) {
  for (int count : {1, 2, 3, 4, 8}) {
    SCOPED_TRACE(count);
    XmlHandles<Probe, 2> handles = Filled<XmlHandles<Probe, 2> >(count);
    // The handle pushed lives in the sequence that grows under it.
    handles.push_back(handles.front());
    handles.push_back(handles.back());
    ASSERT_EQ(handles.size(), static_cast<std::size_t>(count + 2));
    EXPECT_EQ(handles.back().get(), handles.front().get());
    EXPECT_EQ(handles.front().use_count(), 3);
    handles.pop_back();
    EXPECT_EQ(handles.front().use_count(), 2);
  }
  // clear() takes the handles out before the last one dies.
  XmlHandles<Probe, 2> handles;
  for (int i = 0; i < 4; ++i) {
    handles.push_back(boost::make_shared<Probe>(i, &handles));
  }
  Probe::seenSize = 999;
  handles.clear();
  EXPECT_EQ(Probe::seenSize, 0u);
  EXPECT_TRUE(handles.empty());
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

TEST(XmlTags, SplitsAndRefusalsAgreeEveryTimeATagComesBack) {
  std::vector<std::string> tags = {std::string("a\0b:c", 5), std::string("x:\0", 3)};
  for (const char* tag :
       {"spirit:name", "spirit:port", ":", ":x", "x:", "a::b", "a:b:c",
        "::", "a::", "a:b:", "%s%n:%d:", "s:a:b", "s:ab", "plain", "", " a b ", "<&\"\xff:\x01"}) {
    tags.push_back(tag);
  }
  // Lengths around the largest remembered tag, separators everywhere, and
  // more distinct tags than are remembered.
  for (std::size_t length = 1; length <= 34; ++length) {
    for (std::size_t at = 0; at <= length; at += 5) {
      std::string tag(length, 'n');
      tag[length / 2] = static_cast<char>('a' + length % 26);
      if (at < length) {
        tag[at] = ':';
      }
      tags.push_back(tag);
    }
  }
  for (int i = 0; i < 200; ++i) {
    tags.push_back("ns" + std::to_string(i % 7) + ":n" + std::to_string(i));
  }
  for (int round = 0; round < 3; ++round) {
    for (const std::string& tag : tags) {
      ExpectSplit(tag);
    }
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
