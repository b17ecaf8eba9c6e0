// Equality, order and sorting of the XML model on the synthetic component
// and a copy of it whose ports stand in another order, beside writing the
// same component as text, the yardstick of a walk over the tree: every
// comparison must stay within a small multiple of it and grow with the tree
// as it does. Also a tree against its mirror and two deep chains that differ
// at the bottom. The program ends with the table of medians, the ratios and
// whether they keep their bounds (status 1 when one does not).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <list>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "BenchMain.h"
#include "XmlBenchComponent.h"

namespace {

using Mintu::XmlElement;
using Mintu::XmlElementList;
using MintuBench::Leaf;
using MintuBench::XmlNestedElement;

const int SIZES[] = {1000, 10000, 100000};

XmlElementList& PortsOf(XmlNestedElement& component) {
  return boost::static_pointer_cast<XmlNestedElement>(
             component.elements.Get("spirit:model/spirit:ports"))
      ->elements;
}

// The component, and a deep copy of it whose ports are shuffled.
struct Components {
  boost::shared_ptr<XmlNestedElement> original;
  std::unique_ptr<XmlNestedElement> reordered;
  std::size_t elements = 0;

  explicit Components(int n)
      : original(MintuBench::BuildComponent(n)), reordered(new XmlNestedElement(*original)) {
    XmlElementList& ports = PortsOf(*reordered);
    std::vector<XmlElementList::Handle> order(ports.items.begin(), ports.items.end());
    std::shuffle(order.begin(), order.end(), std::mt19937(20240601));
    ports.items.clear();
    ports.items.assign(order.begin(), order.end());
    elements = 7u * static_cast<std::size_t>(n) + 3u * static_cast<std::size_t>(n / 4) + 8u;
  }
};

Components& ComponentsOf(int n) {
  static std::map<int, std::unique_ptr<Components> > made;
  std::unique_ptr<Components>& slot = made[n];
  if (!slot) slot.reset(new Components(n));
  return *slot;
}

// Throughput counted in elements of one component, so that the medians give
// the time per call and their ratios directly.
void Count(benchmark::State& state, const Components& c) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(c.elements));
}

void ToXml(benchmark::State& state, int n) {
  const Components& c = ComponentsOf(n);
  for (auto _ : state) {
    const Mintu::StringBase text = c.original->ToXml("");
    benchmark::DoNotOptimize(text.GetBuffer());
  }
  Count(state, c);
}

void Equal(benchmark::State& state, int n) {
  const Components& c = ComponentsOf(n);
  for (auto _ : state) {
    const bool equal = static_cast<const XmlElement&>(*c.original) == *c.reordered;
    if (!equal) state.SkipWithError("the reordered copy is not equal");
    benchmark::DoNotOptimize(equal);
  }
  Count(state, c);
}

void Less(benchmark::State& state, int n) {
  const Components& c = ComponentsOf(n);
  for (auto _ : state) {
    benchmark::DoNotOptimize(static_cast<const XmlElement&>(*c.original) < *c.reordered);
  }
  Count(state, c);
}

// Sorts the reordered copy's ports in place; their order is put back
// between runs, untimed, by moving the same list nodes.
void Sort(benchmark::State& state, int n) {
  Components& c = ComponentsOf(n);
  XmlElementList& ports = PortsOf(*c.reordered);
  std::vector<std::list<XmlElementList::Handle>::iterator> shuffled;
  for (auto it = ports.items.begin(); it != ports.items.end(); ++it) shuffled.push_back(it);
  for (auto _ : state) {
    ports.sort();
    benchmark::DoNotOptimize(ports.items.front().get());
    state.PauseTiming();
    for (auto it : shuffled) ports.items.splice(ports.items.end(), ports.items, it);
    state.ResumeTiming();
  }
  Count(state, c);
}

// A full binary tree of one tag, leaves numbered; the mirror holds every list
// in reverse order, which defeats any shortcut by position.
boost::shared_ptr<XmlElement> Tree(int depth, int& next, bool mirrored) {
  if (depth == 0) return Leaf("n", std::to_string(next++));
  boost::shared_ptr<XmlNestedElement> nested = boost::make_shared<XmlNestedElement>("n");
  nested->elements.Add(Tree(depth - 1, next, mirrored));
  nested->elements.Add(Tree(depth - 1, next, mirrored));
  if (mirrored) nested->elements.items.reverse();
  return nested;
}

// A chain of one tag, each level a leaf beside the next level, `bottom` at the end.
XmlElementList Chain(int depth, const char* bottom) {
  XmlElementList top;
  XmlElementList* list = &top;
  for (int i = 0; i < depth; ++i) {
    list->Add(Leaf("c", "x"));
    boost::shared_ptr<XmlNestedElement> next = boost::make_shared<XmlNestedElement>("c");
    list->Add(next);
    list = &next->elements;
  }
  list->Add(Leaf("c", bottom));
  return top;
}

template <bool LESS>
void BM_Mirrored(benchmark::State& state) {
  int next = 0;
  const auto tree = Tree(static_cast<int>(state.range(0)), next, false);
  next = 0;
  const auto mirror = Tree(static_cast<int>(state.range(0)), next, true);
  for (auto _ : state) benchmark::DoNotOptimize(LESS ? *tree < *mirror : *tree == *mirror);
}

template <bool LESS>
void BM_Chain(benchmark::State& state) {
  const XmlElementList a = Chain(static_cast<int>(state.range(0)), "1");
  const XmlElementList b = Chain(static_cast<int>(state.range(0)), "2");
  for (auto _ : state) benchmark::DoNotOptimize(LESS ? a < b : a == b);
}

BENCHMARK_TEMPLATE(BM_Mirrored, false)->DenseRange(8, 20, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Mirrored, true)->DenseRange(8, 20, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Chain, false)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_Chain, true)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

const char* const OPERATIONS[] = {"ToXml", "==", "<", "sort"};
void (*const BODIES[])(benchmark::State&, int) = {ToXml, Equal, Less, Sort};

std::string NameOf(int operation, int n) {
  return std::string(OPERATIONS[operation]) + "/" + std::to_string(n);
}

}  // namespace

int main(int argc, char** argv) {
  for (int n : SIZES) {
    for (int op = 0; op < 4; ++op) {
      benchmark::RegisterBenchmark(NameOf(op, n).c_str(), BODIES[op], n)
          ->Unit(benchmark::kMillisecond);
    }
  }
  MintuBench::Medians medians;
  const int status = MintuBench::Run(argc, argv, 5, &medians);
  // Median milliseconds per call, from the median throughput in elements.
  const auto ms = [&medians](int op, int n) {
    const auto found = medians.find(NameOf(op, n));
    if (found == medians.end() || found->second <= 0) return -1.0;
    return 1e3 * static_cast<double>(ComponentsOf(n).elements) / found->second;
  };
  std::printf("\nMedian ms per call on the component and its reordered copy:\n");
  std::printf("%8s %10s %10s %10s %10s\n", "ports", "ToXml", "==", "<", "sort()");
  for (int n : SIZES) {
    std::printf("%8d %10.2f %10.2f %10.2f %10.2f\n", n, ms(0, n), ms(1, n), ms(2, n), ms(3, n));
  }
  const double limits[] = {0, 4, 4, 6};
  bool kept = true;
  bool measured = true;
  for (int op = 1; op < 4; ++op) {
    const double yardstick = ms(0, 100000);
    const double at100k = ms(op, 100000);
    const double at10k = ms(op, 10000);
    if (yardstick <= 0 || at100k <= 0 || at10k <= 0) {
      measured = false;
      continue;
    }
    const double ratio = at100k / yardstick;
    const double growth = at100k / at10k;
    const bool ok = ratio <= limits[op] && growth <= 13;
    kept = kept && ok;
    std::printf(
        "%-6s at 100,000 ports: %.2fx ToXml (bound %.0fx), 10,000 -> 100,000: %.2fx "
        "(bound 13x) %s\n",
        OPERATIONS[op], ratio, limits[op], growth, ok ? "ok" : "EXCEEDED");
  }
  if (!measured) {
    std::printf("(bounds not checked: not every size of every operation ran)\n");
  }
  return status != 0 ? status : (kept ? 0 : 1);
}
