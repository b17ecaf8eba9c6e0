// A realistic SPIRIT component built with the element model, written as
// text and read back by a real XML parser: the same tree of tags,
// attributes and texts comes back.
#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "XmlTestSupport.h"

namespace {

using namespace XmlTest;

XmlNestedElement Component() {
  XmlNestedElement component("spirit:component");
  component.attributes.Add(Attr("xmlns:spirit", "http://example.org/XMLSchema/SPIRIT/1.4"));
  component.attributes.Add(Attr("xmlns:xilinx", "http://example.org/x"));
  XmlElementList& e = component.elements;
  e.AddLeafElement("spirit:vendor", "orvane.example");
  e.AddLeafElement("spirit:library", "ip");
  e.AddLeafElement("spirit:name", "fifo_generator");
  e.AddLeafElement("spirit:version", "3.1");
  e.AddLeafElement("spirit:model/spirit:views/spirit:view/spirit:name",
                   "xilinx_vhdlbehavioralsimulation");
  e.AddLeafElement("spirit:model/spirit:views/spirit:view/spirit:envIdentifier", ":vhdl.orvane:");
  auto ports = Nested("spirit:ports");
  boost::static_pointer_cast<XmlNestedElement>(e.Get("spirit:model"))->elements.Add(ports);
  for (int i = 0; i < 3; ++i) {
    auto port = Nested("spirit:port");
    port->elements.AddLeafElement("spirit:name", StringBase::doFormat("din_%d", i));
    port->elements.AddLeafElement("spirit:wire/spirit:direction", i == 0 ? "out" : "in");
    port->elements.AddLeafElement("spirit:wire/spirit:vector/spirit:left", "7");
    port->elements.AddLeafElement("spirit:wire/spirit:vector/spirit:right", "0");
    ports->elements.Add(port);
  }
  e.AddLeafElement("spirit:parameters/spirit:parameter/spirit:name", "component_name");
  e.AddLeafElement("spirit:parameters/spirit:parameter/spirit:value", "fifo_16");
  boost::shared_ptr<XmlElement> value = e.Get("spirit:parameters/spirit:parameter/spirit:value");
  value->attributes.Add(Attr("spirit:resolve", "user"));
  value->attributes.Add(Attr("spirit:id", "PARAM_VALUE.Component_Name"));
  e.AddLeafElement("spirit:vendorExtensions/xilinx:coreExtensions/xilinx:displayName", "FIFO");
  e.Add(Nested("spirit:description"));
  return component;
}

// The element tree against the parsed tree: tags, attributes in order,
// texts, children in order.
void ExpectSameTree(const XmlElement& element, const pugi::xml_node& node) {
  SCOPED_TRACE(element.GetTag().str());
  ASSERT_EQ(node.type(), pugi::node_element);
  EXPECT_EQ(element.GetTag().str(), node.name());
  std::vector<std::pair<std::string, std::string> > ours;
  for (const auto& a : element.attributes.items) {
    ours.emplace_back(a->GetTag().str(), a->GetText().str());
  }
  std::vector<std::pair<std::string, std::string> > theirs;
  for (const pugi::xml_attribute& a : node.attributes()) {
    theirs.emplace_back(a.name(), a.value());
  }
  EXPECT_EQ(ours, theirs);
  if (const XmlLeafElement* leaf = dynamic_cast<const XmlLeafElement*>(&element)) {
    EXPECT_EQ(leaf->GetText().str(), node.text().get());
    EXPECT_EQ(node.first_child().next_sibling(), pugi::xml_node());
    return;
  }
  const XmlNestedElement& nested = dynamic_cast<const XmlNestedElement&>(element);
  pugi::xml_node child = node.first_child();
  for (const auto& member : nested.elements) {
    ExpectSameTree(*member, child);
    child = child.next_sibling();
  }
  EXPECT_EQ(child, pugi::xml_node());
}

TEST(XmlSpirit, ComponentReadsBackAsTheSameTree) {
  const XmlNestedElement component = Component();
  for (const char* indent : {"", "    "}) {
    const std::string text = component.ToXml(indent).str();
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_buffer(
        text.data(), text.size(), pugi::parse_default | pugi::parse_ws_pcdata_single);
    ASSERT_TRUE(parsed) << parsed.description() << "\n" << text;
    ExpectSameTree(component, document.document_element());
    EXPECT_EQ(document.select_nodes("//spirit:port").size(), 3u);
  }
  // Copies are equal and write the same text; a changed copy is not equal.
  XmlNestedElement copy(component);
  EXPECT_TRUE(copy == component);
  EXPECT_EQ(copy.ToXml(""), component.ToXml(""));
  copy.elements.Get("spirit:model/spirit:ports/spirit:port/spirit:wire/spirit:direction")
      ->attributes.Add(Attr("a", "b"));
  EXPECT_FALSE(copy == component);
  EXPECT_TRUE(component < copy);
}

}  // namespace
