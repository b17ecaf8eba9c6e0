#ifndef MINTU_TOOLS_MINTUCOMPONENTARGS_H
#define MINTU_TOOLS_MINTUCOMPONENTARGS_H
// mintu component: its command line read into a checked request, apart from
// writing it, so that the parser can be exercised on its own.

#include <string>
#include <vector>

#include "MintuCli.h"

namespace MintuCli {

struct PortRequest {
  std::string name;
  std::string direction;
  bool vector = false;
  std::string left;
  std::string right;
};

struct ParameterRequest {
  std::string name;
  std::string value;
  std::string format;
  std::string resolve;
};

struct ComponentRequest {
  std::string vendor, library, name, version;
  std::string description;
  std::string descriptionFile;  // read by the command; "-" is the standard input
  std::string output;
  std::vector<PortRequest> ports;
  std::vector<ParameterRequest> parameters;
};

/// The options of `mintu component`, as the command table lists them.
const std::vector<OptionSpec>& ComponentOptions();
/// Reads and checks the request. Throws UsageError for a malformed line
/// (a required option missing, an option given twice) and Failure for a
/// value the description cannot hold, naming the option.
ComponentRequest ParseComponentRequest(const Arguments& args);
/// Throws Failure (naming `option`) unless `text` is UTF-8 made of
/// characters XML 1.0 allows.
void CheckXmlText(const std::string& option, const std::string& text);

}  // namespace MintuCli

#endif  // MINTU_TOOLS_MINTUCOMPONENTARGS_H
