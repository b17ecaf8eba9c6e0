// The XML reader: expat parses and checks well-formedness, namespaces and
// encodings; this file builds the model's tree from expat's events, without
// a document tree in between and without recursion. Texts arrive decoded
// and are stored escaped (XmlText), as the model holds them.
#include "port/Port_Init.h"

#include "mintu/Mintu_XmlReader.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <expat.h>
#include <boost/make_shared.hpp>

#include "Mintu_XmlDetail.h"
#include "mintu/Mintu_AppException.h"
#include "mintu/Mintu_XmlAttribute.h"
#include "mintu/Mintu_XmlElement.h"
#include "mintu/Mintu_XmlText.h"
#include "port/Port_File.h"

namespace Mintu {

namespace {

// Splits expat's names "uri SEP local SEP prefix"; no XML text can hold it.
const XML_Char kSeparator = '\x01';
// Input is handed to the parser in blocks of this size: memory stays bounded
// whatever the size of the document.
const int kBlock = 64 * 1024;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The qualified name as written, from expat's triplet.
StringBase QualifiedName(const XML_Char* name) {
  const char* local = std::strchr(name, kSeparator);
  if (local == nullptr) {
    return StringBase(name);
  }
  ++local;
  const char* prefix = std::strchr(local, kSeparator);
  if (prefix == nullptr) {
    return StringBase(local);
  }
  std::string tag(prefix + 1);
  tag += ':';
  tag.append(local, static_cast<std::size_t>(prefix - local));
  return StringBase(std::move(tag));
}

class Builder {
 public:
  typedef boost::shared_ptr<XmlAttribute> Attribute;

  Builder() : parser_(XML_ParserCreateNS(nullptr, kSeparator)) {
    if (parser_ == nullptr) {
      throw std::bad_alloc();
    }
    XML_SetUserData(parser_, this);
    XML_SetReturnNSTriplet(parser_, XML_TRUE);
    XML_SetElementHandler(parser_, OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser_, OnText);
    XML_SetStartNamespaceDeclHandler(parser_, OnNamespace);
    XML_SetStartDoctypeDeclHandler(parser_, OnDoctype);
    XML_SetUnknownEncodingHandler(parser_, OnUnknownEncoding, this);
  }
  ~Builder() { XML_ParserFree(parser_); }
  Builder(const Builder&) = delete;
  Builder& operator=(const Builder&) = delete;

  // Parses what `fill(buffer, size)` delivers, block by block, until it
  // delivers nothing; throws the AppException for malformed input.
  template <class Fill>
  boost::shared_ptr<XmlElement> Read(const StringBase& name, Fill fill) {
    for (bool last = false; !last;) {
      char* buffer = static_cast<char*>(XML_GetBuffer(parser_, kBlock));
      if (buffer == nullptr) {
        throw std::bad_alloc();
      }
      const std::size_t got = fill(buffer, static_cast<std::size_t>(kBlock));
      if (first_) {
        first_ = false;
        NoteUnits(buffer, got);
      }
      last = got == 0;
      const XML_Status status = XML_ParseBuffer(parser_, static_cast<int>(got), last);
      if (failure_) {
        std::rethrow_exception(failure_);
      }
      if (status != XML_STATUS_OK) {
        if (reason_.empty()) {
          const XML_Error code = XML_GetErrorCode(parser_);
          reason_ = XML_ErrorString(code);
          if (code == XML_ERROR_UNKNOWN_ENCODING && !encoding_.empty()) {
            reason_ += " " + encoding_;
          }
          SetWhere(0);
        }
        Detail::ThrowAppException("Cannot read %s: line %lu, column %lu: %s\n", name.c_str(), line_,
                                  column_, reason_.c_str());
      }
    }
    return root_;
  }

 private:
  struct Frame {
    StringBase tag;
    std::vector<Attribute> attributes;           // until the element is made
    std::string text;                            // escaped, while the element may be a leaf
    boost::shared_ptr<XmlNestedElement> nested;  // made at the first child
    unsigned long textLine = 0;                  // where the first non-blank text is, 0 for none
    unsigned long textColumn = 0;
  };

  // Runs a handler; a refusal or an exception stops the parser, and no
  // exception crosses expat's C frames.
  template <class F>
  static void Handle(void* data, F body) {
    Builder& b = *static_cast<Builder*>(data);
    if (b.stopped_) {
      return;
    }
    try {
      body(b);
    } catch (...) {
      b.failure_ = std::current_exception();
      b.Stop();
    }
  }

  void Stop() {
    stopped_ = true;
    XML_StopParser(parser_, XML_FALSE);
  }

  void SetWhere(unsigned long skipped) {
    line_ = static_cast<unsigned long>(XML_GetCurrentLineNumber(parser_));
    column_ = static_cast<unsigned long>(XML_GetCurrentColumnNumber(parser_)) + 1 + skipped;
  }

  // Refused at the parser's position (plus `skipped` characters).
  void Refuse(const std::string& reason, unsigned long skipped = 0) {
    reason_ = reason;
    SetWhere(skipped);
    Stop();
  }
  void RefuseAt(const std::string& reason, unsigned long line, unsigned long column) {
    reason_ = reason;
    line_ = line;
    column_ = column;
    Stop();
  }

  // The width and byte order of the input's code units, from its first
  // bytes as expat detects them: what DeclarationOrder needs to read tags.
  void NoteUnits(const char* bytes, std::size_t size) {
    if (size < 2) {
      return;
    }
    const unsigned char b0 = static_cast<unsigned char>(bytes[0]);
    const unsigned char b1 = static_cast<unsigned char>(bytes[1]);
    if ((b0 == 0xFF && b1 == 0xFE) || (b0 == '<' && b1 == 0)) {
      width_ = 2;
    } else if ((b0 == 0xFE && b1 == 0xFF) || (b0 == 0 && b1 == '<')) {
      width_ = 2;
      bigEndian_ = true;
    }
  }

  // Expat hands namespace declarations apart from the other attributes. The
  // model keeps them as attributes in document order, so the start tag is
  // read again from expat's input buffer for the order: one flag per
  // attribute, set for a declaration. Empty when the tag is not at hand.
  std::vector<bool> DeclarationOrder() const {
    std::vector<bool> flags;
    int offset = 0;
    int size = 0;
    const char* context = XML_GetInputContext(parser_, &offset, &size);
    if (context == nullptr || offset < 0 || size < offset) {
      return flags;
    }
    const std::size_t w = width_;
    const std::size_t end = static_cast<std::size_t>(size);
    const auto unit = [&](std::size_t i) -> unsigned {
      const unsigned char* p = reinterpret_cast<const unsigned char*>(context) + i;
      const unsigned first = p[0];
      return w == 1 ? first : bigEndian_ ? (first << 8) | p[1] : (unsigned{p[1]} << 8) | first;
    };
    const auto blank = [](unsigned u) { return u == ' ' || u == '\t' || u == '\n' || u == '\r'; };
    std::size_t i = static_cast<std::size_t>(offset) + w;
    while (i + w <= end && !blank(unit(i)) && unit(i) != '/' && unit(i) != '>') i += w;
    for (;;) {
      while (i + w <= end && blank(unit(i))) i += w;
      if (i + w > end) {
        return std::vector<bool>();
      }
      if (unit(i) == '/' || unit(i) == '>') {
        return flags;
      }
      // "xmlns" or "xmlns:" and more
      static const char kXmlns[] = "xmlns:";
      std::size_t n = 0;
      bool declaration = true;
      for (; i + w <= end && !blank(unit(i)) && unit(i) != '='; i += w, ++n) {
        declaration = declaration && (n > 5 || unit(i) == static_cast<unsigned char>(kXmlns[n]));
      }
      flags.push_back(declaration && n != 6 && n >= 5);
      while (i + w <= end && unit(i) != '"' && unit(i) != '\'') i += w;
      if (i + w > end) {
        return std::vector<bool>();
      }
      const unsigned quote = unit(i);
      for (i += w; i + w <= end && unit(i) != quote;) i += w;
      i += w;
    }
  }

  static void OnNamespace(void* data, const XML_Char* prefix, const XML_Char* uri) {
    Handle(data, [&](Builder& b) {
      std::string name = prefix == nullptr ? "xmlns" : std::string("xmlns:") + prefix;
      b.declarations_.push_back(boost::make_shared<XmlAttribute>(
          StringBase(std::move(name)), XmlText::EscapeAttribute(uri == nullptr ? "" : uri)));
    });
  }

  static void OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    Handle(data, [&](Builder& b) { b.Start(name, attributes); });
  }
  void Start(const XML_Char* name, const XML_Char** attributes) {
    if (stack_.size() >= XmlReader::MAX_DEPTH) {
      Refuse("Elements nested deeper than " + std::to_string(XmlReader::MAX_DEPTH) + " levels");
      return;
    }
    if (!stack_.empty() && !MakeNested(stack_.back())) {
      return;
    }
    stack_.emplace_back();
    Frame& frame = stack_.back();
    frame.tag = QualifiedName(name);
    std::vector<bool> order;
    if (!declarations_.empty() && attributes[0] != nullptr) {
      order = DeclarationOrder();
    }
    std::size_t declaration = 0;
    const XML_Char** other = attributes;
    const auto add = [&] {
      frame.attributes.push_back(boost::make_shared<XmlAttribute>(
          QualifiedName(other[0]), XmlText::EscapeAttribute(other[1])));
      other += 2;
    };
    for (const bool isDeclaration : order) {
      if (isDeclaration && declaration < declarations_.size()) {
        frame.attributes.push_back(std::move(declarations_[declaration++]));
      } else if (!isDeclaration && *other != nullptr) {
        add();
      }
    }
    // Without the order (or for what it missed): declarations first.
    for (; declaration < declarations_.size(); ++declaration) {
      frame.attributes.push_back(std::move(declarations_[declaration]));
    }
    while (*other != nullptr) add();
    declarations_.clear();
  }

  // Turns the leaf-to-be into a nested element at its first child; its text
  // so far must be layout.
  bool MakeNested(Frame& frame) {
    if (frame.nested) {
      return true;
    }
    if (frame.textLine != 0) {
      RefuseAt("Mixed content: text beside child elements", frame.textLine, frame.textColumn);
      return false;
    }
    frame.nested = boost::make_shared<XmlNestedElement>(std::move(frame.tag));
    Attach(*frame.nested, frame);
    frame.text.clear();
    return true;
  }

  static void Attach(XmlElement& element, Frame& frame) {
    for (Attribute& a : frame.attributes) element.attributes.Add(std::move(a));
    frame.attributes.clear();
  }

  static void OnEnd(void* data, const XML_Char*) {
    Handle(data, [](Builder& b) { b.End(); });
  }
  void End() {
    Frame& frame = stack_.back();
    boost::shared_ptr<XmlElement> element = frame.nested;
    if (!element) {
      auto leaf = boost::make_shared<XmlLeafElement>(std::move(frame.tag),
                                                     StringBase(std::move(frame.text)));
      Attach(*leaf, frame);
      element = std::move(leaf);
    }
    stack_.pop_back();
    if (stack_.empty()) {
      root_ = std::move(element);
    } else {
      stack_.back().nested->elements.Add(std::move(element));
    }
  }

  static void OnText(void* data, const XML_Char* text, int length) {
    Handle(data,
           [&](Builder& b) { b.Text(std::string_view(text, static_cast<std::size_t>(length))); });
  }
  void Text(std::string_view text) {
    Frame& frame = stack_.back();
    const std::size_t blank = static_cast<std::size_t>(
        std::find_if_not(text.begin(), text.end(), IsBlank) - text.begin());
    if (frame.nested) {
      if (blank < text.size()) {
        Refuse("Mixed content: text beside child elements", static_cast<unsigned long>(blank));
      }
      return;
    }
    if (frame.textLine == 0 && blank < text.size()) {
      SetWhere(static_cast<unsigned long>(blank));
      frame.textLine = line_;
      frame.textColumn = column_;
    }
    if (text.find_first_of("&<>\r") == std::string_view::npos) {
      frame.text.append(text.data(), text.size());
    } else {
      frame.text += XmlText::Escape(StringBase(text.data(), text.size())).str();
    }
  }

  static void OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    // Entities declared there are never expanded, which also keeps entity
    // bombs out.
    Handle(data, [](Builder& b) { b.Refuse("Document type declarations are not supported"); });
  }

  static int OnUnknownEncoding(void* data, const XML_Char* name, XML_Encoding*) {
    static_cast<Builder*>(data)->encoding_ = name;
    return XML_STATUS_ERROR;
  }

  XML_Parser parser_;
  std::vector<Frame> stack_;
  std::vector<Attribute> declarations_;  // of the next start tag
  boost::shared_ptr<XmlElement> root_;
  std::size_t width_ = 1;
  bool bigEndian_ = false;
  bool first_ = true;
  bool stopped_ = false;
  std::exception_ptr failure_;
  std::string reason_;
  std::string encoding_;
  unsigned long line_ = 0;
  unsigned long column_ = 0;
};

}  // namespace

boost::shared_ptr<XmlElement> XmlReader::FromString(const StringBase& text,
                                                    const StringBase& name) {
  std::string_view rest(text.GetBuffer(), text.GetLength());
  return Builder().Read(name, [&rest](char* buffer, std::size_t size) {
    const std::size_t got = std::min(size, rest.size());
    std::memcpy(buffer, rest.data(), got);
    rest.remove_prefix(got);
    return got;
  });
}

boost::shared_ptr<XmlElement> XmlReader::FromFile(const StringBase& path) {
  // Binary, so that Windows hands over the bytes as they are; POSIX has no
  // text mode.
  Port::Stream* stream = Port::File::open(path, Port::File::ACCESS_READ, false);  // no-mutate
  if (stream == nullptr) {
    Detail::ThrowAppException("Cannot open %s\n", path.c_str());
  }
  std::unique_ptr<Port::Stream, bool (*)(Port::Stream*)> closer(stream, Port::File::close);
  boost::shared_ptr<XmlElement> root = Builder().Read(
      path, [stream](char* buffer, std::size_t size) { return stream->read(buffer, size); });
  if (!Port::File::close(closer.release())) {
    Detail::ThrowAppException("Cannot open %s\n", path.c_str());
  }
  return root;
}

}  // namespace Mintu
