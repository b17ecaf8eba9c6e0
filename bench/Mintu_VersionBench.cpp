// Version parsing with the patterns compiled once (the library) beside the
// same parse with every pattern compiled on each call, for Mintaro text, PSF
// text and text in neither notation.

#include <benchmark/benchmark.h>
#include "BenchMain.h"

#include <cstdint>
#include <vector>

#include "mintu/Mintu_Version.h"
#include "port/Port_Regexp.h"

namespace {

using Mintu::StringBase;

// The parse of the library, step for step, but building each Port_Regexp
// when it is needed, as a parser without cached patterns does.
struct PerCallVersion {
  bool valid = false;
  StringBase text;
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  StringBase letter;

  bool Psf(const StringBase& input) {
    if (Port_Regexp("^[vV]?[0-9]+[_.][0-9][0-9][_.][a-zA-Z]$").GetRangeOfMatch(input).IsEmpty())
      return false;
    const Port_Range r = Port_Regexp("[0-9]+[_.][0-9][0-9][_.][a-zA-Z]$").GetRangeOfMatch(input);
    if (r.IsEmpty() || r.last < r.first + 5) return false;
    if (!input.GetUINT32(Port_Range(r.first, r.last - 5), major)) return false;
    if (!input.GetUINT32(Port_Range(r.last - 3, r.last - 2), minor)) return false;
    letter = input.Extract(Port_Range(r.last, r.last));
    letter.MakeLower();
    text.Format("%u.%02u.%s", major, minor, letter.c_str());
    return true;
  }

  bool Mintaro(const StringBase& input) {
    if (Port_Regexp("^[vV]?[0-9]+[_.][0-9]+$").GetRangeOfMatch(input).IsEmpty()) return false;
    const Port_Range f = Port_Regexp("[0-9]+[_.][0-9]+$").GetRangeOfMatch(input);
    const Port_Range s = Port_Regexp("[_.][0-9]+$").GetRangeOfMatch(input);
    if (f.IsEmpty() || s.IsEmpty() || s.first <= f.first) return false;
    if (!input.GetUINT32(Port_Range(f.first, s.first - 1), major)) return false;
    if (!input.GetUINT32(Port_Range(s.first + 1, s.last), minor)) return false;
    letter.Empty();
    text.Format("%u.%u", major, minor);
    return true;
  }

  bool Parse(const StringBase& input) {
    valid = false;
    text = input;
    major = minor = 0;
    letter.Empty();
    valid = Psf(input) || Mintaro(input);
    if (!valid) text = input;
    return valid;
  }
};

const std::vector<StringBase>& Inputs(int kind) {
  static const std::vector<StringBase> mintaro = {"3.1", "v3_1", "V12.04", "2_0", "v10.15"};
  static const std::vector<StringBase> psf = {"1.00.a", "v1_00_a", "V2.03.B", "4_10.c", "v11_02_z"};
  static const std::vector<StringBase> unparsed = {"abc", "1.2.3", "x3.1", "1.0.a",
                                                   "component_name"};
  return kind == 0 ? mintaro : kind == 1 ? psf : unparsed;
}

void BM_VersionParse(benchmark::State& state) {
  const std::vector<StringBase>& inputs = Inputs(static_cast<int>(state.range(0)));
  Mintu::Version version("");
  std::size_t i = 0;
  for (auto _ : state) {
    bool ok = version.Assign(inputs[i]);
    benchmark::DoNotOptimize(ok);
    if (++i == inputs.size()) i = 0;
  }
}

void BM_VersionParsePerCallPatterns(benchmark::State& state) {
  const std::vector<StringBase>& inputs = Inputs(static_cast<int>(state.range(0)));
  PerCallVersion version;
  std::size_t i = 0;
  for (auto _ : state) {
    bool ok = version.Parse(inputs[i]);
    benchmark::DoNotOptimize(ok);
    if (++i == inputs.size()) i = 0;
  }
}

void Kinds(benchmark::internal::Benchmark* b) {
  b->ArgName("kind");  // 0 Mintaro, 1 PSF, 2 unparsed
  for (int kind = 0; kind < 3; ++kind) b->Arg(kind);
}

BENCHMARK(BM_VersionParse)->Apply(Kinds);
BENCHMARK(BM_VersionParsePerCallPatterns)->Apply(Kinds);

}  // namespace

int main(int argc, char** argv) {
  // Compile the cached patterns before timing starts.
  Mintu::Version warm("1.00.a");
  benchmark::DoNotOptimize(warm);
  return MintuBench::Run(argc, argv);
}
