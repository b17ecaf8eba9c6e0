// Conversions between string containers and lists and vectors, in both
// directions, against the library's container and one of the tests' own.

#include "mintu/Mintu_UtilitiesContainers.h"

#include <gtest/gtest.h>

#include <list>
#include <string>
#include <vector>

#include "ContainerTestSupport.h"

using CommonI::RefCountPtr;
using Mintu::ContainerConversions;
using Mintu::StringBase;
using MintuTest::ListContainer;
using MintuTest::RefCountOf;
using UtilI::IStringContainer;

namespace {

const std::vector<StringBase> kStrings = {"b", "a", "", "b", std::string("x\0y", 3), "\xff"};

TEST(ContainerConversions, ListAndVectorRoundTripKeepOrderAndDuplicates) {
  const std::list<StringBase> list(kStrings.begin(), kStrings.end());
  RefCountPtr<IStringContainer> fromList =
      ContainerConversions::ConvertStringListToStringContainer(list);
  RefCountPtr<IStringContainer> fromVector =
      ContainerConversions::ConvertStringVectorToStringContainer(kStrings);
  ASSERT_TRUE(fromList);
  ASSERT_TRUE(fromVector);
  EXPECT_EQ(RefCountOf(fromList), 1);  // the returned pointer holds the only reference
  EXPECT_EQ(fromList->GetCount(), kStrings.size());

  EXPECT_EQ(ContainerConversions::ConvertStringContainerToStringVector(fromList), kStrings);
  EXPECT_EQ(ContainerConversions::ConvertStringContainerToStringList(fromVector), list);
  // Reading leaves the container's count as it was (the iterator is gone again).
  EXPECT_EQ(RefCountOf(fromList), 1);
  EXPECT_EQ(RefCountOf(fromVector), 1);
}

TEST(ContainerConversions, EmptyInputsGiveEmptyButRealResults) {
  RefCountPtr<IStringContainer> a =
      ContainerConversions::ConvertStringListToStringContainer(std::list<StringBase>());
  RefCountPtr<IStringContainer> b =
      ContainerConversions::ConvertStringVectorToStringContainer(std::vector<StringBase>());
  ASSERT_TRUE(a);
  ASSERT_TRUE(b);
  EXPECT_NE(a, b);
  EXPECT_EQ(a->GetCount(), 0u);
  EXPECT_EQ(b->GetCount(), 0u);
  EXPECT_TRUE(ContainerConversions::ConvertStringContainerToStringList(a).empty());
  EXPECT_TRUE(ContainerConversions::ConvertStringContainerToStringVector(b).empty());
  EXPECT_TRUE(ContainerConversions::ConvertStringContainerToStringVector(nullptr).empty());
  EXPECT_TRUE(ContainerConversions::ConvertStringContainerToStringList(nullptr).empty());
}

TEST(ContainerConversions, ReadAnyImplementationOfTheInterface) {
  const int aliveBefore = ListContainer::Alive();
  {
    const std::list<StringBase> strings(kStrings.begin(), kStrings.end());
    RefCountPtr<IStringContainer> own = ListContainer::Create(strings);
    EXPECT_EQ(ContainerConversions::ConvertStringContainerToStringList(own), strings);
    EXPECT_EQ(ContainerConversions::ConvertStringContainerToStringVector(own), kStrings);
    EXPECT_EQ(RefCountOf(own), 1);
    EXPECT_EQ(ListContainer::Alive(), aliveBefore + 1);  // no iterator left behind

    RefCountPtr<IStringContainer> empty = ListContainer::Create({});
    EXPECT_TRUE(ContainerConversions::ConvertStringContainerToStringVector(empty).empty());
  }
  EXPECT_EQ(ListContainer::Alive(), aliveBefore);
}

TEST(ContainerConversions, FaultyContainersGiveWhatTheyCanAndNoLeak) {
  const int aliveBefore = ListContainer::Alive();
  {
    // GetIterator refuses (yet stores an iterator, which must still be released).
    RefCountPtr<IStringContainer> refused =
        ListContainer::Create({"a", "b"}, ListContainer::ITERATOR_REFUSED);
    EXPECT_TRUE(ContainerConversions::ConvertStringContainerToStringList(refused).empty());
    EXPECT_TRUE(ContainerConversions::ConvertStringContainerToStringVector(refused).empty());
    EXPECT_EQ(RefCountOf(refused), 1);

    // GetIterator claims success but gives no iterator.
    RefCountPtr<IStringContainer> none =
        ListContainer::Create({"a", "b"}, ListContainer::ITERATOR_NULL);
    EXPECT_TRUE(ContainerConversions::ConvertStringContainerToStringVector(none).empty());

    // An iterator that stops advancing without ever reaching its end ends the walk.
    RefCountPtr<IStringContainer> stuck =
        ListContainer::Create({"a", "b"}, ListContainer::ITERATOR_NEVER_ENDS);
    EXPECT_EQ(ContainerConversions::ConvertStringContainerToStringVector(stuck),
              (std::vector<StringBase>{"a", "b"}));
    EXPECT_EQ(RefCountOf(stuck), 1);
  }
  EXPECT_EQ(ListContainer::Alive(), aliveBefore);
}

}  // namespace
