// Copies and assignments of the XML model when an allocation fails: nothing
// changes, nothing leaks (LeakSanitizer in the ASan build); releasing a tree
// never allocates. This program replaces operator new to fail on request.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <string>

#include "XmlTestSupport.h"

namespace {

// From the `failAt`-th allocation on (counting from 0), every allocation
// fails; -1: none does.
long failAt = -1;
long allocations = 0;

void Arm(long k) {
  allocations = 0;
  failAt = k;
}
void Disarm() { failAt = -1; }

// A Windows DLL keeps the operator new it was linked with: a program cannot
// make the library's own allocations fail there.
#ifdef _WIN32
#define MINTU_SKIP_WHERE_NEW_IS_NOT_REPLACEABLE() \
  GTEST_SKIP() << "the DLL's own operator new cannot be replaced by the program"
#else
#define MINTU_SKIP_WHERE_NEW_IS_NOT_REPLACEABLE() (void)0
#endif

}  // namespace

void* operator new(std::size_t size) {
  if (failAt >= 0 && allocations++ >= failAt) {
    throw std::bad_alloc();
  }
  if (void* p = std::malloc(size == 0 ? 1 : size)) {
    return p;
  }
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace XmlTest;

// Runs `operation` with allocations failing from the k-th on, for k = 0, 1,
// ... until it succeeds; after every failure `state()` is what it was before.
void Sweep(const std::function<std::string()>& state, const std::function<void()>& operation) {
  const std::string before = state();
  for (long k = 0;; ++k) {
    Arm(k);
    try {
      operation();
      Disarm();
      EXPECT_GT(k, 0);
      return;
    } catch (const std::bad_alloc&) {
      Disarm();
    }
    ASSERT_EQ(state(), before) << "allocation " << k;
  }
}

boost::shared_ptr<XmlNestedElement> Tree(const char* tag, const char* digit) {
  const std::string text = std::string(40, 't') + digit;  // beyond any short-string buffer
  boost::shared_ptr<XmlNestedElement> nested = Nested(tag);
  nested->attributes.Add(Attr("n", text));
  nested->elements.AddLeafElement("x:y", text);
  nested->elements.AddLeafElement("inner/z", text);
  nested->elements.Get("inner/z")->attributes.Add(Attr("k", text));
  return nested;
}

TEST(XmlFaults, FailedCopiesAndAssignmentsChangeNothingAndLeakNothing) {
  MINTU_SKIP_WHERE_NEW_IS_NOT_REPLACEABLE();
  const auto source = Tree("new:tag", "2");
  const auto& sourceLeaf = static_cast<const XmlLeafElement&>(*source->elements.items.front());
  const auto leafOf = [](XmlNestedElement& t) -> XmlLeafElement& {
    return static_cast<XmlLeafElement&>(*t.elements.items.front());
  };
  const std::function<void(XmlNestedElement&)> operations[] = {
      [&](XmlNestedElement& t) { t = *source; },
      [&](XmlNestedElement& t) { leafOf(t) = sourceLeaf; },
      [&](XmlNestedElement& t) { static_cast<XmlElement&>(leafOf(t)) = *source; },
      [&](XmlNestedElement& t) { t.attributes = source->attributes; },
      [&](XmlNestedElement& t) { *t.attributes.items.front() = *source->attributes.items.front(); },
      [&](XmlNestedElement& t) { t.elements = source->elements; },
      [&](XmlNestedElement&) { XmlNestedElement copy(*source); },
      [&](XmlNestedElement&) { XmlLeafElement copy(sourceLeaf); },
  };
  for (const auto& operation : operations) {
    SCOPED_TRACE(&operation - operations);
    const auto target = Tree("old", "1");
    Sweep([&] { return target->ToXml("").str(); }, [&] { operation(*target); });
  }
}

// Releasing a deep tree, a list or an element allocates nothing.
TEST(XmlFaults, ReleasingNeverAllocates) {
  MINTU_SKIP_WHERE_NEW_IS_NOT_REPLACEABLE();
  XmlElementList list;
  list.AddLeafElement(std::vector<StringBase>(1000, "d"), "leaf");
  XmlNestedElement* element = new XmlNestedElement("e");
  element->elements = list;
  Arm(0);
  list.clear();
  delete element;
  Disarm();
  EXPECT_TRUE(list.empty());
}

}  // namespace
