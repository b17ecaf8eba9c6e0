// The XML element model against pugixml on the same synthetic SPIRIT
// component: building, writing indented text into memory and deep copying,
// plus equality of two equal copies and sorting of the ports for the model.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include "BenchMain.h"

#include <string>

#include <boost/make_shared.hpp>
#include <pugixml.hpp>

#include "mintu/Mintu_XmlElement.h"

namespace {

using Mintu::StringBase;
using Mintu::XmlAttribute;
using Mintu::XmlLeafElement;
using Mintu::XmlNestedElement;

// Port names in a scrambled order, so that sorting has work to do.
std::string PortName(int i, int n) {
  return "port_" + std::to_string((static_cast<long long>(i) * 7919) % n);
}

boost::shared_ptr<XmlLeafElement> Leaf(const char* tag, const std::string& text) {
  return boost::make_shared<XmlLeafElement>(tag, StringBase(text));
}

boost::shared_ptr<XmlNestedElement> BuildComponent(int n) {
  boost::shared_ptr<XmlNestedElement> component =
      boost::make_shared<XmlNestedElement>("spirit:component");
  component->elements.Add(Leaf("spirit:vendor", "orvane.example"));
  component->elements.Add(Leaf("spirit:library", "ip"));
  component->elements.Add(Leaf("spirit:name", "synthetic"));
  component->elements.Add(Leaf("spirit:version", "1.0"));
  boost::shared_ptr<XmlNestedElement> model = boost::make_shared<XmlNestedElement>("spirit:model");
  boost::shared_ptr<XmlNestedElement> ports = boost::make_shared<XmlNestedElement>("spirit:ports");
  for (int i = 0; i < n; ++i) {
    boost::shared_ptr<XmlNestedElement> port = boost::make_shared<XmlNestedElement>("spirit:port");
    port->elements.Add(Leaf("spirit:name", PortName(i, n)));
    boost::shared_ptr<XmlNestedElement> wire = boost::make_shared<XmlNestedElement>("spirit:wire");
    wire->elements.Add(Leaf("spirit:direction", i % 2 ? "in" : "out"));
    boost::shared_ptr<XmlNestedElement> vector =
        boost::make_shared<XmlNestedElement>("spirit:vector");
    vector->elements.Add(Leaf("spirit:left", std::to_string(i % 64)));
    vector->elements.Add(Leaf("spirit:right", "0"));
    wire->elements.Add(vector);
    port->elements.Add(wire);
    ports->elements.Add(port);
  }
  model->elements.Add(ports);
  component->elements.Add(model);
  boost::shared_ptr<XmlNestedElement> parameters =
      boost::make_shared<XmlNestedElement>("spirit:parameters");
  for (int i = 0; i < n / 4; ++i) {
    boost::shared_ptr<XmlNestedElement> parameter =
        boost::make_shared<XmlNestedElement>("spirit:parameter");
    parameter->elements.Add(Leaf("spirit:name", "PARAM_" + std::to_string(i)));
    boost::shared_ptr<XmlLeafElement> value = Leaf("spirit:value", std::to_string(i));
    value->attributes.Add(boost::make_shared<XmlAttribute>("spirit:resolve", "user"));
    value->attributes.Add(boost::make_shared<XmlAttribute>("spirit:format", "long"));
    parameter->elements.Add(value);
    parameters->elements.Add(parameter);
  }
  component->elements.Add(parameters);
  return component;
}

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

void BM_Equal_Mintu(benchmark::State& state) {
  const boost::shared_ptr<XmlNestedElement> component =
      BuildComponent(static_cast<int>(state.range(0)));
  const XmlNestedElement copy(*component);
  for (auto _ : state) {
    benchmark::DoNotOptimize(static_cast<const Mintu::XmlElement&>(*component) == copy);
  }
}

void BM_SortPorts_Mintu(benchmark::State& state) {
  const boost::shared_ptr<XmlNestedElement> component =
      BuildComponent(static_cast<int>(state.range(0)));
  const Mintu::XmlElementList& ports = boost::static_pointer_cast<XmlNestedElement>(
                                           component->elements.Get("spirit:model/spirit:ports"))
                                           ->elements;
  for (auto _ : state) {
    state.PauseTiming();
    Mintu::XmlElementList shuffled;
    shuffled.items = ports.items;  // handles only: the sort reorders them
    state.ResumeTiming();
    shuffled.sort();
    benchmark::DoNotOptimize(shuffled.items.front().get());
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

// A full binary tree of one tag, leaves numbered; the mirror holds every list
// in reverse order, which defeats any shortcut by position.
boost::shared_ptr<Mintu::XmlElement> Tree(int depth, int& next, bool mirrored) {
  if (depth == 0) {
    return Leaf("n", std::to_string(next++));
  }
  boost::shared_ptr<XmlNestedElement> nested = boost::make_shared<XmlNestedElement>("n");
  nested->elements.Add(Tree(depth - 1, next, mirrored));
  nested->elements.Add(Tree(depth - 1, next, mirrored));
  if (mirrored) {
    nested->elements.items.reverse();
  }
  return nested;
}

// A chain of one tag, each level a leaf beside the next level, `bottom` at the end.
Mintu::XmlElementList Chain(int depth, const char* bottom) {
  Mintu::XmlElementList top;
  Mintu::XmlElementList* list = &top;
  for (int i = 0; i < depth; ++i) {
    list->Add(Leaf("c", "x"));
    boost::shared_ptr<XmlNestedElement> next = boost::make_shared<XmlNestedElement>("c");
    list->Add(next);
    list = &next->elements;
  }
  list->Add(Leaf("c", bottom));
  return top;
}

// == and < of a tree and its mirror, and of two chains differing at the bottom.
template <bool LESS>
void BM_Mirrored(benchmark::State& state) {
  int next = 0;
  const boost::shared_ptr<Mintu::XmlElement> tree =
      Tree(static_cast<int>(state.range(0)), next, false);
  next = 0;
  const boost::shared_ptr<Mintu::XmlElement> mirror =
      Tree(static_cast<int>(state.range(0)), next, true);
  for (auto _ : state) {
    benchmark::DoNotOptimize(LESS ? *tree < *mirror : *tree == *mirror);
  }
}

template <bool LESS>
void BM_Chain(benchmark::State& state) {
  const Mintu::XmlElementList a = Chain(static_cast<int>(state.range(0)), "1");
  const Mintu::XmlElementList b = Chain(static_cast<int>(state.range(0)), "2");
  for (auto _ : state) {
    benchmark::DoNotOptimize(LESS ? a < b : a == b);
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
BENCHMARK_TEMPLATE(BM_Mirrored, false)->DenseRange(8, 20, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Mirrored, true)->DenseRange(8, 20, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Chain, false)->MINTU_XML_SIZES;
BENCHMARK_TEMPLATE(BM_Chain, true)->MINTU_XML_SIZES;
BENCHMARK(BM_Equal_Mintu)->MINTU_XML_SIZES;
BENCHMARK(BM_SortPorts_Mintu)->MINTU_XML_SIZES;

}  // namespace

int main(int argc, char** argv) { return MintuBench::Run(argc, argv); }
