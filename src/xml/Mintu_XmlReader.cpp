// The XML reader: pugixml parses, this file adds the checks that pugixml
// leaves out (encoding, references, attributes, the single root) and builds
// the model's tree without recursion. pugixml runs without its escape and
// whitespace conversions, so every text reaches the model as it was written.
#include "port/Port_Init.h"

#include "mintu/Mintu_XmlReader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <boost/make_shared.hpp>
#include <pugixml.hpp>

#include "Mintu_XmlDetail.h"
#include "mintu/Mintu_AppException.h"
#include "mintu/Mintu_XmlAttribute.h"
#include "mintu/Mintu_XmlElement.h"
#include "port/Port_File.h"

namespace Mintu {

namespace {

// Raised inside the reader with a byte offset into the text that was handed
// to pugixml; turned into the AppException at the outer level, where the
// text is at hand to find line and column.
struct Refusal {
  std::size_t offset;
  std::string reason;
};

[[noreturn]] void Refuse(std::size_t offset, std::string reason) {
  throw Refusal{offset, std::move(reason)};
}

// Line and column (both from 1, columns in characters) of byte `offset`.
// "\r\n", "\r" and "\n" each end a line, so that positions found before the
// line ends are normalised agree with those found after.
std::pair<unsigned long, unsigned long> Locate(std::string_view text, std::size_t offset) {
  unsigned long line = 1;
  unsigned long column = 1;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\n' || (c == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
      ++line;
      column = 1;
    } else if (c != '\r' && (c & 0xC0) != 0x80) {
      ++column;
    }
  }
  return {line, column};
}

// Checks that `in` is UTF-8 made of characters XML allows, and copies it to
// `out` with every "\r\n" and lone "\r" turned into "\n", as XML reads line
// ends. Refusal offsets are into `in`.
void Normalise(std::string_view in, std::string& out) {
  out.clear();
  out.reserve(in.size());
  const unsigned char* const begin = reinterpret_cast<const unsigned char*>(in.data());
  const unsigned char* const end = begin + in.size();
  const unsigned char* p = begin;
  const unsigned char* copied = begin;  // bytes before this are in `out`
  auto at = [&](const unsigned char* q) { return static_cast<std::size_t>(q - begin); };
  while (p < end) {
    // Eight bytes at a time while all are printable ASCII: subtracting 0x20
    // from each sets its top bit only for bytes below 0x20, and or-ing in
    // the bytes themselves adds those above 0x7F.
    for (std::uint64_t word; end - p >= 8; p += 8) {
      std::memcpy(&word, p, 8);
      if (((word - 0x2020202020202020u) | word) & 0x8080808080808080u) {
        break;
      }
    }
    if (p == end) {
      break;
    }
    const unsigned char c = *p;
    if (c >= 0x20 && c < 0x80) {
      ++p;
      continue;
    }
    if (c < 0x20) {
      if (c == '\r') {
        out.append(reinterpret_cast<const char*>(copied), at(p) - at(copied));
        out.push_back('\n');
        p += (p + 1 < end && p[1] == '\n') ? 2 : 1;
        copied = p;
        continue;
      }
      if (c != '\n' && c != '\t') {
        Refuse(at(p), "Character not allowed in XML");
      }
      ++p;
      continue;
    }
    // A multi-byte sequence: the lead byte gives its length and the range
    // of the second byte (no overlong forms, no surrogates, nothing above
    // U+10FFFF).
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3;
      low = c == 0xE0 ? 0xA0 : 0x80;
      high = c == 0xED ? 0x9F : 0xBF;
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4;
      low = c == 0xF0 ? 0x90 : 0x80;
      high = c == 0xF4 ? 0x8F : 0xBF;
    }
    if (length == 0 || static_cast<std::size_t>(end - p) < length || p[1] < low || p[1] > high) {
      Refuse(at(p), "Invalid UTF-8");
    }
    for (std::size_t i = 2; i < length; ++i) {
      if ((p[i] & 0xC0) != 0x80) {
        Refuse(at(p), "Invalid UTF-8");
      }
    }
    // U+FFFE and U+FFFF are not characters.
    if (c == 0xEF && p[1] == 0xBF && p[2] >= 0xBE) {
      Refuse(at(p), "Character not allowed in XML");
    }
    p += length;
  }
  out.append(reinterpret_cast<const char*>(copied), at(end) - at(copied));
}

bool IsXmlChar(unsigned long code) {
  return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
         (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

class Builder {
 public:
  explicit Builder(const std::string& text) : text_(text) {}

  boost::shared_ptr<XmlElement> Build(const pugi::xml_document& document) {
    pugi::xml_node root;
    for (pugi::xml_node node = document.first_child(); node; node = node.next_sibling()) {
      switch (node.type()) {
        case pugi::node_element:
          if (root) {
            Refuse(ElementOffset(node), "More than one root element");
          }
          root = node;
          break;
        case pugi::node_doctype:
          // Entities declared there are never expanded, which also keeps
          // entity bombs out.
          Refuse(DoctypeOffset(node), "Document type declarations are not supported");
        case pugi::node_pcdata:
        case pugi::node_cdata:
          if (const char* p = FirstNonSpace(node.value())) {
            Refuse(OffsetOf(p), "Text outside the root element");
          }
          break;
        default:
          break;
      }
    }
    if (!root) {
      Refuse(text_.size() - 1, "No root element");
    }

    boost::shared_ptr<XmlElement> top = MakeElement(root);
    // Depth-first in document order: each frame is a nested element whose
    // children are being added, and the next child of it to look at.
    struct Frame {
      pugi::xml_node next;
      XmlNestedElement* target;
    };
    std::vector<Frame> stack;
    if (top->IsNested()) {
      stack.push_back({root.first_child(), static_cast<XmlNestedElement*>(top.get())});
    }
    while (!stack.empty()) {
      Frame& frame = stack.back();
      pugi::xml_node child = frame.next;
      while (child && child.type() != pugi::node_element) {
        child = child.next_sibling();
      }
      if (!child) {
        stack.pop_back();
        continue;
      }
      frame.next = child.next_sibling();
      XmlNestedElement* target = frame.target;
      if (stack.size() >= XmlReader::MAX_DEPTH) {
        Refuse(ElementOffset(child),
               "Elements nested deeper than " + std::to_string(XmlReader::MAX_DEPTH) + " levels");
      }
      boost::shared_ptr<XmlElement> element = MakeElement(child);
      target->elements.Add(element);
      if (element->IsNested()) {
        stack.push_back({child.first_child(), static_cast<XmlNestedElement*>(element.get())});
      }
    }
    return top;
  }

 private:
  std::size_t OffsetOf(const char* p) const {
    const char* begin = text_.data();
    return p >= begin && p <= begin + text_.size() ? static_cast<std::size_t>(p - begin) : 0;
  }
  // The "<" before the element's name.
  std::size_t ElementOffset(pugi::xml_node node) const {
    const std::size_t name = OffsetOf(node.name());
    return name > 0 ? name - 1 : 0;
  }
  std::size_t DoctypeOffset(pugi::xml_node node) const {
    const std::size_t value = OffsetOf(node.value());
    const std::size_t open = text_.rfind("<!", value);
    return open == std::string::npos ? value : open;
  }
  static const char* FirstNonSpace(const char* text) {
    for (; *text != '\0'; ++text) {
      if (*text != ' ' && *text != '\t' && *text != '\n') {
        return text;
      }
    }
    return nullptr;
  }

  // A leaf for an element without element children, a nested element (its
  // children still to come) otherwise; attributes added.
  boost::shared_ptr<XmlElement> MakeElement(pugi::xml_node node) {
    bool nested = false;
    const char* text = nullptr;  // the first non-blank text among the children
    std::size_t pieces = 0;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
      const pugi::xml_node_type type = child.type();
      if (type == pugi::node_element) {
        nested = true;
      } else if (type == pugi::node_pcdata || type == pugi::node_cdata) {
        ++pieces;
        if (text == nullptr) {
          text = FirstNonSpace(child.value());
        }
      }
    }
    if (nested && text != nullptr) {
      Refuse(OffsetOf(text), "Mixed content: text beside child elements");
    }
    boost::shared_ptr<XmlElement> element;
    try {
      if (nested) {
        element = boost::make_shared<XmlNestedElement>(StringBase(node.name()));
      } else {
        element =
            boost::make_shared<XmlLeafElement>(StringBase(node.name()), LeafText(node, pieces));
      }
    } catch (const AppException& e) {
      RefuseModel(ElementOffset(node), e);
    }
    AddAttributes(node, *element);
    return element;
  }

  StringBase LeafText(pugi::xml_node node, std::size_t pieces) {
    if (pieces == 0) {
      return StringBase();
    }
    const pugi::xml_node only = node.first_child();
    if (pieces == 1 && only.type() == pugi::node_pcdata && !only.next_sibling()) {
      CheckText(only.value());
      return StringBase(only.value());
    }
    std::string text;
    for (pugi::xml_node child = node.first_child(); child; child = child.next_sibling()) {
      if (child.type() == pugi::node_pcdata) {
        CheckText(child.value());
        const std::size_t junction = text.size();
        text += child.value();
        // Pieces apart in the document ("]]", a comment, ">") would make a
        // "]]>" together, which text cannot hold: the ">" becomes "&gt;".
        const std::size_t end = text.find("]]>", junction < 2 ? 0 : junction - 2);
        if (end != std::string::npos && end < junction) {
          text.replace(end + 2, 1, "&gt;");
        }
      } else if (child.type() == pugi::node_cdata) {
        // The model holds texts escaped: a CDATA section is escaped here.
        for (const char* c = child.value(); *c != '\0'; ++c) {
          switch (*c) {
            case '&':
              text += "&amp;";
              break;
            case '<':
              text += "&lt;";
              break;
            case '>':
              text += "&gt;";
              break;
            default:
              text += *c;
          }
        }
      }
    }
    return StringBase(std::move(text));
  }

  // Element text: every "&" starts a reference, and "]]>" cannot appear.
  void CheckText(const char* text) {
    for (const char* p = std::strpbrk(text, "&]"); p != nullptr; p = std::strpbrk(p + 1, "&]")) {
      if (*p == '&') {
        CheckReference(p);
      } else if (p[1] == ']' && p[2] == '>') {
        Refuse(OffsetOf(p), "\"]]>\" in text");
      }
    }
  }

  // The reference at `amp`: one of the five predefined entities or a
  // character reference to a character XML allows.
  void CheckReference(const char* amp) {
    const char* p = amp + 1;
    if (*p == '#') {
      const bool hex = p[1] == 'x';
      p += hex ? 2 : 1;
      unsigned long code = 0;
      const char* digits = p;
      for (;; ++p) {
        const char c = *p;
        unsigned digit;
        if (c >= '0' && c <= '9') {
          digit = static_cast<unsigned>(c - '0');
        } else if (hex && c >= 'a' && c <= 'f') {
          digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (hex && c >= 'A' && c <= 'F') {
          digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
          break;
        }
        code = std::min(code * (hex ? 16u : 10u) + digit, 0x110000ul);
      }
      if (p == digits || *p != ';') {
        Refuse(OffsetOf(amp), "Malformed character reference");
      }
      if (!IsXmlChar(code)) {
        Refuse(OffsetOf(amp), "Character reference to a character not allowed in XML");
      }
      return;
    }
    for (const char* entity : {"amp;", "lt;", "gt;", "quot;", "apos;"}) {
      if (std::strncmp(p, entity, std::strlen(entity)) == 0) {
        return;
      }
    }
    const char* semicolon = std::strchr(p, ';');
    if (semicolon != nullptr && semicolon != p &&
        std::strcspn(p, " \t\n&<\"'") > static_cast<std::size_t>(semicolon - p)) {
      Refuse(OffsetOf(amp), "Reference to an undefined entity");
    }
    Refuse(OffsetOf(amp), "\"&\" that starts no reference");
  }

  void AddAttributes(pugi::xml_node node, XmlElement& element) {
    std::size_t count = 0;
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
      ++count;
      const char* value = a.value();
      StringBase text;
      if (std::strpbrk(value, "&<\"") == nullptr) {
        text = StringBase(value);
      } else {
        // A single-quoted value may hold '"', which the model's double
        // quotes could not: it is escaped.
        std::string escaped;
        for (const char* c = value; *c != '\0'; ++c) {
          if (*c == '&') {
            CheckReference(c);
          } else if (*c == '<') {
            Refuse(OffsetOf(c), "\"<\" in an attribute value");
          }
          if (*c == '"') {
            escaped += "&quot;";
          } else {
            escaped += *c;
          }
        }
        text = StringBase(std::move(escaped));
      }
      try {
        element.attributes.Add(
            boost::make_shared<XmlAttribute>(StringBase(a.name()), std::move(text)));
      } catch (const AppException& e) {
        RefuseModel(OffsetOf(a.name()), e);
      }
    }
    if (count > 1) {
      CheckUniqueNames(node, count);
    }
  }

  void CheckUniqueNames(pugi::xml_node node, std::size_t count) {
    if (count <= 8) {
      // Few names: each against those after it.
      for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        for (pugi::xml_attribute b = a.next_attribute(); b; b = b.next_attribute()) {
          if (std::strcmp(a.name(), b.name()) == 0) {
            Refuse(OffsetOf(b.name()), "Attribute " + std::string(b.name()) + " given twice");
          }
        }
      }
      return;
    }
    std::vector<std::string_view> names;
    names.reserve(count);
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
      names.emplace_back(a.name());
    }
    std::vector<std::string_view> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    const auto repeated = std::adjacent_find(sorted.begin(), sorted.end());
    if (repeated == sorted.end()) {
      return;
    }
    // Reported where the name comes the second time.
    std::size_t seen = 0;
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
      if (*repeated == a.name() && seen++ == 1) {
        Refuse(OffsetOf(a.name()), "Attribute " + std::string(*repeated) + " given twice");
      }
    }
  }

  [[noreturn]] void RefuseModel(std::size_t offset, const AppException& e) {
    std::string reason = e.what();
    while (!reason.empty() && reason.back() == '\n') {
      reason.pop_back();
    }
    Refuse(offset, reason);
  }

  const std::string& text_;
};

// Reads `original` as the document named `name`.
boost::shared_ptr<XmlElement> Read(std::string_view original, const StringBase& name) {
  if (original.substr(0, 3) == "\xEF\xBB\xBF") {
    original.remove_prefix(3);
  }
  std::string text;
  try {
    Normalise(original, text);
  } catch (const Refusal& r) {
    const auto where = Locate(original, r.offset);
    Detail::ThrowAppException("Cannot read %s: line %lu, column %lu: %s\n", name.c_str(),
                              where.first, where.second, r.reason.c_str());
  }

  // pugixml drops text that ends the buffer: a final line end keeps it.
  text.push_back('\n');

  // No escape, line-end or attribute-whitespace conversion: texts stay as
  // written. A fragment, so that text outside the root is seen and refused.
  const unsigned options =
      pugi::parse_cdata | pugi::parse_ws_pcdata_single | pugi::parse_doctype | pugi::parse_fragment;
  pugi::xml_document document;
  try {
    const pugi::xml_parse_result result =
        document.load_buffer_inplace(&text[0], text.size(), options, pugi::encoding_utf8);
    if (!result) {
      Refuse(static_cast<std::size_t>(result.offset), result.description());
    }
    return Builder(text).Build(document);
  } catch (const Refusal& r) {
    // The parser wrote into `text`: positions are found in a fresh copy.
    Normalise(original, text);
    const auto where = Locate(text, r.offset);
    Detail::ThrowAppException("Cannot read %s: line %lu, column %lu: %s\n", name.c_str(),
                              where.first, where.second, r.reason.c_str());
  }
}

}  // namespace

boost::shared_ptr<XmlElement> XmlReader::FromString(const StringBase& text,
                                                    const StringBase& name) {
  return Read(std::string_view(text.GetBuffer(), text.GetLength()), name);
}

boost::shared_ptr<XmlElement> XmlReader::FromFile(const StringBase& path) {
  Port::Stream* stream = Port::File::open(path, Port::File::ACCESS_READ, false);
  if (stream == nullptr) {
    Detail::ThrowAppException("Cannot open %s\n", path.c_str());
  }
  std::string input;
  char block[65536];
  for (std::size_t got; (got = stream->read(block, sizeof block)) != 0;) {
    input.append(block, got);
  }
  if (!Port::File::close(stream)) {
    Detail::ThrowAppException("Cannot open %s\n", path.c_str());
  }
  return Read(input, path);
}

}  // namespace Mintu
