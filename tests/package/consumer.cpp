// A user's program: one include, one library.
#include <iostream>

#include "mintu/mintu.h"

int main() {
  using namespace Mintu;
  XmlNestedElement component(Spirit::COMPONENT);
  component.elements.AddLeafElement(Spirit::VENDOR, "example.org");
  component.elements.AddLeafElement(Spirit::MODEL + XmlElement::TAG_SEPARATOR + Spirit::PORTS +
                                        XmlElement::TAG_SEPARATOR + Spirit::PORT +
                                        XmlElement::TAG_SEPARATOR + Spirit::NAME,
                                    "clk");
  const StringBase text = component.ToXml("");
  const Version a("v1_00_a");
  const Version b("3.1");
  bool threw = false;
  try {
    component.elements.Get("spirit:missing");
  } catch (const AppException&) {
    threw = true;
  }
  if (text.GetIndexOfString("<spirit:name>clk</spirit:name>") == StringBase::NOT_FOUND ||
      !(a < b) || a.VersionString() != "_v1_00_a" || !threw) {
    std::cout << "consumer failed\n" << text;
    return 1;
  }
  std::cout << "consumer ok\n";
  return 0;
}
