// mintu component: a SPIRIT 1.4 component description written with the XML
// model. The model writes texts as given, so the request is checked
// (MintuComponentArgs.cpp) and its texts escaped before they go into the
// tree, and the elements are added in the order the schema requires.

#include "MintuComponentArgs.h"
#include "mintu/mintu.h"

namespace MintuCli {

namespace {

using Mintu::Spirit;
using Mintu::StringBase;

// The model holds texts escaped, as it writes them.
std::string Escaped(const std::string& text) { return Mintu::XmlText::Escape(text).str(); }

boost::shared_ptr<Mintu::XmlAttribute> Attribute(const StringBase& name, const StringBase& value) {
  return boost::shared_ptr<Mintu::XmlAttribute>(new Mintu::XmlAttribute(name, value));
}

Mintu::XmlNestedElement BuildComponent(const ComponentRequest& request) {
  using Mintu::XmlLeafElement;
  using Mintu::XmlNestedElement;

  XmlNestedElement component(Spirit::COMPONENT);
  component.attributes.Add(Attribute("xmlns:spirit", Spirit::SPIRIT_NAMESPACE));
  component.attributes.Add(Attribute("xmlns:xsi", "http://www.w3.org/2001/XMLSchema-instance"));
  component.attributes.Add(Attribute("xsi:schemaLocation",
                                     Spirit::SPIRIT_NAMESPACE + " " + Spirit::SPIRIT_INDEX_SCHEMA));

  // VLNV first, in this order.
  component.elements.AddLeafElement(Spirit::VENDOR, Escaped(request.vendor));
  component.elements.AddLeafElement(Spirit::LIBRARY, Escaped(request.library));
  component.elements.AddLeafElement(Spirit::NAME, Escaped(request.name));
  component.elements.AddLeafElement(Spirit::VERSION, Escaped(request.version));

  // Then the model with its ports: each port is its own element, since
  // path-adding would reuse the first port of the same tag.
  if (!request.ports.empty()) {
    boost::shared_ptr<XmlNestedElement> portList(new XmlNestedElement(Spirit::PORTS));
    for (const PortRequest& p : request.ports) {
      boost::shared_ptr<XmlNestedElement> port(new XmlNestedElement(Spirit::PORT));
      port->elements.AddLeafElement(Spirit::NAME, Escaped(p.name));
      port->elements.AddLeafElement({Spirit::WIRE, Spirit::DIRECTION}, p.direction);
      if (p.vector) {
        port->elements.AddLeafElement({Spirit::WIRE, Spirit::VECTOR, Spirit::VECTOR_LEFT}, p.left);
        port->elements.AddLeafElement({Spirit::WIRE, Spirit::VECTOR, Spirit::VECTOR_RIGHT},
                                      p.right);
      }
      portList->elements.Add(port);
    }
    boost::shared_ptr<XmlNestedElement> model(new XmlNestedElement(Spirit::MODEL));
    model->elements.Add(portList);
    component.elements.Add(model);
  }

  // Description, then parameters, after the model.
  if (!request.description.empty())
    component.elements.AddLeafElement(Spirit::DESCRIPTION, Escaped(request.description));
  if (!request.parameters.empty()) {
    boost::shared_ptr<XmlNestedElement> list(new XmlNestedElement(Spirit::PARAMETERS));
    for (const ParameterRequest& p : request.parameters) {
      boost::shared_ptr<XmlNestedElement> parameter(new XmlNestedElement(Spirit::PARAMETER));
      parameter->elements.AddLeafElement(Spirit::NAME, Escaped(p.name));
      boost::shared_ptr<XmlLeafElement> value(new XmlLeafElement(Spirit::VALUE, Escaped(p.value)));
      if (!p.resolve.empty()) value->attributes.Add(Attribute(Spirit::RESOLVE, p.resolve));
      if (!p.format.empty()) value->attributes.Add(Attribute(Spirit::FORMAT, p.format));
      parameter->elements.Add(value);
      list->elements.Add(parameter);
    }
    component.elements.Add(list);
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
  const StringBase xml = BuildComponent(request).ToXml("");
  static const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  std::string text;
  text.reserve(sizeof kDeclaration - 1 + xml.GetLength());
  text.append(kDeclaration).append(xml.GetBuffer(), xml.GetLength());
  WriteOutput(request.output, text);
  if (!request.output.empty() && request.output != "-") MINTU_CLI_STATUS("wrote " + request.output);
  return EXIT_OK;
}

}  // namespace MintuCli
