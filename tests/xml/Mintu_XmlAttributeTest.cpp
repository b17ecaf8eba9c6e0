// XmlAttribute and XmlAttributeList: value semantics, order, lookup, tag
// listing and list comparisons (tag splitting is checked with the elements').
#include <gtest/gtest.h>

#include "XmlTestSupport.h"

namespace {

using namespace XmlTest;

XmlAttributeList List(std::initializer_list<std::pair<const char*, const char*> > members) {
  XmlAttributeList list;
  for (const auto& m : members) {
    list.Add(Attr(m.first, m.second));
  }
  return list;
}

TEST(XmlAttribute, CopiesAndAssignmentsAreIndependent) {
  XmlAttribute a("spirit:id", "1");
  XmlAttribute copy(a);
  copy.SetText("2");
  EXPECT_EQ(a.GetText(), StringBase("1"));
  XmlAttribute b("other", "3");
  b = a;
  EXPECT_EQ(b.GetTag(), StringBase("spirit:id"));
  EXPECT_EQ(b.GetNamespace(), StringBase("spirit"));
  EXPECT_EQ(b.GetName(), StringBase("id"));
  const XmlAttribute& self = b;
  b = self;
  EXPECT_EQ(b.GetText(), StringBase("1"));
  EXPECT_EQ(a.ToXml(), StringBase("spirit:id=\"1\""));
  EXPECT_EQ(XmlAttribute("e", "").ToXml(), StringBase("e=\"\""));
}

TEST(XmlAttribute, OperatorsFollowEqualityAndOrder) {
  const XmlAttribute table[] = {{":id", "1"},       {"id", "1"},        {"Spirit:id", "1"},
                                {"spirit:id", "1"}, {"spirit:id", "2"}, {"spirit:name", "0"},
                                {"spirit:id", "1"}};
  ExpectOperatorsAgree(table);
  // Same namespace and name, different tags: unequal, neither less.
  EXPECT_FALSE(table[0] == table[1] || table[0] < table[1] || table[1] < table[0]);
  // Empty namespace, then "Spirit", then "spirit"; then name, then text.
  EXPECT_TRUE(table[1] < table[2] && table[2] < table[3]);
  EXPECT_TRUE(table[3] < table[4] && table[4] < table[5]);
  EXPECT_TRUE(table[3] == table[6] && !(table[3] < table[6]));
}

TEST(XmlAttributeList, LooksUpFirstMemberByWholeTag) {
  XmlAttributeList list;
  EXPECT_EQ(Thrown([&] { list.Get("spirit:id"); }), "Cannot find attribute spirit:id\n");
  list.Add(Attr("name", "1"));
  list.Add(Attr("spirit:name", "2"));
  list.Add(Attr("spirit:name", "3"));
  EXPECT_EQ(list.size(), 3u);
  EXPECT_FALSE(list.Has("Spirit:name"));
  EXPECT_EQ(list.Get("spirit:name")->GetText(), StringBase("2"));
  const XmlAttributeList& constList = list;
  EXPECT_EQ(constList.Get("name")->GetText(), StringBase("1"));
  EXPECT_THROW(constList.Get("spirit"), AppException);
  EXPECT_EQ(list.ListTags(), (std::list<StringBase>{"name", "spirit:name", "spirit:name"}));
  EXPECT_EQ(list.ToXml(), StringBase(" name=\"1\" spirit:name=\"2\" spirit:name=\"3\""));
  list.clear();
  EXPECT_TRUE(list.empty());
  EXPECT_EQ(list.ToXml(), StringBase(""));
}

TEST(XmlAttributeList, CopiesDeepAndAddShares) {
  boost::shared_ptr<XmlAttribute> shared = Attr("a", "1");
  XmlAttributeList first;
  first.Add(shared);
  XmlAttributeList second;
  second.Add(shared);
  XmlAttributeList copy(first);
  XmlAttributeList assigned;
  assigned = first;
  shared->SetText("2");
  EXPECT_EQ(second.Get("a")->GetText(), StringBase("2"));
  EXPECT_EQ(copy.Get("a")->GetText(), StringBase("1"));
  EXPECT_EQ(assigned.Get("a")->GetText(), StringBase("1"));
  const XmlAttributeList& sameList = assigned;
  assigned = sameList;
  EXPECT_EQ(assigned.size(), 1u);
}

TEST(XmlAttributeList, EqualityAndOrder) {
  const XmlAttributeList empty;
  EXPECT_TRUE(empty == XmlAttributeList());
  EXPECT_FALSE(empty < XmlAttributeList());
  // Member order does not matter while no tag repeats.
  EXPECT_TRUE(List({{"a", "1"}, {"b", "2"}}) == List({{"b", "2"}, {"a", "1"}}));
  // Repeated tags: only the first member of each tag is compared.
  EXPECT_TRUE(List({{"a", "1"}, {"a", "2"}}) == List({{"a", "1"}, {"a", "3"}}));
  EXPECT_FALSE(List({{"a", "1"}, {"a", "2"}}) == List({{"a", "2"}, {"a", "1"}}));
  // Shorter first, whatever the members.
  EXPECT_TRUE(List({{"z", "9"}}) < List({{"a", "1"}, {"b", "1"}}));
  EXPECT_FALSE(List({{"a", "1"}, {"b", "1"}}) < List({{"z", "9"}}));
  // Not strict: each is less than the other.
  const XmlAttributeList x = List({{"x", "2"}, {"y", "1"}});
  const XmlAttributeList y = List({{"x", "1"}, {"y", "2"}});
  EXPECT_TRUE(x < y);
  EXPECT_TRUE(y < x);
  EXPECT_FALSE(x < x);
  // A smaller tag at the first differing position decides.
  EXPECT_TRUE(List({{"a", "9"}}) < List({{"b", "0"}}));
  EXPECT_FALSE(List({{"b", "0"}}) < List({{"a", "9"}}));
}

TEST(XmlAttributeList, SortIsStable) {
  XmlAttributeList list;
  list.Add(Attr("b", "1"));
  list.Add(Attr("a", "2"));
  list.Add(Attr(":a", "2"));  // same namespace, name and text as "a"
  list.Add(Attr("a", "1"));
  list.sort();
  std::vector<std::string> tags;
  for (const auto& a : list.items) {
    tags.push_back(a->GetTag().str() + "=" + a->GetText().str());
  }
  EXPECT_EQ(tags, (std::vector<std::string>{"a=1", "a=2", ":a=2", "b=1"}));
}

}  // namespace
