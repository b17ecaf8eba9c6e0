// mintu component: a SPIRIT 1.4 component description written with the XML
// model. The model writes texts as given, so the request is checked
// (MintuComponentArgs.cpp) and its texts escaped before they go into the
// tree, and the elements are added in the order the schema requires.

#include "MintuComponentArgs.h"
#include "mintu/mintu.h"

#include <boost/make_shared.hpp>

namespace MintuCli {

namespace {

using Mintu::Spirit;
using Mintu::StringBase;

// The model holds texts escaped, as it writes them.
std::string Escaped(const std::string& text) { return Mintu::XmlText::Escape(text).str(); }

boost::shared_ptr<Mintu::XmlAttribute> Attribute(const StringBase& name, const StringBase& value) {
  return boost::make_shared<Mintu::XmlAttribute>(name, value);
}

boost::shared_ptr<Mintu::XmlNestedElement> BuildComponent(const ComponentRequest& request) {
  const boost::shared_ptr<Mintu::XmlNestedElement> component =
      Mintu::XmlDocument::NewSpiritComponent();
  Mintu::XmlElementList& elements = component->elements;

  // VLNV first, in this order.
  elements.AddLeafElement(Spirit::VENDOR, Escaped(request.vendor));
  elements.AddLeafElement(Spirit::LIBRARY, Escaped(request.library));
  elements.AddLeafElement(Spirit::NAME, Escaped(request.name));
  elements.AddLeafElement(Spirit::VERSION, Escaped(request.version));

  // Then the model with its ports, each a new element of the same path.
  const StringBase portPath = Spirit::MODEL + Mintu::XmlElement::TAG_SEPARATOR + Spirit::PORTS +
                              Mintu::XmlElement::TAG_SEPARATOR + Spirit::PORT;
  for (const PortRequest& p : request.ports) {
    Mintu::XmlElementList& port = elements.AddNestedElement(portPath)->elements;
    port.AddLeafElement(Spirit::NAME, Escaped(p.name));
    port.AddLeafElement({Spirit::WIRE, Spirit::DIRECTION}, p.direction);
    if (p.vector) {
      port.AddLeafElement({Spirit::WIRE, Spirit::VECTOR, Spirit::VECTOR_LEFT}, p.left);
      port.AddLeafElement({Spirit::WIRE, Spirit::VECTOR, Spirit::VECTOR_RIGHT}, p.right);
    }
  }

  // Description, then parameters, after the model.
  if (!request.description.empty()) {
    elements.AddLeafElement(Spirit::DESCRIPTION, Escaped(request.description));
  }
  const StringBase parameterPath =
      Spirit::PARAMETERS + Mintu::XmlElement::TAG_SEPARATOR + Spirit::PARAMETER;
  for (const ParameterRequest& p : request.parameters) {
    Mintu::XmlElementList& parameter = elements.AddNestedElement(parameterPath)->elements;
    parameter.AddLeafElement(Spirit::NAME, Escaped(p.name));
    const boost::shared_ptr<Mintu::XmlLeafElement> value =
        boost::make_shared<Mintu::XmlLeafElement>(Spirit::VALUE, Escaped(p.value));
    if (!p.resolve.empty()) value->attributes.Add(Attribute(Spirit::RESOLVE, p.resolve));
    if (!p.format.empty()) value->attributes.Add(Attribute(Spirit::FORMAT, p.format));
    parameter.Add(value);
  }
  return component;
}

// A description read from a file loses the line ends at its end.
std::string DescriptionFrom(const std::string& file) {
  std::string text = ReadInputOrFail(file);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

}  // namespace

int RunComponent(const Arguments& args) {
  ComponentRequest request = ParseComponentRequest(args);
  if (args.Has("output") && request.output.empty()) throw UsageError("-o needs a file name");
  if (!request.descriptionFile.empty()) {
    request.description = DescriptionFrom(request.descriptionFile);
    CheckXmlText("--description-file", request.description);
  }
  // Written as XmlDocument::WriteFile writes, with the tool's own messages.
  WriteOutput(request.output, Mintu::XmlDocument::ToXml(*BuildComponent(request)).str());
  if (!request.output.empty() && request.output != "-") MINTU_CLI_STATUS("wrote " + request.output);
  return EXIT_OK;
}

}  // namespace MintuCli
