// mintu version: core versions in both notations.

#include <algorithm>

#include "MintuCli.h"
#include "mintu/mintu.h"

namespace MintuCli {

namespace {

// The lines of the standard input, without line ends and blank lines.
std::vector<std::string> InputLines() {
  const std::string text = ReadInputOrFail("-");
  std::vector<std::string> lines;
  std::size_t from = 0;
  while (from < text.size()) {
    std::size_t end = text.find('\n', from);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(from, end - from);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
    from = end + 1;
  }
  return lines;
}

}  // namespace

int RunVersion(const Arguments& args) {
  if (args.operands.empty()) throw UsageError("a subcommand is needed");
  const std::string& what = args.operands[0];
  const std::vector<std::string> values(args.operands.begin() + 1, args.operands.end());

  if (what == "normalize" || what == "underscore") {
    if (values.empty()) throw UsageError("no version given");
    int status = EXIT_OK;
    for (const std::string& text : values) {
      Mintu::Version version(text);
      if (what == "underscore") {
        Print(version.VersionString().str() + '\n');
      } else if (version.IsValid()) {
        Print(version.GetText().str() + '\n');
      } else {
        MINTU_CLI_ERROR("not a core version: " + text);
        status = EXIT_REPORTED_FAILURE;
      }
    }
    return status;
  }
  if (what == "compare") {
    if (values.size() != 2) throw UsageError("compare takes two versions");
    const Mintu::Version a(values[0]);
    const Mintu::Version b(values[1]);
    Print(a == b ? "=\n" : (a < b ? "<\n" : ">\n"));
    return EXIT_OK;
  }
  if (what == "sort") {
    const bool fromInput = values.empty() || (values.size() == 1 && values[0] == "-");
    const std::vector<std::string> texts = fromInput ? InputLines() : values;
    std::vector<Mintu::Version> versions;
    versions.reserve(texts.size());
    for (const std::string& t : texts) versions.emplace_back(t);
    std::vector<std::size_t> order(texts.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&versions](std::size_t x, std::size_t y) {
      return versions[x] < versions[y];
    });
    std::string out;
    for (std::size_t i : order) out += texts[i] + '\n';
    Print(out);
    return EXIT_OK;
  }
  throw UsageError("unknown version subcommand " + what);
}

}  // namespace MintuCli
