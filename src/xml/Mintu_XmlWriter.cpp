// The XML model's text form: one element per line, children indented by two
// spaces more than their parent, attributes on the start line, the short
// form "/>" for empty elements, nothing escaped.
#include "port/Port_Init.h"

#include "Mintu_XmlWriter.h"

#include <cstring>
#include <memory>
#include <ostream>
#include <vector>

namespace Mintu {
namespace Detail {

namespace {

typedef XmlAccess A;

// Collects the text in chunks and appends it to `out` in one piece at the
// end, when its length is known: the result is allocated once, at its exact
// size, and no byte is copied twice or cleared beforehand. Every piece of an
// element is copied with one check of the room for the whole element.
class TextSink {
 public:
  explicit TextSink(std::string& out)
      : out_(out), begin_(local_), cur_(local_), end_(local_ + sizeof local_) {}
  // Writes to `stream` whenever a chunk is full, holding one chunk only.
  explicit TextSink(std::ostream& stream) : TextSink(unused_) {
    stream_ = &stream;
    current_.reset(new char[LARGEST_CHUNK]);
    begin_ = cur_ = current_.get();
    end_ = begin_ + LARGEST_CHUNK;
  }

  // Room for `count` more bytes, at the returned position.
  char* Room(std::size_t count) {
    if (static_cast<std::size_t>(end_ - cur_) < count) {
      NextChunk(count);
    }
    return cur_;
  }
  // The bytes up to `end` (within the room last asked for) are written.
  void Commit(char* end) { cur_ = end; }

  void Append(const char* text, std::size_t length) {
    char* p = Room(length);
    std::memcpy(p, text, length);
    Commit(p + length);
  }

  void Finish() {
    if (stream_ != nullptr) {
      stream_->write(begin_, cur_ - begin_);
      cur_ = begin_;
      return;
    }
    std::size_t total = static_cast<std::size_t>(cur_ - begin_);
    for (const Chunk& chunk : full_) {
      total += chunk.used;
    }
    out_.reserve(out_.size() + total);
    for (const Chunk& chunk : full_) {
      out_.append(chunk.bytes.get(), chunk.used);
    }
    out_.append(begin_, static_cast<std::size_t>(cur_ - begin_));
    full_.clear();
    begin_ = cur_ = local_;
  }

 private:
  struct Chunk {
    std::unique_ptr<char[]> bytes;
    std::size_t used;
  };
  static const std::size_t FIRST_CHUNK = 16 * 1024;
  static const std::size_t LARGEST_CHUNK = 64 * 1024;  // below the usual mmap threshold

  void NextChunk(std::size_t count) {
    if (stream_ != nullptr) {
      stream_->write(begin_, cur_ - begin_);
      if (count > LARGEST_CHUNK) {
        current_.reset(new char[count]);
        end_ = current_.get() + count;
      }
      begin_ = cur_ = current_.get();
      return;
    }
    std::size_t size = full_.empty() ? FIRST_CHUNK : 2 * capacity_;
    if (size > LARGEST_CHUNK) {
      size = LARGEST_CHUNK;
    }
    if (size < count) {
      size = count;
    }
    std::unique_ptr<char[]> bytes(new char[size]);
    // The chunk in use is kept with what it holds: the local buffer too is
    // copied into a chunk, so that all full ones live on the heap.
    const std::size_t used = static_cast<std::size_t>(cur_ - begin_);
    if (begin_ == local_) {
      std::unique_ptr<char[]> first(new char[used == 0 ? 1 : used]);
      std::memcpy(first.get(), local_, used);
      full_.push_back(Chunk{std::move(first), used});
    } else {
      full_.push_back(Chunk{std::move(current_), used});
    }
    current_ = std::move(bytes);
    capacity_ = size;
    begin_ = cur_ = current_.get();
    end_ = begin_ + size;
  }

  std::string unused_;
  std::string& out_;
  std::ostream* stream_ = nullptr;
  std::vector<Chunk> full_;
  std::unique_ptr<char[]> current_;
  std::size_t capacity_ = 0;
  char* begin_;
  char* cur_;
  char* end_;
  char local_[1024];
};

inline char* Put(char* p, const char* text, std::size_t length) {
  std::memcpy(p, text, length);
  return p + length;
}
inline char* Put(char* p, const StringBase& text) {
  return Put(p, text.GetBuffer(), text.GetLength());
}
inline char* Put(char* p, const std::string& text) { return Put(p, text.data(), text.size()); }

// The length of ` tag="text"` for every attribute.
std::size_t AttributesLength(const XmlAttributeList& attributes) {
  std::size_t length = 0;
  for (const XmlAttributeList::Handle& attribute : attributes.items) {
    length += A::Tag(*attribute).GetLength() + A::Text(*attribute).GetLength() + 4;
  }
  return length;
}

char* PutAttributes(char* p, const XmlAttributeList& attributes) {
  for (const XmlAttributeList::Handle& attribute : attributes.items) {
    *p++ = ' ';
    p = Put(p, A::Tag(*attribute));
    *p++ = '=';
    *p++ = '"';
    p = Put(p, A::Text(*attribute));
    *p++ = '"';
  }
  return p;
}

// A whole leaf line.
void PutLeaf(TextSink& sink, const XmlLeafElement& element, const std::string& indent) {
  const StringBase& tag = A::Tag(element);
  const StringBase& text = A::Text(element);
  const std::size_t attributes = AttributesLength(element.attributes);
  const std::size_t length = indent.size() + 1 + tag.GetLength() + attributes +
                             (text.IsEmpty() ? 3 : text.GetLength() + tag.GetLength() + 5);
  char* p = sink.Room(length);
  p = Put(p, indent);
  *p++ = '<';
  p = Put(p, tag);
  if (attributes != 0) {
    p = PutAttributes(p, element.attributes);
  }
  if (text.IsEmpty()) {
    p = Put(p, "/>\n", 3);
  } else {
    *p++ = '>';
    p = Put(p, text);
    p = Put(p, "</", 2);
    p = Put(p, tag);
    p = Put(p, ">\n", 2);
  }
  sink.Commit(p);
}

// The start line of a nested element, in the short form when it is empty.
void PutStart(TextSink& sink, const XmlNestedElement& element, const std::string& indent) {
  const StringBase& tag = A::Tag(element);
  const std::size_t attributes = AttributesLength(element.attributes);
  const std::size_t length = indent.size() + 1 + tag.GetLength() + attributes + 3;
  char* p = sink.Room(length);
  p = Put(p, indent);
  *p++ = '<';
  p = Put(p, tag);
  if (attributes != 0) {
    p = PutAttributes(p, element.attributes);
  }
  if (element.elements.items.empty()) {
    p = Put(p, "/>\n", 3);
  } else {
    p = Put(p, ">\n", 2);
  }
  sink.Commit(p);
}

void PutEnd(TextSink& sink, const XmlNestedElement& element, const std::string& indent) {
  const StringBase& tag = A::Tag(element);
  char* p = sink.Room(indent.size() + tag.GetLength() + 4);
  p = Put(p, indent);
  p = Put(p, "</", 2);
  p = Put(p, tag);
  p = Put(p, ">\n", 2);
  sink.Commit(p);
}

struct Level {
  const XmlNestedElement* owner;  // written as its end tag when the walk leaves it
  const XmlElementList* list;
  XmlElementList::const_iterator next;
};

// Writes the members of `list` at `indent` and, when `owner` is set, the end
// tag of `owner` one level up afterwards. The walk keeps its own stack.
void WriteTree(TextSink& sink, const XmlNestedElement* owner, const XmlElementList& list,
               const std::string& indent) {
  std::string currentIndent(indent);
  std::vector<Level> levels;
  levels.push_back(Level{owner, &list, list.items.begin()});
  while (!levels.empty()) {
    Level& level = levels.back();
    if (level.next == level.list->items.end()) {
      const XmlNestedElement* done = level.owner;
      levels.pop_back();
      if (done != nullptr) {
        currentIndent.resize(currentIndent.size() - 2);
        PutEnd(sink, *done, currentIndent);
      }
      continue;
    }
    // The walk moves on before a caller's own ToXml runs, which may change
    // the member it writes.
    const XmlElementList::Handle& member = *level.next;
    ++level.next;
    const XmlElement& element = *member;
    if (IsPlainLeaf(element)) {
      PutLeaf(sink, static_cast<const XmlLeafElement&>(element), currentIndent);
    } else if (IsPlainNested(element)) {
      const XmlNestedElement& nested = static_cast<const XmlNestedElement&>(element);
      PutStart(sink, nested, currentIndent);
      if (!nested.elements.items.empty()) {
        currentIndent.append("  ", 2);
        levels.push_back(Level{&nested, &nested.elements, nested.elements.items.begin()});
      }
    } else {
      // A caller's own class writes itself. The handle is held for the call,
      // since that code may change the lists being walked.
      const XmlElementList::Handle held(member);
      const StringBase text = held->ToXml(StringBase(currentIndent));
      sink.Append(text.GetBuffer(), text.GetLength());
    }
  }
}

}  // namespace

void WriteAttributes(std::string& out, const XmlAttributeList& attributes) {
  TextSink sink(out);
  char* p = sink.Room(AttributesLength(attributes));
  sink.Commit(PutAttributes(p, attributes));
  sink.Finish();
}

void WriteElementList(std::string& out, const XmlElementList& list, const std::string& indent) {
  TextSink sink(out);
  WriteTree(sink, nullptr, list, indent);
  sink.Finish();
}

void WriteNested(std::string& out, const XmlNestedElement& element, const std::string& indent) {
  TextSink sink(out);
  PutStart(sink, element, indent);
  if (!element.elements.items.empty()) {
    WriteTree(sink, &element, element.elements, indent + "  ");
  }
  sink.Finish();
}

void WriteXml(std::ostream& out, const XmlElement& element, const std::string& indent) {
  TextSink sink(out);
  if (IsPlainLeaf(element)) {
    PutLeaf(sink, static_cast<const XmlLeafElement&>(element), indent);
  } else if (IsPlainNested(element)) {
    const XmlNestedElement& nested = static_cast<const XmlNestedElement&>(element);
    PutStart(sink, nested, indent);
    if (!nested.elements.items.empty()) {
      WriteTree(sink, &nested, nested.elements, indent + "  ");
    }
  } else {
    const StringBase text = element.ToXml(StringBase(indent));
    sink.Append(text.GetBuffer(), text.GetLength());
  }
  sink.Finish();
}

void WriteLeaf(std::string& out, const XmlLeafElement& element, const std::string& indent) {
  TextSink sink(out);
  PutLeaf(sink, element, indent);
  sink.Finish();
}

}  // namespace Detail
}  // namespace Mintu
