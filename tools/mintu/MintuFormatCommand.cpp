// mintu format: reads an XML file and writes it again in the model's layout
// (two-space indent, one element per line), optionally with every element
// list sorted by the model's order.

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

boost::shared_ptr<Mintu::XmlElement> ReadXml(const std::string& file) {
  const std::string text = ReadInputOrFail(file);
  return Mintu::XmlReader::FromString(text, file == "-" ? "standard input" : file);
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
  Print("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + root->ToXml("").str());
  return EXIT_OK;
}

}  // namespace MintuCli
