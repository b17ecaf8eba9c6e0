#ifndef MINTU_TESTS_XML_XMLTESTSUPPORT_H
#define MINTU_TESTS_XML_XMLTESTSUPPORT_H
// Shorthands shared by the XML model's tests: `using namespace XmlTest;`.

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include <boost/make_shared.hpp>

#include "mintu/Mintu_AppException.h"
#include "mintu/Mintu_XmlDocument.h"
#include "mintu/Mintu_XmlElement.h"

namespace XmlTest {

using namespace Mintu;
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

// The text of the AppException `call` throws.
inline std::string Thrown(const std::function<void()>& call) {
  try {
    call();
  } catch (const AppException& e) {
    return e.what();
  }
  return "<nothing thrown>";
}

// Random trees from small pools; nested elements get a child at least.
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
    if (random() % 3 == 0) e->attributes.Add(Attr(name, pick(pools.values)));
  }
  return e;
}

}  // namespace XmlTest

#endif  // MINTU_TESTS_XML_XMLTESTSUPPORT_H
