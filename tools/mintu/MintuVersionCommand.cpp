// mintu version: core versions in both notations.

#include <algorithm>
#include <iostream>

#include "MintuCli.h"
#include "mintu/mintu.h"

namespace MintuCli {

int RunVersion(const std::vector<std::string>& args) {
  if (args.empty()) throw UsageError("a subcommand is needed");
  const std::string& what = args[0];
  const std::vector<std::string> values(args.begin() + 1, args.end());

  if (what == "normalize" || what == "underscore") {
    if (values.empty()) throw UsageError("no version given");
    int status = EXIT_OK;
    for (const std::string& text : values) {
      Mintu::Version version(text);
      const bool parsed = version.IsValid();
      if (what == "underscore") {
        std::cout << version.VersionString() << '\n';
      } else if (parsed) {
        std::cout << version.GetText() << '\n';
      } else {
        ReportError("not a core version: " + text);
        status = EXIT_REPORTED_FAILURE;
      }
    }
    return status;
  }
  if (what == "compare") {
    if (values.size() != 2) throw UsageError("compare takes two versions");
    const Mintu::Version a(values[0]);
    const Mintu::Version b(values[1]);
    std::cout << (a == b ? "=" : (a < b ? "<" : ">")) << '\n';
    return EXIT_OK;
  }
  if (what == "sort") {
    std::vector<std::string> texts = values;
    if (texts.empty()) {
      std::string line;
      while (std::getline(std::cin, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) texts.push_back(line);
      }
    }
    std::vector<Mintu::Version> versions;
    versions.reserve(texts.size());
    for (const std::string& t : texts) versions.emplace_back(t);
    std::vector<std::size_t> order(texts.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&versions](std::size_t x, std::size_t y) { return versions[x] < versions[y]; });
    for (std::size_t i : order) std::cout << texts[i] << '\n';
    return EXIT_OK;
  }
  throw UsageError("unknown version subcommand " + what);
}

}  // namespace MintuCli
