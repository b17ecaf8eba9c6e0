// mintu component: a SPIRIT 1.4 component description written with the XML
// model. The model writes texts as given, so this command checks and escapes
// what the user passes before it goes into the tree, and puts the elements in
// the order the SPIRIT 1.4 schema requires.

#include <fstream>
#include <iostream>
#include <set>

#include "MintuCli.h"
#include "mintu/mintu.h"

namespace MintuCli {

namespace {

using Mintu::Spirit;
using Mintu::StringBase;

struct PortSpec {
  std::string name;
  std::string direction;
  bool vector = false;
  std::string left;
  std::string right;
};

struct ParameterSpec {
  std::string name;
  std::string value;
  std::string format;
  std::string resolve;
};

class InvalidValue : public std::runtime_error {
 public:
  explicit InvalidValue(const std::string& what) : std::runtime_error(what) {}
};

// Element and attribute texts are written as they stand: escape the five
// characters XML gives a meaning to.
std::string Escaped(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out += c;
    }
  }
  return out;
}

bool IsNameChar(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
         c == '-' || c == '_' || c == ':' || u >= 0x80;
}

bool IsNameStart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' ||
         static_cast<unsigned char>(c) >= 0x80;
}

// xs:NMTOKEN: one or more name characters.
void CheckToken(const std::string& what, const std::string& text) {
  if (text.empty()) throw InvalidValue(what + " is empty");
  for (char c : text) {
    if (!IsNameChar(c)) throw InvalidValue(what + " '" + text + "' has a character not allowed there");
  }
}

// xs:Name: an NMTOKEN that does not start with a digit, '.' or '-'.
void CheckName(const std::string& what, const std::string& text) {
  CheckToken(what, text);
  if (!IsNameStart(text[0])) throw InvalidValue(what + " '" + text + "' must start with a letter");
}

void CheckNonNegative(const std::string& what, const std::string& text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
    throw InvalidValue(what + " '" + text + "' is not a non-negative integer");
  }
}

void CheckOneOf(const std::string& what, const std::string& text,
                const std::vector<StringBase>& allowed) {
  for (const StringBase& a : allowed) {
    if (a == text) return;
  }
  std::string list;
  for (const StringBase& a : allowed) list += (list.empty() ? "" : ", ") + a.str();
  throw InvalidValue(what + " '" + text + "' is not one of " + list);
}

// NAME:DIRECTION or NAME:DIRECTION:LEFT:RIGHT
PortSpec ParsePort(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(':', from)) != std::string::npos; from = at + 1) {
    parts.push_back(text.substr(from, at - from));
  }
  parts.push_back(text.substr(from));
  if (parts.size() != 2 && parts.size() != 4) {
    throw UsageError("--port takes NAME:DIRECTION or NAME:DIRECTION:LEFT:RIGHT, not " + text);
  }
  PortSpec port;
  port.name = parts[0];
  port.direction = parts[1];
  if (parts.size() == 4) {
    port.vector = true;
    port.left = parts[2];
    port.right = parts[3];
  }
  return port;
}

// NAME[:FORMAT[:RESOLVE]]=VALUE
ParameterSpec ParseParameter(const std::string& text) {
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos) throw UsageError("--param takes NAME[:FORMAT[:RESOLVE]]=VALUE");
  ParameterSpec parameter;
  parameter.value = text.substr(equals + 1);
  const std::string head = text.substr(0, equals);
  const std::size_t colon = head.find(':');
  parameter.name = head.substr(0, colon);
  if (colon != std::string::npos) {
    const std::string rest = head.substr(colon + 1);
    const std::size_t colon2 = rest.find(':');
    parameter.format = rest.substr(0, colon2);
    if (colon2 != std::string::npos) parameter.resolve = rest.substr(colon2 + 1);
  }
  return parameter;
}

Mintu::XmlNestedElement BuildComponent(const std::string& vendor, const std::string& library,
                                       const std::string& name, const std::string& version,
                                       const std::string& description,
                                       const std::vector<PortSpec>& ports,
                                       const std::vector<ParameterSpec>& parameters) {
  using Mintu::XmlAttribute;
  using Mintu::XmlElement;
  using Mintu::XmlLeafElement;
  using Mintu::XmlNestedElement;
  const StringBase slash = XmlElement::TAG_SEPARATOR;

  XmlNestedElement component(Spirit::COMPONENT);
  component.attributes.Add(boost::shared_ptr<XmlAttribute>(
      new XmlAttribute("xmlns:spirit", Spirit::SPIRIT_NAMESPACE)));
  component.attributes.Add(boost::shared_ptr<XmlAttribute>(
      new XmlAttribute("xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance")));
  component.attributes.Add(boost::shared_ptr<XmlAttribute>(new XmlAttribute(
      "xsi:schemaLocation", Spirit::SPIRIT_NAMESPACE + " " + Spirit::SPIRIT_INDEX_SCHEMA)));

  // VLNV first, in this order.
  component.elements.AddLeafElement(Spirit::VENDOR, Escaped(vendor));
  component.elements.AddLeafElement(Spirit::LIBRARY, Escaped(library));
  component.elements.AddLeafElement(Spirit::NAME, Escaped(name));
  component.elements.AddLeafElement(Spirit::VERSION, Escaped(version));

  // Then the model with its ports: each port is its own element, since
  // path-adding would reuse the first port of the same tag.
  if (!ports.empty()) {
    boost::shared_ptr<XmlNestedElement> portList(new XmlNestedElement(Spirit::PORTS));
    for (const PortSpec& p : ports) {
      boost::shared_ptr<XmlNestedElement> port(new XmlNestedElement(Spirit::PORT));
      port->elements.AddLeafElement(Spirit::NAME, Escaped(p.name));
      port->elements.AddLeafElement(Spirit::WIRE + slash + Spirit::DIRECTION, p.direction);
      if (p.vector) {
        const StringBase vector = Spirit::WIRE + slash + Spirit::VECTOR + slash;
        port->elements.AddLeafElement(vector + Spirit::VECTOR_LEFT, p.left);
        port->elements.AddLeafElement(vector + Spirit::VECTOR_RIGHT, p.right);
      }
      portList->elements.Add(port);
    }
    boost::shared_ptr<XmlNestedElement> model(new XmlNestedElement(Spirit::MODEL));
    model->elements.Add(portList);
    component.elements.Add(model);
  }

  // Description, then parameters, after the model.
  if (!description.empty()) component.elements.AddLeafElement(Spirit::DESCRIPTION, Escaped(description));
  if (!parameters.empty()) {
    boost::shared_ptr<XmlNestedElement> list(new XmlNestedElement(Spirit::PARAMETERS));
    for (const ParameterSpec& p : parameters) {
      boost::shared_ptr<XmlNestedElement> parameter(new XmlNestedElement(Spirit::PARAMETER));
      parameter->elements.AddLeafElement(Spirit::NAME, Escaped(p.name));
      boost::shared_ptr<XmlLeafElement> value(new XmlLeafElement(Spirit::VALUE, Escaped(p.value)));
      if (!p.resolve.empty()) {
        value->attributes.Add(boost::shared_ptr<XmlAttribute>(new XmlAttribute(Spirit::RESOLVE, p.resolve)));
      }
      if (!p.format.empty()) {
        value->attributes.Add(boost::shared_ptr<XmlAttribute>(new XmlAttribute(Spirit::FORMAT, p.format)));
      }
      parameter->elements.Add(value);
      list->elements.Add(parameter);
    }
    component.elements.Add(list);
  }
  return component;
}

}  // namespace

int RunComponent(const std::vector<std::string>& args) {
  std::string vendor, library, name, version, description, output;
  std::vector<PortSpec> ports;
  std::vector<ParameterSpec> parameters;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& option = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw UsageError(option + " needs a value");
      return args[++i];
    };
    if (option == "--vendor") {
      vendor = value();
    } else if (option == "--library") {
      library = value();
    } else if (option == "--name") {
      name = value();
    } else if (option == "--version") {
      version = value();
    } else if (option == "--description") {
      description = value();
    } else if (option == "--port") {
      ports.push_back(ParsePort(value()));
    } else if (option == "--param") {
      parameters.push_back(ParseParameter(value()));
    } else if (option == "-o" || option == "--output") {
      output = value();
    } else {
      throw UsageError("unknown argument " + option);
    }
  }
  if (vendor.empty() || library.empty() || name.empty() || version.empty()) {
    throw UsageError("--vendor, --library, --name and --version are required");
  }

  try {
    CheckName("vendor", vendor);
    CheckName("library", library);
    CheckToken("name", name);
    CheckToken("version", version);
    std::set<std::string> portNames;
    for (const PortSpec& p : ports) {
      CheckToken("port name", p.name);
      if (!portNames.insert(p.name).second) throw InvalidValue("port '" + p.name + "' given twice");
      CheckOneOf("direction of port " + p.name, p.direction,
                 {Spirit::DIRECTION_IN, Spirit::DIRECTION_OUT, Spirit::DIRECTION_INOUT,
                  Spirit::DIRECTION_PHANTOM});
      if (p.vector) {
        CheckNonNegative("left bound of port " + p.name, p.left);
        CheckNonNegative("right bound of port " + p.name, p.right);
      }
    }
    for (const ParameterSpec& p : parameters) {
      if (p.name.empty()) throw InvalidValue("a parameter has no name");
      if (!p.format.empty()) {
        CheckOneOf("format of parameter " + p.name, p.format,
                   {Spirit::FORMAT_BITSTRING, Spirit::FORMAT_BOOL, Spirit::FORMAT_FLOAT,
                    Spirit::FORMAT_LONG, Spirit::FORMAT_STRING});
      }
      if (!p.resolve.empty()) {
        CheckOneOf("resolve of parameter " + p.name, p.resolve,
                   {Spirit::RESOLVE_IMMEDIATE, Spirit::RESOLVE_USER, Spirit::RESOLVE_DEPENDENT,
                    Spirit::RESOLVE_GENERATED});
      }
    }
  } catch (const InvalidValue& e) {
    ReportError(std::string("mintu component: ") + e.what());
    return EXIT_REPORTED_FAILURE;
  }

  const Mintu::XmlNestedElement component =
      BuildComponent(vendor, library, name, version, description, ports, parameters);
  const std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + component.ToXml("").str();
  if (output.empty()) {
    std::cout << text;
    return EXIT_OK;
  }
  std::ofstream out(output, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) {
    ReportError("cannot write " + output);
    return EXIT_REPORTED_FAILURE;
  }
  ReportStatus("wrote " + output);
  return EXIT_OK;
}

}  // namespace MintuCli
