// Reading a synthetic SPIRIT component into the XML model, against pugixml's
// own parse followed by the plainest build of the same tree from its DOM.
// The reader should stay within twice that: compare BM_XmlReader with
// BM_PugiParseThenModelBuild of the same size, in the same run.

#include <benchmark/benchmark.h>
#include "BenchMain.h"

#include <string>

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

BENCHMARK(BM_PugiParse)->MINTU_READ_SIZES;
BENCHMARK(BM_PugiParseThenModelBuild)->MINTU_READ_SIZES;
BENCHMARK(BM_XmlReader)->MINTU_READ_SIZES;

}  // namespace

int main(int argc, char** argv) { return MintuBench::Run(argc, argv); }
