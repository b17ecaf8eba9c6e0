// The common main of the benchmark programs.

#include "BenchMain.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <vector>

namespace {

// Keeps the console output and remembers the median throughput of each run.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  explicit MedianReporter(MintuBench::Medians* medians) : medians_(medians) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const auto it = run.counters.find("bytes_per_second");
      if (medians_ != nullptr && run.aggregate_name == "median" && it != run.counters.end()) {
        (*medians_)[run.run_name.function_name] = it->second.value;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

 private:
  MintuBench::Medians* medians_;
};

}  // namespace

namespace MintuBench {

int Run(int argc, char** argv, int repetitions, Medians* medians) {
  // Freed memory stays in the process, so that a run does not pay for the
  // page faults of the memory the last one gave back. glibc refuses an mmap
  // threshold above 32 MiB, so blocks are kept off mmap altogether.
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  std::string repeat = "--benchmark_repetitions=" + std::to_string(repetitions);
  std::string aggregates = "--benchmark_report_aggregates_only=true";
  std::vector<char*> args = {argv[0]};
  if (repetitions > 1) args.insert(args.end(), {&repeat[0], &aggregates[0]});
  args.insert(args.end(), argv + 1, argv + argc);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
  MedianReporter reporter(medians);
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace MintuBench
