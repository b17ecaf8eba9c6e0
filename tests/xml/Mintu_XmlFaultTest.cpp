// Copies and assignments of the XML model when an allocation fails: the
// target is unchanged, nothing leaks (LeakSanitizer in the ASan build) and
// nothing aborts; releasing a tree never allocates. This executable replaces
// the global operator new so that allocations fail on request.
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

boost::shared_ptr<XmlLeafElement> LeafWith(const char* tag, const char* text, const char* key) {
  boost::shared_ptr<XmlLeafElement> leaf = Leaf(tag, text);
  leaf->attributes.Add(Attr(key, "a long attribute text, beyond any short-string buffer"));
  leaf->attributes.Add(Attr("k2", "v2"));
  return leaf;
}

boost::shared_ptr<XmlNestedElement> NestedWith(const char* tag, const char* text) {
  boost::shared_ptr<XmlNestedElement> nested = Nested(tag);
  nested->attributes.Add(Attr("n", text));
  nested->elements.Add(LeafWith("x:y", text, "k"));
  boost::shared_ptr<XmlNestedElement> inner = Nested("inner");
  inner->elements.Add(LeafWith("z", text, "k"));
  nested->elements.Add(inner);
  return nested;
}

TEST(XmlFaults, AssignmentsLeaveTheTargetUnchanged) {
  MINTU_SKIP_WHERE_NEW_IS_NOT_REPLACEABLE();
  XmlAttribute attribute("q:r", "old");
  const XmlAttribute attributeSource("s:t", "a text long enough to live on the heap");
  Sweep([&] { return attribute.ToXml().str(); }, [&] { attribute = attributeSource; });

  XmlLeafElement leaf("q:r", "old");
  leaf.attributes.Add(Attr("k", "v"));
  const boost::shared_ptr<XmlLeafElement> leafSource = LeafWith("a:b", "new", "x");
  Sweep([&] { return leaf.ToXml("").str(); }, [&] { leaf = *leafSource; });

  const boost::shared_ptr<XmlNestedElement> nested = NestedWith("old", "1");
  const boost::shared_ptr<XmlNestedElement> nestedSource = NestedWith("new:tag", "2");
  Sweep([&] { return nested->ToXml("").str(); }, [&] { *nested = *nestedSource; });

  // Through the base: only attributes, tag, namespace and name.
  const boost::shared_ptr<XmlLeafElement> target = LeafWith("t", "kept", "k");
  Sweep([&] { return target->ToXml("").str(); },
        [&] { static_cast<XmlElement&>(*target) = *nestedSource; });

  XmlAttributeList attributes = leafSource->attributes;
  Sweep([&] { return attributes.ToXml().str(); }, [&] { attributes = nestedSource->attributes; });

  XmlElementList elements = nested->elements;
  Sweep([&] { return elements.ToXml("").str(); }, [&] { elements = nestedSource->elements; });
}

TEST(XmlFaults, CopiesFailWithoutLeaks) {
  MINTU_SKIP_WHERE_NEW_IS_NOT_REPLACEABLE();
  const boost::shared_ptr<XmlNestedElement> source = NestedWith("s", "1");
  const auto state = [&] { return source->ToXml("").str(); };
  Sweep(state, [&] { XmlNestedElement copy(*source); });
  Sweep(state, [&] { XmlElementList copy(source->elements); });
  Sweep(state, [&] { XmlAttributeList copy(source->attributes); });
  Sweep(state, [&] {
    XmlLeafElement copy(static_cast<const XmlLeafElement&>(**source->elements.items.begin()));
  });
}

// Releasing a deep tree, a list or an element allocates nothing.
TEST(XmlFaults, ReleasingNeverAllocates) {
  MINTU_SKIP_WHERE_NEW_IS_NOT_REPLACEABLE();
  XmlElementList list;
  std::vector<StringBase> path(1000, "d");
  list.AddLeafElement(path, "leaf");
  XmlNestedElement* element = new XmlNestedElement("e");
  element->elements = list;
  XmlElementList other(list);
  Arm(0);
  list.clear();
  delete element;
  {
    XmlElementList dying;
    dying.items.swap(other.items);
  }
  Disarm();
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(other.empty());
}

}  // namespace
