#ifndef MINTU_TESTS_XML_XMLTESTSUPPORT_H
#define MINTU_TESTS_XML_XMLTESTSUPPORT_H
// Shorthands shared by the XML model's tests: `using namespace XmlTest;`.

#include <gtest/gtest.h>
#include <pthread.h>

#include <functional>
#include <string>
#include <vector>

#include <boost/make_shared.hpp>

#include "mintu/Mintu_AppException.h"
#include "mintu/Mintu_XmlElement.h"

namespace XmlTest {

using Mintu::AppException;
using Mintu::StringBase;
using Mintu::XmlAttribute;
using Mintu::XmlAttributeList;
using Mintu::XmlElement;
using Mintu::XmlElementList;
using Mintu::XmlLeafElement;
using Mintu::XmlNestedElement;

inline boost::shared_ptr<XmlLeafElement> Leaf(const StringBase& tag, const StringBase& text) {
  return boost::make_shared<XmlLeafElement>(tag, text);
}
inline boost::shared_ptr<XmlNestedElement> Nested(const char* tag) {
  return boost::make_shared<XmlNestedElement>(tag);
}
inline boost::shared_ptr<XmlAttribute> Attr(const StringBase& tag, const StringBase& text) {
  return boost::make_shared<XmlAttribute>(tag, text);
}

// A caller's class that claims to be nested without being an XmlNestedElement.
class Liar : public XmlElement {
 public:
  explicit Liar(const char* tag) : XmlElement(tag) {}
  bool IsNested() const override { return true; }
  const StringBase ToXml(const StringBase& indent) const override { return indent; }
};

// The text of the AppException `call` throws.
inline std::string Thrown(const std::function<void()>& call) {
  try {
    call();
  } catch (const AppException& e) {
    return e.what();
  }
  return "<nothing thrown>";
}

inline std::string Texts(const std::vector<boost::shared_ptr<XmlLeafElement> >& leaves) {
  std::string out;
  for (const auto& leaf : leaves) {
    out += leaf->GetText().str() + ";";
  }
  return out;
}

template <class T>
const T& Deref(const T& x) {
  return x;
}
template <class T>
const T& Deref(const boost::shared_ptr<T>& x) {
  return *x;
}

// Over every pair of `table`: the derived operators agree with == and <.
template <class Table>
void ExpectOperatorsAgree(const Table& table) {
  for (const auto& xs : table) {
    for (const auto& ys : table) {
      const auto& x = Deref(xs);
      const auto& y = Deref(ys);
      const bool eq = x == y;
      const bool lt = x < y;
      EXPECT_EQ(x != y, !eq);
      EXPECT_EQ(x <= y, eq || lt);
      EXPECT_EQ(x > y, !eq && !lt);
      EXPECT_EQ(x >= y, !lt);
    }
  }
}

// Runs `body` on a thread whose stack is too small for any walk that
// recurses once per level of a deep tree.
inline void OnSmallStack(std::function<void()> body, std::size_t bytes = 256 * 1024) {
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  ASSERT_EQ(pthread_attr_setstacksize(&attributes, bytes), 0);
  pthread_t thread;
  auto run = [](void* f) -> void* {
    (*static_cast<std::function<void()>*>(f))();
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attributes, run, &body), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
}

}  // namespace XmlTest

#endif  // MINTU_TESTS_XML_XMLTESTSUPPORT_H
