// The XML element model against pugixml on the same synthetic SPIRIT
// component: building, writing indented text into memory, deep copying and
// the heap held. The comparisons have their own program.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include "BenchMain.h"
#include "XmlBenchComponent.h"

#include <string>

#include <boost/make_shared.hpp>
#include <pugixml.hpp>

#include "mintu/Mintu_XmlElement.h"

namespace {

using Mintu::StringBase;
using Mintu::XmlNestedElement;
using MintuBench::BuildComponent;
using MintuBench::PortName;

void PugiLeaf(pugi::xml_node parent, const char* tag, const std::string& text) {
  parent.append_child(tag).append_child(pugi::node_pcdata).set_value(text.c_str());
}

void BuildPugi(pugi::xml_document& document, int n) {
  pugi::xml_node component = document.append_child("spirit:component");
  PugiLeaf(component, "spirit:vendor", "orvane.example");
  PugiLeaf(component, "spirit:library", "ip");
  PugiLeaf(component, "spirit:name", "synthetic");
  PugiLeaf(component, "spirit:version", "1.0");
  pugi::xml_node ports = component.append_child("spirit:model").append_child("spirit:ports");
  for (int i = 0; i < n; ++i) {
    pugi::xml_node port = ports.append_child("spirit:port");
    PugiLeaf(port, "spirit:name", PortName(i, n));
    pugi::xml_node wire = port.append_child("spirit:wire");
    PugiLeaf(wire, "spirit:direction", i % 2 ? "in" : "out");
    pugi::xml_node vector = wire.append_child("spirit:vector");
    PugiLeaf(vector, "spirit:left", std::to_string(i % 64));
    PugiLeaf(vector, "spirit:right", "0");
  }
  pugi::xml_node parameters = component.append_child("spirit:parameters");
  for (int i = 0; i < n / 4; ++i) {
    pugi::xml_node parameter = parameters.append_child("spirit:parameter");
    PugiLeaf(parameter, "spirit:name", "PARAM_" + std::to_string(i));
    pugi::xml_node value = parameter.append_child("spirit:value");
    value.append_attribute("spirit:resolve").set_value("user");
    value.append_attribute("spirit:format").set_value("long");
    value.append_child(pugi::node_pcdata).set_value(std::to_string(i).c_str());
  }
}

struct StringWriter : pugi::xml_writer {
  std::string text;
  void write(const void* data, size_t size) override {
    text.append(static_cast<const char*>(data), size);
  }
};

void BM_Build_Mintu(benchmark::State& state) {
  for (auto _ : state) {
    boost::shared_ptr<XmlNestedElement> component =
        BuildComponent(static_cast<int>(state.range(0)));
    benchmark::DoNotOptimize(component.get());
    state.PauseTiming();
    component.reset();
    state.ResumeTiming();
  }
}

void BM_Build_Pugi(benchmark::State& state) {
  for (auto _ : state) {
    pugi::xml_document* document = new pugi::xml_document;
    BuildPugi(*document, static_cast<int>(state.range(0)));
    benchmark::DoNotOptimize(document);
    state.PauseTiming();
    delete document;
    state.ResumeTiming();
  }
}

void BM_Write_Mintu(benchmark::State& state) {
  const boost::shared_ptr<XmlNestedElement> component =
      BuildComponent(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    const StringBase text = component->ToXml("");
    benchmark::DoNotOptimize(text.GetBuffer());
  }
}

void BM_Write_Pugi(benchmark::State& state) {
  pugi::xml_document document;
  BuildPugi(document, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    StringWriter writer;
    document.save(writer, "  ", pugi::format_indent | pugi::format_no_declaration);
    benchmark::DoNotOptimize(writer.text.data());
  }
}

void BM_Copy_Mintu(benchmark::State& state) {
  const boost::shared_ptr<XmlNestedElement> component =
      BuildComponent(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    XmlNestedElement* copy = new XmlNestedElement(*component);
    benchmark::DoNotOptimize(copy);
    state.PauseTiming();
    delete copy;
    state.ResumeTiming();
  }
}

void BM_Copy_Pugi(benchmark::State& state) {
  pugi::xml_document document;
  BuildPugi(document, static_cast<int>(state.range(0)));
  for (auto _ : state) {
    pugi::xml_document* copy = new pugi::xml_document;
    copy->reset(document);
    benchmark::DoNotOptimize(copy);
    state.PauseTiming();
    delete copy;
    state.ResumeTiming();
  }
}

// Heap bytes held per element after building (malloc statistics), the
// element count being the same for both: every XML element, no text node.
std::size_t ElementCount(int n) { return 7u * n + 3u * (n / 4) + 8u; }

std::size_t HeapInUse() { return mallinfo2().uordblks; }

void BM_Heap_Mintu(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    const std::size_t before = HeapInUse();
    boost::shared_ptr<XmlNestedElement> component = BuildComponent(n);
    state.counters["bytes_per_element"] =
        static_cast<double>(HeapInUse() - before) / static_cast<double>(ElementCount(n));
  }
}

void BM_Heap_Pugi(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    const std::size_t before = HeapInUse();
    pugi::xml_document document;
    BuildPugi(document, n);
    state.counters["bytes_per_element"] =
        static_cast<double>(HeapInUse() - before) / static_cast<double>(ElementCount(n));
  }
}

#define MINTU_XML_SIZES Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)

BENCHMARK(BM_Build_Mintu)->MINTU_XML_SIZES;
BENCHMARK(BM_Build_Pugi)->MINTU_XML_SIZES;
BENCHMARK(BM_Write_Mintu)->MINTU_XML_SIZES;
BENCHMARK(BM_Write_Pugi)->MINTU_XML_SIZES;
BENCHMARK(BM_Copy_Mintu)->MINTU_XML_SIZES;
BENCHMARK(BM_Copy_Pugi)->MINTU_XML_SIZES;
BENCHMARK(BM_Heap_Mintu)->MINTU_XML_SIZES->Iterations(1);
BENCHMARK(BM_Heap_Pugi)->MINTU_XML_SIZES->Iterations(1);

}  // namespace

int main(int argc, char** argv) { return MintuBench::Run(argc, argv); }
