// mintu format: reads an XML file and writes it again in the model's layout
// (two-space indent, one element per line), optionally with every element
// list sorted by the model's order.

#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "MintuCli.h"
#include "mintu/mintu.h"

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

int RunFormat(const std::vector<std::string>& args) {
  bool sort = false;
  std::vector<std::string> files;
  for (const std::string& a : args) {
    if (a == "--sort") {
      sort = true;
    } else if (a.size() > 1 && a[0] == '-') {
      throw UsageError("unknown argument " + a);
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != 1) throw UsageError("format takes one file, or - for standard input");

  boost::shared_ptr<Mintu::XmlElement> root;
  try {
    if (files[0] == "-") {
      const std::string text((std::istreambuf_iterator<char>(std::cin)),
                             std::istreambuf_iterator<char>());
      root = Mintu::XmlReader::FromString(text, "standard input");
    } else {
      root = Mintu::XmlReader::FromFile(files[0]);
    }
  } catch (const Mintu::AppException& e) {
    ReportError(std::string("mintu format: ") + e.what());
    return EXIT_REPORTED_FAILURE;
  }
  if (sort) SortAll(root);
  std::cout << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" << root->ToXml("").str();
  std::cout.flush();
  return std::cout ? EXIT_OK : EXIT_REPORTED_FAILURE;
}

}  // namespace MintuCli
