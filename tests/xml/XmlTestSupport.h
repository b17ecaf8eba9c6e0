#ifndef MINTU_TESTS_XML_XMLTESTSUPPORT_H
#define MINTU_TESTS_XML_XMLTESTSUPPORT_H
// Shorthands shared by the XML model's tests: `using namespace XmlTest;`.

#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <functional>
#include <random>
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
typedef boost::shared_ptr<XmlElement> Handle;

inline boost::shared_ptr<XmlLeafElement> Leaf(const StringBase& tag, const StringBase& text) {
  return boost::make_shared<XmlLeafElement>(tag, text);
}
inline boost::shared_ptr<XmlNestedElement> Nested(const StringBase& tag) {
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

// The "x=y" pairs of `text`, apart by spaces.
inline std::vector<std::pair<std::string, std::string> > Pairs(const std::string& text) {
  std::vector<std::pair<std::string, std::string> > out;
  for (std::size_t at = 0, end; at < text.size(); at = end + 1) {
    end = std::min(text.find(' ', at), text.size());
    const std::size_t equals = text.find('=', at);
    out.emplace_back(text.substr(at, equals - at), text.substr(equals + 1, end - equals - 1));
  }
  return out;
}

inline std::string Texts(const std::vector<boost::shared_ptr<XmlLeafElement> >& leaves) {
  std::string out;
  for (const auto& leaf : leaves) out += leaf->GetText().str() + ";";
  return out;
}

// Random trees from small pools, so that tags, texts and attributes repeat.
// Nested elements get a child at least: an empty one reads back as a leaf.
struct Pools {
  std::vector<const char*> tags, texts, names, values;
};
inline Handle RandomElement(std::mt19937& random, const Pools& pools, int depth) {
  const auto pick = [&random](const std::vector<const char*>& from) {
    return std::string(from[random() % from.size()]);
  };
  Handle e;
  if (depth > 0 && random() % 3 != 0) {
    auto nested = Nested(pick(pools.tags));
    for (unsigned i = 1 + random() % 3; i > 0; --i) {
      nested->elements.Add(RandomElement(random, pools, depth - 1));
    }
    e = nested;
  } else {
    std::string text;
    for (unsigned i = random() % 3; i > 0; --i) text += pick(pools.texts);
    e = Leaf(pick(pools.tags), text);
  }
  for (const char* name : pools.names) {
    if (random() % 3 == 0) {
      std::string value = pick(pools.values);
      e->attributes.Add(Attr(name, value + pick(pools.values)));
    }
  }
  return e;
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
