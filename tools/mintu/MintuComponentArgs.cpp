// mintu component: the command line read into a checked request. Everything
// that reaches the description is checked here, so that what is written is
// well-formed XML that the SPIRIT 1.4 schema accepts.

#include "MintuComponentArgs.h"

#include <set>

#include "mintu/mintu.h"

namespace MintuCli {

namespace {

using Mintu::Spirit;
using Mintu::StringBase;

// xs:NMTOKEN (one or more name characters), or with `name` set xs:Name (a
// token whose first character may start a name). A name token is what may
// follow a name's first character, so "_" in front makes it a name.
void CheckName(const std::string& option, const std::string& text, bool name) {
  CheckXmlText(option, text);
  if (text.empty()) throw Failure(option + ": the value is empty");
  if (!Mintu::XmlText::IsName(name ? text : "_" + text)) {
    throw Failure(option + ": '" + text + "' is not an XML " + (name ? "name" : "name token"));
  }
}

void CheckNonNegative(const std::string& what, const std::string& text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
    throw Failure(what + " '" + text + "' is not a non-negative integer");
}

void CheckOneOf(const std::string& what, const std::string& text,
                const std::vector<StringBase>& allowed) {
  std::string list;
  for (const StringBase& a : allowed) {
    if (a == text) return;
    list += (list.empty() ? "" : ", ") + a.str();
  }
  throw Failure(what + " '" + text + "' is not one of " + list);
}

std::vector<std::string> SplitAt(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(separator, from)) != std::string::npos; from = at + 1)
    parts.push_back(text.substr(from, at - from));
  parts.push_back(text.substr(from));
  return parts;
}

// NAME:DIRECTION or NAME:DIRECTION:LEFT:RIGHT
PortRequest ParsePort(const std::string& text) {
  CheckXmlText("--port", text);
  const std::vector<std::string> parts = SplitAt(text, ':');
  if (parts.size() != 2 && parts.size() != 4)
    throw Failure("--port: '" + text + "' is not NAME:DIRECTION or NAME:DIRECTION:LEFT:RIGHT");
  PortRequest port;
  port.name = parts[0];
  port.direction = parts[1];
  CheckName("--port", port.name, false);
  CheckOneOf("--port: direction of port " + port.name, port.direction,
             {Spirit::DIRECTION_IN, Spirit::DIRECTION_OUT, Spirit::DIRECTION_INOUT,
              Spirit::DIRECTION_PHANTOM});
  if (parts.size() == 4) {
    port.vector = true;
    port.left = parts[2];
    port.right = parts[3];
    CheckNonNegative("--port: left bound of port " + port.name, port.left);
    CheckNonNegative("--port: right bound of port " + port.name, port.right);
  }
  return port;
}

// NAME[:FORMAT[:RESOLVE]]=VALUE
ParameterRequest ParseParameter(const std::string& text) {
  CheckXmlText("--param", text);
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos)
    throw Failure("--param: '" + text + "' is not NAME[:FORMAT[:RESOLVE]]=VALUE");
  const std::vector<std::string> head = SplitAt(text.substr(0, equals), ':');
  if (head.size() > 3)
    throw Failure("--param: '" + text + "' is not NAME[:FORMAT[:RESOLVE]]=VALUE");
  ParameterRequest parameter;
  parameter.name = head[0];
  parameter.value = text.substr(equals + 1);
  CheckName("--param", parameter.name, false);
  if (head.size() > 1) {
    parameter.format = head[1];
    CheckOneOf("--param: format of parameter " + parameter.name, parameter.format,
               {Spirit::FORMAT_BITSTRING, Spirit::FORMAT_BOOL, Spirit::FORMAT_FLOAT,
                Spirit::FORMAT_LONG, Spirit::FORMAT_STRING});
  }
  if (head.size() > 2) {
    parameter.resolve = head[2];
    CheckOneOf("--param: resolve of parameter " + parameter.name, parameter.resolve,
               {Spirit::RESOLVE_IMMEDIATE, Spirit::RESOLVE_USER, Spirit::RESOLVE_DEPENDENT,
                Spirit::RESOLVE_GENERATED});
  }
  return parameter;
}

}  // namespace

void CheckXmlText(const std::string& option, const std::string& text) {
  if (!Mintu::XmlText::IsText(text)) {
    throw Failure(option + ": the value is not UTF-8 made of characters XML allows");
  }
}

const std::vector<OptionSpec>& ComponentOptions() {
  static const std::vector<OptionSpec> options = {
      {"vendor", 0, true},  {"library", 0, true},     {"name", 0, true},
      {"version", 0, true}, {"description", 0, true}, {"description-file", 0, true},
      {"port", 0, true},    {"param", 0, true},       {"output", 'o', true}};
  return options;
}

ComponentRequest ParseComponentRequest(const Arguments& args) {
  if (!args.operands.empty()) throw UsageError("unexpected argument " + args.operands[0]);
  ComponentRequest request;
  request.vendor = args.Single("vendor");
  request.library = args.Single("library");
  request.name = args.Single("name");
  request.version = args.Single("version");
  request.description = args.Single("description");
  request.descriptionFile = args.Single("description-file");
  request.output = args.Single("output");
  if (!args.Has("vendor") || !args.Has("library") || !args.Has("name") || !args.Has("version"))
    throw UsageError("--vendor, --library, --name and --version are required");
  if (args.Has("description") && args.Has("description-file"))
    throw UsageError("--description and --description-file exclude each other");

  CheckName("--vendor", request.vendor, true);
  CheckName("--library", request.library, true);
  CheckName("--name", request.name, false);
  CheckName("--version", request.version, false);
  CheckXmlText("--description", request.description);
  std::set<std::string> portNames, parameterNames;
  for (const Arguments::Option& option : args.options) {
    if (option.name == "port") {
      request.ports.push_back(ParsePort(option.value));
      if (!portNames.insert(request.ports.back().name).second)
        throw Failure("--port: port '" + request.ports.back().name + "' is given twice");
    } else if (option.name == "param") {
      request.parameters.push_back(ParseParameter(option.value));
      if (!parameterNames.insert(request.parameters.back().name).second)
        throw Failure("--param: parameter '" + request.parameters.back().name + "' is given twice");
    }
  }
  return request;
}

}  // namespace MintuCli
