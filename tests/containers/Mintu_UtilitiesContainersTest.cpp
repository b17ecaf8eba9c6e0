// Conversions between string containers and lists and vectors, in both
// directions, against the library's container and one of the tests' own.

#include "mintu/Mintu_Utilities.h"

#include <gtest/gtest.h>

#include <list>
#include <string>
#include <vector>

#include "ContainerTestSupport.h"

using CommonI::RefCountPtr;
using Mintu::StringBase;
using Mintu::Utilities;
using MintuTest::ListContainer;
using MintuTest::RefCountOf;
using UtilI::IStringContainer;

namespace {

const std::vector<StringBase> kStrings = {"b", "a", "", "b", std::string("x\0y", 3), "\xff"};

TEST(UtilitiesContainers, ListAndVectorRoundTripKeepOrderAndDuplicates) {
  const std::list<StringBase> list(kStrings.begin(), kStrings.end());
  RefCountPtr<IStringContainer> fromList = Utilities::ConvertStringListToStringContainer(list);
  RefCountPtr<IStringContainer> fromVector =
      Utilities::ConvertStringVectorToStringContainer(kStrings);
  ASSERT_TRUE(fromList);
  ASSERT_TRUE(fromVector);
  EXPECT_EQ(RefCountOf(fromList), 1);  // the returned pointer holds the only reference
  EXPECT_EQ(fromList->GetCount(), kStrings.size());

  EXPECT_EQ(Utilities::ConvertStringContainerToStringVector(fromList), kStrings);
  EXPECT_EQ(Utilities::ConvertStringContainerToStringList(fromVector), list);
  // Reading leaves the container's count as it was (the iterator is gone again).
  EXPECT_EQ(RefCountOf(fromList), 1);
  EXPECT_EQ(RefCountOf(fromVector), 1);

  // Empty inputs give empty but real (and distinct) containers; null reads as empty.
  RefCountPtr<IStringContainer> a =
      Utilities::ConvertStringListToStringContainer(std::list<StringBase>());
  RefCountPtr<IStringContainer> b =
      Utilities::ConvertStringVectorToStringContainer(std::vector<StringBase>());
  ASSERT_TRUE(a && b);
  EXPECT_NE(a, b);
  EXPECT_EQ(a->GetCount() + b->GetCount(), 0u);
  EXPECT_TRUE(Utilities::ConvertStringContainerToStringVector(nullptr).empty());
  EXPECT_TRUE(Utilities::ConvertStringContainerToStringList(nullptr).empty());
}

TEST(UtilitiesContainers, ReadAnyImplementationAndWhatAFaultyOneGivesWithoutLeaks) {
  const int aliveBefore = ListContainer::Alive();
  const std::list<StringBase> ab = {"a", "b"};
  const struct {
    ListContainer::Fault fault;
    std::list<StringBase> strings;
    std::vector<StringBase> read;
  } cases[] = {
      {ListContainer::NONE, {kStrings.begin(), kStrings.end()}, kStrings},
      {ListContainer::NONE, {}, {}},
      // GetIterator refuses (yet stores an iterator, which must still be released).
      {ListContainer::ITERATOR_REFUSED, ab, {}},
      // GetIterator claims success but gives no iterator.
      {ListContainer::ITERATOR_NULL, ab, {}},
      // An iterator that stops advancing without ever reaching its end ends the walk.
      {ListContainer::ITERATOR_NEVER_ENDS, ab, {"a", "b"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fault);
    RefCountPtr<IStringContainer> own = ListContainer::Create(c.strings, c.fault);
    EXPECT_EQ(Utilities::ConvertStringContainerToStringVector(own), c.read);
    EXPECT_EQ(Utilities::ConvertStringContainerToStringList(own),
              std::list<StringBase>(c.read.begin(), c.read.end()));
    EXPECT_EQ(RefCountOf(own), 1);
    EXPECT_EQ(ListContainer::Alive(), aliveBefore + 1);  // no iterator left behind
  }
  EXPECT_EQ(ListContainer::Alive(), aliveBefore);
}

}  // namespace
