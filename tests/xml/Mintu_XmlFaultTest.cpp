// Copies and assignments of the XML model when an allocation fails: nothing changes, nothing leaks
// (LeakSanitizer in the ASan build). This program replaces operator new to fail on request.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "XmlTestSupport.h"

namespace {
// Allocations fail from the `failAt`-th on (counting from 0); -1: none does.
long failAt = -1;
long allocations = 0;
}  // namespace

void* operator new(std::size_t size) {
  void* p = failAt >= 0 && allocations++ >= failAt ? nullptr : std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace XmlTest;

boost::shared_ptr<XmlNestedElement> Tree(const char* tag, const char* digit) {
  const std::string text = std::string(40, 't') + digit;  // beyond short-string buffers
  auto nested = Nested(tag);
  nested->attributes.Add(Attr("n", text));
  nested->elements.items = {Leaf("x:y", text), Nested("inner")};
  nested->elements.AddLeafElement("inner/z", text);
  nested->elements.Get("inner/z")->attributes.Add(Attr("k", text));
  return nested;
}

// Each operation runs with allocations failing from the k-th on, for k = 0,
// 1, ... until it succeeds; after every failure the target is as before.
TEST(XmlFaults, FailedCopiesAndAssignmentsChangeNothingAndLeakNothing) {
#ifdef _WIN32
  GTEST_SKIP() << "a DLL keeps the operator new it was linked with, which no program can replace";
#endif
  const auto source = Tree("new:tag", "2");
  const auto leafOf = [](const XmlNestedElement& t) -> XmlLeafElement& {
    return static_cast<XmlLeafElement&>(*t.elements.items.front());
  };
  const XmlLeafElement& sourceLeaf = leafOf(*source);
  const std::function<void(XmlNestedElement&)> operations[] = {
      [&](XmlNestedElement& t) { t = *source; },
      [&](XmlNestedElement& t) { leafOf(t) = sourceLeaf; },
      [&](XmlNestedElement& t) { static_cast<XmlElement&>(leafOf(t)) = *source; },
      [&](XmlNestedElement& t) { t.attributes = source->attributes; },
      [&](XmlNestedElement& t) { *t.attributes.items.front() = *source->attributes.items.front(); },
      [&](XmlNestedElement& t) { t.elements = source->elements; },
      [&](XmlNestedElement&) { XmlNestedElement copy(*source); }};
  for (std::size_t i = 0; i < std::size(operations); ++i) {
    SCOPED_TRACE(i);
    const auto target = Tree("old", "1");
    const std::string before = target->ToXml("").str();
    for (long k = 0;; ++k) {
      allocations = 0;
      failAt = k;
      try {
        operations[i](*target);
        failAt = -1;
        EXPECT_GT(k, 0);
        break;
      } catch (const std::bad_alloc&) {
        failAt = -1;
      }
      ASSERT_EQ(target->ToXml("").str(), before) << "allocation " << k;
    }
  }
}

}  // namespace
