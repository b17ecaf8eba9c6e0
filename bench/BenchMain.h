#ifndef MINTU_BENCH_BENCHMAIN_H
#define MINTU_BENCH_BENCHMAIN_H
// What every benchmark program's main does: keep freed memory in the process,
// so that every run allocates alike and no run pays for pages mapped again,
// then run what the command line selects.

#include <map>
#include <string>

namespace MintuBench {

/// Median bytes per second of each benchmark that reports bytes, by name.
using Medians = std::map<std::string, double>;

/// Runs the benchmarks. With `repetitions` above 1 each runs that many times
/// and only the aggregates are printed (later command-line arguments win);
/// `medians`, when given, receives the medians. Returns main's status.
int Run(int argc, char** argv, int repetitions = 1, Medians* medians = nullptr);

}  // namespace MintuBench

#endif  // MINTU_BENCH_BENCHMAIN_H
