// mintu format: reads an XML file and writes it again in the model's layout
// (two-space indent, one element per line), optionally with every element
// list sorted by the model's order.

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "MintuCli.h"
#include "mintu/mintu.h"
#include "port/Port_File.h"

namespace MintuCli {

namespace {

// Sorts the children of every nested element of the tree, level by level.
void SortAll(const boost::shared_ptr<Mintu::XmlElement>& root) {
  std::vector<Mintu::XmlNestedElement*> pending;
  if (auto* nested = dynamic_cast<Mintu::XmlNestedElement*>(root.get())) pending.push_back(nested);
  while (!pending.empty()) {
    Mintu::XmlNestedElement* element = pending.back();
    pending.pop_back();
    element->elements.sort();
    for (const auto& child : element->elements.items) {
      if (auto* nested = dynamic_cast<Mintu::XmlNestedElement*>(child.get())) {
        pending.push_back(nested);
      }
    }
  }
}

}  // namespace

boost::shared_ptr<Mintu::XmlElement> ReadXml(const std::string& file) {
  if (file == "-") {
    return Mintu::XmlReader::FromString(ReadInputOrFail(file), "standard input");
  }
  // Read in blocks as it is parsed; "cannot read" for a file not there.
  if (!Port::File::canread(file)) ReadInputOrFail(file);
  return Mintu::XmlReader::FromFile(file);
}

int RunFormat(const Arguments& args) {
  if (args.operands.size() != 1) {
    throw UsageError("format takes one file, or - for standard input");
  }
  boost::shared_ptr<Mintu::XmlElement> root;
  try {
    root = ReadXml(args.operands[0]);
  } catch (const Mintu::AppException& e) {
    throw Failure(e.what());
  }
  if (args.Has("sort")) SortAll(root);
  // Written as it is made: a large tree is never held as text too.
  std::fflush(stdout);
  std::cout << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  root->WriteXml(std::cout);
  std::cout.flush();
  return EXIT_OK;
}

}  // namespace MintuCli
