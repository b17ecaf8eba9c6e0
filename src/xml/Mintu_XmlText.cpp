// XmlText: escaping is done here; what a name is and which characters XML
// allows is left to the parser, so that the library holds these rules once.
#include "port/Port_Init.h"

#include "mintu/Mintu_XmlText.h"

#include <cctype>
#include <cstdlib>
#include <string>
#include <string_view>

#include <expat.h>

namespace Mintu {

namespace {

// Appends `text` with every character in `special` replaced by its reference.
StringBase Escaped(const StringBase& text, std::string_view special) {
  const std::string_view in(text.GetBuffer(), text.GetLength());
  if (in.find_first_of(special) == std::string_view::npos) {
    return text;
  }
  std::string out;
  out.reserve(in.size() + in.size() / 8 + 8);
  for (const char c : in) {
    if (special.find(c) == std::string_view::npos) {
      out += c;
      continue;
    }
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\t':
        out += "&#9;";
        break;
      case '\n':
        out += "&#10;";
        break;
      default:
        out += "&#13;";
    }
  }
  return StringBase(std::move(out));
}

void AppendUtf8(std::string& out, unsigned long code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// Whether the parser reads `document` (UTF-8) as well-formed; `start`, when
// set, sees the root element's start tag.
bool WellFormed(const std::string& document, XML_StartElementHandler start, void* data) {
  const XML_Parser parser = XML_ParserCreate("UTF-8");
  if (parser == nullptr) {
    return false;
  }
  XML_SetUserData(parser, data);
  XML_SetStartElementHandler(parser, start);
  const bool ok =
      XML_Parse(parser, document.data(), static_cast<int>(document.size()), 1) == XML_STATUS_OK;
  XML_ParserFree(parser);
  return ok;
}

struct NameProbe {
  const StringBase* name;
  bool same;
};

void OnProbeStart(void* data, const XML_Char* name, const XML_Char** attributes) {
  NameProbe& probe = *static_cast<NameProbe*>(data);
  probe.same = attributes[0] == nullptr && *probe.name == name;
}

}  // namespace

StringBase XmlText::Escape(const StringBase& text) { return Escaped(text, "&<>\r"); }

StringBase XmlText::EscapeAttribute(const StringBase& text) { return Escaped(text, "&<>\"\t\n\r"); }

StringBase XmlText::Unescape(const StringBase& text) {
  const std::string_view in(text.GetBuffer(), text.GetLength());
  std::size_t amp = in.find('&');
  if (amp == std::string_view::npos) {
    return text;
  }
  static const struct {
    std::string_view name;
    char c;
  } kEntities[] = {{"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}, {"apos;", '\''}};
  std::string out(in.substr(0, amp));
  while (amp != std::string_view::npos) {
    std::string_view rest = in.substr(amp + 1);
    std::size_t used = 0;
    for (const auto& entity : kEntities) {
      if (rest.substr(0, entity.name.size()) == entity.name) {
        out += entity.c;
        used = entity.name.size();
      }
    }
    const std::size_t semicolon = rest.find(';');
    if (used == 0 && rest.size() > 1 && rest[0] == '#' && semicolon != std::string_view::npos &&
        semicolon > 1 && semicolon <= 9) {
      const bool hex = rest[1] == 'x';
      const std::string digits(rest.substr(hex ? 2 : 1, semicolon - (hex ? 2 : 1)));
      char* end = nullptr;
      const unsigned long code = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
      if (!digits.empty() && std::isalnum(static_cast<unsigned char>(digits[0])) && *end == '\0' &&
          code > 0 && code <= 0x10FFFF) {
        AppendUtf8(out, code);
        used = semicolon + 1;
      }
    }
    if (used == 0) {
      out += '&';
    }
    const std::size_t next = in.find('&', amp + 1 + used);
    out.append(in.substr(amp + 1 + used, next == std::string_view::npos ? std::string_view::npos
                                                                        : next - amp - 1 - used));
    amp = next;
  }
  return StringBase(std::move(out));
}

bool XmlText::IsName(const StringBase& text) {
  // The parser reads "<NAME/>" and reports the name it found: the same, with
  // no attributes, only for a name.
  NameProbe probe{&text, false};
  return WellFormed("<" + text.str() + "/>", OnProbeStart, &probe) && probe.same;
}

bool XmlText::IsText(const StringBase& text) {
  return WellFormed("<a>" + Escape(text).str() + "</a>", nullptr, nullptr);
}

}  // namespace Mintu
