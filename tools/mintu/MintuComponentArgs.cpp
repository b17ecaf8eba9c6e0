// mintu component: the command line read into a checked request. Everything
// that reaches the description is checked here, so that what is written is
// well-formed XML that the SPIRIT 1.4 schema accepts.

#include "MintuComponentArgs.h"

#include <cstdio>
#include <set>

#include "mintu/mintu.h"

namespace MintuCli {

namespace {

using Mintu::Spirit;
using Mintu::StringBase;

// Decodes the UTF-8 character at `at`, advancing `at`; false for bytes that
// are not UTF-8 (overlong forms and surrogates included).
bool NextCodePoint(const std::string& text, std::size_t& at, unsigned long& code) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  std::size_t length;
  unsigned long least;
  if (lead < 0x80) {
    code = lead;
    ++at;
    return true;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2, code = lead & 0x1Fu, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, code = lead & 0x0Fu, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, code = lead & 0x07u, least = 0x10000;
  } else {
    return false;
  }
  if (text.size() - at < length) return false;
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned char next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0) != 0x80) return false;
    code = (code << 6) | (next & 0x3Fu);
  }
  at += length;
  return code >= least && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
}

// XML 1.0: Char.
bool IsXmlChar(unsigned long c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

// Name characters beyond ASCII: the letters, combining marks and extenders
// of the XML 1.0 (fourth edition) name rules for the Latin, Greek, Cyrillic,
// Armenian, Hebrew, Arabic, kana, Bopomofo, Hangul and CJK blocks. Schema
// validators still apply those older rules, so a wider set (the fifth
// edition's) would let through names the SPIRIT schema rejects.
struct Range {
  unsigned long first, last;
};
const Range kLetters[] = {
    {0xC0, 0xD6},     {0xD8, 0xF6},     {0xF8, 0x131},    {0x134, 0x13E},   {0x141, 0x148},
    {0x14A, 0x17E},   {0x180, 0x1C3},   {0x1CD, 0x1F0},   {0x1F4, 0x1F5},   {0x1FA, 0x217},
    {0x250, 0x2A8},   {0x2BB, 0x2C1},   {0x386, 0x386},   {0x388, 0x38A},   {0x38C, 0x38C},
    {0x38E, 0x3A1},   {0x3A3, 0x3CE},   {0x3D0, 0x3D6},   {0x3DA, 0x3DA},   {0x3DC, 0x3DC},
    {0x3DE, 0x3DE},   {0x3E0, 0x3E0},   {0x3E2, 0x3F3},   {0x401, 0x40C},   {0x40E, 0x44F},
    {0x451, 0x45C},   {0x45E, 0x481},   {0x490, 0x4C4},   {0x4C7, 0x4C8},   {0x4CB, 0x4CC},
    {0x4D0, 0x4EB},   {0x4EE, 0x4F5},   {0x4F8, 0x4F9},   {0x531, 0x556},   {0x559, 0x559},
    {0x561, 0x586},   {0x5D0, 0x5EA},   {0x5F0, 0x5F2},   {0x621, 0x63A},   {0x641, 0x64A},
    {0x3007, 0x3007}, {0x3021, 0x3029}, {0x3041, 0x3094}, {0x30A1, 0x30FA}, {0x3105, 0x312C},
    {0x4E00, 0x9FA5}, {0xAC00, 0xD7A3}};
const Range kMarksAndExtenders[] = {{0xB7, 0xB7},     {0x2D0, 0x2D1},   {0x300, 0x345},
                                    {0x360, 0x361},   {0x387, 0x387},   {0x483, 0x486},
                                    {0x640, 0x640},   {0x3005, 0x3005}, {0x3031, 0x3035},
                                    {0x309D, 0x309E}, {0x30FC, 0x30FE}};

template <std::size_t N>
bool InRanges(unsigned long c, const Range (&ranges)[N]) {
  for (const Range& r : ranges) {
    if (c >= r.first && c <= r.last) return true;
  }
  return false;
}

bool IsNameStartChar(unsigned long c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' ||
         InRanges(c, kLetters);
}

bool IsNameChar(unsigned long c) {
  return IsNameStartChar(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') ||
         InRanges(c, kMarksAndExtenders);
}

std::string CodeText(unsigned long code) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04lX", code);
  return text;
}

// xs:NMTOKEN (one or more name characters), or with `name` set xs:Name (a
// token whose first character may start a name).
void CheckName(const std::string& option, const std::string& text, bool name) {
  CheckXmlText(option, text);
  if (text.empty()) throw Failure(option + ": the value is empty");
  std::size_t at = 0;
  for (bool first = true; at < text.size(); first = false) {
    unsigned long code = 0;
    NextCodePoint(text, at, code);
    if (!IsNameChar(code)) {
      throw Failure(option + ": '" + text + "' holds " + CodeText(code) +
                    ", which XML names do not allow");
    }
    if (first && name && !IsNameStartChar(code)) {
      throw Failure(option + ": '" + text + "' must start with a letter, '_' or ':'");
    }
  }
}

void CheckNonNegative(const std::string& what, const std::string& text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
    throw Failure(what + " '" + text + "' is not a non-negative integer");
}

void CheckOneOf(const std::string& what, const std::string& text,
                const std::vector<StringBase>& allowed) {
  std::string list;
  for (const StringBase& a : allowed) {
    if (a == text) return;
    list += (list.empty() ? "" : ", ") + a.str();
  }
  throw Failure(what + " '" + text + "' is not one of " + list);
}

std::vector<std::string> SplitAt(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (std::size_t at; (at = text.find(separator, from)) != std::string::npos; from = at + 1)
    parts.push_back(text.substr(from, at - from));
  parts.push_back(text.substr(from));
  return parts;
}

// NAME:DIRECTION or NAME:DIRECTION:LEFT:RIGHT
PortRequest ParsePort(const std::string& text) {
  CheckXmlText("--port", text);
  const std::vector<std::string> parts = SplitAt(text, ':');
  if (parts.size() != 2 && parts.size() != 4)
    throw Failure("--port: '" + text + "' is not NAME:DIRECTION or NAME:DIRECTION:LEFT:RIGHT");
  PortRequest port;
  port.name = parts[0];
  port.direction = parts[1];
  CheckName("--port", port.name, false);
  CheckOneOf("--port: direction of port " + port.name, port.direction,
             {Spirit::DIRECTION_IN, Spirit::DIRECTION_OUT, Spirit::DIRECTION_INOUT,
              Spirit::DIRECTION_PHANTOM});
  if (parts.size() == 4) {
    port.vector = true;
    port.left = parts[2];
    port.right = parts[3];
    CheckNonNegative("--port: left bound of port " + port.name, port.left);
    CheckNonNegative("--port: right bound of port " + port.name, port.right);
  }
  return port;
}

// NAME[:FORMAT[:RESOLVE]]=VALUE
ParameterRequest ParseParameter(const std::string& text) {
  CheckXmlText("--param", text);
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos)
    throw Failure("--param: '" + text + "' is not NAME[:FORMAT[:RESOLVE]]=VALUE");
  const std::vector<std::string> head = SplitAt(text.substr(0, equals), ':');
  if (head.size() > 3)
    throw Failure("--param: '" + text + "' is not NAME[:FORMAT[:RESOLVE]]=VALUE");
  ParameterRequest parameter;
  parameter.name = head[0];
  parameter.value = text.substr(equals + 1);
  CheckName("--param", parameter.name, false);
  if (head.size() > 1) {
    parameter.format = head[1];
    CheckOneOf("--param: format of parameter " + parameter.name, parameter.format,
               {Spirit::FORMAT_BITSTRING, Spirit::FORMAT_BOOL, Spirit::FORMAT_FLOAT,
                Spirit::FORMAT_LONG, Spirit::FORMAT_STRING});
  }
  if (head.size() > 2) {
    parameter.resolve = head[2];
    CheckOneOf("--param: resolve of parameter " + parameter.name, parameter.resolve,
               {Spirit::RESOLVE_IMMEDIATE, Spirit::RESOLVE_USER, Spirit::RESOLVE_DEPENDENT,
                Spirit::RESOLVE_GENERATED});
  }
  return parameter;
}

}  // namespace

void CheckXmlText(const std::string& option, const std::string& text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t start = at;
    unsigned long code = 0;
    if (!NextCodePoint(text, at, code)) {
      throw Failure(option + ": the value is not UTF-8 (byte " + std::to_string(start + 1) + ")");
    }
    if (!IsXmlChar(code)) {
      throw Failure(option + ": the value holds " + CodeText(code) +
                    ", a character XML does not allow");
    }
  }
}

const std::vector<OptionSpec>& ComponentOptions() {
  static const std::vector<OptionSpec> options = {
      {"vendor", 0, true},  {"library", 0, true},     {"name", 0, true},
      {"version", 0, true}, {"description", 0, true}, {"description-file", 0, true},
      {"port", 0, true},    {"param", 0, true},       {"output", 'o', true}};
  return options;
}

ComponentRequest ParseComponentRequest(const Arguments& args) {
  if (!args.operands.empty()) throw UsageError("unexpected argument " + args.operands[0]);
  ComponentRequest request;
  request.vendor = args.Single("vendor");
  request.library = args.Single("library");
  request.name = args.Single("name");
  request.version = args.Single("version");
  request.description = args.Single("description");
  request.descriptionFile = args.Single("description-file");
  request.output = args.Single("output");
  if (!args.Has("vendor") || !args.Has("library") || !args.Has("name") || !args.Has("version"))
    throw UsageError("--vendor, --library, --name and --version are required");
  if (args.Has("description") && args.Has("description-file"))
    throw UsageError("--description and --description-file exclude each other");

  CheckName("--vendor", request.vendor, true);
  CheckName("--library", request.library, true);
  CheckName("--name", request.name, false);
  CheckName("--version", request.version, false);
  CheckXmlText("--description", request.description);
  std::set<std::string> portNames, parameterNames;
  for (const Arguments::Option& option : args.options) {
    if (option.name == "port") {
      request.ports.push_back(ParsePort(option.value));
      if (!portNames.insert(request.ports.back().name).second)
        throw Failure("--port: port '" + request.ports.back().name + "' is given twice");
    } else if (option.name == "param") {
      request.parameters.push_back(ParseParameter(option.value));
      if (!parameterNames.insert(request.parameters.back().name).second)
        throw Failure("--param: parameter '" + request.parameters.back().name + "' is given twice");
    }
  }
  return request;
}

}  // namespace MintuCli
