// Reading a synthetic SPIRIT component into the XML model. Its floor is
// expat's own parse with no handlers (with namespace processing, as the
// reader asks for) plus the model's build of the same tree from ready texts;
// the reader should stay within 1.5 times the sum: compare BM_XmlReader with
// BM_ExpatParse + BM_ModelBuild of the same size, in the same run. pugixml's
// parse followed by a build from its DOM is kept for the record.

#include <benchmark/benchmark.h>
#include "BenchMain.h"

#include <string>

#include <expat.h>
#include <boost/make_shared.hpp>
#include <pugixml.hpp>

#include "mintu/mintu.h"

namespace {

using Mintu::StringBase;

// The component as the model writes it: `n` ports, n / 4 parameters.
std::string ComponentText(int n) {
  std::string t =
      "<spirit:component xmlns:spirit=\"http://www.spiritconsortium.org/XMLSchema/SPIRIT/1.4\">\n"
      "  <spirit:vendor>orvane.example</spirit:vendor>\n  <spirit:library>ip</spirit:library>\n"
      "  <spirit:name>synthetic</spirit:name>\n  <spirit:version>1.0</spirit:version>\n"
      "  <spirit:model>\n    <spirit:ports>\n";
  for (int i = 0; i < n; ++i) {
    t += "      <spirit:port>\n        <spirit:name>port_" + std::to_string(i) +
         "</spirit:name>\n        <spirit:wire>\n          <spirit:direction>" +
         (i % 2 ? "in" : "out") +
         "</spirit:direction>\n          <spirit:vector>\n            <spirit:left>" +
         std::to_string(i % 64) +
         "</spirit:left>\n            <spirit:right>0</spirit:right>\n"
         "          </spirit:vector>\n        </spirit:wire>\n      </spirit:port>\n";
  }
  t += "    </spirit:ports>\n  </spirit:model>\n  <spirit:parameters>\n";
  for (int i = 0; i < n / 4; ++i) {
    t += "    <spirit:parameter>\n      <spirit:name>PARAM_" + std::to_string(i) +
         "</spirit:name>\n      <spirit:value spirit:resolve=\"user\" spirit:format=\"long\">" +
         std::to_string(i) + "</spirit:value>\n    </spirit:parameter>\n";
  }
  return t + "  </spirit:parameters>\n</spirit:component>\n";
}

// The model's tree for a pugixml element, with no check at all.
boost::shared_ptr<Mintu::XmlElement> Build(pugi::xml_node node) {
  boost::shared_ptr<Mintu::XmlElement> element;
  if (node.first_child().type() == pugi::node_element) {
    auto nested = boost::make_shared<Mintu::XmlNestedElement>(StringBase(node.name()));
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
      nested->elements.Add(Build(child));
    }
    element = nested;
  } else {
    element = boost::make_shared<Mintu::XmlLeafElement>(StringBase(node.name()),
                                                        StringBase(node.child_value()));
  }
  for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
    element->attributes.Add(
        boost::make_shared<Mintu::XmlAttribute>(StringBase(a.name()), StringBase(a.value())));
  }
  return element;
}

// The same tree as ComponentText's, built directly.
boost::shared_ptr<Mintu::XmlElement> ComponentTree(int n) {
  using Mintu::XmlLeafElement;
  using Mintu::XmlNestedElement;
  const auto leaf = [](const char* tag, std::string text) {
    return boost::make_shared<XmlLeafElement>(StringBase(tag), StringBase(std::move(text)));
  };
  const auto nested = [](const char* tag) {
    return boost::make_shared<XmlNestedElement>(StringBase(tag));
  };
  auto component = nested("spirit:component");
  component->attributes.Add(boost::make_shared<Mintu::XmlAttribute>(
      StringBase("xmlns:spirit"),
      StringBase("http://www.spiritconsortium.org/XMLSchema/SPIRIT/1.4")));
  component->elements.Add(leaf("spirit:vendor", "orvane.example"));
  component->elements.Add(leaf("spirit:library", "ip"));
  component->elements.Add(leaf("spirit:name", "synthetic"));
  component->elements.Add(leaf("spirit:version", "1.0"));
  auto model = nested("spirit:model");
  auto ports = nested("spirit:ports");
  for (int i = 0; i < n; ++i) {
    auto port = nested("spirit:port");
    port->elements.Add(leaf("spirit:name", "port_" + std::to_string(i)));
    auto wire = nested("spirit:wire");
    wire->elements.Add(leaf("spirit:direction", i % 2 ? "in" : "out"));
    auto vector = nested("spirit:vector");
    vector->elements.Add(leaf("spirit:left", std::to_string(i % 64)));
    vector->elements.Add(leaf("spirit:right", "0"));
    wire->elements.Add(vector);
    port->elements.Add(wire);
    ports->elements.Add(port);
  }
  model->elements.Add(ports);
  component->elements.Add(model);
  auto parameters = nested("spirit:parameters");
  for (int i = 0; i < n / 4; ++i) {
    auto parameter = nested("spirit:parameter");
    parameter->elements.Add(leaf("spirit:name", "PARAM_" + std::to_string(i)));
    auto value = leaf("spirit:value", std::to_string(i));
    value->attributes.Add(
        boost::make_shared<Mintu::XmlAttribute>(StringBase("spirit:resolve"), StringBase("user")));
    value->attributes.Add(
        boost::make_shared<Mintu::XmlAttribute>(StringBase("spirit:format"), StringBase("long")));
    parameter->elements.Add(value);
    parameters->elements.Add(parameter);
  }
  component->elements.Add(parameters);
  return component;
}

void BM_ExpatParse(benchmark::State& state) {
  const std::string text = ComponentText(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    const XML_Parser parser = XML_ParserCreateNS(nullptr, '\x01');
    XML_SetReturnNSTriplet(parser, XML_TRUE);
    benchmark::DoNotOptimize(XML_Parse(parser, text.data(), static_cast<int>(text.size()), 1));
    XML_ParserFree(parser);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_ModelBuild(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(ComponentTree(static_cast<int>(state.range(0))).get());
  }
}

void BM_PugiParse(benchmark::State& state) {
  const std::string text = ComponentText(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    pugi::xml_document document;
    benchmark::DoNotOptimize(document.load_buffer(text.data(), text.size()));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_PugiParseThenModelBuild(benchmark::State& state) {
  const std::string text = ComponentText(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    pugi::xml_document document;
    document.load_buffer(text.data(), text.size());
    benchmark::DoNotOptimize(Build(document.document_element()).get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_XmlReader(benchmark::State& state) {
  const StringBase text = ComponentText(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(Mintu::XmlReader::FromString(text).get());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.GetLength()));
}

#define MINTU_READ_SIZES Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)

BENCHMARK(BM_ExpatParse)->MINTU_READ_SIZES;
BENCHMARK(BM_ModelBuild)->MINTU_READ_SIZES;
BENCHMARK(BM_PugiParse)->MINTU_READ_SIZES;
BENCHMARK(BM_PugiParseThenModelBuild)->MINTU_READ_SIZES;
BENCHMARK(BM_XmlReader)->MINTU_READ_SIZES;

}  // namespace

int main(int argc, char** argv) { return MintuBench::Run(argc, argv); }
