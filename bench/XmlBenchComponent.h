#ifndef MINTU_BENCH_XMLBENCHCOMPONENT_H
#define MINTU_BENCH_XMLBENCHCOMPONENT_H
// The synthetic SPIRIT component of the XML benchmarks: n ports of six
// elements each (name, wire, direction, vector, left, right), n / 4
// parameters, and a few leaves at the top.

#include <string>

#include <boost/make_shared.hpp>

#include "mintu/Mintu_XmlElement.h"

namespace MintuBench {

using Mintu::StringBase;
using Mintu::XmlAttribute;
using Mintu::XmlLeafElement;
using Mintu::XmlNestedElement;

// Port names in a scrambled order, so that sorting has work to do.
inline std::string PortName(int i, int n) {
  return "port_" + std::to_string((static_cast<long long>(i) * 7919) % n);
}

inline boost::shared_ptr<XmlLeafElement> Leaf(const char* tag, const std::string& text) {
  return boost::make_shared<XmlLeafElement>(tag, StringBase(text));
}

inline boost::shared_ptr<XmlNestedElement> BuildComponent(int n) {
  boost::shared_ptr<XmlNestedElement> component =
      boost::make_shared<XmlNestedElement>("spirit:component");
  component->elements.Add(Leaf("spirit:vendor", "orvane.example"));
  component->elements.Add(Leaf("spirit:library", "ip"));
  component->elements.Add(Leaf("spirit:name", "synthetic"));
  component->elements.Add(Leaf("spirit:version", "1.0"));
  boost::shared_ptr<XmlNestedElement> model = boost::make_shared<XmlNestedElement>("spirit:model");
  boost::shared_ptr<XmlNestedElement> ports = boost::make_shared<XmlNestedElement>("spirit:ports");
  for (int i = 0; i < n; ++i) {
    boost::shared_ptr<XmlNestedElement> port = boost::make_shared<XmlNestedElement>("spirit:port");
    port->elements.Add(Leaf("spirit:name", PortName(i, n)));
    boost::shared_ptr<XmlNestedElement> wire = boost::make_shared<XmlNestedElement>("spirit:wire");
    wire->elements.Add(Leaf("spirit:direction", i % 2 ? "in" : "out"));
    boost::shared_ptr<XmlNestedElement> vector =
        boost::make_shared<XmlNestedElement>("spirit:vector");
    vector->elements.Add(Leaf("spirit:left", std::to_string(i % 64)));
    vector->elements.Add(Leaf("spirit:right", "0"));
    wire->elements.Add(vector);
    port->elements.Add(wire);
    ports->elements.Add(port);
  }
  model->elements.Add(ports);
  component->elements.Add(model);
  boost::shared_ptr<XmlNestedElement> parameters =
      boost::make_shared<XmlNestedElement>("spirit:parameters");
  for (int i = 0; i < n / 4; ++i) {
    boost::shared_ptr<XmlNestedElement> parameter =
        boost::make_shared<XmlNestedElement>("spirit:parameter");
    parameter->elements.Add(Leaf("spirit:name", "PARAM_" + std::to_string(i)));
    boost::shared_ptr<XmlLeafElement> value = Leaf("spirit:value", std::to_string(i));
    value->attributes.Add(boost::make_shared<XmlAttribute>("spirit:resolve", "user"));
    value->attributes.Add(boost::make_shared<XmlAttribute>("spirit:format", "long"));
    parameter->elements.Add(value);
    parameters->elements.Add(parameter);
  }
  component->elements.Add(parameters);
  return component;
}

}  // namespace MintuBench

#endif  // MINTU_BENCH_XMLBENCHCOMPONENT_H
