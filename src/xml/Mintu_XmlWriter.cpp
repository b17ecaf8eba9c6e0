// The XML model's text form: one element per line, children indented by two
// spaces more than their parent, attributes on the start line, the short
// form "/>" for empty elements, nothing escaped.
#include "port/Port_Init.h"

#include "Mintu_XmlWriter.h"

#include <vector>

namespace Mintu {
namespace Detail {

namespace {

typedef XmlAccess A;

void Append(std::string& out, const StringBase& text) { out.append(text.str()); }

// "<tag attributes" at the current indent.
void StartTag(std::string& out, const XmlElement& element, const std::string& indent) {
  out.append(indent);
  out.push_back('<');
  Append(out, A::Tag(element));
  WriteAttributes(out, element.attributes);
}

void EndTag(std::string& out, const XmlElement& element, const std::string& indent) {
  out.append(indent);
  out.append("</", 2);
  Append(out, A::Tag(element));
  out.append(">\n", 2);
}

struct Level {
  const XmlNestedElement* owner;  // written as its end tag when the walk leaves it
  XmlElementList::const_iterator next;
  XmlElementList::const_iterator end;
};

// Writes the members of `list` at `indent` and, when `owner` is set, the end
// tag of `owner` one level up afterwards. The walk keeps its own stack.
void WriteTree(std::string& out, const XmlNestedElement* owner, const XmlElementList& list,
               const std::string& indent) {
  std::string currentIndent(indent);
  std::vector<Level> levels;
  levels.push_back(Level{owner, list.items.begin(), list.items.end()});
  while (!levels.empty()) {
    Level& level = levels.back();
    if (level.next == level.end) {
      const XmlNestedElement* done = level.owner;
      levels.pop_back();
      if (done != nullptr) {
        currentIndent.resize(currentIndent.size() - 2);
        EndTag(out, *done, currentIndent);
      }
      continue;
    }
    // Held for the step, so that a member's own ToXml cannot free it.
    const XmlElementList::Handle handle = *level.next;
    ++level.next;
    const XmlElement& element = *handle;
    if (IsPlainLeaf(element)) {
      WriteLeaf(out, static_cast<const XmlLeafElement&>(element), currentIndent);
    } else if (IsPlainNested(element)) {
      const XmlNestedElement& nested = static_cast<const XmlNestedElement&>(element);
      StartTag(out, nested, currentIndent);
      if (nested.elements.items.empty()) {
        out.append("/>\n", 3);
      } else {
        out.append(">\n", 2);
        currentIndent.append("  ", 2);
        levels.push_back(
            Level{&nested, nested.elements.items.begin(), nested.elements.items.end()});
      }
    } else {
      Append(out, element.ToXml(StringBase(currentIndent)));
    }
  }
}

}  // namespace

void WriteAttributes(std::string& out, const XmlAttributeList& attributes) {
  for (const XmlAttributeList::Handle& attribute : attributes.items) {
    out.push_back(' ');
    Append(out, A::Tag(*attribute));
    out.append("=\"", 2);
    Append(out, A::Text(*attribute));
    out.push_back('"');
  }
}

void WriteElementList(std::string& out, const XmlElementList& list, const std::string& indent) {
  WriteTree(out, nullptr, list, indent);
}

void WriteNested(std::string& out, const XmlNestedElement& element, const std::string& indent) {
  StartTag(out, element, indent);
  if (element.elements.items.empty()) {
    out.append("/>\n", 3);
    return;
  }
  out.append(">\n", 2);
  WriteTree(out, &element, element.elements, indent + "  ");
}

void WriteLeaf(std::string& out, const XmlLeafElement& element, const std::string& indent) {
  StartTag(out, element, indent);
  const StringBase& text = A::Text(element);
  if (text.IsEmpty()) {
    out.append("/>\n", 3);
    return;
  }
  out.push_back('>');
  Append(out, text);
  out.append("</", 2);
  Append(out, A::Tag(element));
  out.append(">\n", 2);
}

}  // namespace Detail
}  // namespace Mintu
